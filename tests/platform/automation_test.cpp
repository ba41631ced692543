// A screen driven the way a user drives it: the program's dialog runs its modal loop on its own thread
// while the test presses keys, types, chooses menu items and answers message boxes through automation.
#include <windows.h>

#include <aygshell.h>
#include <commctrl.h>

#include "automation/Automation.h"
#include "device/Clock.h"
#include "device/DataFile.h"
#include "support/TempDevice.h"
#include "user/Window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

using namespace device::automation;
using testing_support::TempDevice;

namespace {

constexpr int kStatus = 105;
HMODULE g_resources = nullptr;
std::atomic<HWND> g_screen = nullptr; // set by the screen's thread, awaited by the test's
HWND g_bar = nullptr;

void Status(HWND dialog, const std::u16string& text) { SetDlgItemTextW(dialog, kStatus, text.c_str()); }

std::u16string Number(int value)
{
    WCHAR text[16];
    wsprintfW(text, u"%d", value);
    return text;
}

HWND MakeScreen(HWND dialog, UINT menu)
{
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&init);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_HMENU;
    bar.nToolBarId = menu;
    bar.hInstRes = g_resources;
    return SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
}

BOOL CALLBACK SecondProc(HWND dialog, UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: MakeScreen(dialog, 301); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)
            EndDialog(dialog, LOWORD(wp) == IDOK ? 2 : 3);
        return TRUE;
    }
    return FALSE;
}

