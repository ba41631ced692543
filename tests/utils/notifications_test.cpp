// The missed-call notification: registered for the program's main window, it tells that window when the
// missed-call count goes above zero, and starts the program when the window is gone.
#include "utils/UtilsLibrary.h"

#include "process/ProcessTesting.h"

#include <regext.h>

#include <gtest/gtest.h>

using namespace process_testing;
using namespace utils_exports;

namespace {

constexpr const char16_t* kName = u"Zelkova.MissedCalls";

class MissedCalls : public ProcessTest {
protected:
    MissedCalls()
        : m_register(m_utils.Export<RegisterMissedCallNotificationFn>(kRegisterMissedCallNotification)),
          m_stop(m_utils.Export<StopNotificationFn>(kStopNotification))
    {
    }

    static void MissedCallCount(DWORD count)
    {
        ASSERT_EQ(RegistrySetDWORD(HKEY_CURRENT_USER, u"System\\State\\Phone", u"Missed Call Count", count), S_OK);
    }

    // A window of this process with the program window's class and title, for registering while none runs.
    static HWND LocalProgramWindow(const char16_t* title = kTitle)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);
        return CreateWindowExW(0, kClass, title, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }

    utils_testing::UtilsLibrary m_utils;
    RegisterMissedCallNotificationFn m_register;
    StopNotificationFn m_stop;
};

} // namespace

TEST_F(MissedCalls, TheRunningProgramsWindowIsToldWhenTheCountGoesAboveZero)
{
    Start(u"serve", utils_testing::kProgram);
    HWND main = WaitForWindow();
    ASSERT_EQ(m_register(kName, main, kNotified), S_OK);
    MissedCallCount(0); // not above zero: nothing
    MissedCallCount(2);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Recorded(u"NotifyWParam"), 2u);
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"serve"}); // nothing else was started
}

TEST_F(MissedCalls, WithoutTheWindowTheProgramIsStartedWithTheNotificationsNameAndThenTold)
{
    HWND standIn = LocalProgramWindow();
    ASSERT_EQ(m_register(kName, standIn, kNotified), S_OK);
    DestroyWindow(standIn);
    MissedCallCount(1);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"/notify \"Zelkova.MissedCalls\""});
    EXPECT_EQ(Recorded(u"NotifyWParam"), 1u);
}

TEST_F(MissedCalls, RegisteringAgainReplacesTheOldOneAndAStoppedOneStartsNothing)
{
    HWND window = LocalProgramWindow();
    ASSERT_EQ(m_register(kName, window, kNotified), S_OK);
    EXPECT_EQ(m_register(kName, window, kNotified), S_OK);
    EXPECT_EQ(m_stop(kName), S_OK);
    EXPECT_EQ(m_stop(kName), E_NOT_FOUND);
    DestroyWindow(window);
    MissedCallCount(3);
    EXPECT_TRUE(OtherProcesses().empty());
}

TEST_F(MissedCalls, AWindowWithoutTitleOrNoWindowAtAllIsRefused)
{
    HWND untitled = LocalProgramWindow(u"");
    EXPECT_EQ(m_register(kName, untitled, kNotified), E_FAIL);
    EXPECT_EQ(m_register(kName, nullptr, kNotified), E_FAIL);
    DestroyWindow(untitled);
    EXPECT_EQ(m_stop(kName), E_NOT_FOUND); // nothing was registered
}
