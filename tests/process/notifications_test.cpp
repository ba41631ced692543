// Registry value notifications: persistent ones that tell a program's window or start the program, and
// transient ones that tell a window or call back, whichever process writes the value.
#include "process/ProcessTesting.h"
#include "support/RegistryKey.h"

#include "device/Database.h"
#include "device/Device.h"

#include <regext.h>

#include <csignal>
#include <unistd.h>

using namespace process_testing;

namespace {

class Notifications : public ProcessTest {
protected:
    static constexpr const char16_t* kName = u"ProcessTests.Count";

    // The missed-call way: tell the program's window when the count goes above 0, else start the program.
    HRESULT NotifyWhenAboveZero(const char16_t* app, DWORD flags = 0)
    {
        NOTIFICATIONCONDITION above{REG_CT_GREATER, 0xFFFFFFFF, {}};
        above.TargetValue.dw = 0;
        return RegistryNotifyApp(HKEY_CURRENT_USER, kWatchedKey, u"Count", kName, app, kClass, kTitle, kNotified,
                                 flags, &above);
    }

    static int64_t WatchCount()
    {
        device::Database& db = device::Db();
        auto lock = db.Lock();
        device::Statement count(db, "SELECT COUNT(*) FROM reg_watches");
        count.Step();
        return count.Int(0);
    }
};

std::u16string Quoted(const char16_t* path) { return u"\"" + std::u16string(path) + u"\""; }

} // namespace

TEST_F(Notifications, APersistentNotificationTellsTheRunningWindowEachTimeItsConditionHolds)
{
    Start(u"serve");
    WaitForWindow();
    ASSERT_EQ(NotifyWhenAboveZero(Quoted(kProgram).c_str()), S_OK);
    Watched(u"Count", 0); // not above zero: no message
    Watched(u"Count", 3);
    // The program counts last, after noting the parameters; messages arrive in order, so a message for
    // 0 would be the first counted.
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Recorded(u"NotifyWParam"), 3u);
    EXPECT_EQ(Recorded(u"NotifyLParam"), 0u);
    Watched(u"Count", 3); // the same value again is no change
    Watched(u"Count", 4);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 2u; }));
    EXPECT_EQ(Recorded(u"NotifyWParam"), 4u);
    EXPECT_EQ(Starts().size(), 1u); // the window was there: nothing else started
}

TEST_F(Notifications, WithoutItsWindowTheProgramStartsWithTheNameAndTheMessageWaitsForTheWindow)
{
    ASSERT_EQ(NotifyWhenAboveZero(Quoted(kProgram).c_str()), S_OK);
    Watched(u"Count", 1);
    ASSERT_EQ(OtherProcesses().size(), 1u); // started by the write itself
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Recorded(u"NotifyWParam"), 1u);
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"/notify \"ProcessTests.Count\""});
    // Now the window exists: the next change goes to it.
    Watched(u"Count", 2);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 2u; }));
    EXPECT_EQ(Starts().size(), 1u);
}

TEST_F(Notifications, TheFlagLeavesTheNameOffAndArgumentsAfterTheProgramAreKept)
{
    std::u16string app = Quoted(kProgram) + u" from the notification";
    ASSERT_EQ(NotifyWhenAboveZero(app.c_str(), RNAF_NONAMEONCMDLINE), S_OK);
    Watched(u"Count", 5);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"from the notification"});
}

