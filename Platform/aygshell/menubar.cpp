// The soft-key menu bar: a window of its own at the bottom of the screen, owned by the window it serves,
// showing the two top-level items of a menu resource as the left and right soft keys. The window manager
// routes the soft keys and Back to it (user/SoftKeyBar.h). Left out: toolbar-resource bars (only
// SHCMBF_HMENU bars are built), images, background colours, and the traditional menu bar a PocketPC shows
// for a menu of more than two items; such requests fail with ERROR_NOT_SUPPORTED.
#include <aygshell.h>

#include "MenuBar.h"

#include "device/ShellHooks.h"
#include "user/Screen.h"
#include "user/SoftKeyBar.h"
#include "user/Window.h"

#include <algorithm>
#include <mutex>

using device::shell::BarKey;
using device::shell::MenuBar;

namespace {

constexpr WCHAR kBarClass[] = TEXT("SoftKeyBar");

// Soft key positions within the bar.
RECT KeyRect(HWND bar, size_t index)
{
    RECT client;
    GetClientRect(bar, &client);
    int middle = (client.left + client.right) / 2;
    return index == 0 ? RECT{client.left, client.top, middle, client.bottom}
                      : RECT{middle, client.top, client.right, client.bottom};
}

void Paint(HWND bar)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(bar, &ps);
    if (!dc)
        return;
    SetBkMode(dc, TRANSPARENT); // on the class background, which erasing laid down
    std::optional<MenuBar> record = device::shell::FindMenuBar(bar);
    for (size_t i = 0; record && i < record->keys.size(); ++i) {
        const BarKey& key = record->keys[i];
        RECT rect = KeyRect(bar, i);
        InflateRect(&rect, -device::Scale(4), 0);
        SetTextColor(dc, GetSysColor(key.enabled ? COLOR_MENUTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, key.label.c_str(), static_cast<int>(key.label.size()), &rect,
                  (i == 0 ? DT_LEFT : DT_RIGHT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    EndPaint(bar, &ps);
}

// A soft key by command id; -1 when the bar has none with that id.
int KeyIndexOf(const MenuBar& record, UINT command)
{
    for (size_t i = 0; i < record.keys.size(); ++i)
        if (record.keys[i].command == command)
            return static_cast<int>(i);
    return -1;
}

bool SetKeyEnabled(HWND bar, UINT uid, bool byIndex, bool enable)
{
    bool changed = false;
    device::shell::ChangeMenuBar(bar, [&](MenuBar& record) {
        int index = byIndex ? (uid < record.keys.size() ? static_cast<int>(uid) : -1) : KeyIndexOf(record, uid);
        if (index >= 0) {
            record.keys[index].enabled = enable;
            changed = true;
        }
    });
    if (changed)
        InvalidateRect(bar, nullptr, TRUE);
    return changed;
}

// Previous bits; keys the bar does not take (user/SoftKeyBar.h) keep none.
LRESULT OverrideKey(HWND bar, UINT vk, WORD mask, WORD bits)
{
    if (vk != VK_TSOFT1 && vk != VK_TSOFT2 && vk != VK_TBACK)
        return 0;
    WORD previous = 0;
    device::shell::ChangeMenuBar(bar, [&](MenuBar& record) {
        previous = record.overrides[vk];
        record.overrides[vk] = static_cast<WORD>((previous & ~mask) | (bits & mask));
    });
    return previous;
}

LRESULT GetButtonInfo(HWND bar, UINT command, TBBUTTONINFOW* info)
{
    std::optional<MenuBar> record = device::shell::FindMenuBar(bar);
    int index = record ? KeyIndexOf(*record, command) : -1;
    if (index < 0 || !info || info->cbSize != sizeof(TBBUTTONINFOW))
        return -1;
    const BarKey& key = record->keys[index];
    if (info->dwMask & TBIF_COMMAND)
        info->idCommand = static_cast<int>(key.command);
    if (info->dwMask & TBIF_STATE)
        info->fsState = key.enabled ? TBSTATE_ENABLED : 0;
    if ((info->dwMask & TBIF_TEXT) && info->pszText && info->cchText > 0) {
        size_t count = std::min<size_t>(key.label.size(), static_cast<size_t>(info->cchText - 1));
        key.label.copy(info->pszText, count);
        info->pszText[count] = 0;
    }
    return index;
}

LRESULT SetButtonInfo(HWND bar, UINT command, const TBBUTTONINFOW* info)
{
    if (!info || info->cbSize != sizeof(TBBUTTONINFOW))
        return FALSE;
    bool changed = false;
    device::shell::ChangeMenuBar(bar, [&](MenuBar& record) {
        int index = KeyIndexOf(record, command);
        if (index < 0)
            return;
        BarKey& key = record.keys[index];
        if (info->dwMask & TBIF_STATE)
            key.enabled = (info->fsState & TBSTATE_ENABLED) != 0;
        if ((info->dwMask & TBIF_TEXT) && info->pszText)
            key.label = info->pszText;
        if (info->dwMask & TBIF_COMMAND)
            key.command = static_cast<UINT>(info->idCommand);
        changed = true;
    });
    if (changed)
        InvalidateRect(bar, nullptr, TRUE);
    return changed;
}

HMENU SubmenuById(HWND bar, UINT id)
{
    std::optional<MenuBar> record = device::shell::FindMenuBar(bar);
    for (size_t i = 0; record && i < record->keys.size(); ++i)
        if (record->keys[i].popup && record->keys[i].command == id)
            return record->keys[i].popup;
    return nullptr;
}

void OnDestroy(HWND bar)
{
    std::optional<MenuBar> record = device::shell::FindMenuBar(bar);
    if (!record)
        return;
    device::shell::RemoveMenuBar(bar);
    if (device::SoftKeyBarOf(record->owner) == bar)
        device::SetSoftKeyBar(record->owner, nullptr);
    if (record->menu)
        DestroyMenu(record->menu);
}

LRESULT CALLBACK BarProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    constexpr LPARAM kRepeat = 0x40000000; // the key was down already: a held key repeating
    switch (msg) {
    case WM_KEYDOWN:
        if (!(lp & kRepeat))
            device::shell::PressKey(hwnd, static_cast<UINT>(wp));
        return 0;
    case WM_KEYUP: device::shell::ReleaseKey(hwnd, static_cast<UINT>(wp)); return 0;
    case WM_PAINT: Paint(hwnd); return 0;
    case SHCMBM_GETMENU: {
        std::optional<MenuBar> record = device::shell::FindMenuBar(hwnd);
        return reinterpret_cast<LRESULT>(record ? record->menu : nullptr);
    }
    case SHCMBM_GETSUBMENU: return reinterpret_cast<LRESULT>(SubmenuById(hwnd, static_cast<UINT>(lp)));
    case SHCMBM_OVERRIDEKEY: return OverrideKey(hwnd, static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    case TB_ENABLEBUTTON: return SetKeyEnabled(hwnd, static_cast<UINT>(wp), false, LOWORD(lp) != 0);
    case TB_ISBUTTONENABLED: {
        std::optional<MenuBar> record = device::shell::FindMenuBar(hwnd);
        int index = record ? KeyIndexOf(*record, static_cast<UINT>(wp)) : -1;
        return index >= 0 && record->keys[index].enabled;
    }
    case TB_GETBUTTONINFOW:
        return GetButtonInfo(hwnd, static_cast<UINT>(wp), reinterpret_cast<TBBUTTONINFOW*>(lp));
    case TB_SETBUTTONINFOW:
        return SetButtonInfo(hwnd, static_cast<UINT>(wp), reinterpret_cast<const TBBUTTONINFOW*>(lp));
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterBarClass()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSW info{};
        info.lpfnWndProc = BarProcedure;
        info.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_MENU + 1); // a system colour, as WNDCLASS takes it
        info.lpszClassName = kBarClass;
        device::WindowTable::Instance().RegisterClass(info, true);
    });
}

// The bar's menu and soft keys as the request names them; false with the error set when it can't.
bool LoadKeys(const SHMENUBARINFO& info, MenuBar* record)
{
    if (info.dwFlags & SHCMBF_EMPTYBAR)
        return true;
    if (!(info.dwFlags & SHCMBF_HMENU)) {
        SetLastError(ERROR_NOT_SUPPORTED); // toolbar resources are not carried
        return false;
    }
    record->menu = LoadMenuW(info.hInstRes, MAKEINTRESOURCE(info.nToolBarId));
    if (!record->menu)
        return false;
    std::optional<std::vector<BarKey>> keys = device::shell::SoftKeysOf(record->menu);
    if (!keys) {
        DestroyMenu(record->menu);
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    record->keys = std::move(*keys);
    return true;
}

// The bar's window at the foot of the screen, serving record.owner; null when it can't be made.
HWND ShowBar(MenuBar record, HINSTANCE instance, bool visible)
{
    RegisterBarClass();
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    int height = GetSystemMetrics(SM_CYMENU);
    HWND bar = CreateWindowExW(0, kBarClass, TEXT(""), WS_POPUP, screen.left, screen.bottom - height,
                               screen.right - screen.left, height, record.owner, nullptr, instance, nullptr);
    if (!bar) {
        if (record.menu)
            DestroyMenu(record.menu);
        return nullptr;
    }
    record.bar = bar;
    HWND owner = record.owner;
    device::shell::AddMenuBar(record);
    device::SetSoftKeyBar(owner, bar);
    if (visible)
        ShowWindow(bar, SW_SHOWNOACTIVATE); // the window it serves keeps the activation
    return bar;
}

// The platform's own screens get their two soft keys here, without a menu resource.
HWND MakeCommandBar(HWND owner, const device::SoftKeyCommand& left, const device::SoftKeyCommand& right)
{
    MenuBar record;
    record.owner = owner;
    record.keys = {BarKey{left.label, left.command}, BarKey{right.label, right.command}};
    return ShowBar(std::move(record), nullptr, true);
}

[[maybe_unused]] const bool g_barMakerSet = (device::SetSoftKeyBarMaker(&MakeCommandBar), true);

} // namespace

// cbSize is sizeof(SHMENUBARINFO) as compiled on this host (36 bytes on the device's 32-bit layout).
BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* pmbi)
{
    if (!pmbi || pmbi->cbSize != sizeof(SHMENUBARINFO) || !IsWindow(pmbi->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuBar record;
    record.owner = pmbi->hwndParent;
    if (!LoadKeys(*pmbi, &record))
        return FALSE;
    pmbi->hwndMB = ShowBar(std::move(record), pmbi->hInstRes, !(pmbi->dwFlags & SHCMBF_HIDDEN));
    return pmbi->hwndMB != nullptr;
}

HWND WINAPI SHFindMenuBar(HWND hwnd)
{
    HWND bar = device::SoftKeyBarOf(hwnd);
    return IsWindow(bar) ? bar : nullptr;
}

HRESULT WINAPI SHEnableSoftkey(HWND hwndMenuBar, UINT uid, BOOL bByIndex, BOOL bEnable)
{
    return SetKeyEnabled(hwndMenuBar, uid, bByIndex != FALSE, bEnable != FALSE) ? S_OK : E_INVALIDARG;
}
