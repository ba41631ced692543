// Scheduled messages sent by the installed Zelkova across processes, with the manual clock and no screen:
// the messages and contacts put on the device through the device tool, the wake-up armed by the program's
// own code, and what the woken program sent and registered read back through the device tool.
#include "e2e/ZelkovaPhone.h"

#include "app/Program.h"
#include "schedule/ScheduledMessageList.h"

#include "device/Modules.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace e2e_testing;

namespace {

class ScheduledSend : public ZelkovaPhone {
protected:
    void StoreMessage(const std::string& id, const std::string& text, int hour, int minute,
                      const std::vector<uint32_t>& members)
    {
        StoreScheduled(id, text, 2008, 6, 15, hour, minute, 0, members);
    }

    // 09:00 (past at the start) to Ann, 10:00 to Ann and Bob, 12:00 to Cid.
    void StoreTheDay()
    {
        uint32_t ann = AddContact("Ann", "555101"), bob = AddContact("Bob", "555202"),
                 cid = AddContact("Cid", "555303");
        StoreMessage("{00000000-0000-4000-8000-000000000900}", "Nine", 9, 0, {ann});
        StoreMessage("{00000000-0000-4000-8000-000000001200}", "Noon", 12, 0, {cid});
        StoreMessage("{00000000-0000-4000-8000-000000001000}", "Ten", 10, 0, {ann, bob});
    }

    // The program's own ArmWakeUp, run in this process as if it were the installed program: the helper
    // library it binds and the module path it registers are the installed ones.
    void ArmWakeUp()
    {
        device::SetProgramPath(m_device.Dir() / "fs" / "Program Files" / "Zelkova" / "Zelkova.exe");
        g_program.binding = {};
        EXPECT_EQ(ScheduledMessageList().ArmWakeUp(), S_OK);
        if (g_program.binding.utils)
            FreeLibrary(g_program.binding.utils);
        g_program.binding = {};
        device::SetProgramPath({});
    }

    // Starts the program as a wake-up does and waits for its end.
    void WakeUpNow()
    {
        Launch({"AppRunAtTime"});
        EXPECT_TRUE(RunningAre({}));
    }
};

} // namespace

TEST_F(ScheduledSend, TheArmedWakeUpSendsTheDueMessageToEveryMemberThenArmsTheNextAndTheProgramEnds)
{
    StoreTheDay();
    ArmWakeUp();
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 10:00:00"});

    // The clock passes 10:00 on its way: the program starts there, sends, waits and registers 12:00.
    ExpectPrints({"clock", "set", "2008-06-15 10:00:04"}, "2008-06-15 10:00:04 (manual)\n");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"Ten to Ann 555101 at 2008-06-15 10:00:00",
                                                "Ten to Bob 555202 at 2008-06-15 10:00:00"}));
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 12:00:00"});
    ExpectPrints({"composed"}, ""); // no screen was involved

    // The last message leaves nothing to be woken for.
    ExpectPrints({"clock", "advance", "2h"}, "2008-06-15 12:00:04 (manual)\n");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent().size(), 3u);
    EXPECT_EQ(Sent()[0], "Noon to Cid 555303 at 2008-06-15 12:00:00");
    EXPECT_EQ(WakeUps(), std::vector<std::string>{});
}

TEST_F(ScheduledSend, AWakeUpSendsOnlyWithinTenSecondsAfterItsMessagesMinuteAndArmsTheNextMessageEitherWay)
{
    StoreTheDay();
    // Too late for 10:00: nothing is sent, and the wake-up is armed for the message still ahead.
    ExpectPrints({"clock", "set", "2008-06-15 10:00:11"}, "2008-06-15 10:00:11 (manual)\n");
    WakeUpNow();
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 12:00:00"});
    EXPECT_EQ(ClockLine(), "2008-06-15 10:00:11 (manual)\n"); // no wait without a send

    ExpectPrints({"clock", "set", "2008-06-15 10:00:04"}, "2008-06-15 10:00:04 (manual)\n");
    WakeUpNow();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"Ten to Ann 555101 at 2008-06-15 10:00:04",
                                                "Ten to Bob 555202 at 2008-06-15 10:00:04"}));
    EXPECT_EQ(ClockLine(), "2008-06-15 10:00:09 (manual)\n"); // the program's wait, on the manual clock
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 12:00:00"});

    // Too early for 12:00: nothing is sent.
    ExpectPrints({"clock", "set", "2008-06-15 11:59:59"}, "2008-06-15 11:59:59 (manual)\n");
    WakeUpNow();
    EXPECT_EQ(Sent().size(), 2u);
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 12:00:00"});
}

TEST_F(ScheduledSend, WithZelkovaOpenTheWakeUpIsHandedToItAndOnlyTheWokenProcessEnds)
{
    StoreTheDay();
    SetSetting("OneTimeMsg_264", "REG_DWORD", "1");
    std::string open = Launch();
    ExpectPrints({"wait"}, "idle\n");
    ArmWakeUp();

    ExpectPrints({"clock", "set", "2008-06-15 10:00:04"}, "2008-06-15 10:00:04 (manual)\n");
    EXPECT_TRUE(RunningAre({open}));
    EXPECT_EQ(Sent(), (std::vector<std::string>{"Ten to Ann 555101 at 2008-06-15 10:00:00",
                                                "Ten to Bob 555202 at 2008-06-15 10:00:00"}));
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2008-06-15 12:00:00"});
    JsonValue screen = Json({"screen", "--json"});
    EXPECT_EQ(screen["title"].text, "Zelkova"); // still the user's main screen
    EXPECT_EQ(screen["softkeys"].Size(), 2u);

    // With AutoExit the open program closes after the send it was handed.
    ExpectPrints({"menu", "Exit"}, "chose Exit\n");
    ASSERT_TRUE(RunningAre({}));
    SetSetting("AutoExit", "REG_DWORD", "1");
    open = Launch();
    ExpectPrints({"wait"}, "idle\n");
    // Set to the minute itself, the clock shows where the open program's 5-second wait left it.
    ExpectPrints({"clock", "set", "2008-06-15 12:00:00"}, "2008-06-15 12:00:05 (manual)\n");
    EXPECT_TRUE(RunningAre({}));
    EXPECT_EQ(Sent().size(), 3u);
    EXPECT_EQ(Sent()[0], "Noon to Cid 555303 at 2008-06-15 12:00:00");
    EXPECT_EQ(WakeUps(), std::vector<std::string>{});
}