TEST_F(Notifications, NamesAreUniqueAndAStoppedNotificationIsGone)
{
    ASSERT_EQ(NotifyWhenAboveZero(kProgram), S_OK);
    EXPECT_EQ(NotifyWhenAboveZero(kProgram), E_ALREADY_REGISTERED);
    EXPECT_EQ(RegistryStopNotification(kName), S_OK);
    EXPECT_EQ(RegistryStopNotification(kName), E_NOT_FOUND);
    Watched(u"Count", 1);
    EXPECT_TRUE(OtherProcesses().empty());
    // Bad arguments change nothing.
    NOTIFICATIONCONDITION textOnNumber{REG_CT_CONTAINS, 0xFFFFFFFF, {}};
    EXPECT_EQ(RegistryNotifyApp(HKEY_CURRENT_USER, kWatchedKey, u"Count", kName, kProgram, nullptr, nullptr, 0, 0,
                                &textOnNumber),
              E_INVALIDARG);
    EXPECT_EQ(RegistryNotifyApp(HKEY_CURRENT_USER, kWatchedKey, u"Count", kName, kProgram, nullptr, nullptr, 0, 2,
                                nullptr),
              E_INVALIDARG);
    EXPECT_EQ(RegistryNotifyApp(reinterpret_cast<HKEY>(0x1234), kWatchedKey, u"Count", kName, kProgram, nullptr,
                                nullptr, 0, 0, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(RegistryNotifyApp(HKEY_CURRENT_USER, kWatchedKey, u"Count", nullptr, kProgram, nullptr, nullptr, 0, 0,
                                nullptr),
              E_INVALIDARG);
    EXPECT_EQ(WatchCount(), 0);
}

TEST_F(Notifications, WithoutAWindowToTellTheProgramStartsAtEveryChange)
{
    ASSERT_EQ(RegistryNotifyApp(HKEY_CURRENT_USER, kWatchedKey, u"Any", kName, kProgram, nullptr, nullptr, 0, 0,
                                nullptr),
              S_OK);
    Watched(u"Any", 1);
    Watched(u"Any", 2);
    EXPECT_EQ(OtherProcesses().size(), 2u);
}

TEST_F(Notifications, AWindowNotificationOfAnotherProcessCarriesTheValueAndUserDataAndEndsWithIt)
{
    pid_t pid = Start(u"watch-window");
    WaitForWindow();
    ASSERT_TRUE(Eventually([&] { return Recorded(u"Watching") == 1u; }));
    Watched(u"Window", 9);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Recorded(u"NotifyWParam"), 9u);
    EXPECT_EQ(Recorded(u"NotifyLParam"), 55u);
    ASSERT_EQ(WatchCount(), 1);
    kill(pid, SIGKILL);
    ASSERT_TRUE(Eventually([&] { return OtherProcesses().empty(); }));
    EXPECT_EQ(WatchCount(), 0); // gone with its process
}

TEST_F(Notifications, ACallbackOfAnotherProcessGetsTheNewValueAndHearsOfTheDeletion)
{
    Start(u"watch-callback");
    WaitForWindow();
    ASSERT_TRUE(Eventually([&] { return Recorded(u"Watching") == 1u; }));
    Watched(u"Callback", 31);
    ASSERT_TRUE(Eventually([&] { return Recorded(u"CallbackValue") == 31u; }));
    testing_support::RegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kWatchedKey, 0, 0, key.Out()), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueW(key, u"Callback"), ERROR_SUCCESS);
    EXPECT_TRUE(Eventually([&] { return Recorded(u"CallbackValue") == kDeleted; }));
}

TEST(ShellExports, TheNotificationFunctionsAreExportedByNameFromTheShellLibrary)
{
    HMODULE shell = LoadLibraryW(u"aygshell");
    ASSERT_NE(shell, nullptr);
    auto same = [&](const char16_t* name, const void* function) {
        return reinterpret_cast<const void*>(GetProcAddress(shell, name)) == function;
    };
    EXPECT_TRUE(same(u"RegistryNotifyApp", reinterpret_cast<const void*>(&RegistryNotifyApp)));
    EXPECT_TRUE(same(u"RegistryNotifyWindow", reinterpret_cast<const void*>(&RegistryNotifyWindow)));
    EXPECT_TRUE(same(u"RegistryNotifyCallback", reinterpret_cast<const void*>(&RegistryNotifyCallback)));
    EXPECT_TRUE(same(u"RegistryStopNotification", reinterpret_cast<const void*>(&RegistryStopNotification)));
    EXPECT_TRUE(same(u"RegistryCloseNotification", reinterpret_cast<const void*>(&RegistryCloseNotification)));
    EXPECT_TRUE(same(u"RegistryGetDWORD", reinterpret_cast<const void*>(&RegistryGetDWORD)));
    EXPECT_TRUE(same(u"RegistrySetDWORD", reinterpret_cast<const void*>(&RegistrySetDWORD)));
    EXPECT_TRUE(same(u"RegistryGetString", reinterpret_cast<const void*>(&RegistryGetString)));
    EXPECT_TRUE(same(u"RegistrySetString", reinterpret_cast<const void*>(&RegistrySetString)));
    FreeLibrary(shell);
}
