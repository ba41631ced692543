#include <windows.h>

#include "device/Clock.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

using testing_support::TempDevice;

namespace {

// Records the messages a window sees, as "NAME:hwnd-tag".
std::vector<std::string> g_log;
std::function<void()> g_onUser;

std::string Name(UINT msg)
{
    switch (msg) {
    case WM_NCCREATE: return "NCCREATE";
    case WM_CREATE: return "CREATE";
    case WM_SIZE: return "SIZE";
    case WM_MOVE: return "MOVE";
    case WM_DESTROY: return "DESTROY";
    case WM_NCDESTROY: return "NCDESTROY";
    case WM_TIMER: return "TIMER";
    case WM_USER: return "USER";
    default: return "";
    }
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    std::string name = Name(msg);
    if (!name.empty()) {
        WCHAR text[32] = {};
        GetWindowTextW(hwnd, text, 32);
        std::u16string wide(text);
        std::string tag(wide.begin(), wide.end());
        g_log.push_back(name + ":" + tag);
    }
    if (msg == WM_USER && g_onUser)
        g_onUser();
    if (msg == WM_USER)
        return static_cast<LRESULT>(wp * 2);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = TEXT("Recording");
        wc.cbWndExtra = 8;
        RegisterClassW(&wc);
    }
    void TearDown() override { UnregisterClassW(TEXT("Recording"), nullptr); }

    TempDevice m_device;
};

} // namespace

TEST_F(Windows, CreationAndDestructionSendTheirMessagesInOrder)
{
    HWND top = CreateWindowExW(0, TEXT("Recording"), TEXT("top"), WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    HWND child = CreateWindowExW(0, TEXT("Recording"), TEXT("child"), WS_CHILD | WS_VISIBLE, 5, 6, 50, 20, top,
                                 reinterpret_cast<HMENU>(77), nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgItem(top, 77), child);
    EXPECT_EQ(GetDlgCtrlID(child), 77);
    EXPECT_EQ(GetParent(child), top);
    EXPECT_TRUE(IsWindowVisible(child));

    RECT rc;
    GetWindowRect(child, &rc);
    RECT topRect;
    GetWindowRect(top, &topRect);
    EXPECT_EQ(rc.left, topRect.left + 5);
    EXPECT_EQ(rc.top, topRect.top + 6);
    EXPECT_EQ(rc.right - rc.left, 50);

    g_log.clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<std::string> expected = {"DESTROY:top", "DESTROY:child", "NCDESTROY:child", "NCDESTROY:top"};
    EXPECT_EQ(g_log, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(GetDlgItem(top, 77), nullptr);
}

TEST_F(Windows, CreateFailsForUnknownClassesAndOrphanChildren)
{
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, TEXT("NoSuchClass"), nullptr, 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(CreateWindowExW(0, TEXT("Recording"), nullptr, WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    WNDCLASSW again{};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = TEXT("RECORDING"); // class names ignore case
    EXPECT_EQ(RegisterClassW(&again), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
}

TEST_F(Windows, SlotsHoldPointersAndExtraBytes)
{
    HWND hwnd = CreateWindowExW(0, TEXT("Recording"), TEXT("w"), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    int object = 0;
    SetWindowLongPtrW(hwnd, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_USERDATA), reinterpret_cast<LONG_PTR>(&object));
    EXPECT_EQ(SetWindowLongW(hwnd, 4, 1234), 0);
    EXPECT_EQ(GetWindowLongW(hwnd, 4), 1234);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(hwnd, 6), 0); // past the window's 8 extra bytes
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    WNDPROC old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWL_WNDPROC));
    EXPECT_EQ(old, &RecordingProc);
    DestroyWindow(hwnd);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_USERDATA), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Windows, TextRoundTripsAndTruncatesToTheBuffer)
{
    HWND hwnd = CreateWindowExW(0, TEXT("Recording"), TEXT("hello"), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 5);
    WCHAR small[4];
    EXPECT_EQ(GetWindowTextW(hwnd, small, 4), 3);
    EXPECT_EQ(std::u16string(small), u"hel");
    SetWindowTextW(hwnd, TEXT("Zweiter Titel"));
    EXPECT_EQ(FindWindowW(TEXT("recording"), TEXT("Zweiter Titel")), hwnd);
    EXPECT_EQ(FindWindowW(TEXT("recording"), TEXT("hello")), nullptr);
    DestroyWindow(hwnd);
    EXPECT_EQ(FindWindowW(TEXT("Recording"), nullptr), nullptr);
}

TEST_F(Windows, MessagesSentFromAnotherThreadRunOnTheOwnersLoop)
{
    HWND hwnd = CreateWindowExW(0, TEXT("Recording"), TEXT("w"), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    LRESULT answer = 0;
    std::thread::id handledOn;
    g_onUser = [&] { handledOn = std::this_thread::get_id(); };
    std::thread worker([&] {
        answer = SendMessageW(hwnd, WM_USER, 21, 0);
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    MSG msg;
    while (IsWindow(hwnd) && GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    worker.join();
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
    g_onUser = nullptr;
}

TEST_F(Windows, QuitEndsTheLoopOnlyAfterPostedMessages)
{
    HWND hwnd = CreateWindowExW(0, TEXT("Recording"), TEXT("w"), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    PostQuitMessage(18);
    PostMessageW(hwnd, WM_USER, 1, 0);
    g_log.clear();
    MSG msg;
    int got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0)
        DispatchMessageW(&msg);
    EXPECT_EQ(got, 0);
    EXPECT_EQ(msg.wParam, 18u);
    EXPECT_EQ(g_log, std::vector<std::string>{"USER:w"});
    DestroyWindow(hwnd);
}

TEST_F(Windows, TimersFollowTheManualClock)
{
    HWND hwnd = CreateWindowExW(0, TEXT("Recording"), TEXT("w"), 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
    ASSERT_EQ(SetTimer(hwnd, 7, 1000, nullptr), 7u);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)); // nothing before the clock moves
    device::AdvanceClock(999 * device::kTicksPerMs);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    device::AdvanceClock(1 * device::kTicksPerMs);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)); // one per period, not a stream

    // A clock moved over three periods at once gives the three ticks a waiting loop would have had.
    device::AdvanceClock(3500 * device::kTicksPerMs);
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << tick;
        EXPECT_EQ(msg.message, UINT(WM_TIMER));
    }
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    device::AdvanceClock(500 * device::kTicksPerMs); // the periods keep their phase
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    // A loop blocked in GetMessage wakes when another thread moves the clock.
    std::thread mover([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        device::AdvanceClock(1000 * device::kTicksPerMs);
    });
    ASSERT_GT(GetMessageW(&msg, nullptr, 0, 0), 0);
    mover.join();
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_TRUE(KillTimer(hwnd, 7));
    EXPECT_FALSE(KillTimer(hwnd, 7));
    DestroyWindow(hwnd);
}

TEST_F(Windows, RegisteredMessagesAreSharedAndIgnoreCase)
{
    UINT a = RegisterWindowMessageW(TEXT("Example.Message"));
    UINT b = RegisterWindowMessageW(TEXT("example.message"));
    UINT c = RegisterWindowMessageW(TEXT("Another"));
    EXPECT_GE(a, 0xC000u);
    EXPECT_LE(a, 0xFFFFu);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_EQ(RegisterWindowMessageW(TEXT("")), 0u);
}
