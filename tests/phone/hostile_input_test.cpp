// The device tool given what cannot be done: impossible times, databases that hold no device, programs that
// die at once or are stopped. Each is refused on one line, and nothing changes.
#include "phone/PhoneTool.h"

#include "device/Database.h"
#include "process/HostProcess.h"
#include "process/Idle.h"
#include "support/ChildProcess.h"

#include <csignal>
#include <filesystem>
#include <fstream>

using namespace process_testing;
using phone_testing::Outcome;
using phone_testing::PhoneTool;

namespace fs = std::filesystem;

namespace {

class HostileInput : public PhoneTool {
protected:
    // Failed on one line that holds `reason`.
    void ExpectFailsSaying(const std::vector<std::string>& arguments, int exitCode, const std::string& reason)
    {
        ExpectFails(arguments, exitCode);
        EXPECT_NE(Run(arguments).err.find(reason), std::string::npos) << Run(arguments).err;
    }

    fs::path HostScript(const std::string& name, const std::string& text)
    {
        fs::path script = m_device.Dir().parent_path() / name;
        std::ofstream(script) << text;
        fs::permissions(script, fs::perms::owner_all);
        return script;
    }
};

} // namespace

TEST_F(HostileInput, TimesTheClockCannotHoldAreRefused)
{
    std::string clock = ClockLine();
    ExpectFailsSaying({"clock", "advance", "999999999d"}, 2, "longer than the device clock's whole range");
    ExpectFailsSaying({"clock", "advance", "30000d"}, 1, "from 1753-01-01 to 2078-12-31");
    ExpectFailsSaying({"clock", "set", "1700-01-01 00:00:00"}, 1, "from 1753-01-01 to 2078-12-31");
    EXPECT_EQ(ClockLine(), clock);
    ExpectPrints({"clock", "set", "2078-12-31 23:59:59"}, "2078-12-31 23:59:59 (manual)\n");
}

TEST_F(HostileInput, ADatabaseThatHoldsNoDeviceIsRefusedAndKeptAsItWas)
{
    fs::path empty = m_device.Dir().parent_path() / "empty";
    fs::create_directories(empty);
    std::ofstream(empty / "device.db").close();
    for (const char* command : {"sms", "reg", "clock", "launch"}) {
        Outcome refused = phone_testing::Phone(empty, {command, "list"});
        EXPECT_EQ(refused.exitCode, 1) << command;
        EXPECT_NE(refused.err.find("holds no device"), std::string::npos) << refused.err;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1) << refused.err;
    }
    EXPECT_EQ(fs::file_size(empty / "device.db"), 0u);

    // A damaged one names the damage, whichever command meets it.
    fs::path damaged = m_device.Dir().parent_path() / "damaged";
    fs::create_directories(damaged);
    std::ofstream(damaged / "device.db") << std::string(8192, 'x');
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"reg", "get", "HKCU\\Software"}, std::vector<std::string>{"sms", "list"}}) {
        Outcome refused = phone_testing::Phone(damaged, arguments);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.err.find("is not a database"), std::string::npos) << refused.err;
    }
}

TEST_F(HostileInput, RegistryPathsThatAreNoKeysAreToldApartFromHiveRoots)
{
    ExpectFailsSaying({"reg", "delete", "Software"}, 1, "'Software' is not a key (HKCU\\... or HKLM\\...)");
    ExpectFailsSaying({"reg", "delete", "HKLM\\"}, 2, "a hive's root cannot be deleted");
    ExpectFailsSaying({"reg", "delete", "hkey_current_user"}, 2, "a hive's root cannot be deleted");
}

TEST_F(HostileInput, TheDeviceOptionIsTakenWhereverItStandsAndNeverWrittenAsData)
{
    const std::string key = "HKCU\\Software\\Options";
    fs::path elsewhere = m_device.Dir().parent_path() / "elsewhere";
    // The tool under test is given one --device before the command already.
    ExpectFailsSaying({"reg", "set", key, "v", "REG_SZ", "kept", "--device", elsewhere.string()}, 2,
                      "--device is given twice");
    ExpectFailsSaying({"reg", "set", key, "v", "REG_SZ", "kept", "--device"}, 2, "--device needs a directory");
    ExpectFails({"reg", "get", key}, 1);
    EXPECT_FALSE(fs::exists(elsewhere));

    // Among the command's arguments, it names the device the command works on.
    testing_support::ChildProcess phone(
        PHONE_PROGRAM, {"reg", "set", key, "v", "REG_SZ", "two words", "--device=" + m_device.Dir().string()});
    EXPECT_EQ(phone.ReadAll(), key + " v = REG_SZ two words\n");
    EXPECT_EQ(phone.Wait(), 0);
    ExpectPrints({"reg", "get", key, "v"}, "REG_SZ two words\n");
}

TEST_F(HostileInput, AProgramThatCannotStartOrDiesAtOnceIsReportedWithItsReason)
{
    ExpectFailsSaying({"launch", "--program", HostScript("noshell", "#!/nowhere/sh\n").string()}, 1,
                      "is not a program the host can run");
    ExpectFailsSaying({"launch", "--program", HostScript("fails", "#!/bin/sh\nexit 3\n").string()}, 1,
                      "ended at once with exit code 3");
    ExpectFailsSaying({"launch", "--program", HostScript("crashes", "#!/bin/sh\nkill -SEGV $$\n").string()}, 1,
                      "killed by signal 11");
    Outcome done = Run({"launch", "--program", HostScript("done", "#!/bin/sh\nexit 0\n").string()});
    EXPECT_EQ(done.exitCode, 0) << done.err; // it did its work and ended well

    // A device program whose entry in the process list cannot be written does not join.
    device::Db().Exec("CREATE TRIGGER closed BEFORE INSERT ON processes BEGIN SELECT RAISE(ABORT, 'no entry'); END");
    ExpectFailsSaying({"launch", "--program", "\\Program Files\\Tests\\program.exe", "serve"}, 1,
                      "could not join the device: no entry");
    device::Db().Exec("DROP TRIGGER closed");
}

TEST_F(HostileInput, AStoppedProgramFailsWaitAndScreenWithinTheirBounds)
{
    pid_t pid = Start(u"serve");
    WaitForWindow();
    ASSERT_TRUE(device::WaitDeviceIdle(std::chrono::seconds(30))); // not stopped halfway through a write
    ASSERT_EQ(kill(pid, SIGSTOP), 0);
    ASSERT_TRUE(Eventually([&] { return device::IsStopped(pid); }));
    ExpectFailsSaying({"wait", "--timeout", "1"}, 1, "still busy after 1 seconds");
    ExpectFailsSaying({"screen"}, 1, "which shows the screen, is stopped");
    kill(pid, SIGCONT);
    ExpectPrints({"wait", "--timeout", "30"}, "idle\n");
}
