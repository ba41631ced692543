#include <windows.h>

#include "support/TempDevice.h"
#include "user/MessageQueue.h"
#include "user/PopupMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using testing_support::TempDevice;

namespace {

// MENU and MENUEX resources written as a resource compiler lays them out.
struct MenuBytes {
    std::vector<BYTE> bytes;

    void Word(WORD w)
    {
        bytes.push_back(static_cast<BYTE>(w));
        bytes.push_back(static_cast<BYTE>(w >> 8));
    }
    void Dword(DWORD d)
    {
        Word(static_cast<WORD>(d));
        Word(static_cast<WORD>(d >> 16));
    }
    void String(const std::u16string& text)
    {
        for (char16_t c : text)
            Word(c);
        Word(0);
    }
    void Align()
    {
        while (bytes.size() % 4)
            bytes.push_back(0);
    }
    // MENU items: flags, an id unless the item opens a popup, the text.
    void Item(WORD flags, WORD id, const std::u16string& text)
    {
        Word(flags);
        Word(id);
        String(text);
    }
    void Popup(WORD flags, const std::u16string& text)
    {
        Word(flags | MF_POPUP);
        String(text);
    }
    // MENUEX items: type, state, id, flags (0x01 popup, 0x80 last), text; a popup adds its help id.
    void ExItem(DWORD type, DWORD state, DWORD id, WORD flags, const std::u16string& text)
    {
        Align();
        Dword(type);
        Dword(state);
        Dword(id);
        Word(flags);
        String(text);
        if (flags & 0x01) {
            Align();
            Dword(0);
        }
    }
};

// POPUP "File" { "Open" 100, SEPARATOR, "Gray" 101 GRAYED, "Checked" 102 CHECKED, POPUP "More" { "Deep" 103 } }
// POPUP "Help" { "About" 110 INACTIVE }
std::vector<BYTE> PlainMenu()
{
    MenuBytes m;
    m.Word(0);
    m.Word(0);
    m.Popup(0, u"File");
    m.Item(0, 100, u"Open");
    m.Item(0, 0, u"");
    m.Item(MF_GRAYED, 101, u"Gray");
    m.Item(MF_CHECKED, 102, u"Checked");
    m.Popup(MF_END, u"More");
    m.Item(MF_END, 103, u"Deep");
    m.Popup(MF_END, u"Help");
    m.Item(MF_END | MF_DISABLED, 110, u"About");
    return m.bytes;
}

std::vector<BYTE> ExtendedMenu()
{
    MenuBytes m;
    m.Word(1);
    m.Word(4);
    m.Dword(0);
    m.ExItem(0, 0, 0, 0x01, u"File");
    m.ExItem(MFT_STRING, 0, 100, 0, u"Open");
    m.ExItem(MFT_SEPARATOR, 0, 0, 0, u"");
    m.ExItem(MFT_STRING, MFS_GRAYED, 101, 0, u"Gray");
    m.ExItem(MFT_RADIOCHECK, MFS_CHECKED, 102, 0, u"Checked");
    m.ExItem(0, 0, 0, 0x81, u"More");
    m.ExItem(MFT_STRING, 0, 103, 0x80, u"Deep");
    m.ExItem(0, 0, 0, 0x81, u"Help");
    m.ExItem(MFT_STRING, MFS_DISABLED, 110, 0x80, u"About");
    return m.bytes;
}

std::u16string ItemText(HMENU menu, UINT item, BOOL byPosition)
{
    WCHAR text[64] = {};
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_TYPE;
    info.dwTypeData = text;
    info.cch = 64;
    if (!GetMenuItemInfoW(menu, item, byPosition, &info))
        return u"<none>";
    return text;
}

std::function<void(HWND, UINT, WPARAM, LPARAM)> g_ownerHook;
std::vector<std::string> g_ownerLog;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITMENUPOPUP)
        g_ownerLog.push_back("init:" + std::to_string(LOWORD(lp)));
    if (msg == WM_COMMAND)
        g_ownerLog.push_back("command:" + std::to_string(LOWORD(wp)));
    if (g_ownerHook)
        g_ownerHook(hwnd, msg, wp, lp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class Menus : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_ownerHook = nullptr;
        g_ownerLog.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = u"MenuOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, u"MenuOwner", u"owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        m_bytes = PlainMenu();
        m_bar = LoadMenuIndirectW(m_bytes.data());
        m_file = GetSubMenu(m_bar, 0);
    }
    void TearDown() override
    {
        g_ownerHook = nullptr;
        DestroyMenu(m_bar);
        DestroyWindow(m_owner);
        UnregisterClassW(u"MenuOwner", nullptr);
    }

    // Drains what the loop left for the owner (a WM_COMMAND is posted).
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    TempDevice m_device;
    HWND m_owner = nullptr;
    std::vector<BYTE> m_bytes;
    HMENU m_bar = nullptr;
    HMENU m_file = nullptr;
};

} // namespace

