// Processes of the device finding each other's windows and exchanging messages.
#include "process/ProcessTesting.h"

#include "process/StartProgram.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <unistd.h>

using namespace process_testing;

namespace {

class Messages : public ProcessTest {};

LRESULT CALLBACK AnswerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kAnswer)
        return 41;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A window of the test process itself, which makes it a device process with an endpoint.
HWND OwnWindow(const char16_t* title, DWORD style = 0)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = AnswerProc;
    wc.lpszClassName = u"ProcessTestsOwn";
    RegisterClassW(&wc);
    return CreateWindowExW(0, u"ProcessTestsOwn", title, style, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

} // namespace

TEST_F(Messages, ASecondStartFindsTheFirstAndGetsTheAnswerToItsRegisteredMessage)
{
    Start(u"serve");
    HWND first = WaitForWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(IsWindow(first));
    DWORD pid = 0;
    GetWindowThreadProcessId(first, &pid);
    EXPECT_NE(pid, static_cast<DWORD>(getpid()));
    WCHAR text[32];
    EXPECT_EQ(GetClassNameW(first, text, 32), 17);
    EXPECT_EQ(std::u16string(text), kClass);
    EXPECT_EQ(GetWindowTextW(first, text, 32), 12);
    EXPECT_EQ(std::u16string(text), kTitle);

    Start(u"second");
    ASSERT_TRUE(Eventually([&] { return Recorded(u"EchoResult").has_value(); }));
    EXPECT_EQ(*Recorded(u"EchoResult"), 42u);
    // The same number reaches it from here: registered messages are numbered device-wide.
    EXPECT_EQ(SendMessageW(first, RegisterWindowMessageW(kEchoMessage), 5, 1), 11);
}

TEST_F(Messages, PostedMessagesReachTheWindowOfAnotherProcess)
{
    Start(u"serve");
    HWND first = WaitForWindow();
    ASSERT_TRUE(PostMessageW(first, kPosted, 12, 0));
    ASSERT_TRUE(Eventually([&] { return Recorded(u"LastPosted") == 12u; }));
    Start(u"post");
    EXPECT_TRUE(Eventually([&] { return Recorded(u"LastPosted") == 77u; }));
}

TEST_F(Messages, ASenderWaitingForAnotherProcessStillAnswersWhatIsSentToIt)
{
    HWND own = OwnWindow(u"own");
    ASSERT_NE(own, nullptr);
    Start(u"serve");
    HWND first = WaitForWindow();
    // The program sends back to this thread's window while this thread waits for its answer.
    EXPECT_EQ(SendMessageW(first, kAskBack, reinterpret_cast<WPARAM>(own), 0), 42);
    DestroyWindow(own);
}

TEST_F(Messages, ASendToAProcessThatIsKilledReturnsZero)
{
    pid_t pid = Start(u"serve");
    HWND first = WaitForWindow();
    auto answer = std::async(std::launch::async, [&] { return SendMessageW(first, kBlock, 0, 0); });
    ASSERT_TRUE(Eventually([&] { return Recorded(u"Blocking") == 1u; }));
    kill(pid, SIGKILL);
    EXPECT_EQ(answer.get(), 0);
}

