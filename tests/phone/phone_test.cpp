// The device tool, run as scripts run it, on a fresh device with the process tests' program installed.
#include "phone/PhoneTool.h"

#include "device/Clock.h"
#include "device/Device.h"
#include "process/RunAtTime.h"

#include <notify.h>
#include <regext.h>

#include <filesystem>

using namespace process_testing;
using phone_testing::Outcome;
using phone_testing::PhoneTool;

TEST_F(PhoneTool, RegistryValuesTravelInTheDocumentedForms)
{
    const std::string key = "HKCU\\Software\\Tool";
    ExpectPrints({"reg", "set", key, "Count", "REG_DWORD", "0x1f"}, key + " Count = REG_DWORD 31\n");
    ExpectPrints({"reg", "set", key, "@", "REG_SZ", "two words"}, key + " @ = REG_SZ two words\n");
    ExpectPrints({"reg", "set", key, "Bytes", "REG_BINARY", "01 0a ff"}, key + " Bytes = REG_BINARY 01 0a ff\n");
    ExpectPrints({"reg", "set", key, "List", "REG_MULTI_SZ", "a|b"}, key + " List = REG_MULTI_SZ a|b\n");
    ExpectPrints({"reg", "set", key, "Empty", "REG_BINARY", ""}, key + " Empty = REG_BINARY \n");
    ExpectPrints({"reg", "set", key + "\\Sub", "x", "REG_SZ", ""}, key + "\\Sub x = REG_SZ \n");
    ExpectPrints({"reg", "get", key, "count"}, "REG_DWORD 31\n");
    ExpectPrints({"reg", "get", key},
                 "Count REG_DWORD 31\n@ REG_SZ two words\nBytes REG_BINARY 01 0a ff\nList REG_MULTI_SZ a|b\n"
                 "Empty REG_BINARY \n" + key + "\\Sub\\\n");
    // What the tool wrote is what device code reads.
    DWORD count = 0;
    ASSERT_EQ(RegistryGetDWORD(HKEY_CURRENT_USER, u"Software\\Tool", u"Count", &count), S_OK);
    EXPECT_EQ(count, 31u);
    ExpectPrints({"reg", "delete", key, "Count"}, "deleted " + key + " Count\n");
    ExpectFails({"reg", "get", key, "Count"}, 1);
    ExpectPrints({"reg", "delete", key}, "deleted " + key + "\n");
    ExpectFails({"reg", "get", key}, 1);
}

TEST_F(PhoneTool, BadInputFailsOnOneLineAndChangesNothing)
{
    std::string clock = ClockLine();
    ExpectFails({"frobnicate"}, 2);
    ExpectFails({"clock", "set", "2008-02-30 10:00:00"}, 2);
    ExpectFails({"clock", "set", "tomorrow"}, 2);
    ExpectFails({"clock", "advance", "5x"}, 2);
    EXPECT_EQ(ClockLine(), clock);
    ExpectFails({"reg", "set", "HKCU\\Software\\Bad", "v", "REG_TEXT", "x"}, 2);
    ExpectFails({"reg", "set", "HKCU\\Software\\Bad", "v", "REG_DWORD", "4294967296"}, 2);
    ExpectFails({"reg", "set", "HKCU\\Software\\Bad", "v", "REG_BINARY", "1 2"}, 2);
    ExpectFails({"reg", "set", "HKXX\\Software\\Bad", "v", "REG_SZ", "x"}, 1);
    ExpectFails({"reg", "get", "HKCU\\Software\\Bad"}, 1); // none of the above made the key
    ExpectFails({"kill", "999999"}, 1);
    ExpectFails({"kill", "me"}, 2);
    ExpectFails({"call", "missed"}, 2);
    ExpectFails({"call", "missed", "--from", "call me"}, 2);
    EXPECT_EQ(Run({"reg", "get", "HKCU\\System\\State\\Phone"}).exitCode, 1);
    ExpectFails({"init"}, 1); // a device is there already
    EXPECT_EQ(ClockLine(), clock);

    for (const char* command : {"ps", "screen", "sms", "contacts", "composed", "attach"}) {
        Outcome missing = phone_testing::Phone(m_device.Dir().parent_path() / "nowhere", {command, "list"});
        EXPECT_EQ(missing.exitCode, 1) << command;
        EXPECT_EQ(missing.err.rfind("phone: no device at", 0), 0u) << missing.err;
    }
    EXPECT_FALSE(std::filesystem::exists(m_device.Dir().parent_path() / "nowhere"));
    std::filesystem::path fresh = m_device.Dir().parent_path() / "fresh";
    EXPECT_EQ(phone_testing::Phone(fresh, {"init", "--profile", "tablet"}).exitCode, 2);
    EXPECT_EQ(phone_testing::Phone(fresh, {"init", "--time", "2008-06-15"}).exitCode, 2);
    EXPECT_EQ(phone_testing::Phone(fresh, {"init", "--locale", "xx_NOWHERE"}).exitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(fresh));
}

