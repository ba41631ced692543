// Input as a user gives it: key messages posted to the focused window, then a wait until the program
// has handled them. Nothing here calls into the program's objects.
#include "automation/Automation.h"

#include <commctrl.h>

#include "device/ShellHooks.h"
#include "process/Idle.h"
#include "user/MessageBoxInfo.h"
#include "user/MessageQueue.h"
#include "user/PopupMenu.h"
#include "user/Window.h"

#include <chrono>

namespace device::automation {

namespace {

UINT VirtualKey(Key key)
{
    switch (key) {
    case Key::LeftSoft: return VK_TSOFT1;
    case Key::RightSoft: return VK_TSOFT2;
    case Key::Up: return VK_UP;
    case Key::Down: return VK_DOWN;
    case Key::Left: return VK_LEFT;
    case Key::Right: return VK_RIGHT;
    case Key::Action: return VK_RETURN;
    case Key::Back: return VK_ESCAPE;
    }
    return 0;
}

HWND InputTarget()
{
    HWND focus = GetFocus();
    return focus ? focus : GetForegroundWindow();
}

void PostKey(UINT vk)
{
    HWND target = InputTarget();
    if (!target)
        return;
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
}

std::u16string WithoutPrefixMarks(std::u16string_view text)
{
    std::u16string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace

bool WaitIdle(DWORD timeoutMs)
{
    return AwaitThisProcessIdle(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs), true);
}

void Press(Key key)
{
    PostKey(VirtualKey(key));
    WaitIdle();
}

void PressCharacter(WCHAR ch)
{
    // The keypad's letters arrive as their upper-case virtual keys; the loop's TranslateMessage makes
    // the characters.
    UINT vk = (ch >= u'a' && ch <= u'z') ? ch - u'a' + u'A' : ch;
    PostKey(vk);
    WaitIdle();
}

void Type(std::u16string_view text)
{
    HWND target = InputTarget();
    if (!target)
        return;
    for (char16_t ch : text)
        PostMessageW(target, WM_CHAR, ch, 1);
    WaitIdle();
}

bool ChooseMenuItem(std::u16string_view text)
{
    if (!CurrentPopupMenu()) {
        // A right soft key that sends a command (Cancel, say) is not pressed to look for a menu.
        auto shell = QueryShellViewOver(GetForegroundWindow());
        if (!shell || shell->softKeys.size() < 2 || !shell->softKeys[1].opensMenu)
            return false;
        Press(Key::RightSoft);
    }
    auto menu = CurrentPopupMenu();
    if (!menu)
        return false;
    std::u16string wanted = WithoutPrefixMarks(text);
    for (size_t i = 0; i < menu->items.size(); ++i) {
        const auto& item = menu->items[i];
        if (!item.separator && WithoutPrefixMarks(item.text) == wanted) {
            bool chosen = ChoosePopupItem(static_cast<int>(i));
            WaitIdle();
            return chosen;
        }
    }
    return false;
}

bool SelectRow(int row)
{
    HWND list = GetFocus();
    WCHAR name[64] = {};
    if (!list || !GetClassNameW(list, name, 64))
        return false;
    bool listView = FoldCase(name) == FoldCase(WC_LISTVIEWW);
    bool listBox = FoldCase(name) == FoldCase(u"ListBox");
    if (!listView && !listBox)
        return false;
    int count = static_cast<int>(SendMessageW(list, listView ? LVM_GETITEMCOUNT : LB_GETCOUNT, 0, 0));
    if (row < 0 || row >= count)
        return false;
    auto selected = [&] {
        return listView ? static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))
                        : static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    };
    for (int steps = 0; selected() != row && steps <= count; ++steps)
        Press(selected() < row ? Key::Down : Key::Up);
    if (selected() != row)
        return false;
    Press(Key::Action);
    return true;
}

bool AnswerMessageBox(int id)
{
    HWND box = GetForegroundWindow();
    if (!MessageBoxInfo(box))
        return false;
    HWND button = GetDlgItem(box, id);
    if (!button)
        return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    WaitIdle();
    return true;
}

} // namespace device::automation
