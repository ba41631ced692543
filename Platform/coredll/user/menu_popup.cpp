// TrackPopupMenuEx without a screen: the menu is "shown" by recording it as the open popup; the owner
// gets WM_INITMENUPOPUP first, then a loop runs until the user (keys) or automation chooses an item or
// closes the menu. Position and alignment flags have nothing to act on here.
#include <windows.h>

#include "user/Menu.h"
#include "user/MessageQueue.h"
#include "user/PopupMenu.h"

#include <memory>
#include <mutex>

using device::MenuItem;
using device::MenuTable;

namespace {

struct Level {
    HMENU menu;
    int highlighted;
};

struct Tracking {
    HWND owner = nullptr;
    DWORD threadId = 0;
    std::vector<Level> levels; // the popup, then each open submenu
    bool ended = false;
    UINT command = 0;
};

std::mutex g_mutex;
std::shared_ptr<Tracking> g_tracking; // one popup menu at a time per process

bool Selectable(const MenuItem& item)
{
    return !(item.type & MFT_SEPARATOR) && !(item.state & (MF_GRAYED | MF_DISABLED));
}

// The next selectable item from `from` in steps of `step`, round the end; -1 when there is none.
int NextSelectable(HMENU handle, int from, int step)
{
    auto lock = MenuTable::Instance().Lock();
    auto menu = MenuTable::Instance().Find(handle);
    if (!menu || menu->items.empty())
        return -1;
    int count = static_cast<int>(menu->items.size());
    for (int n = 1; n <= count; ++n) {
        int at = ((from + step * n) % count + count) % count;
        if (Selectable(menu->items[at]))
            return at;
    }
    return -1;
}

std::shared_ptr<Tracking> Active()
{
    std::lock_guard guard(g_mutex);
    return g_tracking && !g_tracking->ended && !g_tracking->levels.empty() ? g_tracking : nullptr;
}

void End(Tracking& tracking, UINT command)
{
    {
        std::lock_guard guard(g_mutex);
        tracking.ended = true;
        tracking.command = command;
    }
    // The loop looks again after each message it handles; a choice made elsewhere (another thread, or a
    // message sent from one) must wake it.
    if (tracking.threadId != device::CurrentThreadId() || InSendMessage())
        PostThreadMessageW(tracking.threadId, WM_NULL, 0, 0);
}

// The owner prepares a menu (greys and checks its items) before it opens.
void Open(Tracking& tracking, HMENU menu, int position)
{
    SendMessageW(tracking.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(position, FALSE));
    int first = NextSelectable(menu, -1, 1);
    std::lock_guard guard(g_mutex);
    tracking.levels.push_back(Level{menu, first});
}

void Highlight(Tracking& tracking, int step)
{
    HMENU menu;
    int from;
    {
        std::lock_guard guard(g_mutex);
        menu = tracking.levels.back().menu;
        from = tracking.levels.back().highlighted;
    }
    int next = NextSelectable(menu, from < 0 && step < 0 ? 0 : from, step);
    std::lock_guard guard(g_mutex);
    if (!tracking.levels.empty() && tracking.levels.back().menu == menu)
        tracking.levels.back().highlighted = next;
}

// The device's keys while a menu is open: up and down move, action (or right on an item with a
// submenu) chooses, Back closes a level and left closes a submenu.
void OnKey(Tracking& tracking, WPARAM vk)
{
    HMENU menu;
    int highlighted;
    size_t depth;
    {
        std::lock_guard guard(g_mutex);
        menu = tracking.levels.back().menu;
        highlighted = tracking.levels.back().highlighted;
        depth = tracking.levels.size();
    }
    switch (vk) {
    case VK_UP: Highlight(tracking, -1); break;
    case VK_DOWN: Highlight(tracking, 1); break;
    case VK_RETURN: device::ChoosePopupItem(highlighted); break;
    case VK_RIGHT:
        if (highlighted >= 0 && GetSubMenu(menu, highlighted))
            device::ChoosePopupItem(highlighted);
        break;
    case VK_ESCAPE: device::DismissPopupMenu(); break;
    case VK_LEFT:
        if (depth > 1)
            device::DismissPopupMenu();
        break;
    }
}

void RunMenuLoop(Tracking& tracking)
{
    for (;;) {
        {
            std::lock_guard guard(g_mutex);
            if (tracking.ended)
                return;
        }
        if (!IsWindow(tracking.owner)) {
            End(tracking, 0);
            return;
        }
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) {
            End(tracking, 0);
            return;
        }
        if (!got) {
            // A quit request closes the menu and goes on to the loop outside.
            PostQuitMessage(static_cast<int>(msg.wParam));
            End(tracking, 0);
            return;
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            if (msg.message == WM_KEYDOWN)
                OnKey(tracking, msg.wParam); // the open menu has the keyboard
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

namespace device {

std::optional<OpenMenu> CurrentPopupMenu()
{
    OpenMenu open;
    {
        std::lock_guard guard(g_mutex);
        if (!g_tracking || g_tracking->ended || g_tracking->levels.empty())
            return std::nullopt;
        open.owner = g_tracking->owner;
        open.menu = g_tracking->levels.back().menu;
        open.highlighted = g_tracking->levels.back().highlighted;
        open.depth = static_cast<int>(g_tracking->levels.size());
    }
    auto lock = MenuTable::Instance().Lock();
    auto menu = MenuTable::Instance().Find(open.menu);
    if (!menu)
        return std::nullopt;
    for (const MenuItem& item : menu->items) {
        OpenMenuItem shown;
        shown.separator = (item.type & MFT_SEPARATOR) != 0;
        shown.opensSubmenu = item.submenu != nullptr;
        shown.text = item.text;
        shown.id = shown.separator || shown.opensSubmenu ? 0 : item.id;
        shown.enabled = !(item.state & (MF_GRAYED | MF_DISABLED));
        shown.checked = (item.state & MF_CHECKED) != 0;
        open.items.push_back(std::move(shown));
    }
    return open;
}

bool ChoosePopupItem(int position)
{
    auto tracking = Active();
    if (!tracking || position < 0)
        return false;
    HMENU level;
    {
        std::lock_guard guard(g_mutex);
        level = tracking->levels.back().menu;
    }
    MenuItem item;
    {
        auto lock = MenuTable::Instance().Lock();
        device::MenuItemRef ref = MenuTable::Instance().Locate(level, static_cast<UINT>(position), true);
        if (!ref.menu)
            return false;
        item = ref.Item();
    }
    if (!Selectable(item))
        return false;
    if (item.submenu)
        Open(*tracking, item.submenu, position);
    else
        End(*tracking, item.id);
    return true;
}

bool ChoosePopupCommand(UINT id)
{
    auto open = CurrentPopupMenu();
    if (!open)
        return false;
    for (size_t i = 0; i < open->items.size(); ++i)
        if (open->items[i].id == id && !open->items[i].separator && !open->items[i].opensSubmenu)
            return ChoosePopupItem(static_cast<int>(i));
    return false;
}

bool DismissPopupMenu()
{
    auto tracking = Active();
    if (!tracking)
        return false;
    bool closedAll;
    {
        std::lock_guard guard(g_mutex);
        tracking->levels.pop_back();
        closedAll = tracking->levels.empty();
    }
    if (closedAll)
        End(*tracking, 0);
    return true;
}

} // namespace device

BOOL WINAPI TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hWnd, LPTPMPARAMS lptpm)
{
    if (!IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!IsMenu(hMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    auto tracking = std::make_shared<Tracking>();
    tracking->owner = hWnd;
    tracking->threadId = device::CurrentThreadId();
    {
        std::lock_guard guard(g_mutex);
        if (g_tracking) {
            SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
            return FALSE;
        }
        g_tracking = tracking;
    }
    Open(*tracking, hMenu, 0);
    RunMenuLoop(*tracking);
    UINT command;
    {
        std::lock_guard guard(g_mutex);
        command = tracking->command;
        g_tracking.reset();
    }
    if (uFlags & TPM_RETURNCMD)
        return static_cast<BOOL>(command);
    if (command && !(uFlags & TPM_NONOTIFY))
        PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return TRUE;
}
