// Control classes, static text, buttons and the progress bar.
#include "ControlHost.h"

using control_host::ControlTest;
using control_host::g_recorder;

namespace {

class Controls : public ControlTest {};

bool ClassExists(LPCWSTR name)
{
    WNDCLASSW info{};
    return GetClassInfoW(nullptr, name, &info) != FALSE;
}

} // namespace

TEST_F(Controls, StandardControlsNeedNoInitialisationAndCommonSetsAreCheckedBySize)
{
    EXPECT_TRUE(ClassExists(TEXT("static")));
    EXPECT_TRUE(ClassExists(TEXT("EDIT")));
    EXPECT_TRUE(ClassExists(TEXT("Button")));
    EXPECT_TRUE(ClassExists(TEXT("listbox")));

    // The program's own request: up-down, date-time and capitalising edit classes.
    INITCOMMONCONTROLSEX init{sizeof init, ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_CAPEDIT_CLASS};
    EXPECT_EQ(init.dwICC, 0x2110u);
    EXPECT_TRUE(InitCommonControlsEx(&init));
    EXPECT_TRUE(ClassExists(UPDOWN_CLASS));
    EXPECT_TRUE(ClassExists(DATETIMEPICK_CLASS));
    EXPECT_TRUE(ClassExists(WC_CAPEDIT));

    INITCOMMONCONTROLSEX wrongSize{12, ICC_LISTVIEW_CLASSES};
    SetLastError(0);
    EXPECT_FALSE(InitCommonControlsEx(&wrongSize));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(InitCommonControlsEx(nullptr));

    // A class set the device doesn't carry fails, but the carried ones asked for are still registered.
    INITCOMMONCONTROLSEX missing{sizeof missing, ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    SetLastError(0);
    EXPECT_FALSE(InitCommonControlsEx(&missing));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_TRUE(ClassExists(PROGRESS_CLASS));

    // The platform's classes can't be taken away by a program.
    EXPECT_FALSE(UnregisterClassW(TEXT("Edit"), nullptr));
    EXPECT_TRUE(ClassExists(TEXT("Edit")));
}

TEST_F(Controls, StaticTextKeepsItsTextAndImageAndReportsTapsOnlyWhenAsked)
{
    HWND label = Create(TEXT("STATIC"), SS_CENTER | SS_NOPREFIX, 620, TEXT("Name &1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(Text(label), u"Name &1");
    SetWindowTextW(label, TEXT("0/160"));
    EXPECT_EQ(Text(label), u"0/160");
    EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);

    auto icon = reinterpret_cast<HANDLE>(0x1234);
    EXPECT_EQ(SendMessageW(label, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)), 0);
    EXPECT_EQ(SendMessageW(label, STM_GETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessageW(label, STM_SETIMAGE, IMAGE_ICON, 0), reinterpret_cast<LRESULT>(icon));
    EXPECT_EQ(SendMessageW(label, STM_SETIMAGE, 7, 0), 0);

    SendMessageW(label, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(g_recorder.Commands(STN_CLICKED), 0);
    HWND notifying = Create(TEXT("Static"), SS_NOTIFY, 621, TEXT("tap me"));
    SendMessageW(notifying, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(g_recorder.Commands(STN_CLICKED), 1);
    EXPECT_EQ(g_recorder.notices.back().id, 621);
    EXPECT_EQ(g_recorder.notices.back().from, notifying);
}

TEST_F(Controls, AutomaticCheckBoxTogglesWithTheActionKeySpaceAndTapsAndReportsEachClick)
{
    HWND box = Create(TEXT("Button"), BS_AUTOCHECKBOX | WS_TABSTOP, 653, TEXT("Exit after sending"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    Press(box, VK_RETURN); // the action key
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    Press(box, VK_SPACE);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(box, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    // A tap dragged off the button and lifted outside is no click.
    SendMessageW(box, WM_LBUTTONDOWN, 0, MAKELPARAM(3, 3));
    SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(500, 3));
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);

    auto clicks = g_recorder.Of(WM_COMMAND, BN_CLICKED);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0].id, 653);
    EXPECT_EQ(clicks[0].from, box);

    // The program sets the state without a notification; a plain check box leaves it to the parent.
    SendMessageW(box, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    HWND manual = Create(TEXT("Button"), BS_CHECKBOX, 654, TEXT("manual"));
    SendMessageW(manual, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(g_recorder.Commands(BN_CLICKED), 4);
    // A two-state box takes "indeterminate" as checked; a disabled one ignores clicks.
    SendMessageW(box, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EnableWindow(box, FALSE);
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(g_recorder.Commands(BN_CLICKED), 4);
}

TEST_F(Controls, AutomaticRadioButtonClearsOnlyTheOthersOfItsGroup)
{
    HWND first = Create(TEXT("Button"), BS_AUTORADIOBUTTON | WS_GROUP, 701, TEXT("a"));
    HWND second = Create(TEXT("Button"), BS_AUTORADIOBUTTON, 702, TEXT("b"));
    HWND nextGroup = Create(TEXT("Button"), BS_AUTORADIOBUTTON | WS_GROUP, 703, TEXT("c"));
    SendMessageW(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(nextGroup, BM_SETCHECK, BST_CHECKED, 0);

    SendMessageW(second, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(second, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(nextGroup, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(g_recorder.Commands(BN_CLICKED), 1);
    EXPECT_EQ(SendMessageW(second, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

TEST_F(Controls, PushButtonsReportClicksAndTellDialogsWhetherTheyAreTheDefault)
{
    HWND ok = Create(TEXT("Button"), BS_DEFPUSHBUTTON, 1, TEXT("OK"));
    EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    SendMessageW(ok, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(SendMessageW(ok, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_TRUE(GetWindowLongW(ok, GWL_STYLE) & WS_CHILD); // the style change keeps the window styles

    Press(ok, VK_RETURN);
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(g_recorder.Commands(BN_CLICKED), 2);
    EXPECT_EQ(SendMessageW(ok, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(Controls, ProgressBarClampsItsPositionAndStepsRoundPastTheEnd)
{
    HWND bar = Create(PROGRESS_CLASS, 0, 670);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    PBRANGE range{};
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iHigh, 100);

    EXPECT_EQ(SendMessageW(bar, PBM_SETRANGE32, 0, 7), MAKELONG(0, 100)); // answers the previous range
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, 9, 0), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 7);
    EXPECT_EQ(SendMessageW(bar, PBM_SETPOS, -3, 0), 7);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_DELTAPOS, 5, 0), 0);
    EXPECT_EQ(SendMessageW(bar, PBM_DELTAPOS, 5, 0), 5);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 7);

    EXPECT_EQ(SendMessageW(bar, PBM_SETSTEP, 3, 0), 10);
    SendMessageW(bar, PBM_SETPOS, 4, 0);
    EXPECT_EQ(SendMessageW(bar, PBM_STEPIT, 0, 0), 4);
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 7);
    SendMessageW(bar, PBM_STEPIT, 0, 0); // past the end: starts over
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);

    // A narrower range pulls the position inside it.
    SendMessageW(bar, PBM_SETPOS, 6, 0);
    SendMessageW(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 3));
    EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 3);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 3);
}
