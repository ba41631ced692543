#include "commctrl/ControlSupport.h"


#include <algorithm>

namespace device {

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

void SetStyleBits(HWND hwnd, DWORD bits, bool on)
{
    DWORD style = StyleOf(hwnd);
    SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(on ? style | bits : style & ~bits));
}

std::u16string TextOf(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return {};
    auto lock = WindowTable::Instance().Lock();
    return window->text;
}

void StoreText(HWND hwnd, std::u16string text)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return;
    {
        auto lock = WindowTable::Instance().Lock();
        window->text = std::move(text);
    }
    InvalidateRect(hwnd, nullptr, TRUE);
}

void NotifyCommand(HWND control, WORD code)
{
    HWND parent = GetParent(control);
    if (parent)
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

LRESULT NotifyParent(HWND control, NMHDR& header, UINT code)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    HWND parent = GetParent(control);
    return parent ? SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) : 0;
}

int CopyText(const std::u16string& text, LPWSTR buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return 0;
    int count = std::min<int>(static_cast<int>(text.size()), capacity - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = 0;
    return count;
}

int CompareTexts(std::u16string_view a, std::u16string_view b, bool ignoreCase)
{
    int result = CompareStringW(LOCALE_USER_DEFAULT, ignoreCase ? NORM_IGNORECASE : 0, a.data(),
                                static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

} // namespace device
