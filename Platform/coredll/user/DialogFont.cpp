#include "user/DialogFont.h"

#include "user/Screen.h"

#include <cmath>
#include <cstdint>

namespace device {

namespace {

// The device's interface font: its character cell is 1.2 em high and its letters average 0.55 em, so
// an 8-point font at 96 dots per inch gives the familiar base units of 6 by 13 pixels.
// TODO(gdi): measure with GetTextMetricsW and GetTextExtentPoint32W of the 52 letters once the
// device's GDI serves fonts, and hand the created font to the dialog.
SIZE MeasureBaseUnits(int pointSize)
{
    double em = std::round(pointSize * ScreenDpi() / 72.0);
    return SIZE{static_cast<LONG>(std::lround(em * 0.55)), static_cast<LONG>(std::lround(em * 1.2))};
}

constexpr int kSystemPointSize = 8;

// n * unit / parts, rounded half away from zero as MulDiv rounds.
LONG Scaled(LONG n, LONG unit, LONG parts)
{
    int64_t product = static_cast<int64_t>(n) * unit;
    int64_t half = parts / 2;
    return static_cast<LONG>(product >= 0 ? (product + half) / parts : (product - half) / parts);
}

} // namespace

DialogFont OpenDialogFont(const std::optional<FontRequest>& request)
{
    DialogFont font;
    font.baseUnits = MeasureBaseUnits(request ? request->pointSize : kSystemPointSize);
    return font;
}

void CloseDialogFont(DialogFont& font) { font.handle = nullptr; }

SIZE SystemBaseUnits() { return MeasureBaseUnits(kSystemPointSize); }

RECT DialogUnitsToPixels(const RECT& units, SIZE baseUnits)
{
    return RECT{Scaled(units.left, baseUnits.cx, 4), Scaled(units.top, baseUnits.cy, 8),
                Scaled(units.right, baseUnits.cx, 4), Scaled(units.bottom, baseUnits.cy, 8)};
}

RECT PlacementToPixels(short x, short y, short cx, short cy, SIZE baseUnits)
{
    LONG left = Scaled(x, baseUnits.cx, 4), top = Scaled(y, baseUnits.cy, 8);
    return RECT{left, top, left + Scaled(cx, baseUnits.cx, 4), top + Scaled(cy, baseUnits.cy, 8)};
}

} // namespace device
