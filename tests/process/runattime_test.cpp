// Run-at-time registrations and the time state value, on the manual clock.
#include "process/ProcessTesting.h"
#include "support/RegistryKey.h"

#include "device/Clock.h"
#include "process/DeviceTime.h"
#include "process/RunAtTime.h"

#include <notify.h>
#include <regext.h>

#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

using namespace process_testing;

namespace {

constexpr int64_t kMinute = 60 * device::kTicksPerSecond;

class RunAtTime : public ProcessTest {
protected:
    // A local time that many minutes from the device's start (2008-06-15 09:30:00).
    static SYSTEMTIME At(int minutes)
    {
        FILETIME local;
        int64_t ticks = testing_support::CivilTicks("2008-06-15 09:30:00") + minutes * kMinute;
        local.dwLowDateTime = static_cast<DWORD>(ticks);
        local.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        SYSTEMTIME time;
        FileTimeToSystemTime(&local, &time);
        return time;
    }

    static BOOL Register(const char16_t* program, int minutes)
    {
        SYSTEMTIME time = At(minutes);
        return CeRunAppAtTime(const_cast<TCHAR*>(program), &time);
    }

    static std::vector<std::u16string> Pending()
    {
        std::vector<std::u16string> applications;
        for (const device::RunAtTimeEntry& entry : device::RunAtTimeEntries())
            applications.push_back(entry.application);
        return applications;
    }
};

} // namespace

TEST_F(RunAtTime, TheProgramStartsWithAppRunAtTimeWhenTheClockPassesItsTime)
{
    ASSERT_TRUE(Register(kProgram, 10));
    device::AdvanceClock(9 * kMinute);
    EXPECT_TRUE(OtherProcesses().empty());
    device::AdvanceClock(2 * kMinute);
    EXPECT_EQ(OtherProcesses().size(), 1u);
    EXPECT_TRUE(Pending().empty()); // used up
    ASSERT_TRUE(Eventually([&] { return RanAt(kProgram).has_value(); }));
    EXPECT_EQ(*RanAt(kProgram), u"09:41");
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"AppRunAtTime"});
    device::AdvanceClock(60 * kMinute);
    EXPECT_EQ(OtherProcesses().size(), 1u);
}

TEST_F(RunAtTime, ANewRegistrationReplacesTheOldOneAndNoTimeClearsIt)
{
    ASSERT_TRUE(Register(kProgram, 10));
    ASSERT_TRUE(Register(u"\"\\PROGRAM FILES\\Tests\\PROGRAM.EXE\"", 20)); // the same application
    ASSERT_TRUE(Register(kOtherProgram, 30));
    ASSERT_EQ(device::RunAtTimeEntries().size(), 2u);
    device::AdvanceClock(15 * kMinute);
    EXPECT_TRUE(OtherProcesses().empty());
    ASSERT_TRUE(CeRunAppAtTime(const_cast<TCHAR*>(kOtherProgram), nullptr));
    EXPECT_EQ(Pending(), std::vector<std::u16string>{u"\"\\PROGRAM FILES\\Tests\\PROGRAM.EXE\""});
    // Bad registrations change nothing.
    SYSTEMTIME bad = At(40);
    bad.wMonth = 13;
    EXPECT_FALSE(CeRunAppAtTime(const_cast<TCHAR*>(kOtherProgram), &bad));
    EXPECT_FALSE(CeRunAppAtTime(nullptr, &bad));
    EXPECT_EQ(Pending().size(), 1u);
}

TEST_F(RunAtTime, ATimeThatHasComeAlreadyRunsAtOnce)
{
    ASSERT_TRUE(Register(kProgram, -5));
    EXPECT_EQ(OtherProcesses().size(), 1u);
    EXPECT_TRUE(Pending().empty());
}

