#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"
#include "platform/VolumeTesting.h"
#include "support/TempDevice.h"

#include <fstream>

using namespace phone_testing;
using namespace volume_testing;

namespace {

class VolumeCommand : public PhoneTool {
protected:
    std::string HostFile() const { return (m_device.Dir() / "fs" / "My Documents" / "b.qvb").string(); }

    void WriteVolume()
    {
        CEVOLUMEOPTIONS options = Options(u"secret");
        CEGUID guid;
        ASSERT_TRUE(CeMountDBVolEx(&guid, const_cast<LPWSTR>(u"\\My Documents\\b.qvb"), &options, CREATE_ALWAYS));
        ASSERT_NE(CreateMessages(&guid), 0u);
        CEOID oid = 0;
        HANDLE db = CeOpenDatabaseInSession(nullptr, &guid, &oid, const_cast<LPWSTR>(u"SMS"), nullptr, 0, nullptr);
        // 2008-06-15 09:30:00 and a minute later, as the backup keeps local times.
        WriteMessage(db, 0, testing_support::CivilTicks("2008-06-15 09:30:00"), u"first \"quoted\"", TRUE);
        WriteMessage(db, 1, testing_support::CivilTicks("2008-06-15 09:31:00"), u"second", FALSE);
        CloseHandle(db);
        CeUnmountDBVol(&guid);
    }
};

TEST_F(VolumeCommand, ShowsTheDatabasesAndRecordsNewestFirst)
{
    WriteVolume();
    std::optional<JsonValue> volume = ParseJson(Output({"volume", HostFile(), "--password", "secret", "--json"}));
    ASSERT_TRUE(volume);
    const JsonValue& sms = (*volume)["databases"][0];
    EXPECT_EQ(sms["name"].text, "SMS");
    EXPECT_EQ(sms["properties"].Size(), 4u);
    EXPECT_EQ(sms["sortOrders"][0]["properties"][0]["id"].number, kTime);
    EXPECT_EQ(sms["sortOrders"][0]["properties"][0]["flags"].text, "descending");
    ASSERT_EQ(sms["records"].Size(), 2u);
    const JsonValue& newest = sms["records"][0]["properties"];
    EXPECT_EQ(newest[0]["value"].number, 1);
    EXPECT_EQ(newest[1]["type"].text, "FILETIME");
    EXPECT_EQ(newest[1]["value"].text, "2008-06-15 09:31:00");
    EXPECT_EQ(newest[2]["value"].text, "second");
    EXPECT_EQ(newest[3]["value"].boolean, false);
    EXPECT_EQ(sms["records"][1]["properties"][2]["value"].text, "first \"quoted\"");

    std::string text = Output({"volume", HostFile(), "--password", "secret"});
    EXPECT_NE(text.find("database \"SMS\" oid="), std::string::npos) << text;
    EXPECT_NE(text.find("0x0007001F LPWSTR second\n"), std::string::npos) << text;
}

TEST_F(VolumeCommand, RefusesAWrongPasswordOrAFileThatIsNoVolume)
{
    WriteVolume();
    ExpectFails({"volume", HostFile(), "--password", "guess"}, 1);
    ExpectFails({"volume", HostFile()}, 1);
    std::string notes = (m_device.Dir() / "notes.txt").string();
    std::ofstream(notes) << "just some notes\n";
    ExpectFails({"volume", notes, "--password", "secret"}, 1);
    ExpectFails({"volume", notes + ".missing"}, 1);
}

} // namespace
