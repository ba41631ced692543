// How DrawText arranges text in a rectangle: lines broken at line ends and (with DT_WORDBREAK) between
// words, '&' prefixes taken out, tabs expanded, lines too wide cut with "...", aligned across and,
// for a single line, down.
#pragma once

#include <windows.h>

#include "gdi/Fonts.h"

#include <string>
#include <string_view>
#include <vector>

namespace device {

struct LaidOutLine {
    std::u16string text;
    int underlined = -1; // the character a '&' prefix marked
    int x = 0;           // from the rectangle's left edge
    int width = 0;
};

struct TextLayout {
    std::vector<LaidOutLine> lines;
    int top = 0;        // of the first line, from the rectangle's top edge
    int lineHeight = 0;
    int height = 0;     // of all lines
    int widest = 0;
};

// The format may carry a tab size in its second byte (DT_TABSTOP); the caller has taken it out.
TextLayout LayOutText(std::u16string_view text, UINT format, int tabCharacters, const RECT& rect,
                      const FontMetrics& font);

// What DrawText answers: the height of the text, or with DT_VCENTER or DT_BOTTOM on a single line, the
// distance from the rectangle's top to the bottom of the text.
int DrawnHeight(const TextLayout& layout, UINT format);

} // namespace device
