// Progress bar ("msctls_progress32"): a position inside a range, moved by steps, drawn as a filled bar.
// Left out: the segmented look (the bar is always drawn smooth).
#include <windows.h>
#include <commctrl.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"

#include <algorithm>

namespace {

struct Progress {
    HWND hwnd = nullptr;
    int low = 0;
    int high = 100;
    int position = 0;
    int step = 10;
    COLORREF barColour = CLR_DEFAULT;
    COLORREF backColour = CLR_DEFAULT;
};

int Clamp(const Progress& bar, int position)
{
    return std::clamp(position, std::min(bar.low, bar.high), std::max(bar.low, bar.high));
}

// Moves the bar and answers the previous position, as every positioning message does.
LRESULT MoveTo(Progress& bar, int position)
{
    int previous = bar.position;
    bar.position = Clamp(bar, position);
    if (bar.position != previous)
        InvalidateRect(bar.hwnd, nullptr, TRUE);
    return previous;
}

LRESULT SetRange(Progress& bar, int low, int high)
{
    LRESULT previous = MAKELONG(static_cast<WORD>(bar.low), static_cast<WORD>(bar.high));
    bar.low = low;
    bar.high = high;
    bar.position = Clamp(bar, bar.position);
    InvalidateRect(bar.hwnd, nullptr, TRUE);
    return previous;
}

// Stepping past the end starts again from the beginning of the range.
LRESULT StepIt(Progress& bar)
{
    int previous = bar.position;
    int next = bar.position + bar.step;
    if (next > std::max(bar.low, bar.high))
        next = std::min(bar.low, bar.high);
    else if (next < std::min(bar.low, bar.high))
        next = std::max(bar.low, bar.high);
    bar.position = next;
    InvalidateRect(bar.hwnd, nullptr, TRUE);
    return previous;
}

LRESULT GetRange(const Progress& bar, BOOL wantLow, PBRANGE* range)
{
    if (range)
        *range = PBRANGE{bar.low, bar.high};
    return wantLow ? bar.low : bar.high;
}

LRESULT SetColour(Progress& bar, COLORREF& slot, COLORREF colour)
{
    COLORREF previous = slot;
    slot = colour;
    InvalidateRect(bar.hwnd, nullptr, TRUE);
    return previous;
}

// The frame and the part of the range already covered, from the left (or the bottom, PBS_VERTICAL).
LRESULT Paint(const Progress& bar)
{
    device::PaintScope paint(bar.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    COLORREF back = bar.backColour == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : bar.backColour;
    COLORREF fill = bar.barColour == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : bar.barColour;
    HBRUSH backBrush = CreateSolidBrush(back);
    FillRect(dc, &client, backBrush);
    DeleteObject(backBrush);
    device::Frame(dc, client, COLOR_BTNSHADOW);
    RECT inside = client;
    InflateRect(&inside, -1, -1);
    int span = bar.high - bar.low;
    if (span > 0 && bar.position > bar.low) {
        RECT done = inside;
        if (device::StyleOf(bar.hwnd) & PBS_VERTICAL)
            done.top = inside.bottom - (inside.bottom - inside.top) * (bar.position - bar.low) / span;
        else
            done.right = inside.left + (inside.right - inside.left) * (bar.position - bar.low) / span;
        HBRUSH fillBrush = CreateSolidBrush(fill);
        FillRect(dc, &done, fillBrush);
        DeleteObject(fillBrush);
    }
    return 0;
}

} // namespace

namespace device {

LRESULT CALLBACK ProgressProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<Progress>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    Progress* bar = StateOf<Progress>(hwnd);
    if (!bar)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case PBM_SETRANGE: return SetRange(*bar, LOWORD(lp), HIWORD(lp));
    case PBM_SETRANGE32: return SetRange(*bar, static_cast<int>(wp), static_cast<int>(lp));
    case PBM_GETRANGE: return GetRange(*bar, static_cast<BOOL>(wp), reinterpret_cast<PBRANGE*>(lp));
    case PBM_SETPOS: return MoveTo(*bar, static_cast<int>(wp));
    case PBM_DELTAPOS: return MoveTo(*bar, bar->position + static_cast<int>(wp));
    case PBM_GETPOS: return bar->position;
    case PBM_SETSTEP: {
        int previous = bar->step;
        bar->step = static_cast<int>(wp);
        return previous;
    }
    case PBM_STEPIT: return StepIt(*bar);
    case PBM_SETBARCOLOR: return SetColour(*bar, bar->barColour, static_cast<COLORREF>(lp));
    case PBM_SETBKCOLOR: return SetColour(*bar, bar->backColour, static_cast<COLORREF>(lp));
    case WM_PAINT: return Paint(*bar);
    case WM_NCDESTROY:
        DestroyState<Progress>(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
