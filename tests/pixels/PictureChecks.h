// Looking at a picture of the screen as a person would: where something is drawn over a background, how
// dark or grey it is, and what colour covers an area. Tolerant of font changes by design: nothing here
// compares pictures byte for byte.
#pragma once

#include <windows.h>

#include "Picture.h"

namespace pixels_testing {

// The pixels of an area that stand out from its background colour.
struct Ink {
    int count = 0;
    RECT box{};         // their bounding box, empty when there are none
    int darkest = 255;  // the lowest channel value among them (0 black, 128 grey)
    int lightest = 0;   // the highest channel value among them
    int longestRun = 0; // the longest unbroken run of them across one pixel row
};

Ink InkWithin(const pixels::Picture& picture, const RECT& area, COLORREF background);
// The same in the part of the area on the picture, against the colour of its top right pixel, where a short
// text leaves room.
Ink InkOn(const pixels::Picture& picture, RECT area);

// The share (0 to 1) of an area's pixels that are that colour.
double ShareOf(const pixels::Picture& picture, const RECT& area, COLORREF colour);

// A rectangle of screen pixels at `scale` times.
RECT Scaled(const RECT& r, int scale);

bool Inside(const RECT& inner, const RECT& outer);

} // namespace pixels_testing