TEST_F(Messages, AKilledProcessLeavesTheProcessListAndWindowLookups)
{
    pid_t pid = Start(u"serve");
    HWND first = WaitForWindow();
    ASSERT_EQ(OtherProcesses(), std::vector<pid_t>{pid});
    kill(pid, SIGKILL);
    ASSERT_TRUE(Eventually([&] { return OtherProcesses().empty(); }));
    EXPECT_EQ(FindWindowW(kClass, nullptr), nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(PostMessageW(first, kPosted, 1, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(Messages, TheForegroundIsTheLastActivatedVisibleWindowOfAnyProcess)
{
    Start(u"serve");
    HWND first = WaitForWindow();
    ASSERT_TRUE(Eventually([&] { return GetForegroundWindow() == first; }));
    HWND own = OwnWindow(u"own", WS_VISIBLE);
    EXPECT_EQ(GetForegroundWindow(), own);
    ShowWindow(own, SW_HIDE);
    EXPECT_EQ(GetForegroundWindow(), first);
    // Bringing another process's window to the front activates it there.
    ShowWindow(own, SW_SHOW);
    ASSERT_EQ(GetForegroundWindow(), own);
    EXPECT_TRUE(SetForegroundWindow(first));
    EXPECT_EQ(GetForegroundWindow(), first);
    DestroyWindow(own);
}

TEST_F(Messages, OnlyValuesTravelBetweenProcesses)
{
    Start(u"serve");
    HWND first = WaitForWindow();
    EXPECT_EQ(SendMessageW(first, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"changed")), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(PostMessageW(first, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"changed")));
    EXPECT_EQ(FindWindowW(kClass, kTitle), first);
}

TEST_F(Messages, StartingSomethingThatIsNoProgramFailsAndStartsNothing)
{
    DWORD error = 0;
    EXPECT_EQ(device::StartDeviceProgram(u"\\Program Files\\Tests\\missing.exe", u"", &error), 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(device::StartDeviceProgram(u"program.exe", u"", &error), 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(device::StartDeviceProgram(u"\\Program Files", u"", &error), 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // What the host refuses is told apart.
    EXPECT_EQ(device::StartProgram("/bin/true", std::u16string(200000, u'a'), &error), 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_BAD_LENGTH));
    std::filesystem::path script = m_device.Dir().parent_path() / "noshell";
    std::ofstream(script) << "#!/nowhere/sh\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    EXPECT_EQ(device::StartProgram(script, u"", &error), 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_BAD_FORMAT));
    EXPECT_TRUE(OtherProcesses().empty());
    // A made-up handle of another process names no window.
    HWND madeUp = reinterpret_cast<HWND>((static_cast<uintptr_t>(getpid() + 1) << 32) | 5);
    EXPECT_FALSE(IsWindow(madeUp));
    EXPECT_EQ(SendMessageW(madeUp, kPosted, 0, 0), 0);
}

TEST_F(Messages, AStartedProgramIsListedWithItsCommandLineAndLeavesWhenItEnds)
{
    pid_t pid = Start(u"serve with blanks  ");
    auto listed = device::RunningProcesses();
    ASSERT_EQ(listed.size(), 1u); // at once, before it has joined by itself
    EXPECT_EQ(listed[0].pid, pid);
    EXPECT_EQ(listed[0].commandLine, u"serve with blanks  ");
    HWND first = WaitForWindow();
    ASSERT_TRUE(Eventually([&] { return !Starts().empty(); }));
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"serve with blanks  "});
    PostMessageW(first, kQuit, 0, 0);
    EXPECT_TRUE(Eventually([&] { return OtherProcesses().empty(); }));
}

TEST_F(Messages, ASendWhoseHandlingEndsTheProgramStillGetsItsAnswer)
{
    // The program ends right after the window procedure returns; its answer must leave before it does.
    for (int round = 0; round < 20; ++round) {
        Start(u"serve");
        HWND window = WaitForWindow();
        SetLastError(0);
        EXPECT_EQ(SendMessageW(window, kQuit, 0, 0), 0) << "round " << round;
        EXPECT_EQ(GetLastError(), 0u) << "round " << round;
        ASSERT_TRUE(Eventually([&] { return OtherProcesses().empty(); }));
    }
}

TEST(DeepDevice, ProcessesOfADeviceInADeepFolderStillReachEachOther)
{
    // Socket names have room for about a hundred bytes; this device's run/ folder is further down.
    testing_support::TempDevice shallow;
    std::filesystem::path deep = shallow.Dir().parent_path() / std::string(60, 'd') / std::string(60, 'e') / "device";
    device::Create(deep, device::Profile{}, true, testing_support::CivilTicks("2008-06-15 09:30:00"));
    device::Attach(deep);
    std::filesystem::path folder = deep / "fs" / "Program Files" / "Tests";
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(TEST_PROGRAM, folder / "program.exe");
    DWORD error = 0;
    pid_t pid = device::StartDeviceProgram(u"\\Program Files\\Tests\\program.exe", u"serve", &error);
    ASSERT_NE(pid, 0);
    HWND window = nullptr;
    ASSERT_TRUE(Eventually([&] { return (window = FindWindowW(kClass, kTitle)) != nullptr; }));
    EXPECT_EQ(SendMessageW(window, RegisterWindowMessageW(kEchoMessage), 3, 4), 10);
    kill(pid, SIGKILL);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(window); }));
}
