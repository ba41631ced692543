#include "MapiTesting.h"

using namespace mapi_testing;

namespace
{

const int64_t kTime = testing_support::CivilTicks("2008-06-01 12:34:56");

// The seven properties the program writes for an outgoing text message.
std::vector<SPropValue> OutgoingProps(const char16_t* text)
{
    return {Long(0x00090003, 0),
            Long(0x0E170003, 0x40000),
            Text(0x001A001F, u"IPM.SMStext"),
            Time(0x30080040, kTime),
            Text(0x0037001F, text),
            Long(0x0E080003, static_cast<LONG>(std::char_traits<char16_t>::length(text) * 2)),
            Long(0x0E070003, 0x28)};
}

std::u16string SubjectOf(IMAPIProp* object)
{
    SizedSPropTagArray(1, tags) = {1, {PR_SUBJECT}};
    Props props;
    object->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values);
    return props.count == 1 && props[0].ulPropTag == PR_SUBJECT ? props[0].Value.lpszW : u"<none>";
}

} // namespace

class MessageTest : public MapiTest
{
  protected:
    void SetUp() override
    {
        MapiTest::SetUp();
        m_store = OpenStore(u"SMS");
        m_drafts = OpenFolder(m_store.get(), PR_CE_IPM_DRAFTS_ENTRYID);
        ASSERT_TRUE(m_drafts);
    }
    Ref<IMsgStore> m_store;
    Ref<IMAPIFolder> m_drafts;
};

TEST_F(MessageTest, AMessageKeepsTheSevenPropertiesTheProgramWritesExactly)
{
    auto written = OutgoingProps(u"Hello there");
    Ref<IMessage> message = NewMessage(m_drafts.get(), written);
    Bytes id = EntryIdOf(message.get());
    ASSERT_FALSE(id.empty()); // known as soon as the message is created
    message.Reset();

    Ref<IMessage> reopened;
    ULONG type = 0;
    ASSERT_EQ(Session()->OpenEntry(static_cast<ULONG>(id.size()), EntryOf(id), nullptr, 0, &type,
                                   reopened.OutUnknown()),
              S_OK);
    EXPECT_EQ(type, ULONG(MAPI_MESSAGE));
    SizedSPropTagArray(7, tags) = {7, {}};
    for (size_t i = 0; i < 7; ++i)
        tags.aulPropTag[i] = written[i].ulPropTag;
    Props read;
    ASSERT_EQ(
        reopened->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), MAPI_UNICODE, &read.count, &read.values),
        S_OK);
    ASSERT_EQ(read.count, 7u);
    EXPECT_EQ(read[0].Value.l, 0);
    EXPECT_EQ(read[1].Value.l, 0x40000);
    EXPECT_EQ(std::u16string(read[2].Value.lpszW), u"IPM.SMStext");
    EXPECT_EQ(TicksOf(read[3].Value.ft), kTime);
    EXPECT_EQ(std::u16string(read[4].Value.lpszW), u"Hello there");
    EXPECT_EQ(read[5].Value.l, 22);
    EXPECT_EQ(read[6].Value.l, 0x28);
    for (ULONG i = 0; i < 7; ++i)
        EXPECT_EQ(read[i].ulPropTag, written[i].ulPropTag);

    // A later value replaces the earlier one of the same property.
    auto update = Text(PR_SUBJECT, u"Changed");
    ASSERT_EQ(reopened->SetProps(1, &update, nullptr), S_OK);
    EXPECT_EQ(SubjectOf(reopened.get()), u"Changed");
}

