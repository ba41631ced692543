// The shell's soft-key menu bar: soft keys from a menu resource, pressing them, greying them, and the Back
// key with and without the owner taking it over.
#include <aygshell.h>

#include "ShellView.h"
#include "device/DataFile.h"
#include "gdi/Drawing.h"
#include "support/TempDevice.h"
#include "user/PopupMenu.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using testing_support::TempDevice;

namespace {

constexpr UINT kHook = WM_USER + 77; // run the test's step inside whatever loop is pumping

struct Event {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
std::vector<Event> g_seen;
std::function<void()> g_step;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_INITMENUPOPUP:
    case WM_HOTKEY:
    case WM_KEYDOWN:
        g_seen.push_back({hwnd, msg, wp, lp});
        return 0;
    case kHook:
        if (g_step)
            g_step();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class MenuBars : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_seen.clear();
        g_step = nullptr;
        DWORD error = 0;
        m_resources = device::OpenDataFile(std::filesystem::path(TEST_RESOURCE_DIR) / "shell.dll", &error);
        ASSERT_NE(m_resources, nullptr) << "error " << error;
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = u"ShellOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, u"ShellOwner", u"owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        m_field = CreateWindowExW(0, u"ShellOwner", u"field", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, m_owner,
                                  reinterpret_cast<HMENU>(650), nullptr, nullptr);
        SetFocus(m_field);
    }
    void TearDown() override
    {
        g_step = nullptr;
        DestroyWindow(m_owner);
        UnregisterClassW(u"ShellOwner", nullptr);
        device::ReleaseDataFile(m_resources);
    }

    HWND CreateBar(HWND owner, UINT menu, DWORD flags = SHCMBF_HMENU)
    {
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = owner;
        info.dwFlags = flags;
        info.nToolBarId = menu;
        info.hInstRes = m_resources;
        return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
    }

    // As the phone delivers a key: pressed and released at the focused control, then the loop runs. A
    // step of the test runs once the key has been handled (inside an open menu's loop, if one opened);
    // any menu still open after it is closed, so a wrong turn ends the test instead of hanging it.
    void Press(UINT vk, std::function<void()> step = nullptr)
    {
        HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
        g_step = [step] {
            if (step)
                step();
            device::DismissPopupMenu();
        };
        PostMessageW(m_owner, kHook, 0, 0);
        Pump();
        g_step = nullptr;
    }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    static std::vector<Event> Seen(UINT msg)
    {
        std::vector<Event> found;
        for (const Event& event : g_seen)
            if (event.msg == msg)
                found.push_back(event);
        return found;
    }

    TempDevice m_device;
    HMODULE m_resources = nullptr;
    HWND m_owner = nullptr;
    HWND m_field = nullptr;
};

} // namespace

TEST_F(MenuBars, TheTwoTopLevelItemsOfTheMenuBecomeTheSoftKeysOfABarAtTheBottom)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHFindMenuBar(m_owner), bar);
    EXPECT_EQ(GetWindow(bar, GW_OWNER), m_owner);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(GetActiveWindow(), m_owner); // showing the bar takes nothing from its window
    RECT rect;
    GetWindowRect(bar, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYMENU));

    auto view = device::shell::MenuBarOf(m_owner);
    ASSERT_TRUE(view.has_value());
    EXPECT_EQ(view->bar, bar);
    ASSERT_EQ(view->keys.size(), 2u);
    EXPECT_EQ(view->keys[0].label, u"Done"); // without its mnemonic mark
    EXPECT_EQ(view->keys[0].command, 1u);
    EXPECT_TRUE(view->keys[0].enabled);
    EXPECT_FALSE(view->keys[0].opensMenu);
    EXPECT_EQ(view->keys[1].label, u"Menu");
    EXPECT_TRUE(view->keys[1].opensMenu);
    EXPECT_FALSE(view->popup.has_value());

    auto menu = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETMENU, 0, 0));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemID(menu, 0), 1u);
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 0)), GetSubMenu(menu, 1));

    DestroyWindow(bar);
    EXPECT_EQ(SHFindMenuBar(m_owner), nullptr);
    EXPECT_FALSE(IsMenu(menu)); // the bar's menu goes with it
}