TEST_F(RunAtTime, ABigStepStopsAtEachTimeInTurnSoARunCanRegisterTheNext)
{
    device::SetWaitForStartedPrograms(true);
    ASSERT_EQ(RegistrySetDWORD(HKEY_CURRENT_USER, kRecordKey, u"Chain", 2), S_OK);
    ASSERT_TRUE(Register(kProgram, 60));       // 10:30, then 11:30 and 12:30 by the chain
    ASSERT_TRUE(Register(kOtherProgram, 150)); // 12:00
    device::AdvanceClock(24 * 60 * kMinute);
    device::SetWaitForStartedPrograms(false);
    EXPECT_EQ(*RanAt(kProgram), u"12:30");
    EXPECT_EQ(*RanAt(kOtherProgram), u"12:00");
    EXPECT_EQ(Starts().size(), 4u);
    EXPECT_EQ(Recorded(u"Chain"), 0u);
    EXPECT_TRUE(Pending().empty());
}

TEST_F(RunAtTime, TwoProcessesReachingTheTimeTogetherStartItOnce)
{
    ASSERT_TRUE(Register(kProgram, 10));
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        device::Attach(m_device.Dir()); // its own connection, as another device process has
        char byte;
        if (read(go[0], &byte, 1) != 1)
            _exit(2);
        device::AdvanceClock(20 * kMinute);
        _exit(0);
    }
    ASSERT_EQ(write(go[1], "g", 1), 1);
    device::SetClock(device::NowTicks() + 20 * kMinute);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    // Both have returned, so both starts (were there two) have been made and listed.
    EXPECT_EQ(OtherProcesses().size(), 1u);
    ASSERT_TRUE(Eventually([&] { return !Starts().empty(); }));
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"AppRunAtTime"});
}

TEST_F(RunAtTime, ARealClockIsFollowedWhileAKeeperRuns)
{
    device::SetClockMode(false);
    SYSTEMTIME now;
    GetLocalTime(&now);
    ASSERT_TRUE(CeRunAppAtTime(const_cast<TCHAR*>(kProgram), &now)); // runs at once: it is due
    ASSERT_EQ(OtherProcesses().size(), 1u);
    // One due a moment from now needs someone to watch the time pass.
    FILETIME local;
    SystemTimeToFileTime(&now, &local);
    int64_t ticks = (static_cast<int64_t>(local.dwHighDateTime) << 32 | local.dwLowDateTime) + 2 * device::kTicksPerSecond;
    local.dwLowDateTime = static_cast<DWORD>(ticks);
    local.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME soon;
    FileTimeToSystemTime(&local, &soon);
    ASSERT_TRUE(CeRunAppAtTime(const_cast<TCHAR*>(kOtherProgram), &soon));
    device::DeviceKeeper keeper(std::chrono::milliseconds(20));
    EXPECT_TRUE(Eventually([&] { return OtherProcesses().size() == 2; }));
}

TEST(TimeState, EachNewMinuteIsWrittenAndTellsItsWatchers)
{
    testing_support::TempDevice device;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"TimeWatcher";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"TimeWatcher", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HREGNOTIFY notification = nullptr;
    ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, u"System\\State\\DateTime", u"Time", window, 1029, 0, nullptr,
                                   &notification),
              S_OK);
    auto changes = [&] {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, window, 1029, 1029, PM_REMOVE))
            ++count;
        return count;
    };
    device::AdvanceClock(30 * device::kTicksPerSecond); // 09:30:30: the same minute
    EXPECT_EQ(changes(), 0);
    device::AdvanceClock(40 * device::kTicksPerSecond); // 09:31:10
    EXPECT_EQ(changes(), 1);
    testing_support::RegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\State\\DateTime", 0, 0, key.Out()), ERROR_SUCCESS);
    FILETIME stored{};
    DWORD type = 0, size = sizeof stored;
    ASSERT_EQ(RegQueryValueExW(key, u"Time", nullptr, &type, reinterpret_cast<LPBYTE>(&stored), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    SYSTEMTIME local;
    ASSERT_TRUE(FileTimeToSystemTime(&stored, &local));
    EXPECT_EQ(local.wHour, 9);
    EXPECT_EQ(local.wMinute, 31);
    EXPECT_EQ(local.wSecond, 0);
    device::AdvanceClock(3 * 24 * 60 * kMinute); // a long way: one change, to where the clock stops
    EXPECT_EQ(changes(), 1);
    DestroyWindow(window);
}