TEST_F(MessageTest, RecipientsAreReadBackInTheOrderAndWithThePropertiesGiven)
{
    Ref<IMessage> message = NewMessage(m_drafts.get(), OutgoingProps(u"To two"));
    ASSERT_EQ(AddRecipients(message.get(), {{Text(0x3003001F, u"+15550001"), Text(0x3002001F, u"SMS"),
                                             Long(0x0C150003, MAPI_TO), Text(0x3001001F, u"Ann")},
                                            {Text(0x3003001F, u"+15550002"), Text(0x3002001F, u"SMS"),
                                             Long(0x0C150003, MAPI_TO)}}),
              S_OK);

    Ref<IMAPITable> table;
    ASSERT_EQ(message->GetRecipientTable(MAPI_UNICODE, table.Out()), S_OK);
    std::vector<std::u16string> addresses;
    std::vector<std::u16string> names;
    for (;;) {
        Rows rows;
        ASSERT_EQ(table->QueryRows(1, 0, &rows.set), S_OK);
        if (rows.set->cRows == 0) break;
        const SRow& row = rows.set->aRow[0];
        const SPropValue* address = Column(row.lpProps, row.cValues, 0x3003001F);
        const SPropValue* name = Column(row.lpProps, row.cValues, 0x3001001F);
        ASSERT_TRUE(address);
        addresses.push_back(address->Value.lpszW);
        names.push_back(name ? name->Value.lpszW : u"<none>");
        EXPECT_EQ(Column(row.lpProps, row.cValues, PR_RECIPIENT_TYPE)->Value.l, MAPI_TO);
    }
    EXPECT_EQ(addresses, (std::vector<std::u16string>{u"+15550001", u"+15550002"}));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Ann", u"<none>"}));

    // On the device MODRECIP_ADD replaces the list; other flags alone are refused.
    ASSERT_EQ(AddRecipients(message.get(), {{Text(0x3003001F, u"+15550003")}}), S_OK);
    Ref<IMAPITable> again;
    ASSERT_EQ(message->GetRecipientTable(0, again.Out()), S_OK);
    Rows rows;
    ASSERT_EQ(again->QueryRows(10, 0, &rows.set), S_OK);
    EXPECT_EQ(rows.set->cRows, 1u);
    ADRLIST empty = {0, {}};
    EXPECT_EQ(message->ModifyRecipients(MODRECIP_MODIFY, &empty), MAPI_E_INVALID_PARAMETER);
}

TEST_F(MessageTest, AMessageWithoutRecipientsAnswersItsRecipientTableWithNoRecipients)
{
    Ref<IMessage> message = NewMessage(m_drafts.get(), OutgoingProps(u"Nobody"));
    Ref<IMAPITable> table;
    EXPECT_EQ(message->GetRecipientTable(0, table.Out()), HRESULT(0x80040607));
    EXPECT_FALSE(table);
    // An entry without values stands for no recipient.
    EXPECT_EQ(AddRecipients(message.get(), {{}}), S_OK);
    EXPECT_EQ(message->GetRecipientTable(0, table.Out()), MAPI_E_NO_RECIPIENTS);
}

TEST_F(MessageTest, ABadValueIsRefusedAndNothingOfTheRequestIsWritten)
{
    Ref<IMessage> message = NewMessage(m_drafts.get(), {Text(PR_SUBJECT, u"Kept")});
    auto refused = [&](std::vector<SPropValue> values) {
        values.insert(values.begin(), Text(PR_SUBJECT, u"Overwritten"));
        HRESULT hr = message->SetProps(static_cast<ULONG>(values.size()), values.data(), nullptr);
        EXPECT_EQ(SubjectOf(message.get()), u"Kept");
        return hr;
    };

    EXPECT_EQ(refused({Text(PROP_TAG(PT_UNICODE, 0x0E07), u"flags as text")}), MAPI_E_UNEXPECTED_TYPE);
    EXPECT_EQ(refused({Long(PROP_TAG(PT_LONG, 0x0037), 5)}), MAPI_E_UNEXPECTED_TYPE);
    EXPECT_EQ(refused({Text(PR_BODY, nullptr)}), MAPI_E_BAD_VALUE);
    EXPECT_EQ(refused({Time(PR_MESSAGE_DELIVERY_TIME, -1)}), MAPI_E_BAD_VALUE);
    EXPECT_EQ(refused({Long(PROP_TAG(PT_OBJECT, 0x6000), 0)}), MAPI_E_INVALID_TYPE);
    EXPECT_EQ(refused({Long(PROP_TAG(PT_MV_LONG, 0x6001), 0)}), MAPI_E_INVALID_TYPE);
    EXPECT_EQ(refused({Long(PROP_TAG(0x0099, 0x6002), 0)}), MAPI_E_INVALID_TYPE);
    SPropValue entry{};
    entry.ulPropTag = PR_ENTRYID;
    EXPECT_EQ(refused({entry}), MAPI_E_COMPUTED);

    // The store keeps a text of up to 32 766 characters: its terminated form fits a 64 KB property.
    std::u16string longest(32766, u'x');
    std::u16string tooLong(32767, u'x');
    EXPECT_EQ(refused({Text(PR_BODY, tooLong.c_str())}), MAPI_E_NOT_ENOUGH_MEMORY);
    auto fits = Text(PR_SUBJECT, longest.c_str());
    EXPECT_EQ(message->SetProps(1, &fits, nullptr), S_OK);
    EXPECT_EQ(SubjectOf(message.get()), longest);

    // Error values and PR_NULL ask nothing to be stored.
    SPropValue nothing[2] = {};
    nothing[0].ulPropTag = PROP_TAG(PT_ERROR, 0x0037);
    nothing[1].ulPropTag = PR_NULL;
    EXPECT_EQ(message->SetProps(2, nothing, nullptr), S_OK);
    EXPECT_EQ(SubjectOf(message.get()), longest);

    // A recipient list with a bad value changes no recipient.
    EXPECT_EQ(AddRecipients(message.get(), {{Text(PR_EMAIL_ADDRESS, u"+1555")},
                                            {Long(PROP_TAG(PT_LONG, PROP_ID(PR_EMAIL_ADDRESS)), 1)}}),
              MAPI_E_UNEXPECTED_TYPE);
    Ref<IMAPITable> table;
    EXPECT_EQ(message->GetRecipientTable(0, table.Out()), MAPI_E_NO_RECIPIENTS);
}