TEST_F(MenuBars, TheBarShowsEachLabelOnItsSideAndAGreyedKeyInGrey)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    SendMessageW(bar, TB_ENABLEBUTTON, 1, MAKELONG(FALSE, 0));
    UpdateWindow(bar);
    std::vector<device::TextDrawing> texts;
    std::vector<device::FillDrawing> fills;
    for (const device::Drawing& drawing : device::DrawingOf(bar)) {
        if (auto* text = std::get_if<device::TextDrawing>(&drawing.what))
            texts.push_back(*text);
        if (auto* fill = std::get_if<device::FillDrawing>(&drawing.what))
            fills.push_back(*fill);
    }
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].color, GetSysColor(COLOR_MENU));
    ASSERT_EQ(texts.size(), 2u);
    int middle = GetSystemMetrics(SM_CXSCREEN) / 2;
    EXPECT_EQ(texts[0].text, u"Done");
    EXPECT_LT(texts[0].lines.at(0).rect.right, middle);
    EXPECT_EQ(texts[0].textColor, GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(texts[1].text, u"Menu");
    EXPECT_GT(texts[1].lines.at(0).rect.left, middle);
    EXPECT_EQ(texts[1].textColor, GetSysColor(COLOR_MENUTEXT));
}

TEST_F(MenuBars, RequestsTheBarCannotServeAreRefusedAndLeaveNoBar)
{
    SetLastError(0);
    EXPECT_EQ(CreateBar(m_owner, 301), nullptr); // three soft keys
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(CreateBar(m_owner, 300, 0), nullptr); // a toolbar resource
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(CreateBar(m_owner, 999), nullptr); // no such menu
    EXPECT_EQ(SHFindMenuBar(m_owner), nullptr);

    SHMENUBARINFO info{};
    info.cbSize = 36; // the device's 32-bit size: this host's record is larger
    info.hwndParent = m_owner;
    info.dwFlags = SHCMBF_EMPTYBAR;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    info.cbSize = sizeof info;
    info.hwndParent = nullptr;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_FALSE(SHCreateMenuBar(nullptr));

    HWND empty = CreateBar(m_owner, 0, SHCMBF_EMPTYBAR | SHCMBF_HIDDEN);
    ASSERT_NE(empty, nullptr);
    EXPECT_FALSE(IsWindowVisible(empty));
    EXPECT_TRUE(device::shell::MenuBarOf(m_owner)->keys.empty());
    Press(VK_TSOFT1);
    EXPECT_TRUE(Seen(WM_COMMAND).empty());
}

TEST_F(MenuBars, ASoftKeyReachesTheBarNotTheFocusedControlAndSendsItsCommandToTheOwner)
{
    ASSERT_NE(CreateBar(m_owner, 300), nullptr);
    Press(VK_TSOFT1);
    auto commands = Seen(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].hwnd, m_owner);
    EXPECT_EQ(commands[0].wp, MAKEWPARAM(1, 0));
    EXPECT_TRUE(Seen(WM_KEYDOWN).empty()); // the field never saw the key

    Press(VK_DOWN); // other keys still go to the focused control
    ASSERT_EQ(Seen(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(Seen(WM_KEYDOWN)[0].hwnd, m_field);
}

TEST_F(MenuBars, ThePopupKeyOpensItsMenuAfterTheOwnerPreparedItAndAGreyedItemIsRefused)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    HMENU popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 0));
    size_t preparedBeforeShown = 0;
    std::vector<std::u16string> shown;
    bool greyRefused = false, closeChosen = false;
    Press(VK_TSOFT2, [&] {
        preparedBeforeShown = Seen(WM_INITMENUPOPUP).size();
        auto view = device::shell::MenuBarOf(m_owner);
        ASSERT_TRUE(view && view->popup);
        for (const auto& item : view->popup->items)
            shown.push_back(item.text + (item.enabled ? u"" : u" (grey)"));
        greyRefused = !device::ChoosePopupCommand(101);
        closeChosen = device::ChoosePopupCommand(102);
    });
    EXPECT_EQ(preparedBeforeShown, 1u);
    ASSERT_EQ(Seen(WM_INITMENUPOPUP).size(), 1u);
    EXPECT_EQ(Seen(WM_INITMENUPOPUP)[0].hwnd, m_owner);
    EXPECT_EQ(reinterpret_cast<HMENU>(Seen(WM_INITMENUPOPUP)[0].wp), popup);
    EXPECT_EQ(shown, (std::vector<std::u16string>{u"Open", u"Gray (grey)", u"Close"}));
    EXPECT_TRUE(greyRefused);
    EXPECT_TRUE(closeChosen);
    auto commands = Seen(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wp), 102);
    EXPECT_FALSE(device::shell::MenuBarOf(m_owner)->popup.has_value());
}

