// Device colours (COLORREF, 0x00BBGGRR) as Cairo sources.
#pragma once

#include <windows.h>

#include <cairo.h>

namespace pixels {

inline void SetColour(cairo_t* cr, COLORREF colour, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0, alpha);
}

} // namespace pixels
