// What the soft keys and Back do on a bar. The bar's window may take a key over (SHCMBM_OVERRIDEKEY): to
// be told of it as WM_HOTKEY (the key in the high word of lParam, MOD_KEYUP in the low word on release;
// wParam carries no hot key id) and to keep the bar from acting on it. Otherwise a soft key opens its popup
// or posts its command, and Back cancels a dialog or leaves any other window for the next one.
#include <aygshell.h>

#include "MenuBar.h"

#include "user/Window.h"

namespace device::shell {

namespace {

void Notify(HWND owner, UINT vk, WORD modifiers)
{
    PostMessageW(owner, WM_HOTKEY, 0, MAKELPARAM(modifiers, vk));
}

// The menu opens above the bar, at the side of its key; the owner prepares it (WM_INITMENUPOPUP) and gets
// the chosen command as WM_COMMAND.
void OpenPopup(const MenuBar& record, size_t index, HMENU popup)
{
    RECT bar;
    GetWindowRect(record.bar, &bar);
    UINT align = index == 0 ? TPM_LEFTALIGN : TPM_RIGHTALIGN;
    TrackPopupMenuEx(popup, align | TPM_BOTTOMALIGN, index == 0 ? bar.left : bar.right, bar.top, record.owner,
                     nullptr);
}

void PressSoftKey(const MenuBar& record, size_t index)
{
    if (index >= record.keys.size() || !record.keys[index].enabled)
        return;
    const BarKey& key = record.keys[index];
    if (key.popup)
        OpenPopup(record, index, key.popup);
    else
        PostMessageW(record.owner, WM_COMMAND, MAKEWPARAM(key.command, 0), 0);
}

bool IsDialog(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    return window && window->isDialog;
}

// Back in a dialog cancels it. Any other window gives way to the next visible window of the process, as
// the device goes back to what was shown before; with none there is nothing to go back to here.
void PressBack(const MenuBar& record)
{
    if (IsDialog(record.owner)) {
        PostMessageW(record.owner, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        return;
    }
    for (HWND next : WindowTable::Instance().TopLevelWindows()) {
        if (next != record.owner && IsWindowVisible(next) && !FindMenuBar(next)) {
            SetForegroundWindow(next);
            return;
        }
    }
}

} // namespace

void PressKey(HWND bar, UINT vk)
{
    std::optional<MenuBar> record = FindMenuBar(bar);
    if (!record)
        return;
    WORD override = record->overrides[vk];
    if (override & SHMBOF_NOTIFY)
        Notify(record->owner, vk, 0);
    if (override & SHMBOF_NODEFAULT)
        return;
    switch (vk) {
    case VK_TSOFT1: PressSoftKey(*record, 0); break;
    case VK_TSOFT2: PressSoftKey(*record, 1); break;
    case VK_TBACK: PressBack(*record); break;
    }
}

void ReleaseKey(HWND bar, UINT vk)
{
    std::optional<MenuBar> record = FindMenuBar(bar);
    if (record && (record->overrides[vk] & SHMBOF_NOTIFY))
        Notify(record->owner, vk, MOD_KEYUP);
}

} // namespace device::shell
