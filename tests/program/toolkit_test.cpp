// The dialog and list toolkit's own rules: what the dialog procedure answers, the platform test, the
// scaling on a high-resolution screen and the text of an empty list.
#include "program/ProgramTesting.h"

#include "app/Program.h"
#include "automation/Automation.h"
#include "gdi/Drawing.h"
#include "support/TempDevice.h"
#include "ui/DialogBase.h"
#include "ui/Layout.h"
#include "ui/OwnerDrawList.h"
#include "ui/PlatformType.h"

#include "ids.h"

#include <gtest/gtest.h>

using namespace device::automation;
using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

// Claims two messages and returns a result that must reach the caller only for the colour one; leaves the
// rest.
class ClaimingDialog : public DialogBase {
public:
    LRESULT OnMessage(HWND, UINT msg, WPARAM, LPARAM, BOOL& handled) override
    {
        handled = msg == WM_APP || msg == WM_CTLCOLORSTATIC;
        return 42;
    }
};

HWND MakeHost()
{
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.lpszClassName = u"ToolkitHost";
    RegisterClassW(&host);
    return CreateWindowExW(0, u"ToolkitHost", u"Host", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
}

class PlainList : public OwnerDrawList {
public:
    HRESULT Activate(int) override { return S_OK; }
    void DrawRow(const DRAWITEMSTRUCT&) override {}
};

bool DrewText(HWND hwnd, const std::u16string& text)
{
    for (const device::Drawing& drawing : device::DrawingOf(hwnd))
        if (auto drawn = std::get_if<device::TextDrawing>(&drawing.what); drawn && drawn->text == text)
            return true;
    return false;
}

RECT RectIn(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

DeviceOptions HighResolution()
{
    DeviceOptions options;
    options.profile.platform = "PocketPC";
    options.profile.screenWidth = 480;
    options.profile.screenHeight = 640;
    options.profile.dpi = 192;
    return options;
}

class HighResolutionScreen : public program_testing::ProgramTest {
protected:
    HighResolutionScreen() : ProgramTest(HighResolution()) {}
};

} // namespace

TEST(DialogProcedure, AnswersWhetherTheObjectHandledTheMessageOrWithTheBrushItChose)
{
    TempDevice device;
    g_program = ProgramState{};
    HWND dialog = MakeHost();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CommonDialogProc(dialog, WM_APP, 0, 0), FALSE); // no object bound yet
    ClaimingDialog object;
    CommonDialogProc(dialog, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&object));
    EXPECT_EQ(object.Window(), dialog);
    EXPECT_EQ(CommonDialogProc(dialog, WM_APP, 0, 0), TRUE);
    EXPECT_EQ(CommonDialogProc(dialog, WM_APP + 1, 0, 0),
              FALSE); // not handled: 0, whatever OnMessage returned
    EXPECT_EQ(CommonDialogProc(dialog, WM_CTLCOLORSTATIC, 0, 0), 42); // a colour message: the brush
    DestroyWindow(dialog);
    // A template the resource library does not have can't be run.
    EXPECT_EQ(RunDialog(IDD_GROUPS, nullptr, object), -1);
}