TEST_F(Menus, BothResourceFormatsGiveTheSameMenus)
{
    std::vector<BYTE> extendedBytes = ExtendedMenu();
    HMENU extended = LoadMenuIndirectW(extendedBytes.data());
    for (HMENU bar : {m_bar, extended}) {
        ASSERT_NE(bar, nullptr);
        ASSERT_EQ(GetMenuItemCount(bar), 2);
        EXPECT_EQ(ItemText(bar, 1, TRUE), u"Help");
        HMENU file = GetSubMenu(bar, 0);
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(GetMenuItemCount(file), 5);
        EXPECT_EQ(GetMenuItemID(file, 0), 100u);
        EXPECT_EQ(GetMenuItemID(file, 1), 0u);                     // the separator
        EXPECT_EQ(GetMenuItemID(file, 4), static_cast<UINT>(-1)); // opens a submenu
        EXPECT_EQ(GetMenuItemID(file, 9), static_cast<UINT>(-1)); // no such position
        EXPECT_EQ(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(GetMenuState(bar, 101, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
        EXPECT_EQ(GetMenuState(bar, 102, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
        EXPECT_EQ(GetMenuState(bar, 110, MF_BYCOMMAND) & MF_DISABLED, static_cast<UINT>(MF_DISABLED));
        EXPECT_EQ(GetMenuState(file, 4, MF_BYPOSITION), (1u << 8) | MF_POPUP); // one item, a popup
        EXPECT_EQ(GetMenuState(bar, 999, MF_BYCOMMAND), static_cast<UINT>(-1));
        // Commands are found in nested submenus.
        EXPECT_EQ(ItemText(bar, 103, FALSE), u"Deep");
        EXPECT_EQ(ItemText(file, 0, TRUE), u"Open");
    }
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_TYPE;
    GetMenuItemInfoW(extended, 102, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    DestroyMenu(extended);
}

TEST_F(Menus, AMalformedResourceGivesNoMenu)
{
    std::vector<BYTE> bad{2, 0, 0, 0}; // version 2 does not exist
    EXPECT_EQ(LoadMenuIndirectW(bad.data()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LoadMenuIndirectW(nullptr), nullptr);
}

TEST_F(Menus, EnablingAndCheckingAnswerThePreviousStateOrMinusOne)
{
    EXPECT_EQ(EnableMenuItem(m_bar, 100, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(m_bar, 100, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(m_file, 2, MF_BYPOSITION | MF_ENABLED), MF_GRAYED); // "Gray"
    EXPECT_EQ(GetMenuState(m_bar, 101, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
    EXPECT_EQ(EnableMenuItem(m_bar, 555, MF_BYCOMMAND | MF_GRAYED), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND));

    EXPECT_EQ(CheckMenuItem(m_bar, 102, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(m_bar, 102, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(CheckMenuItem(m_bar, 555, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    EXPECT_EQ(EnableMenuItem(reinterpret_cast<HMENU>(12345), 100, MF_BYCOMMAND), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}

TEST_F(Menus, ARadioCheckStaysWithinItsRangeAndMenu)
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 509, u"Received");
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 510, u"Sent");
    AppendMenuW(menu, MF_STRING | MF_CHECKED, 511, u"Outside the range");
    EXPECT_TRUE(CheckMenuRadioItem(menu, 509, 510, 509, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuState(menu, 509, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, 510, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(menu, 511, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_TYPE;
    GetMenuItemInfoW(menu, 509, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(CheckMenuRadioItem(menu, 0, 1, 1, MF_BYPOSITION));
    EXPECT_EQ(GetMenuState(menu, 510, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, 509, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_FALSE(CheckMenuRadioItem(menu, 509, 510, 600, MF_BYCOMMAND));
    DestroyMenu(menu);
}

TEST_F(Menus, ItemsCanBeAddedInsertedAndTakenAway)
{
    HMENU menu = CreatePopupMenu();
    HMENU sub = CreatePopupMenu();
    ASSERT_TRUE(AppendMenuW(sub, MF_STRING, 21, u"Inner"));
    ASSERT_TRUE(AppendMenuW(menu, MF_STRING, 1, u"One"));
    ASSERT_TRUE(AppendMenuW(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Sub"));
    ASSERT_TRUE(InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 2, u"Zero"));
    ASSERT_TRUE(InsertMenuW(menu, 21, MF_BYCOMMAND | MF_STRING, 20, u"Before inner")); // lands in the submenu
    EXPECT_FALSE(InsertMenuW(menu, 77, MF_BYCOMMAND | MF_STRING, 3, u"Nowhere"));
    EXPECT_FALSE(AppendMenuW(menu, MF_BITMAP, 4, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));

    EXPECT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(ItemText(menu, 0, TRUE), u"Zero");
    EXPECT_EQ(GetMenuItemCount(sub), 2);
    EXPECT_EQ(ItemText(sub, 0, TRUE), u"Before inner");

    // RemoveMenu keeps a submenu alive; DeleteMenu destroys it.
    ASSERT_TRUE(RemoveMenu(menu, 3, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub));
    ASSERT_TRUE(AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"Sub"));
    ASSERT_TRUE(DeleteMenu(menu, 3, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_TRUE(DeleteMenu(menu, 1, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(menu), 2);

    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
    EXPECT_EQ(GetMenuItemCount(menu), -1);
}

TEST_F(Menus, DestroyingAMenuDestroysItsSubmenus)
{
    HMENU more = GetSubMenu(m_file, 4);
    ASSERT_TRUE(IsMenu(more));
    DestroyMenu(m_bar);
    EXPECT_FALSE(IsMenu(m_file));
    EXPECT_FALSE(IsMenu(more));
    m_bar = nullptr;
}

TEST_F(Menus, ItemInformationIsReadAndWritten)
{
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_TYPE;
    ASSERT_TRUE(GetMenuItemInfoW(m_bar, 102, FALSE, &info));
    EXPECT_EQ(info.cch, 7u); // without a buffer: the length of "Checked"
    WCHAR small[4];
    info.dwTypeData = small;
    info.cch = 4;
    ASSERT_TRUE(GetMenuItemInfoW(m_bar, 102, FALSE, &info));
    EXPECT_EQ(std::u16string(small), u"Che");
    EXPECT_EQ(info.cch, 3u);

    MENUITEMINFOW change{sizeof change};
    change.fMask = MIIM_TYPE | MIIM_STATE | MIIM_DATA | MIIM_ID;
    change.fType = MFT_STRING;
    change.dwTypeData = const_cast<LPWSTR>(u"Renamed");
    change.fState = MFS_GRAYED;
    change.dwItemData = 0xABC;
    change.wID = 200;
    ASSERT_TRUE(SetMenuItemInfoW(m_bar, 100, FALSE, &change));
    EXPECT_EQ(ItemText(m_bar, 200, FALSE), u"Renamed");
    MENUITEMINFOW read{sizeof read};
    read.fMask = MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoW(m_file, 0, TRUE, &read));
    EXPECT_EQ(read.fState, static_cast<UINT>(MFS_GRAYED));
    EXPECT_EQ(read.dwItemData, 0xABCu);
    EXPECT_EQ(read.hSubMenu, nullptr);
    MENUITEMINFOW tooSmall{sizeof tooSmall - 4};
    EXPECT_FALSE(GetMenuItemInfoW(m_bar, 200, FALSE, &tooSmall));
    EXPECT_FALSE(GetMenuItemInfoW(m_bar, 100, FALSE, &read)); // renamed to 200
}

TEST_F(Menus, TheOwnerPreparesThePopupBeforeItOpensAndAutomationChoosesFromIt)
{
    bool openAtInit = true;
    std::optional<device::OpenMenu> seen;
    bool choseGreyed = true;
    g_ownerHook = [&](HWND, UINT msg, WPARAM wp, LPARAM) {
        if (msg == WM_INITMENUPOPUP) {
            openAtInit = device::CurrentPopupMenu().has_value();
            EnableMenuItem(reinterpret_cast<HMENU>(wp), 100, MF_BYCOMMAND | MF_GRAYED);
            EnableMenuItem(reinterpret_cast<HMENU>(wp), 101, MF_BYCOMMAND | MF_ENABLED);
        }
        if (msg == WM_APP) {
            seen = device::CurrentPopupMenu();
            choseGreyed = device::ChoosePopupCommand(100);
            device::ChoosePopupCommand(101);
        }
    };
    PostMessageW(m_owner, WM_APP, 0, 0); // handled by the menu's loop once it is open
    EXPECT_EQ(TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, m_owner, nullptr), 101);
    EXPECT_FALSE(openAtInit); // prepared before it opens
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->owner, m_owner);
    EXPECT_EQ(seen->depth, 1);
    ASSERT_EQ(seen->items.size(), 5u);
    EXPECT_EQ(seen->items[0].text, u"Open");
    EXPECT_FALSE(seen->items[0].enabled);
    EXPECT_TRUE(seen->items[1].separator);
    EXPECT_TRUE(seen->items[2].enabled);
    EXPECT_EQ(seen->items[2].id, 101u);
    EXPECT_TRUE(seen->items[3].checked);
    EXPECT_TRUE(seen->items[4].opensSubmenu);
    EXPECT_FALSE(choseGreyed);
    EXPECT_FALSE(device::CurrentPopupMenu().has_value());
    Pump();
    std::vector<std::string> expected{"init:0"}; // TPM_RETURNCMD: no WM_COMMAND
    EXPECT_EQ(g_ownerLog, expected);
}

TEST_F(Menus, WithoutReturnCmdTheChoiceArrivesAsACommand)
{
    g_ownerHook = [](HWND, UINT msg, WPARAM, LPARAM) {
        if (msg == WM_APP)
            device::ChoosePopupItem(0);
    };
    PostMessageW(m_owner, WM_APP, 0, 0);
    EXPECT_TRUE(TrackPopupMenuEx(m_file, 0, 0, 0, m_owner, nullptr));
    Pump();
    std::vector<std::string> expected{"init:0", "command:100"};
    EXPECT_EQ(g_ownerLog, expected);
}

TEST_F(Menus, KeysMoveOverSeparatorsAndGreyedItemsAndBackCloses)
{
    // Open (0), separator, Gray (greyed), Checked, More: down from Open skips to Checked.
    PostMessageW(m_owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(m_owner, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, m_owner, nullptr), 102);

    PostMessageW(m_owner, WM_KEYDOWN, VK_UP, 0); // round the top to More
    PostMessageW(m_owner, WM_KEYDOWN, VK_RIGHT, 0);
    PostMessageW(m_owner, WM_KEYDOWN, VK_RETURN, 0);
    g_ownerLog.clear();
    EXPECT_EQ(TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, m_owner, nullptr), 103);
    std::vector<std::string> expected{"init:0", "init:4"}; // the submenu was prepared as position 4
    EXPECT_EQ(g_ownerLog, expected);

    PostMessageW(m_owner, WM_KEYDOWN, VK_ESCAPE, 0);
    g_ownerLog.clear();
    EXPECT_TRUE(TrackPopupMenuEx(m_file, 0, 0, 0, m_owner, nullptr));
    Pump();
    std::vector<std::string> closed{"init:0"}; // closed without a command
    EXPECT_EQ(g_ownerLog, closed);
}

TEST_F(Menus, BackClosesASubmenuBeforeThePopup)
{
    std::vector<int> depths;
    g_ownerHook = [&](HWND, UINT msg, WPARAM, LPARAM) {
        if (msg != WM_APP)
            return;
        EXPECT_TRUE(device::ChoosePopupItem(4)); // More
        depths.push_back(device::CurrentPopupMenu()->depth);
        EXPECT_EQ(device::CurrentPopupMenu()->items[0].text, u"Deep");
        EXPECT_TRUE(device::DismissPopupMenu());
        depths.push_back(device::CurrentPopupMenu()->depth);
        EXPECT_TRUE(device::DismissPopupMenu());
        EXPECT_FALSE(device::DismissPopupMenu()); // nothing left open
    };
    PostMessageW(m_owner, WM_APP, 0, 0);
    EXPECT_EQ(TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, m_owner, nullptr), 0);
    std::vector<int> expected{2, 1};
    EXPECT_EQ(depths, expected);
    Pump();
    EXPECT_EQ(std::count(g_ownerLog.begin(), g_ownerLog.end(), "command:0"), 0);
}

TEST_F(Menus, AnotherThreadCanAnswerTheMenu)
{
    auto ui = device::ThreadQueue::ForThread(device::CurrentThreadId());
    std::thread automation([ui] {
        ui->WaitIdle(60000);
        auto open = device::CurrentPopupMenu();
        if (open)
            device::ChoosePopupCommand(100); // "Open"
    });
    EXPECT_EQ(TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, m_owner, nullptr), 100);
    automation.join();
}

TEST_F(Menus, OnlyOnePopupIsOpenAtATimeAndAQuitClosesIt)
{
    BOOL second = TRUE;
    DWORD secondError = 0;
    g_ownerHook = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) {
        if (msg == WM_APP) {
            second = TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, hwnd, nullptr);
            secondError = GetLastError();
            PostQuitMessage(4);
        }
    };
    PostMessageW(m_owner, WM_APP, 0, 0);
    EXPECT_EQ(TrackPopupMenuEx(m_file, TPM_RETURNCMD, 0, 0, m_owner, nullptr), 0);
    EXPECT_FALSE(second);
    EXPECT_EQ(secondError, static_cast<DWORD>(ERROR_POPUP_ALREADY_ACTIVE));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_FALSE(device::ChoosePopupItem(0));
    EXPECT_FALSE(TrackPopupMenuEx(reinterpret_cast<HMENU>(99), 0, 0, 0, m_owner, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}
