#include "pixels/PictureChecks.h"

#include <algorithm>
#include <cstdlib>

namespace pixels_testing {

namespace {

int Difference(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

RECT Clipped(const pixels::Picture& picture, const RECT& area)
{
    return RECT{std::max<LONG>(area.left, 0), std::max<LONG>(area.top, 0), std::min<LONG>(area.right, picture.Width()),
                std::min<LONG>(area.bottom, picture.Height())};
}

} // namespace

Ink InkWithin(const pixels::Picture& picture, const RECT& area, COLORREF background)
{
    constexpr int kStandsOut = 90; // summed over the channels: antialiased edges of text count, noise does not
    Ink ink;
    RECT r = Clipped(picture, area);
    for (int y = r.top; y < r.bottom; ++y) {
        int run = 0;
        for (int x = r.left; x < r.right; ++x) {
            COLORREF pixel = picture.Pixel(x, y);
            if (Difference(pixel, background) < kStandsOut) {
                run = 0;
                continue;
            }
            ink.longestRun = std::max(ink.longestRun, ++run);
            RECT dot{x, y, x + 1, y + 1};
            if (ink.count++ == 0)
                ink.box = dot;
            else
                UnionRect(&ink.box, &ink.box, &dot);
            int low = std::min({GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
            int high = std::max({GetRValue(pixel), GetGValue(pixel), GetBValue(pixel)});
            ink.darkest = std::min(ink.darkest, low);
            ink.lightest = std::max(ink.lightest, high);
        }
    }
    return ink;
}

Ink InkOn(const pixels::Picture& picture, RECT area)
{
    area = Clipped(picture, area);
    return InkWithin(picture, area, picture.Pixel(area.right - 1, area.top));
}

double ShareOf(const pixels::Picture& picture, const RECT& area, COLORREF colour)
{
    RECT r = Clipped(picture, area);
    int total = 0, matching = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x, ++total)
            matching += Difference(picture.Pixel(x, y), colour) <= 6;
    return total ? double(matching) / total : 0;
}

RECT Scaled(const RECT& r, int scale)
{
    return RECT{r.left * scale, r.top * scale, r.right * scale, r.bottom * scale};
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace pixels_testing
