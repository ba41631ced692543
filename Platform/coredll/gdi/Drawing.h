// What was drawn into each window. Device contexts have no pixels: every drawing call on a window's
// context is kept here, in drawing order and in the window's client coordinates, so automation and
// tests can read what a screen shows ("the text drawn inside row 3 of the list").
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace device {

// The font a text was drawn with, as the program described it.
struct DrawnFont {
    std::u16string face;
    LONG height = 0;     // as asked: negative = character height, positive = cell height
    LONG cellHeight = 0; // the resulting line height in pixels (tmHeight)
    LONG weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

struct TextLine {
    std::u16string text; // as shown: prefix characters removed, cut with "..." where it had to be
    RECT rect{};         // where the line lies
    int underlined = -1; // index of the character marked by a '&' prefix, -1 for none
};

struct TextDrawing {
    std::u16string text;  // the lines as shown, joined by '\n'
    RECT rect{};          // the rectangle given to DrawText (for ExtTextOut, the text's own cell)
    std::vector<TextLine> lines;
    DrawnFont font;
    COLORREF textColor = 0;
    COLORREF backColor = 0;
    bool opaque = false;  // the background mode was OPAQUE: each line's cell is filled with backColor
    UINT format = 0;      // the DrawText format; 0 for ExtTextOut and TextOut
};

struct FillDrawing {
    RECT rect{};
    COLORREF color = 0;
};

struct LineDrawing {
    POINT from{};
    POINT to{}; // the last point itself is not drawn
    COLORREF color = 0;
    int width = 1;
    int style = PS_SOLID;
};

// An icon as loaded: where it came from and the image chosen from its group.
struct IconImage {
    HMODULE module = nullptr; // null for the system's standard icons
    WORD id = 0;              // resource id, when loaded by number
    std::u16string name;      // resource name, when loaded by name
    int width = 0;            // the icon's size, as asked when it was loaded
    int height = 0;
    int imageWidth = 0;       // the size and depth of the image chosen from the group
    int imageHeight = 0;
    int bitCount = 0;
    std::vector<BYTE> bits;   // that image as stored in its RT_ICON resource
};

struct IconDrawing {
    std::shared_ptr<const IconImage> icon;
    RECT rect{};    // where it was drawn, at the size it was drawn
    UINT style = 0; // the ILD_ style of an image list's image (ILD_SELECTED: blended with the highlight)
};

struct Drawing {
    std::variant<TextDrawing, FillDrawing, LineDrawing, IconDrawing> what;
    RECT bounds{}; // the area the operation touched, clipped as it was drawn
};

// The current drawing of a window (null: the screen), oldest first.
std::vector<Drawing> DrawingOf(HWND hwnd);

// The operations at least half of whose area lies inside a rectangle of the window's client area, in
// drawing order: what was drawn for one list row or one piece of a control.
std::vector<Drawing> DrawingWithin(HWND hwnd, const RECT& area);

// Adds an operation. An opaque fill hides what it covers completely, so that is dropped.
void Record(HWND hwnd, Drawing drawing);

// Forgets a window's drawing: it is painted anew, or it is gone.
void ClearDrawing(HWND hwnd);

} // namespace device