TEST(Layout, ControlsFitEdgesLineUpAndReachTheBottom)
{
    TempDevice device;
    g_program = ProgramState{};
    HWND dialog = MakeHost();
    for (int id : {1, 2, 3})
        CreateWindowExW(0, u"Static", u"", WS_CHILD | WS_VISIBLE, 10 * id, 20 * id, 30, 15, dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    RECT client{};
    GetClientRect(dialog, &client);
    int w = client.right, h = client.bottom;

    FitControl(dialog, 1, kLayoutLeft);
    EXPECT_TRUE(RectIn(dialog, 1) == (RECT{0, 0, 30, h}));
    FitControl(dialog, 1, kLayoutRight);
    EXPECT_TRUE(RectIn(dialog, 1) == (RECT{w - 30, 0, w, h}));
    FitControl(dialog, 2, kLayoutTop);
    EXPECT_TRUE(RectIn(dialog, 2) == (RECT{0, 0, w, 15}));
    FitControl(dialog, 2, kLayoutBottom);
    EXPECT_TRUE(RectIn(dialog, 2) == (RECT{0, h - 15, w, h}));
    FitControl(dialog, 2, 9); // any other layout: all of it
    EXPECT_TRUE(RectIn(dialog, 2) == (RECT{0, 0, w, h}));

    // Control 3 sits at (30, 60), 30 by 15; control 1 is the reference.
    MoveWindow(GetDlgItem(dialog, 1), 100, 50, 40, 20, TRUE);
    AlignControls(dialog, kEdgeLeft, 1, {3});
    EXPECT_TRUE(RectIn(dialog, 3) == (RECT{100, 60, 130, 75}));
    AlignControls(dialog, kEdgeRight, 1, {3});
    EXPECT_TRUE(RectIn(dialog, 3) == (RECT{110, 60, 140, 75}));
    AlignControls(dialog, kEdgeTop, 1, {3});
    EXPECT_TRUE(RectIn(dialog, 3) == (RECT{110, 50, 140, 65}));
    AlignControls(dialog, kEdgeBottom, 1, {3});
    EXPECT_TRUE(RectIn(dialog, 3) == (RECT{110, 55, 140, 70}));

    // Down to the bottom, less a margin as wide as the control's left edge on the screen.
    RECT screen{};
    GetWindowRect(GetDlgItem(dialog, 3), &screen);
    StretchToBottom(dialog, 3);
    EXPECT_TRUE(RectIn(dialog, 3) == (RECT{110, 55, 140, h - screen.left}));
    DestroyWindow(dialog);
}

TEST(PlatformTest, TellsThePocketPCFromTheSmartphoneAndAnythingElse)
{
    for (auto [platform, type] :
         {std::pair{"PocketPC", 1}, {"SmartPhone", 2}, {"Smartphone", 0}, {"Tablet", 0}}) {
        DeviceOptions options;
        options.profile.platform = platform;
        TempDevice device(options);
        EXPECT_EQ(GetPlatformType(), type) << platform;
        EXPECT_EQ(IsPocketPC(), type == 1) << platform;
    }
}

TEST(OwnerDrawnList, ShowsItsEmptyTextOnlyWhileItHasNoRows)
{
    TempDevice device;
    g_program = ProgramState{};
    InitCommonControls();
    HWND host = MakeHost();
    {
        PlainList list;
        ASSERT_EQ(list.Create(host, 650, 0), S_OK);
        ASSERT_EQ(list.SetEmptyText(u"Nothing here yet."), S_OK);
        MoveWindow(list.Window(), 0, 0, 200, 200, TRUE);
        UpdateWindow(list.Window());
        EXPECT_TRUE(DrewText(list.Window(), u"Nothing here yet."));
        EXPECT_EQ(list.SelectedRow(), -1);

        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.pszText = const_cast<LPWSTR>(u"Row");
        item.lParam = 77;
        ASSERT_EQ(SendMessageW(list.Window(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), 0);
        InvalidateRect(list.Window(), nullptr, TRUE);
        UpdateWindow(list.Window());
        EXPECT_FALSE(DrewText(list.Window(), u"Nothing here yet."));
        list.SelectRowByText(u"Row");
        EXPECT_EQ(list.SelectedRow(), 0);
        EXPECT_EQ(list.RowData(0), 77);
        EXPECT_EQ(list.RowData(1), 0);
    }
    DestroyWindow(host); // the list object went first and gave the control back
}

TEST_F(HighResolutionScreen, MarginsAndSeparatorsScaleWithTheScreen)
{
    program_testing::MarkWelcomeHintShown();
    Start();
    EXPECT_EQ(SeparatorThickness(), 2);
    ASSERT_TRUE(ChooseMenuItem(u"Options"));
    Snapshot options = TakeSnapshot();
    ASSERT_FALSE(options.windows.empty());
    RECT screen = options.windows[0].rect;
    for (int id : {IDC_AUTO_EXIT, IDC_CAPTION, IDC_MY_NUMBER}) {
        HWND control = GetDlgItem(GetForegroundWindow(), id);
        RECT rect{};
        GetWindowRect(control, &rect);
        EXPECT_EQ(rect.left - screen.left, 14) << id;
        EXPECT_EQ(screen.right - rect.right, 14) << id;
    }
    Press(Key::RightSoft);
    EXPECT_EQ(Exit(), 18);
}
