// The screen in pixels: a known test dialog (a label, a field, a check box, an owner-drawn list whose rows
// carry icons, one row selected and one dimmed, and a soft-key bar with a menu) runs its modal loop on its own
// thread while the test draws the screen and looks at the picture where the windows say things are.
#include <windows.h>

#include <aygshell.h>
#include <commctrl.h>

#include "pixels/PictureChecks.h"

#include "Render.h"
#include "SceneJson.h"

#include "automation/Automation.h"
#include "automation/Scene.h"
#include "device/DataFile.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

using namespace pixels_testing;
using device::automation::Key;
using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

constexpr int kLabel = 101, kList = 104;
constexpr int kRowHeight = 30;
constexpr COLORREF kPurple = RGB(128, 0, 128); // the 32-bit image of icon 151
constexpr COLORREF kRed = RGB(255, 0, 0);      // the 4-bit image of icon 150

HMODULE g_screens = nullptr;
HMODULE g_icons = nullptr;
HWND g_screen = nullptr;
HWND g_bar = nullptr;
HICON g_rowIcons[2] = {};

// Rows as the program's lists draw them: the selected one on the highlight, a dimmed one grey and struck out,
// an icon before the text.
void DrawRow(const DRAWITEMSTRUCT& item)
{
    static const char16_t* const kNames[] = {u"Anna", u"Ben", u"Carla Dimmed"};
    bool selected = item.itemState & ODS_SELECTED;
    bool dimmed = item.itemID == 2;
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID < 2)
        DrawIconEx(dc, item.rcItem.left + 2, item.rcItem.top + 7, g_rowIcons[item.itemID], 16, 16, 0, nullptr,
                   DI_NORMAL);
    LOGFONTW description{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof description, &description);
    description.lfStrikeOut = dimmed;
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ old = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : dimmed ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left += 22;
    DrawTextW(dc, kNames[item.itemID % 3], -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(font);
}

BOOL CALLBACK ScreenProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: {
        g_screen = dialog;
        SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
        SHInitDialog(&init);
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = dialog;
        bar.dwFlags = SHCMBF_HMENU;
        bar.nToolBarId = 300;
        bar.hInstRes = g_screens;
        g_bar = SHCreateMenuBar(&bar) ? bar.hwndMB : nullptr;
        HWND list = GetDlgItem(dialog, kList);
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = 200;
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < 3; ++i) {
            LVITEMW row{};
            row.mask = LVIF_TEXT;
            row.iItem = i;
            row.pszText = const_cast<LPWSTR>(u"row");
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        }
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
        return TRUE;
    }
    case WM_MEASUREITEM: reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kRowHeight; return TRUE;
    case WM_DRAWITEM: DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_INITMENUPOPUP: EnableMenuItem(reinterpret_cast<HMENU>(wp), 401, MF_BYCOMMAND | MF_GRAYED); return TRUE;
    case WM_DESTROY: DestroyWindow(g_bar); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == 1)
            EndDialog(dialog, 1);
        else if (LOWORD(wp) == 402)
            MessageBoxW(dialog, u"Really?", u"Screen", MB_YESNO | MB_ICONQUESTION);
        return TRUE;
    }
    return FALSE;
}

class ScreenPicture : public ::testing::Test {
protected:
    explicit ScreenPicture(const DeviceOptions& options = {}) : m_device(options) {}

    void SetUp() override
    {
        DWORD error = 0;
        std::filesystem::path resources(TEST_RESOURCE_DIR);
        g_screens = device::OpenDataFile(resources / "screen.dll", &error);
        g_icons = device::OpenDataFile(resources / "icons.dll", &error);
        ASSERT_TRUE(g_screens && g_icons) << error;
        g_rowIcons[0] = static_cast<HICON>(LoadImageW(g_icons, MAKEINTRESOURCE(151), IMAGE_ICON, 16, 16, 0));
        g_rowIcons[1] =
            static_cast<HICON>(LoadImageW(g_icons, MAKEINTRESOURCE(150), IMAGE_ICON, 16, 16, LR_MONOCHROME));
        ASSERT_TRUE(g_rowIcons[0] && g_rowIcons[1]);
        g_screen = nullptr;
        m_ui = std::thread([] {
            InitCommonControls();
            DialogBoxParamW(g_screens, MAKEINTRESOURCE(100), nullptr, ScreenProc, 0);
        });
        for (int i = 0; i < 1000 && !g_screen; ++i) // the dialog's thread has to make its windows first
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_NE(g_screen, nullptr);
        ASSERT_TRUE(device::automation::WaitIdle());
    }

    void TearDown() override
    {
        if (m_ui.joinable()) {
            PostMessageW(g_screen, WM_COMMAND, 1, 0);
            m_ui.join();
        }
        for (HICON& icon : g_rowIcons)
            DestroyIcon(icon), icon = nullptr;
        device::ReleaseDataFile(g_icons);
        device::ReleaseDataFile(g_screens);
    }

