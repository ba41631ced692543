// Filled rectangles and lines drawn with the selected pen.
#include <windows.h>

#include "gdi/Canvas.h"

#include <algorithm>

using device::Canvas;
using device::CanvasOf;

namespace {

// The pixels a line of that pen width covers, the pen centred on the line.
RECT LineBounds(POINT from, POINT to, int width)
{
    int before = (width - 1) / 2, after = width / 2 + 1;
    return RECT{std::min(from.x, to.x) - before, std::min(from.y, to.y) - before, std::max(from.x, to.x) + after,
                std::max(from.y, to.y) + after};
}

void DrawLine(const Canvas& canvas, POINT from, POINT to)
{
    auto pen = device::GdiTable::Instance().FindAs<device::PenObject>(canvas.state.pen);
    LOGPEN description = pen ? pen->description : LOGPEN{PS_SOLID, POINT{1, 0}, RGB(0, 0, 0)};
    if (description.lopnStyle == PS_NULL)
        return;
    int width = std::max<int>(1, description.lopnWidth.x);
    device::LineDrawing line{from, to, description.lopnColor, width, static_cast<int>(description.lopnStyle)};
    device::Paint(canvas, device::Drawing{line, LineBounds(from, to, width)});
}

void Fill(const Canvas& canvas, const RECT& rect, COLORREF color)
{
    if (!IsRectEmpty(&rect))
        device::Paint(canvas, device::Drawing{device::FillDrawing{rect, color}, rect});
}

} // namespace

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    auto canvas = CanvasOf(hDC);
    if (!canvas)
        return 0;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::optional<COLORREF> color;
    if (!device::ResolveBrush(hbr, &color)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (color)
        Fill(*canvas, *lprc, *color);
    return 1;
}

BOOL WINAPI Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect)
{
    auto canvas = CanvasOf(hdc);
    if (!canvas)
        return FALSE;
    std::optional<COLORREF> color;
    device::ResolveBrush(canvas->state.brush, &color);
    auto pen = device::GdiTable::Instance().FindAs<device::PenObject>(canvas->state.pen);
    bool outlined = !pen || pen->description.lopnStyle != PS_NULL;
    // The right and bottom edges are outside the figure; the outline takes the outermost pixels.
    int inset = outlined ? 1 : 0;
    if (color)
        Fill(*canvas, RECT{nLeftRect + inset, nTopRect + inset, nRightRect - 1, nBottomRect - 1}, *color);
    if (outlined) {
        POINT corners[] = {{nLeftRect, nTopRect},
                           {nRightRect - 1, nTopRect},
                           {nRightRect - 1, nBottomRect - 1},
                           {nLeftRect, nBottomRect - 1}};
        for (int i = 0; i < 4; ++i)
            DrawLine(*canvas, corners[i], corners[(i + 1) % 4]);
    }
    return TRUE;
}

BOOL WINAPI MoveToEx(HDC hdc, int X, int Y, LPPOINT lpPoint)
{
    bool found = device::GdiTable::Instance().ChangeContext(hdc, [&](device::DeviceContext& dc) {
        if (lpPoint)
            *lpPoint = dc.position;
        dc.position = POINT{X, Y};
    });
    if (!found)
        SetLastError(ERROR_INVALID_HANDLE);
    return found;
}

BOOL WINAPI LineTo(HDC hdc, int nXEnd, int nYEnd)
{
    auto canvas = CanvasOf(hdc);
    if (!canvas)
        return FALSE;
    DrawLine(*canvas, canvas->state.position, POINT{nXEnd, nYEnd});
    return MoveToEx(hdc, nXEnd, nYEnd, nullptr);
}