void DrawRow(const DRAWITEMSTRUCT& item)
{
    static const char16_t* const titles[] = {u"Anna", u"Ben", u"Carla"};
    static const char16_t* const notes[] = {u"2 members", u"No members", u"Past"};
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem,
             GetSysColorBrush((item.itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfStrikeOut = item.itemID == 2; // the last row is shown struck out
    HFONT struck = CreateFontIndirectW(&font);
    HGDIOBJ old = SelectObject(dc, struck);
    SetBkMode(dc, TRANSPARENT);
    RECT top = item.rcItem, bottom = item.rcItem;
    top.bottom = bottom.top = (item.rcItem.top + item.rcItem.bottom) / 2;
    DrawTextW(dc, titles[item.itemID % 3], -1, &top, DT_SINGLELINE | DT_NOPREFIX);
    DrawTextW(dc, notes[item.itemID % 3], -1, &bottom, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(struck);
}

int g_changes = 0;
int g_countdown = 0;

BOOL CALLBACK ScreenProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: {
        g_screen = dialog;
        g_bar = MakeScreen(dialog, 300);
        SendDlgItemMessageW(dialog, 102, EM_LIMITTEXT, 5, 0);
        HWND list = GetDlgItem(dialog, 104);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 200;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < 3; ++i) {
            LVITEMW item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = i;
            item.pszText = const_cast<LPWSTR>(i == 0 ? u"Anna" : i == 1 ? u"Ben" : u"Carla");
            item.lParam = 100 + i;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendDlgItemMessageW(dialog, 106, PBM_SETRANGE32, 0, 80000); // past what a 16-bit range holds
        SendDlgItemMessageW(dialog, 106, PBM_SETPOS, 30000, 0);
        return TRUE;
    }
    case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 30; return TRUE;
    case WM_DRAWITEM: DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_INITMENUPOPUP: EnableMenuItem(reinterpret_cast<HMENU>(wp), 401, MF_BYCOMMAND | MF_GRAYED); return TRUE;
    case WM_NOTIFY: {
        auto header = reinterpret_cast<NMHDR*>(lp);
        if (header->idFrom == 104 && header->code == NM_RETURN) {
            int row = static_cast<int>(SendDlgItemMessageW(dialog, 104, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                           LVNI_SELECTED));
            Status(dialog, u"activated " + Number(row));
        }
        return TRUE;
    }
    case WM_TIMER:
        Status(dialog, u"left " + Number(--g_countdown));
        if (g_countdown == 0)
            KillTimer(dialog, 1);
        return TRUE;
    case WM_APP: Status(dialog, u"worker " + Number(static_cast<int>(wp))); return TRUE;
    case WM_DESTROY: DestroyWindow(g_bar); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case 1: EndDialog(dialog, 1); return TRUE;
        case 102:
            if (HIWORD(wp) == EN_CHANGE)
                Status(dialog, u"changes " + Number(++g_changes));
            return TRUE;
        case 402: {
            int answer = MessageBoxW(dialog, u"Really?", u"Screen", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
            Status(dialog, answer == IDYES ? u"answer yes" : u"answer no");
            return TRUE;
        }
        case 403: {
            INT_PTR result = DialogBoxParamW(g_resources, MAKEINTRESOURCE(200), dialog, SecondProc, 0);
            Status(dialog, u"second " + Number(static_cast<int>(result)));
            return TRUE;
        }
        case 404:
            g_countdown = 3;
            Status(dialog, u"left 3");
            SetTimer(dialog, 1, 1000, nullptr);
            return TRUE;
        case 405:
            std::thread([dialog] {
                SendMessageW(dialog, WM_APP, 7, 0);
                EndDialog(dialog, 9);
            }).detach();
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

class Automation : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_changes = 0;
        g_screen = nullptr;
        DWORD error = 0;
        g_resources = device::OpenDataFile(std::filesystem::path(TEST_RESOURCE_DIR) / "screen.dll", &error);
        ASSERT_NE(g_resources, nullptr) << error;
        m_ui = std::thread([this] {
            InitCommonControls();
            m_result = DialogBoxParamW(g_resources, MAKEINTRESOURCE(100), nullptr, ScreenProc, 0);
        });
        // The screen's thread has to make its windows before there is anything to wait for.
        for (int i = 0; i < 1000 && !g_screen; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_NE(g_screen.load(), nullptr);
        ASSERT_TRUE(WaitIdle());
    }
    void TearDown() override
    {
        if (m_ui.joinable()) {
            PostMessageW(g_screen, WM_COMMAND, 1, 0);
            m_ui.join();
        }
        device::ReleaseDataFile(g_resources);
    }

    static std::u16string StatusText()
    {
        WCHAR text[64] = {};
        GetDlgItemTextW(g_screen, kStatus, text, 64);
        return text;
    }

    static const WindowNode* Find(const std::vector<WindowNode>& nodes, int id)
    {
        for (const auto& node : nodes) {
            if (node.id == id)
                return &node;
            if (auto found = Find(node.children, id))
                return found;
        }
        return nullptr;
    }

    TempDevice m_device;
    std::thread m_ui;
    INT_PTR m_result = 0;
};

} // namespace

TEST_F(Automation, TheScreenShowsItsControlsRowsAndSoftKeys)
{
    Snapshot screen = TakeSnapshot();
    EXPECT_EQ(screen.title, u"Screen");
    ASSERT_EQ(screen.softKeys.size(), 2u);
    EXPECT_EQ(screen.softKeys[0].label, u"Done");
    EXPECT_EQ(screen.softKeys[1].label, u"Menu");
    ASSERT_EQ(screen.windows.size(), 1u);
    RECT work = screen.windows[0].rect;
    EXPECT_EQ(work.top, GetSystemMetrics(SM_CYCAPTION)); // full screen below the title bar
    EXPECT_EQ(work.right - work.left, GetSystemMetrics(SM_CXSCREEN));

    const WindowNode* list = Find(screen.windows, 104);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->rows.has_value());
    ASSERT_EQ(list->rows->size(), 3u);
    EXPECT_EQ((*list->rows)[1].data, 101);
    EXPECT_EQ((*list->rows)[0].drawn, (std::vector<std::u16string>{u"Anna", u"2 members"}));
    EXPECT_FALSE((*list->rows)[0].dimmed);
    EXPECT_TRUE((*list->rows)[2].dimmed);
    const WindowNode* box = Find(screen.windows, 103);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->checked, std::optional<bool>(false));
    ASSERT_NE(Find(screen.windows, 102), nullptr);
    EXPECT_TRUE(Find(screen.windows, 102)->focused); // the first tab stop
    ASSERT_NE(Find(screen.windows, 106), nullptr);
    ASSERT_TRUE(Find(screen.windows, 106)->progress.has_value());
    EXPECT_EQ(Find(screen.windows, 106)->progress->high, 80000);
    EXPECT_EQ(Find(screen.windows, 106)->progress->position, 30000);

    std::u16string text = RenderText(screen);
    EXPECT_NE(text.find(u"Screen\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"  Anna | 2 members\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"~Carla | Past~"), std::u16string::npos);
    EXPECT_NE(text.find(u"[ ] Remind me"), std::u16string::npos);
    EXPECT_NE(text.find(u"Done"), std::u16string::npos);
    EXPECT_NE(text.find(u"\n[#######-------------]\n"), std::u16string::npos) << std::string(text.begin(), text.end());
    std::string json = ToJson(screen);
    EXPECT_NE(json.find("\"progress\":{\"low\":0,\"high\":80000,\"position\":30000}"), std::string::npos);
    EXPECT_NE(json.find("\"softkeys\":[{\"label\":\"Done\",\"enabled\":true}"), std::string::npos);
    EXPECT_NE(json.find("\"messagebox\":null"), std::string::npos);
}