    static pixels::Picture Picture(int scale = 1) { return pixels::Render(device::automation::TakeScene(), scale); }

    static RECT ScreenRectOf(HWND hwnd)
    {
        RECT r;
        GetWindowRect(hwnd, &r);
        return r;
    }

    // A row of the list, and the part of it right of the icon where its text goes, in screen pixels.
    static RECT Row(int index)
    {
        HWND list = GetDlgItem(g_screen, kList);
        RECT r{LVIR_BOUNDS};
        SendMessageW(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static RECT TextPart(RECT row) { return row.left += 22, row; }
    static POINT IconCentre(const RECT& row) { return POINT{row.left + 10, row.top + 15}; }

    // The width of a text in a window's font.
    static int TextWidth(HWND hwnd, std::u16string_view text)
    {
        HDC dc = GetDC(hwnd);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SIZE size{};
        GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(hwnd, dc);
        return size.cx;
    }

    // The label's text lies in its control, at its left edge, as wide as the font measures it (give or take
    // the glyphs' sides) and as tall as a line of it.
    static void ExpectLabelIn(const pixels::Picture& picture, int scale)
    {
        HWND label = GetDlgItem(g_screen, kLabel);
        RECT rect = Scaled(ScreenRectOf(label), scale);
        Ink ink = InkOn(picture, rect);
        EXPECT_LT(ink.darkest, 60) << "black text";
        int width = TextWidth(label, u"Name:") * scale;
        EXPECT_NEAR(ink.box.right - ink.box.left, width, std::max(3 * scale, width / 12));
        EXPECT_LE(ink.box.left - rect.left, 2 * scale);
        EXPECT_GE(ink.box.bottom - ink.box.top, (rect.bottom - rect.top) / 3);
    }

    TempDevice m_device;
    std::thread m_ui;
};

} // namespace

TEST_F(ScreenPicture, TextsLieInTheirControlsAndTheRowsShowSelectionDimmingAndIcons)
{
    pixels::Picture picture = Picture();
    ASSERT_EQ(picture.Width(), 240);
    ASSERT_EQ(picture.Height(), 320);

    // The title bar: the dialog's caption in the highlight's colours.
    RECT titleBar{0, 0, 240, GetSystemMetrics(SM_CYCAPTION)};
    EXPECT_GT(ShareOf(picture, titleBar, GetSysColor(COLOR_HIGHLIGHT)), 0.8);
    Ink title = InkWithin(picture, titleBar, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(title.count, 20);
    EXPECT_GT(title.lightest, 240) << "white on the highlight";

    ExpectLabelIn(picture, 1);

    // Ben, the selected row: on the highlight, in white, with the red 4-bit icon.
    RECT ben = Row(1);
    EXPECT_GT(ShareOf(picture, ben, GetSysColor(COLOR_HIGHLIGHT)), 0.7);
    Ink benText = InkWithin(picture, TextPart(ben), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(benText.count, 10);
    EXPECT_GT(benText.lightest, 240);
    EXPECT_EQ(picture.Pixel(IconCentre(ben).x, IconCentre(ben).y), kRed);

    // Anna: black on white, with the purple 32-bit icon; nothing across its text.
    RECT anna = Row(0);
    EXPECT_GT(ShareOf(picture, anna, GetSysColor(COLOR_WINDOW)), 0.7);
    Ink annaText = InkWithin(picture, TextPart(anna), GetSysColor(COLOR_WINDOW));
    EXPECT_LT(annaText.darkest, 60);
    EXPECT_EQ(picture.Pixel(IconCentre(anna).x, IconCentre(anna).y), kPurple);
    int annaWidth = annaText.box.right - annaText.box.left;
    EXPECT_LT(annaText.longestRun, annaWidth * 8 / 10);

    // Carla, dimmed: grey, never black, and struck out by a line across the whole text.
    Ink carla = InkWithin(picture, TextPart(Row(2)), GetSysColor(COLOR_WINDOW));
    EXPECT_GT(carla.count, 20);
    EXPECT_GE(carla.darkest, 100);
    EXPECT_LE(carla.darkest, 140);
    EXPECT_GE(carla.longestRun, (carla.box.right - carla.box.left) * 9 / 10);

    // The soft keys: Done at the left of the bar, Menu at the right.
    int bar = GetSystemMetrics(SM_CYMENU);
    Ink left = InkOn(picture, RECT{0, 320 - bar, 120, 320});
    Ink right = InkOn(picture, RECT{120, 320 - bar, 240, 320});
    EXPECT_GT(left.count, 10);
    EXPECT_LT(left.box.left, 12);
    EXPECT_GT(right.count, 10);
    EXPECT_GT(right.box.right, 228);

    // Carried to another process as JSON, the scene draws the same picture.
    device::automation::Scene scene = device::automation::TakeScene();
    EXPECT_EQ(pixels::Render(pixels::SceneFromJson(device::automation::SceneJson(scene))).Png(),
              pixels::Render(scene).Png());
}

TEST_F(ScreenPicture, AnOpenMenuStandsOverTheSoftKeyAndAMessageBoxCoversTheScreen)
{
    pixels::Picture before = Picture();
    device::automation::Press(Key::RightSoft);
    pixels::Picture menu = Picture();

    // What changed is the menu, standing on the bar at the right.
    int bar = GetSystemMetrics(SM_CYMENU), top = GetSystemMetrics(SM_CYCAPTION);
    RECT changed{};
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x)
            if (menu.Pixel(x, y) != before.Pixel(x, y)) {
                RECT dot{x, y, x + 1, y + 1};
                UnionRect(&changed, &changed, &dot);
            }
    ASSERT_FALSE(IsRectEmpty(&changed));
    EXPECT_GT(changed.left, 60);
    EXPECT_GE(changed.right, 230);
    EXPECT_EQ(changed.bottom, 320 - bar);
    EXPECT_GT(changed.top, top);

    // Its first item is greyed; the highlight is on the next one, and Down moves it on.
    auto highlightTop = [&](const pixels::Picture& picture) {
        for (int y = changed.top; y < changed.bottom; ++y)
            if (ShareOf(picture, RECT{changed.left, y, changed.right, y + 1}, GetSysColor(COLOR_HIGHLIGHT)) > 0.8)
                return y;
        return -1;
    };
    int highlighted = highlightTop(menu);
    ASSERT_GT(highlighted, changed.top);
    Ink greyed = InkWithin(menu, RECT{changed.left + 1, changed.top + 1, changed.right - 1, highlighted},
                           GetSysColor(COLOR_MENU));
    EXPECT_GT(greyed.count, 10);
    EXPECT_GE(greyed.darkest, 100);
    int itemHeight = highlighted - changed.top;
    Ink below = InkWithin(menu, RECT{changed.left + 1, highlighted + itemHeight, changed.right - 1, changed.bottom - 1},
                          GetSysColor(COLOR_MENU));
    EXPECT_LT(below.darkest, 60) << "the items under the highlight can be chosen: black";
    device::automation::Press(Key::Down);
    EXPECT_GT(highlightTop(Picture()), highlighted);

    // Ask: a message box over the whole screen below the title bar, its text and its two buttons.
    device::automation::Press(Key::Back);
    ASSERT_TRUE(device::automation::ChooseMenuItem(u"Ask"));
    pixels::Picture box = Picture();
    EXPECT_LT(ShareOf(box, Row(1), GetSysColor(COLOR_HIGHLIGHT)), 0.05) << "the list is covered";
    HWND shown = GetForegroundWindow();
    ASSERT_NE(shown, g_screen);
    Ink question = InkOn(box, ScreenRectOf(GetDlgItem(shown, 0xFFFF)));
    EXPECT_GT(question.count, 20);
    EXPECT_LT(question.darkest, 60);
    for (int answer : {IDYES, IDNO}) {
        RECT button = ScreenRectOf(GetDlgItem(shown, answer));
        InflateRect(&button, -3, -3); // the label, inside the button's frame
        EXPECT_GT(InkOn(box, button).count, 10) << answer;
    }
    EXPECT_TRUE(device::automation::AnswerMessageBox(IDNO));
}

TEST_F(ScreenPicture, TwiceTheScaleDrawsTheSameScreenTwiceAsLarge)
{
    pixels::Picture picture = Picture(2);
    ASSERT_EQ(picture.Width(), 480);
    ASSERT_EQ(picture.Height(), 640);
    ExpectLabelIn(picture, 2);
    RECT ben = Scaled(Row(1), 2);
    EXPECT_GT(ShareOf(picture, ben, GetSysColor(COLOR_HIGHLIGHT)), 0.7);
    POINT icon = IconCentre(Row(1));
    EXPECT_EQ(picture.Pixel(icon.x * 2, icon.y * 2), kRed);
    EXPECT_THROW(Picture(0), std::invalid_argument);
}

namespace {

class HighResolutionScreenPicture : public ScreenPicture {
protected:
    static DeviceOptions Vga()
    {
        DeviceOptions options;
        options.profile.platform = "PocketPC";
        options.profile.screenWidth = 480;
        options.profile.screenHeight = 640;
        options.profile.dpi = 192;
        return options;
    }
    HighResolutionScreenPicture() : ScreenPicture(Vga()) {}
};

} // namespace

TEST_F(HighResolutionScreenPicture, TheProfilesScreenIsDrawnAtItsSizeWithTextsInTheirControls)
{
    pixels::Picture picture = Picture();
    ASSERT_EQ(picture.Width(), 480);
    ASSERT_EQ(picture.Height(), 640);
    ExpectLabelIn(picture, 1);
    Ink label = InkOn(picture, ScreenRectOf(GetDlgItem(g_screen, kLabel)));
    EXPECT_GT(label.box.bottom - label.box.top, 12) << "a 192 dpi font";
}
