// The three ways the program runs: started by the user, woken by the system for a scheduled message, or
// started by the missed-call notification; one instance per device; the exit codes.
#include "program/ProgramTesting.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "automation/Automation.h"

#include <aygshell.h>

#include <gtest/gtest.h>

#include <atomic>

using namespace device::automation;
using namespace program_testing;

namespace {

// Counts the scheduled-send messages that reach the running main window, then passes them on.
std::atomic<int> g_scheduledSends{0};
WNDPROC g_mainProc = nullptr;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == g_program.wmScheduledSms)
        ++g_scheduledSends;
    return CallWindowProcW(g_mainProc, hwnd, msg, wp, lp);
}

HWND WaitForMainWindow()
{
    HWND window = nullptr;
    Eventually([&] { return (window = FindWindowW(kMainWindowClass, nullptr)) != nullptr; });
    return window;
}

class RunModes : public ProgramTest {};

} // namespace

TEST_F(RunModes, AStartWhileAnInstanceRunsEndsAtOnceAndOnlyAnExactWakeUpIsHandedOver)
{
    MarkWelcomeHintShown();
    Start();
    g_scheduledSends = 0;
    g_mainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(MainWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    ASSERT_NE(g_mainProc, nullptr);

    EXPECT_EQ(ExitCodeOf(StartProgram(u"")), 0);
    EXPECT_EQ(ExitCodeOf(StartProgram(u"AppRunAtTime ")), 0); // a blank more is not a wake-up
    EXPECT_EQ(ExitCodeOf(StartProgram(u"apprunattime")), 0);
    EXPECT_EQ(g_scheduledSends, 0);
    EXPECT_EQ(ExitCodeOf(StartProgram(u"AppRunAtTime")), 0);
    EXPECT_EQ(g_scheduledSends, 1); // sent, and answered before the second process ended

    // No other instance made a window.
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), MainWindow());
    EXPECT_TRUE(IsWindowVisible(MainWindow()));
    EXPECT_EQ(Exit(), 18);
}

TEST_F(RunModes, AMissedCallStartRunsSilentlyAndWritesNothing)
{
    Start(u"x Zelkova.MissedCalls y");
    HWND main = MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_EQ(GetDlgItem(main, 650), nullptr); // no feature list
    EXPECT_EQ(SHFindMenuBar(main), nullptr);
    EXPECT_FALSE(TakeSnapshot().messageBox.has_value()); // no welcome hint
    // The missed call is answered (here: by nothing yet) and the silent program closes itself.
    PostMessageW(main, WM_MISSED_CALL, 0, 0);
    EXPECT_EQ(Finish(), 18);
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(RunModes, ASilentRunNeitherReadsNorMarksTheUsersValues)
{
    StoreText(u"MyNumber", u"5550100");
    StoreNumber(u"AutoExit", 0);
    Start(u"Zelkova.MissedCalls");
    EXPECT_EQ(g_mainWindow.GetSettings().MyNumber(), nullptr);
    PostMessageW(MainWindow(), WM_MISSED_CALL, 0, 0);
    EXPECT_EQ(Finish(), 18);
    EXPECT_FALSE(Stored(u"OneTimeMsg_264").has_value());
    EXPECT_FALSE(Stored(u"ARMsg").has_value());
}

TEST_F(RunModes, TheInstalledProgramEndsWithEighteenAfterACloseAndZeroWhenItCannotStart)
{
    MarkWelcomeHintShown();
    // Interactive: a visible main window until it is closed; the settings are written at the end.
    auto interactive = StartProgram(u"AppRunAtTime ");
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(window) != FALSE; }));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(ExitCodeOf(interactive), 18);
    EXPECT_EQ(StoredNumber(u"ARWarn"), std::optional<DWORD>(10));

    // A silent wake-up with nothing to send ends at once without writing anything. The send closes the
    // window whatever it found, and that close's quit code is the last one posted.
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKey), ERROR_SUCCESS);
    EXPECT_EQ(ExitCodeOf(StartProgram(u"AppRunAtTime")), 18);
    EXPECT_FALSE(SettingsKeyExists());

    // A missed-call start closes itself once the call was handled.
    auto silent = StartProgram(u"Zelkova.MissedCalls");
    window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageW(window, WM_MISSED_CALL, 0, 0);
    EXPECT_EQ(ExitCodeOf(silent), 18);
    EXPECT_FALSE(SettingsKeyExists());
}

TEST(InstalledProgram, WithoutItsResourceLibraryTheProgramEndsAtOnceWithZero)
{
    testing_support::TempDevice device;
    InstallProgram(device.Dir(), {"ZelkovaRes.dll"});
    EXPECT_EQ(ExitCodeOf(StartProgram(u"")), 0);
    EXPECT_EQ(FindWindowW(kMainWindowClass, nullptr), nullptr);
    EXPECT_FALSE(SettingsKeyExists());
}
