// Device contexts: a window's for drawing at any time, the painting one of WM_PAINT, the screen's;
// their colours, background mode and the device's capabilities.
#include <windows.h>

#include "gdi/Drawing.h"
#include "gdi/Objects.h"
#include "user/Screen.h"
#include "user/Window.h"

using device::DeviceContext;
using device::GdiTable;

namespace {

// The device's screen shows 65536 colours.
constexpr int kBitsPerPixel = 16;

DeviceContext FreshContext(HWND hwnd)
{
    auto& table = GdiTable::Instance();
    DeviceContext context;
    context.window = hwnd;
    context.font = table.Stock(SYSTEM_FONT);
    context.pen = table.Stock(BLACK_PEN);
    context.brush = table.Stock(WHITE_BRUSH);
    return context;
}

} // namespace

HDC WINAPI GetDC(HWND hWnd)
{
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return GdiTable::Instance().OpenContext(FreshContext(hWnd));
}

// Windows have no frame of their own here, so the whole window is its client area.
HDC WINAPI GetWindowDC(HWND hWnd) { return GetDC(hWnd); }

int WINAPI ReleaseDC(HWND hWnd, HDC hDC)
{
    auto context = GdiTable::Instance().Context(hDC);
    if (!context || context->window != hWnd || context->painting)
        return 0;
    return GdiTable::Instance().CloseContext(hDC) ? 1 : 0;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT lpPaint)
{
    auto& windows = device::WindowTable::Instance();
    auto window = windows.Find(hwnd);
    if (!window || !lpPaint) {
        SetLastError(window ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    RECT client{}, update{};
    bool erase;
    {
        auto lock = windows.Lock();
        client = RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
        if (window->needsPaint)
            IntersectRect(&update, &window->updateRect, &client);
        erase = window->needsErase;
        window->needsPaint = false;
        window->needsErase = false;
        window->updateRect = RECT{};
    }
    // Painting the whole window anew replaces everything it showed.
    if (!IsRectEmpty(&client) && EqualRect(&update, &client))
        device::ClearDrawing(hwnd);
    DeviceContext context = FreshContext(hwnd);
    context.painting = true;
    context.paintArea = update;
    HDC hdc = GdiTable::Instance().OpenContext(context);
    bool erased = erase && SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) != 0;
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    lpPaint->fErase = erase && !erased;
    lpPaint->rcPaint = update;
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!lpPaint)
        return FALSE;
    auto context = GdiTable::Instance().Context(lpPaint->hdc);
    if (!context || !context->painting || context->window != hWnd)
        return FALSE;
    GdiTable::Instance().CloseContext(lpPaint->hdc);
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC hdc, int nIndex)
{
    if (!GdiTable::Instance().Context(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    RECT screen = device::ScreenBounds();
    int dpi = device::ScreenDpi();
    switch (nIndex) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return screen.right;
    case VERTRES: return screen.bottom;
    case HORZSIZE: return (screen.right * 254 + dpi * 5) / (dpi * 10); // millimetres
    case VERTSIZE: return (screen.bottom * 254 + dpi * 5) / (dpi * 10);
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    case BITSPIXEL: return kBitsPerPixel;
    case PLANES: return 1;
    case NUMCOLORS: return -1; // more than a palette's worth
    default: return 0;
    }
}

namespace {

template <class T, class Get, class Set>
T Exchange(HDC hdc, T failure, Get get, Set set)
{
    T previous = failure;
    if (!GdiTable::Instance().ChangeContext(hdc, [&](DeviceContext& dc) {
            previous = get(dc);
            set(dc);
        }))
        SetLastError(ERROR_INVALID_HANDLE);
    return previous;
}

template <class T, class Get>
T Read(HDC hdc, T failure, Get get)
{
    auto context = GdiTable::Instance().Context(hdc);
    if (!context) {
        SetLastError(ERROR_INVALID_HANDLE);
        return failure;
    }
    return get(*context);
}

} // namespace

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF crColor)
{
    return Exchange(
        hdc, COLORREF{CLR_INVALID}, [](DeviceContext& dc) { return dc.textColor; },
        [&](DeviceContext& dc) { dc.textColor = crColor; });
}

COLORREF WINAPI GetTextColor(HDC hdc)
{
    return Read(hdc, COLORREF{CLR_INVALID}, [](const DeviceContext& dc) { return dc.textColor; });
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF crColor)
{
    return Exchange(
        hdc, COLORREF{CLR_INVALID}, [](DeviceContext& dc) { return dc.backColor; },
        [&](DeviceContext& dc) { dc.backColor = crColor; });
}

COLORREF WINAPI GetBkColor(HDC hdc)
{
    return Read(hdc, COLORREF{CLR_INVALID}, [](const DeviceContext& dc) { return dc.backColor; });
}

int WINAPI SetBkMode(HDC hdc, int iBkMode)
{
    if (iBkMode != OPAQUE && iBkMode != TRANSPARENT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Exchange(
        hdc, 0, [](DeviceContext& dc) { return dc.backMode; }, [&](DeviceContext& dc) { dc.backMode = iBkMode; });
}

int WINAPI GetBkMode(HDC hdc)
{
    return Read(hdc, 0, [](const DeviceContext& dc) { return dc.backMode; });
}