TEST_F(PhoneTool, EveryCommandExplainsItself)
{
    Outcome overview = Run({"--help"});
    EXPECT_EQ(overview.exitCode, 0);
    for (const char* command : {"init", "up", "launch", "screen", "press", "type", "menu", "row", "answer", "wait",
                                "attach", "clock", "reg", "contacts", "sms", "call", "alarms", "wake", "composed",
                                "ps", "kill"}) {
        EXPECT_NE(overview.out.find(std::string("\n  ") + command + " "), std::string::npos) << command;
        Outcome help = Run({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("usage: phone [--device DIR] ") + command, 0), 0u) << help.out;
    }
}

TEST_F(PhoneTool, InitMakesADeviceOfTheChosenProfileWithTheProgramInstalled)
{
    std::filesystem::path fresh = m_device.Dir().parent_path() / "fresh";
    Outcome made = phone_testing::Phone(fresh, {"init", "--profile", "pocketpc-vga", "--locale", "de_DE", "--clock",
                                                "manual", "--time", "2009-01-02 03:04:05", "--number", "+4930123"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_EQ(phone_testing::Phone(fresh, {"clock"}).out, "2009-01-02 03:04:05 (manual)\n");
    EXPECT_TRUE(std::filesystem::exists(fresh / "fs" / "Program Files" / "Zelkova" / "ZelkovaRes.dll"));
    device::Attach(fresh);
    const device::Profile& profile = device::CurrentProfile();
    EXPECT_EQ(profile.platform, "PocketPC");
    EXPECT_EQ(profile.screenWidth, 480);
    EXPECT_EQ(profile.dpi, 192);
    EXPECT_EQ(profile.locale, "de_DE");
    EXPECT_EQ(profile.ownNumber, "+4930123");
    device::Attach(m_device.Dir());
}

TEST_F(PhoneTool, TheClockMovesAndFiresRegistrationsAsItPassesThem)
{
    EXPECT_EQ(ClockLine(), "2008-06-15 09:30:00 (manual)\n");
    SYSTEMTIME at{2008, 6, 0, 15, 10, 0, 0, 0};
    ASSERT_TRUE(CeRunAppAtTime(const_cast<TCHAR*>(kProgram), &at));
    ExpectPrints({"alarms"}, "2008-06-15 10:00:00 \\Program Files\\Tests\\program.exe\n");
    ExpectFails({"wake"}, 1); // not yet due
    ExpectPrints({"clock", "advance", "20m"}, "2008-06-15 09:50:00 (manual)\n");
    EXPECT_TRUE(OtherProcesses().empty());
    ExpectPrints({"clock", "set", "2008-06-15 11:00:00"}, "2008-06-15 11:00:00 (manual)\n");
    ASSERT_EQ(OtherProcesses().size(), 1u);
    ExpectPrints({"alarms"}, "");
    ASSERT_TRUE(Eventually([&] { return RanAt(kProgram).has_value(); }));
    EXPECT_EQ(*RanAt(kProgram), u"10:00"); // the clock stopped there for it
    Outcome real = Run({"clock", "mode", "real"});
    EXPECT_EQ(real.exitCode, 0);
    EXPECT_NE(real.out.find(" (real)\n"), std::string::npos);
}

TEST_F(PhoneTool, WakeStartsWhatTheRealClockHasReachedWhileNobodyWatched)
{
    int64_t due = 0;
    ASSERT_NO_FATAL_FAILURE(AlarmInASecondOnTheRealClock(&due));
    ASSERT_TRUE(Eventually([&] { return device::NowTicks() > due + device::kTicksPerSecond; }));
    EXPECT_TRUE(OtherProcesses().empty()); // no keeper ran
    Outcome woken = Run({"wake"});
    EXPECT_EQ(woken.exitCode, 0) << woken.err;
    ASSERT_EQ(OtherProcesses().size(), 1u);
    EXPECT_EQ(woken.out, "started " + std::to_string(OtherProcesses()[0]) + "\n");
    ExpectPrints({"alarms"}, "");
}

TEST_F(PhoneTool, AMissedCallWritesTheCallerThenTheCountWhichStartsTheWatchingProgram)
{
    NOTIFICATIONCONDITION above{REG_CT_GREATER, 0xFFFFFFFF, {}};
    above.TargetValue.dw = 0;
    ASSERT_EQ(RegistryNotifyApp(HKEY_CURRENT_USER, u"System\\State\\Phone", u"Missed Call Count", u"Tests.Missed",
                                kProgram, kClass, kTitle, kNotified, 0, &above),
              S_OK);
    ExpectPrints({"call", "missed", "--from", "+15550199", "--name", "Ann Example"},
                 "missed call from +15550199; missed calls: 1\n");
    ExpectPrints({"reg", "get", "HKLM\\System\\State\\Phone", "Last Incoming Caller Number"}, "REG_SZ +15550199\n");
    ExpectPrints({"reg", "get", "HKLM\\System\\State\\Phone", "Last Incoming Caller Name"}, "REG_SZ Ann Example\n");
    ExpectPrints({"reg", "get", "HKLM\\System\\State\\Phone", "Last Incoming Caller OID"}, "REG_DWORD 0\n");
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 1u; }));
    EXPECT_EQ(Recorded(u"NotifyWParam"), 1u);
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"/notify \"Tests.Missed\""});
    ExpectPrints({"call", "missed", "--from", "5550100"}, "missed call from 5550100; missed calls: 2\n");
    ASSERT_TRUE(Eventually([&] { return Recorded(u"NotifyCount") == 2u; }));
    EXPECT_EQ(Starts().size(), 1u);
}

