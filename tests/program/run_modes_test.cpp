// The three ways the program runs: started by the user, woken by the system for a scheduled message, or
// started by the missed-call notification; one instance per device; the exit codes.
#include "program/ProgramTesting.h"
#include "program/ScheduleTesting.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Binding.h"
#include "automation/Automation.h"
#include "cemapi/SmsDevice.h"
#include "pimstore/ContactsDevice.h"

#include "ids.h"

#include <aygshell.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

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

// A window of the program's class that only counts the scheduled-send messages it gets.
LRESULT CALLBACK CountScheduledSends(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == g_program.wmScheduledSms) {
        ++g_scheduledSends;
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND WaitForMainWindow()
{
    HWND window = nullptr;
    Eventually([&] { return (window = FindWindowW(kMainWindowClass, nullptr)) != nullptr; });
    return window;
}

class RunModes : public ProgramTest {};

// The shell's answer to the capability query, as the program binds it.
BOOL WINAPI GrantNothing(DWORD)
{
    return FALSE;
}

// Starts with the capability query bound as prepare leaves it; the start must end with the refusal's reason.
class RefusedStart : public ProgramTest {
protected:
    void StartRefused(const std::function<void()>& prepare)
    {
        MarkWelcomeHintShown();
        Start(u"", prepare);
        Snapshot refusal = TakeSnapshot();
        ASSERT_TRUE(refusal.messageBox.has_value());
        EXPECT_EQ(refusal.messageBox->text, ResourceText(IDS_CANNOT_RUN));
        EXPECT_EQ(refusal.messageBox->caption, u"Zelkova");
        EXPECT_EQ(refusal.messageBox->icon, "error");
        ASSERT_TRUE(AnswerMessageBox(IDOK));
        EXPECT_EQ(Finish(), 0);
    }
};

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

TEST_F(RunModes, AWakeUpWhileTheRunningInstanceHasNoWindowIsHandedOverOnceThereIsOneElseRunHere)
{
    g_program = ProgramState{};
    // This process holds the instance claim, as a starting instance does before its window exists.
    HANDLE claim = nullptr;
    HWND running = nullptr;
    BOOL found = TRUE;
    ASSERT_EQ(shell::InstanceLookup(kMainWindowClass, nullptr, &claim, &running, &found), S_OK);
    ASSERT_FALSE(found);

    // Its window never comes: the woken process sends the due message itself and ends as a silent run.
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    schedule_testing::StoreMessage(u"{00000000-0000-4000-8000-000000000930}", u"Due now",
                                   schedule_testing::At(2008, 6, 15, 9, 30), Ids({ann}));
    EXPECT_EQ(ExitCodeOf(StartProgram(u"AppRunAtTime")), 18);
    std::vector<std::u16string> sent;
    device::sms::List(device::sms::Folder::Sent, [&](const device::sms::Message& m) {
        sent.push_back(m.text + u" to " + m.to.at(0).address);
        return true;
    });
    EXPECT_EQ(sent, std::vector<std::u16string>{u"Due now to 555 101"});

    // Its window comes while the woken process waits: the wake-up is handed to it.
    g_scheduledSends = 0;
    WNDCLASSW counting = {};
    counting.lpfnWndProc = &CountScheduledSends;
    counting.hInstance = GetModuleHandleW(nullptr);
    counting.lpszClassName = kMainWindowClass;
    UnregisterClassW(kMainWindowClass, counting.hInstance); // the last program run here registered it
    ASSERT_NE(RegisterClassW(&counting), 0);
    g_program.wmScheduledSms = RegisterWindowMessageW(u"Zelkova.ScheduledSMS");
    auto woken = StartProgram(u"AppRunAtTime");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    HWND late = CreateWindowW(kMainWindowClass, u"", 0, 0, 0, 10, 10, nullptr, nullptr, counting.hInstance, nullptr);
    ASSERT_NE(late, nullptr);
    EXPECT_TRUE(Eventually([] {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        return g_scheduledSends == 1;
    }));
    EXPECT_EQ(ExitCodeOf(woken), 0);
    DestroyWindow(late);
    UnregisterClassW(kMainWindowClass, counting.hInstance);
    CloseHandle(claim);
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

TEST_F(RefusedStart, AShellThatRefusesTheProgramShowsWhyAndTheProgramEnds)
{
    StartRefused([] { g_program.binding.capabilityQuery = reinterpret_cast<FARPROC>(&GrantNothing); });
}

TEST_F(RefusedStart, AShellWithoutTheCapabilityQueryCountsAsARefusal)
{
    // A library that has exports, but not that one.
    StartRefused([] { g_program.binding.shellForCapability = LoadLibraryW(u"utils"); });
}
