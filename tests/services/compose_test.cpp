#include "cemapi/SmsDevice.h"
#include "support/TempDevice.h"

#include "device/Clock.h"

#include <cemapi.h>

#include <gtest/gtest.h>

#include <fstream>

namespace
{

MAILCOMPOSEFIELDS Fields()
{
    MAILCOMPOSEFIELDS fields{};
    fields.cbSize = sizeof fields;
    return fields;
}

} // namespace

TEST(ComposeForms, EachRequestIsRecordedInOrderWithWhatWasAsked)
{
    testing_support::TempDevice device;
    std::filesystem::create_directories(device::FsRoot() / "My Documents");
    std::ofstream(device::FsRoot() / "My Documents" / "Zelkova Backup.qvb") << "backup";

    MAILCOMPOSEFIELDS mail = Fields();
    mail.dwFlags = MCF_ACCOUNT_IS_NAME;
    mail.pszSubject = u"My backup";
    mail.pszBody = u"Attached.";
    mail.pszAttachments = u"\\My Documents\\Zelkova Backup.qvb\0";
    mail.cAttachments = 1;
    mail.pszAccount = u"ActiveSync";
    ASSERT_EQ(MailComposeMessage(&mail), S_OK);

    MAILCOMPOSEFIELDS sms = Fields();
    sms.dwFlags = MCF_ACCOUNT_IS_TRANSPORT;
    sms.pszTo = u"Ann <+15550001>;Bo <+15550002>;";
    sms.pszAccount = u"SMS";
    ASSERT_EQ(MailComposeMessage(&sms), S_OK);
    ASSERT_EQ(MailSwitchToAccount(u"SMS", MCF_ACCOUNT_IS_NAME), S_OK);
    ASSERT_EQ(MailComposeMessage(nullptr), S_OK); // an empty form: the user picks the account

    auto requests = device::mail::ComposedRequests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].request, "compose");
    EXPECT_EQ(requests[0].kind, "mail");
    EXPECT_EQ(requests[0].account, u"ActiveSync");
    EXPECT_EQ(requests[0].subject, u"My backup");
    EXPECT_EQ(requests[0].body, u"Attached.");
    EXPECT_EQ(requests[0].to, u"");
    EXPECT_EQ(requests[0].attachments, (std::vector<std::u16string>{u"\\My Documents\\Zelkova Backup.qvb"}));
    EXPECT_EQ(requests[1].kind, "sms");
    EXPECT_EQ(requests[1].to, u"Ann <+15550001>;Bo <+15550002>;");
    EXPECT_EQ(requests[1].flags, uint32_t(MCF_ACCOUNT_IS_TRANSPORT));
    EXPECT_TRUE(requests[1].attachments.empty());
    EXPECT_EQ(requests[2].request, "switch");
    EXPECT_EQ(requests[2].kind, "sms");
    EXPECT_EQ(requests[3].kind, "");
    EXPECT_EQ(requests[3].time, device::NowTicks());
}

TEST(ComposeForms, ARequestTheDeviceWouldRefuseIsRefusedAndNotRecorded)
{
    testing_support::TempDevice device;
    MAILCOMPOSEFIELDS wrongSize = Fields();
    wrongSize.cbSize = 44;
    EXPECT_EQ(MailComposeMessage(&wrongSize), E_INVALIDARG);

    MAILCOMPOSEFIELDS unknownAccount = Fields();
    unknownAccount.dwFlags = MCF_ACCOUNT_IS_NAME;
    unknownAccount.pszAccount = u"Hotmail";
    EXPECT_EQ(MailComposeMessage(&unknownAccount), E_INVALIDARG);

    std::filesystem::create_directories(device::FsRoot() / "My Documents");
    MAILCOMPOSEFIELDS missingFile = Fields();
    missingFile.pszAttachments = u"\\My Documents\\nothing.qvb\0";
    missingFile.cAttachments = 1;
    EXPECT_EQ(MailComposeMessage(&missingFile), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    missingFile.pszAttachments = u"\\My Documents\0"; // a folder is no attachment
    EXPECT_EQ(MailComposeMessage(&missingFile), E_INVALIDARG);

    MAILCOMPOSEFIELDS twoFiles = Fields();
    twoFiles.pszAttachments = u"\\a\0\\b\0";
    twoFiles.cAttachments = 2; // the device's form takes one
    EXPECT_EQ(MailComposeMessage(&twoFiles), E_INVALIDARG);

    EXPECT_EQ(MailSwitchToAccount(nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(MailSwitchToAccount(u"SMS", MCF_ACCOUNT_IS_NAME | MCF_ACCOUNT_IS_TRANSPORT), E_INVALIDARG);
    EXPECT_TRUE(device::mail::ComposedRequests().empty());
}