TEST_F(MenuBars, AGreyedSoftKeyDoesNothingWhenPressed)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, 1, MAKELONG(FALSE, 0)));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, 1, 0));
    EXPECT_FALSE(device::shell::MenuBarOf(m_owner)->keys[0].enabled);
    Press(VK_TSOFT1);
    EXPECT_TRUE(Seen(WM_COMMAND).empty());

    EXPECT_TRUE(SendMessageW(bar, TB_ENABLEBUTTON, 1, MAKELONG(TRUE, 0)));
    Press(VK_TSOFT1);
    EXPECT_EQ(Seen(WM_COMMAND).size(), 1u);
    EXPECT_FALSE(SendMessageW(bar, TB_ENABLEBUTTON, 77, MAKELONG(FALSE, 0))); // no key has that command

    // The popup key greyed by position: its menu stays shut.
    EXPECT_EQ(SHEnableSoftkey(bar, 1, TRUE, FALSE), S_OK);
    Press(VK_TSOFT2);
    EXPECT_TRUE(Seen(WM_INITMENUPOPUP).empty());
    EXPECT_EQ(SHEnableSoftkey(bar, 2, TRUE, FALSE), E_INVALIDARG);
    EXPECT_EQ(SHEnableSoftkey(m_owner, 1, FALSE, FALSE), E_INVALIDARG); // not a bar
}

TEST_F(MenuBars, ButtonInfoReadsAndChangesAKeysLabelAndState)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    WCHAR text[16] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT | TBIF_STATE;
    info.pszText = text;
    info.cchText = 16;
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONINFOW, 1, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(std::u16string(text), u"Done");
    EXPECT_EQ(info.fsState, TBSTATE_ENABLED);

    WCHAR send[] = u"Send";
    info.pszText = send;
    info.fsState = 0;
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFOW, 1, reinterpret_cast<LPARAM>(&info)));
    auto view = device::shell::MenuBarOf(m_owner);
    EXPECT_EQ(view->keys[0].label, u"Send");
    EXPECT_FALSE(view->keys[0].enabled);
    EXPECT_EQ(SendMessageW(bar, TB_GETBUTTONINFOW, 42, reinterpret_cast<LPARAM>(&info)), -1);
}

TEST_F(MenuBars, TakingOverBackDeliversItToTheOwnerAsAHotKeyInsteadOfItsDefault)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHCMBM_OVERRIDEKEY, 1427);
    LPARAM both = MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY);
    EXPECT_EQ(both, 0x30003);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK, both), 0);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK, both), 3); // the previous bits

    Press(VK_TBACK);
    auto hotKeys = Seen(WM_HOTKEY);
    ASSERT_EQ(hotKeys.size(), 2u);
    EXPECT_EQ(hotKeys[0].msg, 0x0312u);
    EXPECT_EQ(hotKeys[0].hwnd, m_owner);
    EXPECT_EQ(HIWORD(hotKeys[0].lp), VK_TBACK);
    EXPECT_EQ(LOWORD(hotKeys[0].lp), 0);
    EXPECT_EQ(LOWORD(hotKeys[1].lp), MOD_KEYUP); // the release
    EXPECT_TRUE(Seen(WM_KEYDOWN).empty());

    // The owner hands it on to the focused control, as a dialog with an edit does.
    SHSendBackToFocusWindow(WM_HOTKEY, hotKeys[0].wp, hotKeys[0].lp);
    ASSERT_EQ(Seen(WM_HOTKEY).size(), 3u);
    EXPECT_EQ(Seen(WM_HOTKEY)[2].hwnd, m_field);
    EXPECT_EQ(Seen(WM_HOTKEY)[2].lp, hotKeys[0].lp);
}

TEST_F(MenuBars, BeingToldOfASoftKeyStillLetsTheBarActUnlessItIsKeptFromIt)
{
    HWND bar = CreateBar(m_owner, 300);
    ASSERT_NE(bar, nullptr);
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TSOFT1, MAKELPARAM(SHMBOF_NOTIFY, SHMBOF_NOTIFY));
    Press(VK_TSOFT1);
    EXPECT_EQ(Seen(WM_HOTKEY).size(), 2u);
    EXPECT_EQ(Seen(WM_COMMAND).size(), 1u);

    g_seen.clear();
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TSOFT1, MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT));
    Press(VK_TSOFT1);
    EXPECT_TRUE(Seen(WM_HOTKEY).empty());
    EXPECT_TRUE(Seen(WM_COMMAND).empty());

    // A key the bar never gets keeps no override.
    EXPECT_EQ(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TTALK, MAKELPARAM(SHMBOF_NOTIFY, SHMBOF_NOTIFY)), 0);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TTALK, MAKELPARAM(SHMBOF_NOTIFY, SHMBOF_NOTIFY)), 0);
}

