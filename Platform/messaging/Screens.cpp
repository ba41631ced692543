#include "Screens.h"

#include <aygshell.h>

#include "MessagingResources.h"

#include <cstdarg>

namespace messaging {

namespace {

constexpr int kTextCapacity = 512;

} // namespace

std::u16string LoadText(UINT id)
{
    WCHAR text[kTextCapacity] = {};
    int length = LoadStringW(GetModuleHandleW(nullptr), id, text, kTextCapacity);
    return std::u16string(text, length > 0 ? length : 0);
}

std::u16string FormatText(UINT id, ...)
{
    std::u16string format = LoadText(id);
    WCHAR text[1024] = {}; // wsprintfW writes at most 1024 characters
    va_list arguments;
    va_start(arguments, id);
    int length = wvsprintfW(text, format.c_str(), arguments);
    va_end(arguments);
    return std::u16string(text, length > 0 ? length : 0);
}

void MakeFullScreen(HWND window)
{
    SHINITDLGINFO info{SHIDIM_FLAGS, window, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&info);
}

HWND CreateSoftKeys(HWND owner, UINT menuId, bool backToOwner)
{
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = owner;
    bar.dwFlags = SHCMBF_HMENU;
    bar.nToolBarId = menuId;
    bar.hInstRes = GetModuleHandleW(nullptr);
    if (!SHCreateMenuBar(&bar))
        return nullptr;
    if (backToOwner)
        SendMessageW(bar.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK,
                     MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    return bar.hwndMB;
}

void Tell(HWND owner, const std::u16string& text)
{
    MessageBoxW(owner, text.c_str(), LoadText(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

std::u16string Listed(const std::vector<std::u16string>& items)
{
    std::u16string text;
    for (const std::u16string& item : items)
        text += (text.empty() ? u"" : u", ") + item;
    return text;
}

std::u16string LocalTimeText(const FILETIME& utc)
{
    FILETIME local;
    SYSTEMTIME time;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time))
        return {};
    WCHAR date[64] = {}, clock[64] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, 64);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, 64);
    return std::u16string(date) + u" " + clock;
}

void StretchToWidth(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return;
    RECT client, rect;
    GetClientRect(dialog, &client);
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    MoveWindow(control, rect.left, rect.top, client.right - kScreenMargin - rect.left, rect.bottom - rect.top, TRUE);
}

INT_PTR Screen::RunScreen(UINT templateId, HWND owner)
{
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, &Procedure,
                           reinterpret_cast<LPARAM>(this));
}

bool Screen::SetUp(UINT menuId, bool backToOwner)
{
    MakeFullScreen(m_hwnd);
    m_softKeys = CreateSoftKeys(m_hwnd, menuId, backToOwner);
    return m_softKeys != nullptr;
}

BOOL CALLBACK Screen::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lp);
        reinterpret_cast<Screen*>(lp)->m_hwnd = hwnd;
    }
    auto screen = reinterpret_cast<Screen*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!screen)
        return FALSE;
    BOOL handled = screen->OnMessage(msg, wp, lp);
    if (msg == WM_DESTROY && screen->m_softKeys) {
        DestroyWindow(screen->m_softKeys);
        screen->m_softKeys = nullptr;
    }
    return handled;
}

} // namespace messaging
