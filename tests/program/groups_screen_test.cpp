// The groups screen on a PocketPC, where its done key confirms the screen instead of composing.
#include "program/ProgramTesting.h"
#include "program/RegistryTesting.h"

#include "app/MainWindow.h"
#include "automation/Automation.h"
#include "cemapi/SmsDevice.h"
#include "pimstore/ContactsDevice.h"

#include <windbase.h>

#include <gtest/gtest.h>

using namespace device::automation;
using namespace program_testing;

namespace {

testing_support::DeviceOptions PocketPC()
{
    testing_support::DeviceOptions options;
    options.profile.platform = "PocketPC";
    return options;
}

class PocketPCGroupsScreen : public ProgramTest {
protected:
    PocketPCGroupsScreen() : ProgramTest(PocketPC()) {}
};

} // namespace

TEST_F(PocketPCGroupsScreen, DoneClosesTheScreenAsConfirmedWithoutComposing)
{
    CEOID ann = device::contacts::Add(u"Ann", u"555 101");
    const std::u16string team = u"Software\\Orvane\\Zelkova\\Groups\\{00000000-0000-4000-8000-000000000001}";
    SetString(team, nullptr, u"Team");
    SetBinary(team, u"Contacts", Ids({ann}));
    MarkWelcomeHintShown();
    StoreNumber(u"AutoExit", 1); // a screen that reports done closes the program
    Start();
    ASSERT_TRUE(SelectRow(1));
    EXPECT_EQ(TakeSnapshot().title, u"Groups");
    Press(Key::LeftSoft);
    ASSERT_TRUE(Eventually([] { return !FindWindowW(kMainWindowClass, nullptr); }));
    EXPECT_EQ(Finish(), 18);
    EXPECT_TRUE(device::mail::ComposedRequests().empty());
}
