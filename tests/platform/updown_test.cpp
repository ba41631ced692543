// The up-down control with a text buddy.
#include "ControlHost.h"

using control_host::ControlTest;
using control_host::g_recorder;

namespace {

class UpDownControl : public ControlTest {};

} // namespace

TEST_F(UpDownControl, BuddyShowsThePositionAndArrowKeysStepItInsideTheRange)
{
    HWND edit = Create(TEXT("Edit"), ES_NUMBER, 660);
    HWND spin = Create(UPDOWN_CLASS, UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS, 661);
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(SendMessageW(spin, UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(edit)); // the window before it
    EXPECT_EQ(Text(edit), u"0");

    int low = 0, high = 0;
    SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 100); // the documented default runs from 100 down to 0
    EXPECT_EQ(high, 0);

    SendMessageW(spin, UDM_SETRANGE32, 0, 1500);
    EXPECT_EQ(SendMessageW(spin, UDM_SETPOS32, 0, 1234), 0);
    EXPECT_EQ(Text(edit), u"1,234");
    EXPECT_EQ(SendMessageW(spin, UDM_SETPOS32, 0, 9999), 1234);
    EXPECT_EQ(Text(edit), u"1,500"); // clamped to the range

    SendMessageW(spin, UDM_SETPOS32, 0, 1499);
    Press(edit, VK_UP);
    EXPECT_EQ(Text(edit), u"1,500");
    Press(edit, VK_UP); // at the top without UDS_WRAP: stays
    EXPECT_EQ(Text(edit), u"1,500");
    Press(edit, VK_DOWN);
    EXPECT_EQ(Text(edit), u"1,499");
    EXPECT_EQ(g_recorder.Notifies(UDN_DELTAPOS), 2);

    // What the user typed in the buddy is read back; text that is no number in the range is an error.
    SetWindowTextW(edit, TEXT("42"));
    BOOL error = TRUE;
    EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)), 42);
    EXPECT_FALSE(error);
    EXPECT_EQ(SendMessageW(spin, UDM_GETPOS, 0, 0), MAKELONG(42, 0));
    SetWindowTextW(edit, TEXT("4000"));
    SendMessageW(spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error));
    EXPECT_TRUE(error);
    EXPECT_NE(HIWORD(SendMessageW(spin, UDM_GETPOS, 0, 0)), 0);
}

TEST_F(UpDownControl, SixteenBitRangeAndPositionAndHexadecimalBase)
{
    HWND edit = Create(TEXT("Edit"), 0, 660);
    HWND spin = Create(UPDOWN_CLASS, UDS_SETBUDDYINT | UDS_NOTHOUSANDS | UDS_WRAP, 661);
    SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageW(spin, UDM_SETRANGE, 0, MAKELPARAM(20, -5)); // maximum in the low word
    EXPECT_EQ(SendMessageW(spin, UDM_GETRANGE, 0, 0), MAKELONG(20, static_cast<WORD>(-5)));
    SendMessageW(spin, UDM_SETPOS, 0, MAKELPARAM(-7, 0));
    EXPECT_EQ(Text(edit), u"-5");

    EXPECT_EQ(SendMessageW(spin, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(SendMessageW(spin, UDM_SETBASE, 8, 0), 0); // only 10 and 16
    SendMessageW(spin, UDM_SETPOS32, 0, 17);
    EXPECT_EQ(Text(edit), u"0x0011");

    // The keys of the control itself step it; wrapping goes round from the top to the bottom.
    SendMessageW(spin, UDM_SETBASE, 10, 0);
    SendMessageW(spin, UDM_SETPOS32, 0, 20);
    Press(spin, VK_UP);
    EXPECT_EQ(Text(edit), u"-5");

    // Taps on the arrows: the upper one steps up, the lower one down.
    MoveWindow(spin, 0, 0, 20, 40, FALSE);
    SendMessageW(spin, UDM_SETPOS32, 0, 3);
    SendMessageW(spin, WM_LBUTTONDOWN, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(Text(edit), u"4");
    SendMessageW(spin, WM_LBUTTONDOWN, 0, MAKELPARAM(10, 35));
    SendMessageW(spin, WM_LBUTTONDOWN, 0, MAKELPARAM(10, 35));
    EXPECT_EQ(Text(edit), u"2");

    SendMessageW(spin, UDM_SETPOS32, 0, -5);
    UDACCEL steps[] = {{0, 5}};
    EXPECT_TRUE(SendMessageW(spin, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(steps)));
    Press(spin, VK_UP);
    EXPECT_EQ(Text(edit), u"0");
}