TEST_F(MenuBars, BackOnAWindowThatIsNoDialogGoesBackToTheWindowShownBefore)
{
    HWND before = CreateWindowExW(0, u"ShellOwner", u"before", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(m_owner);
    SetFocus(m_field);
    ASSERT_NE(CreateBar(m_owner, 300), nullptr);
    Press(VK_TBACK);
    EXPECT_EQ(GetForegroundWindow(), before);
    EXPECT_TRUE(IsWindow(m_owner)); // left, not closed
    EXPECT_TRUE(Seen(WM_COMMAND).empty());
    DestroyWindow(before);
}

namespace {

struct DialogRun {
    bool takeOverBack = false;
    std::u16string field; // the text field's text when the dialog ended
    HWND bar = nullptr;
    RECT rect{};
    std::vector<std::string> events;
};
DialogRun* g_run = nullptr;

BOOL CALLBACK ShellDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SHINITDLGINFO init{SHIDIM_FLAGS, hwnd, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
        SHInitDialog(&init);
        GetWindowRect(hwnd, &g_run->rect);
        SHMENUBARINFO info{};
        info.cbSize = sizeof info;
        info.hwndParent = hwnd;
        info.dwFlags = SHCMBF_HMENU;
        info.nToolBarId = 300;
        info.hInstRes = reinterpret_cast<HINSTANCE>(lp);
        SHCreateMenuBar(&info);
        g_run->bar = info.hwndMB;
        if (g_run->takeOverBack)
            SendMessageW(info.hwndMB, SHCMBM_OVERRIDEKEY, VK_TBACK, MAKELPARAM(3, 3));
        // The user presses Back, then the left soft key.
        PostMessageW(hwnd, WM_KEYDOWN, VK_TBACK, 1);
        PostMessageW(hwnd, WM_KEYDOWN, VK_TSOFT1, 1);
        if (HWND field = GetDlgItem(hwnd, 650)) {
            SetFocus(field);
            SendMessageW(field, EM_SETSEL, 3, 3); // the caret after "abc"
            return FALSE;
        }
        return TRUE;
    }
    case WM_HOTKEY: {
        static int handingOn = 0; // without a field the dialog has the focus and gets the key handed back
        if (!handingOn && LOWORD(lp) != MOD_KEYUP)
            g_run->events.push_back("hotkey " + std::to_string(HIWORD(lp)));
        ++handingOn;
        SHSendBackToFocusWindow(msg, wp, lp); // a field deletes a character
        --handingOn;
        return TRUE;
    }
    case WM_COMMAND: {
        if (lp)
            return FALSE; // the field's notifications
        g_run->events.push_back("command " + std::to_string(LOWORD(wp)));
        WCHAR text[16] = {};
        GetDlgItemTextW(hwnd, 650, text, 16);
        g_run->field = text;
        EndDialog(hwnd, LOWORD(wp));
        return TRUE;
    }
    }
    return FALSE;
}

} // namespace

TEST_F(MenuBars, BackCancelsAFullScreenDialogUnlessTheDialogTookItOver)
{
    DialogRun plain;
    g_run = &plain;
    EXPECT_EQ(DialogBoxParamW(m_resources, MAKEINTRESOURCE(400), m_owner, ShellDialogProc,
                              reinterpret_cast<LPARAM>(m_resources)),
              IDCANCEL);
    EXPECT_EQ(plain.events, (std::vector<std::string>{"command 2"}));
    RECT work{0, GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU)};
    EXPECT_EQ(plain.rect.top, work.top);
    EXPECT_EQ(plain.rect.bottom, work.bottom);
    EXPECT_EQ(plain.rect.right, work.right);
    EXPECT_FALSE(IsWindow(plain.bar)); // gone with its dialog

    DialogRun overridden;
    overridden.takeOverBack = true;
    g_run = &overridden;
    EXPECT_EQ(DialogBoxParamW(m_resources, MAKEINTRESOURCE(400), m_owner, ShellDialogProc,
                              reinterpret_cast<LPARAM>(m_resources)),
              1);
    EXPECT_EQ(overridden.events, (std::vector<std::string>{"hotkey 27", "command 1"}));
    g_run = nullptr;
}

TEST_F(MenuBars, BackTakenOverByADialogDeletesInItsFieldWhereItWouldOtherwiseCloseTheDialog)
{
    DialogRun plain;
    g_run = &plain;
    EXPECT_EQ(DialogBoxParamW(m_resources, MAKEINTRESOURCE(401), m_owner, ShellDialogProc,
                              reinterpret_cast<LPARAM>(m_resources)),
              IDCANCEL);
    EXPECT_EQ(plain.field, u"abc");

    DialogRun overridden;
    overridden.takeOverBack = true;
    g_run = &overridden;
    EXPECT_EQ(DialogBoxParamW(m_resources, MAKEINTRESOURCE(401), m_owner, ShellDialogProc,
                              reinterpret_cast<LPARAM>(m_resources)),
              1);
    EXPECT_EQ(overridden.events, (std::vector<std::string>{"hotkey 27", "command 1"}));
    EXPECT_EQ(overridden.field, u"ab");
    g_run = nullptr;
}
