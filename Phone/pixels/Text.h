// Text in pixels: each character's glyph, read with FreeType from the faces the device measures with, put
// where the device's own measurement placed it, so what the screen shows matches what was laid out.
#pragma once

#include "gdi/Drawing.h"

#include <cairo.h>

#include <string_view>

namespace pixels {

// Paints a recorded text: the cells of an opaque one, then each line with its underlines and strike-outs.
void PaintText(cairo_t* cr, const device::TextDrawing& text);

// A text laid out in a rectangle as DrawText lays it out, ready to paint: for what the shell shows without
// drawing it.
device::TextDrawing LaidOut(std::u16string_view text, const LOGFONTW& font, UINT format, const RECT& rect,
                            COLORREF colour);

} // namespace pixels