TEST_F(PhoneTool, AMissedCallIsMatchedToTheContactWhoseNumberRangAsThePhoneMatchesIt)
{
    auto added = [&](const std::vector<std::string>& arguments) {
        std::string out = Output(arguments);
        return out.substr(6, out.find(' ', 6) - 6);
    };
    // Al files first but has only the last seven digits in common with Ann's mobile number.
    std::string al = added({"contacts", "add", "--name", "Al", "--mobile", "5550101"});
    std::string ann = added({"contacts", "add", "--name", "Ann", "--mobile", "+1 555 0101", "--work", "555-0202"});
    std::string bob = added({"contacts", "add", "--name", "Bob", "--home", "0123 555 0303"});
    auto caller = [&] {
        std::string state;
        for (const char* value : {"OID", "Name", "PropID", "Number"})
            state += Output({"reg", "get", "HKLM\\System\\State\\Phone", std::string("Last Incoming Caller ") + value});
        return state;
    };

    ExpectPrints({"call", "missed", "--from", "+15550101", "--name", "Network Name"},
                 "missed call from +15550101 (Ann, mobile); missed calls: 1\n");
    EXPECT_EQ(caller(), "REG_DWORD " + ann + "\nREG_SZ Ann\nREG_DWORD 9830431\nREG_SZ +15550101\n"); // 0x0096001F
    ExpectPrints({"call", "missed", "--from", "5550202"}, "missed call from 5550202 (Ann, work); missed calls: 2\n");
    EXPECT_EQ(caller(), "REG_DWORD " + ann + "\nREG_SZ Ann\nREG_DWORD 9895967\nREG_SZ 5550202\n"); // 0x0097001F
    ExpectPrints({"call", "missed", "--from", "+441235550303"},
                 "missed call from +441235550303 (Bob, home); missed calls: 3\n");
    EXPECT_EQ(caller(), "REG_DWORD " + bob + "\nREG_SZ Bob\nREG_DWORD 10027039\nREG_SZ +441235550303\n"); // 0x0099001F
    ExpectPrints({"call", "missed", "--from", "05550101"}, "missed call from 05550101 (Al, mobile); missed calls: 4\n");
    EXPECT_EQ(caller().substr(0, 10 + al.size()), "REG_DWORD " + al);

    // Fewer than seven digits must agree in full; a caller nobody matches keeps the network's name.
    ExpectPrints({"call", "missed", "--from", "0101", "--name", "Network Name"},
                 "missed call from 0101; missed calls: 5\n");
    EXPECT_EQ(caller(), "REG_DWORD 0\nREG_SZ Network Name\nREG_DWORD 0\nREG_SZ 0101\n");
    ExpectPrints({"call", "missed", "--from", "*#"}, "missed call from *#; missed calls: 6\n");
    EXPECT_EQ(caller(), "REG_DWORD 0\nREG_SZ \nREG_DWORD 0\nREG_SZ *#\n");
}

TEST_F(PhoneTool, LaunchedProgramsAreListedWaitedForAndKilled)
{
    Outcome launched = Run({"launch", "--program", "\\Program Files\\Tests\\program.exe", "serve", "gently"});
    ASSERT_EQ(launched.exitCode, 0) << launched.err;
    std::string pid = launched.out.substr(0, launched.out.size() - 1);
    ExpectPrints({"ps"}, pid + " program.exe serve gently\n");
    ExpectPrints({"wait"}, "idle\n");
    EXPECT_NE(FindWindowW(kClass, kTitle), nullptr);
    ExpectPrints({"kill", pid}, "killed " + pid + "\n");
    ExpectPrints({"ps"}, "");
    EXPECT_EQ(FindWindowW(kClass, kTitle), nullptr);
    ExpectFails({"kill", pid}, 1);
    ExpectFails({"launch", "--program", "\\Program Files\\Tests\\missing.exe"}, 1);
    ExpectFails({"launch"}, 1); // this device has no program installed as \Program Files\Zelkova\Zelkova.exe
    ExpectPrints({"ps"}, "");
}
