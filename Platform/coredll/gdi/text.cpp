// Text: measuring it with the selected font, drawing it at a point or formatted in a rectangle.
#include <windows.h>

#include "gdi/Canvas.h"
#include "gdi/TextLayout.h"

#include <numeric>
#include <optional>

using device::Canvas;
using device::CanvasOf;

namespace {

// DrawText's default tab: eight average characters.
constexpr int kTabCharacters = 8;

// The text of a (string, count) pair: count -1 means up to the terminating zero.
std::optional<std::u16string_view> TextOf(LPCWSTR string, int count)
{
    if (count < -1 || (!string && count != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    if (count == -1)
        return std::u16string_view(string);
    return std::u16string_view(string ? string : u"", count);
}

std::u16string Joined(const std::vector<device::TextLine>& lines)
{
    std::u16string text;
    for (const auto& line : lines) {
        if (&line != &lines.front())
            text.push_back(u'\n');
        text += line.text;
    }
    return text;
}

device::TextDrawing TextIn(const Canvas& canvas, const device::SelectedFont& font)
{
    device::TextDrawing text;
    text.font = device::Describe(font);
    text.textColor = canvas.state.textColor;
    text.backColor = canvas.state.backColor;
    text.opaque = canvas.state.backMode == OPAQUE;
    return text;
}

} // namespace

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm)
{
    auto canvas = CanvasOf(hdc);
    if (!canvas)
        return FALSE;
    if (!lptm) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lptm = device::FontOf(canvas->state).metrics->Metrics();
    return TRUE;
}

BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszStr, int cchString, int nMaxExtent, LPINT lpnFit,
                                  LPINT alpDx, LPSIZE lpSize)
{
    auto canvas = CanvasOf(hdc);
    if (!canvas)
        return FALSE;
    if (cchString < 0 || (!lpszStr && cchString > 0) || !lpSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto metrics = device::FontOf(canvas->state).metrics;
    std::u16string_view text(lpszStr ? lpszStr : u"", cchString);
    int extent = 0, fit = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        size_t length = (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) ? 2 : 1;
        if (length == 2 && alpDx)
            alpDx[i] = extent; // the first half of a pair takes no room of its own
        extent += metrics->Width(text.substr(i, length));
        i += length - 1;
        if (alpDx)
            alpDx[i] = extent;
        if (extent <= nMaxExtent)
            fit = static_cast<int>(i + 1);
    }
    if (lpnFit)
        *lpnFit = fit;
    *lpSize = SIZE{extent, metrics->Metrics().tmHeight};
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int cbString, LPSIZE lpSize)
{
    return GetTextExtentExPointW(hdc, lpString, cbString, 0, nullptr, nullptr, lpSize);
}

BOOL WINAPI ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT* lprc, LPCWSTR lpString, UINT cbCount,
                        const int* lpDx)
{
    auto canvas = CanvasOf(hdc);
    if (!canvas)
        return FALSE;
    if (cbCount > 0 && !lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((fuOptions & ETO_OPAQUE) && lprc && !IsRectEmpty(lprc))
        device::Paint(*canvas, device::Drawing{device::FillDrawing{*lprc, canvas->state.backColor}, *lprc});
    if (cbCount == 0)
        return TRUE;

    auto font = device::FontOf(canvas->state);
    std::u16string_view shown(lpString, cbCount);
    int width = lpDx ? std::accumulate(lpDx, lpDx + cbCount, 0) : font.metrics->Width(shown);
    RECT cell{X, Y, X + width, Y + font.metrics->Metrics().tmHeight};
    device::TextDrawing text = TextIn(*canvas, font);
    text.text = std::u16string(shown);
    text.rect = cell;
    text.lines.push_back(device::TextLine{text.text, cell, -1});
    RECT bounds = cell;
    if ((fuOptions & ETO_CLIPPED) && lprc)
        IntersectRect(&bounds, &bounds, lprc);
    device::Paint(*canvas, device::Drawing{std::move(text), bounds});
    return TRUE;
}

BOOL WINAPI TextOutW(HDC hdc, int nXStart, int nYStart, LPCWSTR lpString, int cbString)
{
    if (cbString < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return ExtTextOutW(hdc, nXStart, nYStart, 0, nullptr, lpString, static_cast<UINT>(cbString), nullptr);
}

int WINAPI DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat)
{
    auto canvas = CanvasOf(hDC);
    if (!canvas)
        return 0;
    auto shown = TextOf(lpString, nCount);
    if (!shown)
        return 0;
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // With DT_TABSTOP the second byte of the format is the tab size, not flags.
    int tabCharacters = kTabCharacters;
    if (uFormat & DT_TABSTOP) {
        tabCharacters = (uFormat >> 8) & 0xFF;
        uFormat &= ~0xFF00u;
    }
    auto font = device::FontOf(canvas->state);
    if (uFormat & DT_INTERNAL) {
        font.description = device::SystemFontDescription();
        font.metrics = device::MetricsFor(font.description);
    }
    device::TextLayout layout = device::LayOutText(*shown, uFormat, tabCharacters, *lpRect, *font.metrics);

    if (uFormat & DT_CALCRECT) {
        if (layout.lines.size() == 1)
            lpRect->right = lpRect->left + layout.widest;
        lpRect->bottom = lpRect->top + layout.height;
        return layout.height;
    }

    device::TextDrawing text = TextIn(*canvas, font);
    text.rect = *lpRect;
    text.format = uFormat;
    RECT inked{};
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        const auto& line = layout.lines[i];
        int left = lpRect->left + line.x;
        int top = lpRect->top + layout.top + static_cast<int>(i) * layout.lineHeight;
        RECT rect{left, top, left + line.width, top + layout.lineHeight};
        text.lines.push_back(device::TextLine{line.text, rect, line.underlined});
        UnionRect(&inked, &inked, &rect);
    }
    text.text = Joined(text.lines);
    if (!(uFormat & DT_NOCLIP))
        IntersectRect(&inked, &inked, lpRect);
    if (!IsRectEmpty(&inked))
        device::Paint(*canvas, device::Drawing{std::move(text), inked});
    return device::DrawnHeight(layout, uFormat);
}