TEST_F(Automation, KeysTypingAndRowsReachTheControls)
{
    Type(u"abcdefg"); // the field takes five characters
    EXPECT_EQ(StatusText(), u"changes 5");
    Press(Key::Down);
    Press(Key::Action);
    Snapshot screen = TakeSnapshot();
    EXPECT_EQ(Find(screen.windows, 102)->text, u"abcde");
    EXPECT_EQ(Find(screen.windows, 103)->checked, std::optional<bool>(true));
    Press(Key::Down);
    ASSERT_TRUE(SelectRow(1));
    EXPECT_EQ(StatusText(), u"activated 1");
    EXPECT_TRUE((*Find(TakeSnapshot().windows, 104)->rows)[1].selected);
    EXPECT_FALSE(SelectRow(3)); // there is no fourth row
}

TEST_F(Automation, MenusGreyItemsAndMessageBoxesAnswer)
{
    Press(Key::RightSoft);
    Snapshot open = TakeSnapshot();
    ASSERT_TRUE(open.menu.has_value());
    ASSERT_EQ(open.menu->size(), 5u);
    EXPECT_EQ((*open.menu)[0].text, u"Greyed");
    EXPECT_FALSE((*open.menu)[0].enabled); // greyed in WM_INITMENUPOPUP
    EXPECT_FALSE(ChooseMenuItem(u"Greyed"));
    ASSERT_TRUE(ChooseMenuItem(u"Ask"));

    Snapshot asking = TakeSnapshot();
    ASSERT_TRUE(asking.messageBox.has_value());
    EXPECT_EQ(asking.messageBox->text, u"Really?");
    EXPECT_EQ(asking.messageBox->icon, "question");
    EXPECT_EQ(asking.messageBox->buttons, (std::vector<std::u16string>{u"Yes", u"No"}));
    EXPECT_FALSE(IsWindowEnabled(g_screen)); // modal over the screen
    ASSERT_TRUE(AnswerMessageBox(IDYES));
    EXPECT_EQ(StatusText(), u"answer yes");
    EXPECT_TRUE(IsWindowEnabled(g_screen));

    ASSERT_TRUE(ChooseMenuItem(u"Ask"));
    Press(Key::Action); // the default button is No
    EXPECT_EQ(StatusText(), u"answer no");
}

TEST_F(Automation, ASecondScreenRunsModallyAndReturnsItsCode)
{
    ASSERT_TRUE(ChooseMenuItem(u"Second"));
    Snapshot second = TakeSnapshot();
    EXPECT_EQ(second.title, u"Second");
    ASSERT_EQ(second.softKeys.size(), 2u);
    EXPECT_EQ(second.softKeys[1].label, u"Cancel");
    // Its right soft key is a command, not a menu: looking for a menu item does not press it.
    EXPECT_FALSE(ChooseMenuItem(u"Second"));
    EXPECT_EQ(TakeSnapshot().title, u"Second");
    Press(Key::LeftSoft);
    EXPECT_EQ(StatusText(), u"second 2");
    EXPECT_EQ(TakeSnapshot().title, u"Screen");
}

TEST_F(Automation, ATimerCountsDownWithTheManualClock)
{
    ASSERT_TRUE(ChooseMenuItem(u"Count down"));
    EXPECT_EQ(StatusText(), u"left 3");
    device::AdvanceClock(999 * device::kTicksPerMs);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(StatusText(), u"left 3");
    for (int left = 2; left >= 0; --left) {
        device::AdvanceClock((left == 2 ? 1 : 1000) * device::kTicksPerMs);
        ASSERT_TRUE(WaitIdle());
        EXPECT_EQ(StatusText(), u"left " + Number(left));
    }
    device::AdvanceClock(5000 * device::kTicksPerMs);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(StatusText(), u"left 0"); // the timer was killed
}

TEST_F(Automation, AWorkerUpdatesTheScreenAndEndsIt)
{
    HWND screen = g_screen, bar = g_bar;
    ASSERT_TRUE(ChooseMenuItem(u"Worker"));
    m_ui.join();
    EXPECT_EQ(m_result, 9);
    EXPECT_FALSE(IsWindow(screen));
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_TRUE(device::WindowTable::Instance().TopLevelWindows().empty());
}
