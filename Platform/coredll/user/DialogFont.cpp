#include "user/DialogFont.h"

#include <algorithm>
#include <cstdint>

namespace device {

namespace {

// n * unit / parts, rounded half away from zero as MulDiv rounds.
LONG Scaled(LONG n, LONG unit, LONG parts)
{
    int64_t product = static_cast<int64_t>(n) * unit;
    int64_t half = parts / 2;
    return static_cast<LONG>(product >= 0 ? (product + half) / parts : (product - half) / parts);
}

// The documented measure: the average width of the 52 letters, rounded, and the character height.
SIZE MeasureBaseUnits(HFONT font)
{
    SIZE units{};
    HDC dc = GetDC(nullptr);
    if (!dc)
        return units;
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    SIZE letters{};
    static const char16_t kLetters[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (GetTextMetricsW(dc, &metrics) && GetTextExtentPoint32W(dc, kLetters, 52, &letters))
        units = SIZE{(letters.cx / 26 + 1) / 2, metrics.tmHeight};
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return units;
}

HFONT CreateRequestedFont(const FontRequest& request)
{
    LOGFONTW description{};
    HDC dc = GetDC(nullptr);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc)
        ReleaseDC(nullptr, dc);
    description.lfHeight = -Scaled(request.pointSize, dpi, 72); // the point size as character height
    description.lfWeight = request.weight;
    description.lfItalic = request.italic ? TRUE : FALSE;
    description.lfCharSet = request.charset;
    size_t length = std::min<size_t>(request.face.size(), LF_FACESIZE - 1);
    std::copy_n(request.face.begin(), length, description.lfFaceName);
    return CreateFontIndirectW(&description);
}

} // namespace

DialogFont OpenDialogFont(const std::optional<FontRequest>& request)
{
    DialogFont font;
    font.handle = request ? CreateRequestedFont(*request) : nullptr;
    font.baseUnits = font.handle ? MeasureBaseUnits(font.handle) : SystemBaseUnits();
    return font;
}

void CloseDialogFont(DialogFont& font)
{
    if (font.handle)
        DeleteObject(font.handle);
    font.handle = nullptr;
}

SIZE SystemBaseUnits() { return MeasureBaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))); }

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