TEST_F(MessageTest, AMessageDeletedMeanwhileAnswersThatItIsGone)
{
    Ref<IMessage> message = NewMessage(m_drafts.get(), {Text(PR_SUBJECT, u"Short-lived")});
    ASSERT_EQ(m_drafts->EmptyFolder(0, nullptr, 0), S_OK);
    auto subject = Text(PR_SUBJECT, u"Too late");
    EXPECT_EQ(message->SetProps(1, &subject, nullptr), MAPI_E_OBJECT_DELETED);
    SizedSPropTagArray(1, tags) = {1, {PR_SUBJECT}};
    Props props;
    EXPECT_EQ(message->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &props.count, &props.values),
              MAPI_E_OBJECT_DELETED);
    EXPECT_EQ(AddRecipients(message.get(), {{Text(PR_EMAIL_ADDRESS, u"+1555")}}), MAPI_E_OBJECT_DELETED);
    EXPECT_EQ(LongProp(m_drafts.get(), PR_CONTENT_COUNT), 0); // nothing came back
}

TEST_F(MessageTest, AttachmentsAreNumberedInOrderKeepTheirValuesAndStopChangingOnceSubmitted)
{
    Ref<IMessage> message = NewMessage(m_drafts.get(), {Text(PR_SUBJECT, u"With files")});
    ULONG first = 9, second = 9;
    Ref<IAttach> unset, file;
    ASSERT_EQ(message->CreateAttach(nullptr, 0, &first, unset.Out()), S_OK);
    ASSERT_EQ(message->CreateAttach(nullptr, 0, &second, file.Out()), S_OK);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, 1u);
    SPropValue values[] = {Long(PR_ATTACH_METHOD, ATTACH_BY_REFERENCE), Text(PR_ATTACH_LONG_FILENAME, u"b.txt")};
    ASSERT_EQ(file->SetProps(2, values, nullptr), S_OK);
    SPropValue renumbered = Long(PR_ATTACH_NUM, 5);
    EXPECT_EQ(file->SetProps(1, &renumbered, nullptr), MAPI_E_COMPUTED);

    Ref<IMAPITable> table;
    ASSERT_EQ(message->GetAttachmentTable(0, table.Out()), S_OK);
    Rows rows;
    ASSERT_EQ(table->QueryRows(10, 0, &rows.set), S_OK);
    ASSERT_EQ(rows.set->cRows, 2u);
    const SRow& row0 = rows.set->aRow[0];
    const SRow& row1 = rows.set->aRow[1];
    EXPECT_EQ(Column(row0.lpProps, row0.cValues, PR_ATTACH_METHOD)->Value.ul, NO_ATTACHMENT); // none set yet
    EXPECT_EQ(Column(row1.lpProps, row1.cValues, PR_ATTACH_NUM)->Value.ul, 1u);
    EXPECT_EQ(std::u16string(Column(row1.lpProps, row1.cValues, PR_ATTACH_LONG_FILENAME)->Value.lpszW), u"b.txt");
    Ref<IAttach> missing;
    EXPECT_EQ(message->OpenAttach(2, nullptr, 0, missing.Out()), MAPI_E_NOT_FOUND);

    // Submitted, the message is the transport's: its attachments are read but no longer changed, and they go
    // when the message goes.
    ASSERT_EQ(AddRecipients(message.get(), {{Text(PR_EMAIL_ADDRESS, u"ann@example.com")}}), S_OK);
    ASSERT_EQ(message->SubmitMessage(0), S_OK);
    EXPECT_EQ(file->SetProps(2, values, nullptr), MAPI_E_INVALID_OBJECT);
    SizedSPropTagArray(1, tags) = {1, {PR_ATTACH_LONG_FILENAME}};
    Props kept;
    ASSERT_EQ(file->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &kept.count, &kept.values), S_OK);
    EXPECT_EQ(std::u16string(kept[0].Value.lpszW), u"b.txt");
    ASSERT_EQ(OpenFolder(m_store.get(), PR_IPM_OUTBOX_ENTRYID)->EmptyFolder(0, nullptr, 0), S_OK);
    Props gone;
    EXPECT_EQ(file->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &gone.count, &gone.values),
              MAPI_E_OBJECT_DELETED);
}
