// Loading icons from a module's resources, drawing and destroying them. Only icons are images here:
// bitmaps, cursors and image files are not supported.
#include <windows.h>

#include "gdi/Canvas.h"
#include "gdi/Icons.h"

#include <map>
#include <mutex>
#include <string>
#include <tuple>

namespace {

// A resource name as "#id" for a number, so both ways of naming one icon meet.
std::u16string NameKey(LPCWSTR name)
{
    if (!IS_INTRESOURCE(name))
        return name;
    std::string number = "#" + std::to_string(reinterpret_cast<uintptr_t>(name));
    return std::u16string(number.begin(), number.end());
}

} // namespace

HANDLE WINAPI LoadImageW(HINSTANCE hinst, LPCWSTR lpszName, UINT uType, int cxDesired, int cyDesired, UINT fuLoad)
{
    if (uType != IMAGE_ICON || (fuLoad & LR_LOADFROMFILE)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    if (!lpszName || cxDesired < 0 || cyDesired < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The device always behaves as with LR_DEFAULTSIZE: no size means the system's icon size.
    int cx = cxDesired ? cxDesired : GetSystemMetrics(SM_CXICON);
    int cy = cyDesired ? cyDesired : GetSystemMetrics(SM_CYICON);
    auto image = device::LoadIconImage(hinst, lpszName, cx, cy, fuLoad & LR_MONOCHROME);
    if (!image)
        return nullptr;
    return device::AddIcon(std::move(*image), false);
}

// An icon is loaded once per module, name and size; every caller gets the same handle. A module handle
// may name another file once the first is freed, so the image is read each time and the handle given
// again only while it shows the same image.
HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName)
{
    if (!lpIconName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    auto image = device::LoadIconImage(hInstance, lpIconName, cx, cy, false);
    if (!image)
        return nullptr;
    using Key = std::tuple<HINSTANCE, std::u16string, int, int>;
    static std::mutex mutex;
    static auto* loaded = new std::map<Key, HICON>;
    std::lock_guard lock(mutex);
    HICON& icon = (*loaded)[Key{hInstance, NameKey(lpIconName), cx, cy}];
    auto known = device::IconOf(icon);
    if (!known || known->bits != image->bits)
        icon = device::AddIcon(std::move(*image), true);
    return icon;
}

BOOL WINAPI DestroyIcon(HICON hIcon)
{
    if (device::GdiTable::Instance().RemoveIcon(hIcon) == device::GdiTable::Removal::Invalid) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

// The device ignores the animation step and the flicker-free brush; the mask and image parts are not
// told apart in what is recorded.
BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                       HBRUSH hbrFlickerFreeDraw, UINT diFlags)
{
    auto canvas = device::CanvasOf(hdc);
    if (!canvas)
        return FALSE;
    auto icon = device::IconOf(hIcon);
    if (!icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    bool systemSize = diFlags & DI_DEFAULTSIZE;
    int cx = cxWidth ? cxWidth : systemSize ? GetSystemMetrics(SM_CXICON) : icon->width;
    int cy = cyWidth ? cyWidth : systemSize ? GetSystemMetrics(SM_CYICON) : icon->height;
    RECT rect{xLeft, yTop, xLeft + cx, yTop + cy};
    device::Paint(*canvas, device::Drawing{device::IconDrawing{icon, rect}, rect});
    return TRUE;
}
