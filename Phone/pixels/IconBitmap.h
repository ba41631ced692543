// The pixels of an icon image as its RT_ICON resource stores them: a device-independent bitmap (1, 4, 8, 24
// or 32 bits a pixel, with its AND mask) or a PNG.
#pragma once

#include "gdi/Drawing.h"

#include <cairo.h>

namespace pixels {

// A new ARGB surface the caller destroys; null when the bits are no image this reads.
cairo_surface_t* IconSurface(const device::IconImage& icon);

} // namespace pixels
