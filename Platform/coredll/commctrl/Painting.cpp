#include "commctrl/Painting.h"

namespace device {

HFONT FontOf(HWND control)
{
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

PaintScope::PaintScope(HWND hwnd) : m_hwnd(hwnd)
{
    BeginPaint(hwnd, &m_paint);
    GetClientRect(hwnd, &m_client);
    if (m_paint.hdc)
        m_previousFont = SelectObject(m_paint.hdc, FontOf(hwnd));
}

PaintScope::~PaintScope()
{
    if (m_paint.hdc && m_previousFont)
        SelectObject(m_paint.hdc, m_previousFont);
    EndPaint(m_hwnd, &m_paint);
}

void PaintBackground(HWND control, HDC dc, UINT colourMessage, const RECT& area)
{
    bool enabled = IsWindowEnabled(control);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(colourMessage == WM_CTLCOLORSTATIC ? COLOR_STATIC : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    HWND parent = GetParent(control);
    auto brush = parent ? reinterpret_cast<HBRUSH>(SendMessageW(parent, colourMessage, reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(control)))
                        : nullptr;
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(DefWindowProcW(control, colourMessage, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(control)));
    FillRect(dc, &area, brush);
}

int LineHeight(HWND control)
{
    HDC dc = GetDC(control);
    if (!dc)
        return 0;
    HGDIOBJ previous = SelectObject(dc, FontOf(control));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int TextWidth(HWND control, std::u16string_view text)
{
    HDC dc = GetDC(control);
    if (!dc)
        return 0;
    HGDIOBJ previous = SelectObject(dc, FontOf(control));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

void Frame(HDC dc, const RECT& rect, int colour)
{
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colour));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, rect.left, rect.top, nullptr);
    LineTo(dc, rect.right - 1, rect.top);
    LineTo(dc, rect.right - 1, rect.bottom - 1);
    LineTo(dc, rect.left, rect.bottom - 1);
    LineTo(dc, rect.left, rect.top);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

} // namespace device
