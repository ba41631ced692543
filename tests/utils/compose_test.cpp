// The compose forms: what the messaging application is asked to show, as the device records it.
#include "utils/UtilsLibrary.h"

#include "cemapi/SmsDevice.h"
#include "support/TempDevice.h"

#include <cemapi.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace utils_exports;
using namespace utils_testing;
namespace mail = device::mail;

namespace {

class ComposeForms : public ::testing::Test {
protected:
    testing_support::TempDevice m_device;
    UtilsLibrary m_utils;
};

} // namespace

TEST_F(ComposeForms, MailFormsGoThroughTheActiveSyncAccountWithTheFieldsGiven)
{
    ASSERT_TRUE(CreateDirectoryW(u"\\My Documents", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    std::ofstream(HostPath(u"\\My Documents\\backup.csv")) << "x";
    // The attachment list: each name ends with a null character.
    const WCHAR attachments[] = u"\\My Documents\\backup.csv\0";

    ASSERT_EQ(m_utils.Export<ComposeMailMessageFn>(kComposeMailMessage)(nullptr, u"Backup", u"My messages",
                                                                         attachments, 1),
              S_OK);
    ASSERT_EQ(m_utils.Export<ComposeSupportMailFn>(kComposeSupportMail)(u"A question"), S_OK);
    ASSERT_EQ(m_utils.Export<ComposeMailFn>(kComposeMail)(u"Try this", u"A program for text messages"), S_OK);

    std::vector<mail::Request> asked = mail::ComposedRequests();
    ASSERT_EQ(asked.size(), 3u);
    for (const mail::Request& request : asked) {
        EXPECT_EQ(request.request, "compose");
        EXPECT_EQ(request.kind, "mail");
        EXPECT_EQ(request.account, u"ActiveSync");
        EXPECT_EQ(request.flags, MCF_ACCOUNT_IS_NAME);
        EXPECT_EQ(request.cc + request.bcc + request.messageClass, u""); // fields not given stay empty
    }
    EXPECT_EQ(asked[0].to, u"");
    EXPECT_EQ(asked[0].subject, u"Backup");
    EXPECT_EQ(asked[0].body, u"My messages");
    EXPECT_EQ(asked[0].attachments, std::vector<std::u16string>{u"\\My Documents\\backup.csv"});

    EXPECT_EQ(asked[1].to, u"\"Zelkova Support\" <support@zelkova.example>");
    EXPECT_EQ(asked[1].subject, u"A question");
    EXPECT_EQ(asked[1].body, u"");
    EXPECT_TRUE(asked[1].attachments.empty());

    EXPECT_EQ(asked[2].to, u"");
    EXPECT_EQ(asked[2].subject, u"Try this");
    EXPECT_EQ(asked[2].body, u"A program for text messages");
}

TEST_F(ComposeForms, TheTextMessageFormGoesThroughTheSmsTransportToTheRecipientText)
{
    ASSERT_EQ(m_utils.Export<ComposeSmsFn>(kComposeSms)(u"+15550100"), S_OK);
    ASSERT_EQ(m_utils.Export<ComposeSmsFn>(kComposeSms)(u"Ann <+15550101>; Bob <+15550102>"), S_OK);
    std::vector<mail::Request> asked = mail::ComposedRequests();
    ASSERT_EQ(asked.size(), 2u);
    for (const mail::Request& request : asked) {
        EXPECT_EQ(request.kind, "sms");
        EXPECT_EQ(request.account, u"SMS");
        EXPECT_EQ(request.flags, MCF_ACCOUNT_IS_TRANSPORT);
        EXPECT_EQ(request.subject, u"");
        EXPECT_EQ(request.body, u"");
    }
    EXPECT_EQ(asked[0].to, u"+15550100");
    EXPECT_EQ(asked[1].to, u"Ann <+15550101>; Bob <+15550102>");
}

TEST_F(ComposeForms, TheMessagingApplicationsRefusalIsReturnedAndNothingIsShown)
{
    auto compose = m_utils.Export<ComposeMailMessageFn>(kComposeMailMessage);
    const WCHAR missing[] = u"\\My Documents\\gone.csv\0";
    EXPECT_EQ(compose(nullptr, u"Backup", u"", missing, 1), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(compose(nullptr, u"Backup", u"", nullptr, 1), E_INVALIDARG);
    EXPECT_TRUE(mail::ComposedRequests().empty());
}
