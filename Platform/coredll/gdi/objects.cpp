// Pens, brushes and fonts: creating, selecting, describing and deleting them.
#include <windows.h>

#include "gdi/Objects.h"

#include <algorithm>
#include <cstring>

using device::BrushObject;
using device::FontObject;
using device::GdiTable;
using device::PenObject;

HGDIOBJ WINAPI GetStockObject(int fnObject)
{
    HGDIOBJ object = GdiTable::Instance().Stock(fnObject);
    if (!object)
        SetLastError(ERROR_INVALID_PARAMETER);
    return object;
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* lplgpn)
{
    if (!lplgpn || (lplgpn->lopnStyle != PS_SOLID && lplgpn->lopnStyle != PS_DASH && lplgpn->lopnStyle != PS_NULL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGPEN pen = *lplgpn;
    pen.lopnWidth = POINT{std::max<LONG>(pen.lopnWidth.x, 0), 0};
    return static_cast<HPEN>(GdiTable::Instance().Add(PenObject{pen}));
}

HPEN WINAPI CreatePen(int fnPenStyle, int nWidth, COLORREF crColor)
{
    LOGPEN pen{static_cast<UINT>(fnPenStyle), POINT{nWidth, 0}, crColor};
    return CreatePenIndirect(&pen);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF crColor)
{
    return static_cast<HBRUSH>(GdiTable::Instance().Add(BrushObject{LOGBRUSH{BS_SOLID, crColor, 0}}));
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf)
{
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    FontObject font{*lplf, false};
    font.description.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(GdiTable::Instance().Add(font));
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ hgdiobj)
{
    auto& table = GdiTable::Instance();
    auto object = table.Find(hgdiobj);
    enum { None, Font, Pen, Brush } kind = None;
    if (device::IsSysColorBrush(hgdiobj))
        kind = Brush;
    else if (object && std::holds_alternative<FontObject>(*object))
        kind = Font;
    else if (object && std::holds_alternative<PenObject>(*object))
        kind = Pen;
    else if (object && std::holds_alternative<BrushObject>(*object))
        kind = Brush;
    if (kind == None) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ previous = nullptr;
    bool found = table.ChangeContext(hdc, [&](device::DeviceContext& dc) {
        HGDIOBJ& selected = kind == Font ? dc.font : kind == Pen ? dc.pen : dc.brush;
        previous = selected;
        selected = hgdiobj;
    });
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ hObject)
{
    if (device::IsSysColorBrush(hObject))
        return TRUE; // nothing was made for it, as for a stock object
    auto removal = GdiTable::Instance().Remove(hObject, [](const device::GdiObject& o) {
        return !std::holds_alternative<device::IconObject>(o);
    });
    switch (removal) {
    case GdiTable::Removal::Removed:
    case GdiTable::Removal::Kept: return TRUE;
    case GdiTable::Removal::Selected: SetLastError(ERROR_BUSY); return FALSE;
    case GdiTable::Removal::Invalid: break;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

namespace {

template <class T>
int CopyOut(const T& value, int cbBuffer, LPVOID lpvObject)
{
    if (!lpvObject)
        return sizeof(T);
    int count = std::clamp<int>(cbBuffer, 0, sizeof(T));
    std::memcpy(lpvObject, &value, count);
    return count;
}

} // namespace

int WINAPI GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject)
{
    std::optional<COLORREF> color;
    if (device::IsSysColorBrush(hgdiobj) && device::ResolveBrush(hgdiobj, &color))
        return CopyOut(LOGBRUSH{BS_SOLID, *color, 0}, cbBuffer, lpvObject);
    auto object = GdiTable::Instance().Find(hgdiobj);
    if (object && std::holds_alternative<FontObject>(*object))
        return CopyOut(*device::FontDescription(hgdiobj), cbBuffer, lpvObject);
    if (object && std::holds_alternative<PenObject>(*object))
        return CopyOut(std::get<PenObject>(*object).description, cbBuffer, lpvObject);
    if (object && std::holds_alternative<BrushObject>(*object))
        return CopyOut(std::get<BrushObject>(*object).description, cbBuffer, lpvObject);
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}
