#include "schedule/ScheduledMessageList.h"

#include "ScheduleTesting.h"

#include <cmath>
#include <map>

using namespace program_testing;
using namespace schedule_testing;

namespace
{

const std::u16string kKey = u"{5C4B3A29-0000-4000-8000-000000000001}";

std::vector<CEOID> MembersOf(const RecipientList& list)
{
    std::vector<CEOID> members;
    for (size_t i = 0; i < list.MemberCount(); ++i)
        members.push_back(list.Member(i));
    return members;
}

// What LoadAll found, by key name: body and members.
std::map<std::u16string, std::pair<std::u16string, std::vector<CEOID>>> Loaded(const ScheduledMessageList& list)
{
    std::map<std::u16string, std::pair<std::u16string, std::vector<CEOID>>> messages;
    for (size_t i = 0; i < list.Count(); ++i) {
        const ScheduledMessage* message = list.Item(i);
        EXPECT_FALSE(message->IsDirty());
        messages[message->KeyName()] = {message->Text(), MembersOf(*message)};
    }
    return messages;
}

DateTime Time(double value)
{
    DateTime time;
    time.SetValue(value, DateTimeValid);
    return time;
}

std::u16string Describe(double due)
{
    ScheduledMessage message;
    message.SetTime(Time(due));
    LPWSTR text = nullptr;
    EXPECT_EQ(message.DescribeDue(&text), S_OK);
    return TakeLocal(text);
}

} // namespace

TEST(ScheduledMessageStore, AMessageIsStoredAsExactlyItsBodyTimeAndContactsAndLoadsBack)
{
    ScheduleDevice device;
    StoreMessage(kKey, u"Dinner at eight", At(2008, 6, 16, 19, 0), Ids({3}));
    ScheduledMessage message;
    ASSERT_EQ(message.Load(kKey.c_str()), S_OK);
    EXPECT_EQ(std::u16string(message.Text()), u"Dinner at eight");
    EXPECT_EQ(message.Time().Value(), At(2008, 6, 16, 19, 0));
    EXPECT_EQ(MembersOf(message), std::vector<CEOID>{3});
    EXPECT_FALSE(message.IsDirty());

    ASSERT_EQ(message.SetText(u"Dinner at nine"), S_OK);
    ASSERT_EQ(message.SetTime(Time(At(2008, 6, 16, 21, 0))), S_OK);
    ASSERT_EQ(message.AddMember(0x01020304), S_OK);
    ASSERT_EQ(message.Save(), S_OK);
    EXPECT_FALSE(message.IsDirty());

    auto values = ValuesOf(kScheduled + kKey);
    ASSERT_EQ(values.size(), 3u);
    std::map<std::u16string, Value> byName;
    for (const Value& value : values)
        byName[value.name] = value;
    EXPECT_EQ(byName[u"Body"].type, static_cast<DWORD>(REG_SZ));
    std::u16string body = u"Dinner at nine";
    EXPECT_EQ(byName[u"Body"].data, Bytes(reinterpret_cast<const uint8_t*>(body.c_str()),
                                          reinterpret_cast<const uint8_t*>(body.c_str() + body.size() + 1)));
    EXPECT_EQ(byName[u"Time"].type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(byName[u"Time"].data, BytesOf(At(2008, 6, 16, 21, 0)));
    EXPECT_EQ(byName[u"Contacts"].type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(byName[u"Contacts"].data, Ids({3, 0x01020304}));

    // No members: an empty value, loaded back as no members.
    ASSERT_EQ(message.ClearMembers(), S_OK);
    ASSERT_EQ(message.Save(), S_OK);
    EXPECT_EQ(ValuesOf(kScheduled + kKey).size(), 3u);
    ScheduledMessageList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    auto loaded = Loaded(list);
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[kKey].first, u"Dinner at nine");
    EXPECT_TRUE(loaded[kKey].second.empty());
    EXPECT_EQ(list.Item(0)->Time().Value(), At(2008, 6, 16, 21, 0));
}

TEST(ScheduledMessageStore, OnlyMessagesWithAWellFormedBodyTimeAndMemberListAreLoaded)
{
    ScheduleDevice device;
    ScheduledMessageList list;
    EXPECT_EQ(list.LoadAll(), S_OK); // no scheduled key yet
    EXPECT_EQ(list.Count(), 0u);

    const double noon = At(2008, 6, 16, 12, 0);
    StoreMessage(u"body160", std::u16string(160, u'b'), noon, Ids({1}));
    StoreMessage(u"body161", std::u16string(161, u'b'), noon, Ids({1}));
    StoreMessage(u"expand", u"Expandable", noon, {});
    SetValue(kScheduled + u"expand", u"Body", REG_EXPAND_SZ, u"Expandable", 22);
    // Whole identifiers only, zeros and repeats dropped: 5, 0, 5, 0x201 and one stray byte.
    StoreMessage(u"ragged", u"Ragged", noon, {5, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 1, 2, 0, 0, 0xAA});
    StoreMessage(u"shorttime", u"Short time", noon, {});
    SetBinary(kScheduled + u"shorttime", u"Time", {0, 0, 0, 0});
    StoreMessage(u"dwordtime", u"Typed time", noon, {});
    DWORD number = 7;
    SetValue(kScheduled + u"dwordtime", u"Time", REG_DWORD, &number, sizeof(number));
    StoreMessage(u"nodate", u"No date", std::nan(""), {});
    SetString(kScheduled + u"nocontacts", u"Body", u"Nobody");
    SetBinary(kScheduled + u"nocontacts", u"Time", BytesOf(noon));
    StoreMessage(u"textcontacts", u"Text", noon, {});
    SetString(kScheduled + u"textcontacts", u"Contacts", u"3");
    SetBinary(kScheduled + u"nobody", u"Time", BytesOf(noon));
    SetBinary(kScheduled + u"nobody", u"Contacts", Ids({1}));
    StoreMessage(std::u16string(39, u'k'), u"Long key", noon, Ids({4})); // a key name the program never makes

    ASSERT_EQ(list.LoadAll(), S_OK);
    auto loaded = Loaded(list);
    EXPECT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[u"body160"].first, std::u16string(160, u'b'));
    EXPECT_EQ(loaded[u"expand"].first, u"Expandable");
    EXPECT_EQ(loaded[u"ragged"].second, (std::vector<CEOID>{5, 0x201}));
    // What did not load is left as it was.
    EXPECT_EQ(ValuesOf(kScheduled + u"body161").size(), 3u);
    EXPECT_EQ(ValuesOf(kScheduled + u"nodate").size(), 3u);

    ScheduledMessage message;
    EXPECT_EQ(message.Load(u""), E_FAIL);
    EXPECT_EQ(message.Load(u"missing"), E_FAIL);
}

TEST(ScheduledMessageStore, ABodyTooLongToLoadAgainIsNeverSaved)
{
    ScheduleDevice device;
    StoreMessage(kKey, u"Short", At(2008, 6, 16, 12, 0), Ids({1}));
    ScheduledMessage message;
    ASSERT_EQ(message.Load(kKey.c_str()), S_OK);
    ASSERT_EQ(message.SetText(std::u16string(161, u'x').c_str()), S_OK);
    EXPECT_EQ(message.Save(), E_INVALIDARG);
    EXPECT_TRUE(message.IsDirty());
    ScheduledMessage stored;
    ASSERT_EQ(stored.Load(kKey.c_str()), S_OK);
    EXPECT_EQ(std::u16string(stored.Text()), u"Short");
}

TEST(ScheduledMessageStore, ANewMessageCannotBeSavedWithoutAKeyNameFromTheHelperLibrary)
{
    ScheduleDevice device; // no helper library installed
    ScheduledMessage message;
    ASSERT_EQ(message.SetText(u"Hello"), S_OK);
    EXPECT_EQ(message.Save(), E_FAIL);
    EXPECT_EQ(std::u16string(message.KeyName()), u"");
    EXPECT_TRUE(message.IsDirty());
    ScheduledMessageList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    EXPECT_EQ(list.Count(), 0u);
}

TEST(ScheduledMessageStore, ANewMessageIsStoredUnderAFreshGuidAndOneWithoutABodyStillLoads)
{
    ScheduleDevice device;
    InstalledProgram program;
    ScheduledMessage first, second;
    ASSERT_EQ(first.SetText(u"Hello"), S_OK);
    ASSERT_EQ(first.AddMember(7), S_OK);
    ASSERT_EQ(first.Save(), S_OK);
    ASSERT_EQ(second.AddMember(8), S_OK); // no body set
    ASSERT_EQ(second.Save(), S_OK);

    std::u16string key = first.KeyName();
    ASSERT_EQ(key.size(), 38u);
    EXPECT_EQ(key.front(), u'{');
    EXPECT_EQ(key.back(), u'}');
    EXPECT_NE(key, std::u16string(second.KeyName()));
    ScheduledMessageList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    auto loaded = Loaded(list);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[key], (std::pair<std::u16string, std::vector<CEOID>>{u"Hello", {7}}));
    EXPECT_EQ(loaded[second.KeyName()], (std::pair<std::u16string, std::vector<CEOID>>{u"", {8}}));
}

TEST(ScheduledMessageStore, OnlyAStoredMessageIsDeletedAndTheOthersStay)
{
    ScheduleDevice device;
    StoreMessage(kKey, u"Stays", At(2008, 6, 16, 12, 0), Ids({1}));
    ScheduledMessage fresh;
    ASSERT_EQ(fresh.SetText(u"Never saved"), S_OK);
    EXPECT_EQ(fresh.Delete(), E_FAIL);
    EXPECT_EQ(ValuesOf(kScheduled + kKey).size(), 3u);

    const std::u16string other = u"{5C4B3A29-0000-4000-8000-000000000002}";
    StoreMessage(other, u"Goes", At(2008, 6, 16, 13, 0), Ids({2, 3}));
    ScheduledMessage goes;
    ASSERT_EQ(goes.Load(other.c_str()), S_OK);
    EXPECT_EQ(goes.Delete(), S_OK);
    EXPECT_EQ(goes.MemberCount(), 0u);
    EXPECT_TRUE(ValuesOf(kScheduled + other).empty());
    EXPECT_EQ(goes.Delete(), E_FAIL);
    ScheduledMessageList list;
    ASSERT_EQ(list.LoadAll(), S_OK);
    EXPECT_EQ(Loaded(list).count(kKey), 1u);
    EXPECT_EQ(list.Count(), 1u);
}

TEST(ScheduledMessageStore, ANewTimeMarksTheMessageChangedOnlyWhenItDiffers)
{
    ScheduleDevice device;
    StoreMessage(kKey, u"Hello", At(2008, 6, 16, 12, 0), {});
    ScheduledMessage message;
    ASSERT_EQ(message.Load(kKey.c_str()), S_OK);
    EXPECT_EQ(message.SetTime(Time(At(2008, 6, 16, 12, 0))), S_FALSE);
    EXPECT_FALSE(message.IsDirty());
    EXPECT_EQ(message.SetTime(Time(At(2008, 6, 16, 12, 1))), S_OK);
    EXPECT_TRUE(message.IsDirty());
    EXPECT_EQ(message.Time().Value(), At(2008, 6, 16, 12, 1));
}

TEST(ScheduledMessageStore, EditingFailsAsTheEditScreenCannotBeShownAndSavesNothing)
{
    ScheduleDevice device;
    StoreMessage(kKey, u"Hello", At(2008, 6, 16, 12, 0), {});
    ScheduledMessage message;
    ASSERT_EQ(message.Load(kKey.c_str()), S_OK);
    ASSERT_EQ(message.SetText(u"Changed"), S_OK);
    EXPECT_EQ(message.Edit(nullptr), E_FAIL);
    EXPECT_FALSE(message.IsDirty());
    ScheduledMessage stored;
    ASSERT_EQ(stored.Load(kKey.c_str()), S_OK);
    EXPECT_EQ(std::u16string(stored.Text()), u"Hello");
}

TEST(ScheduledMessageTiming, TheNextMessageIsTheEarliestNotPastTheFirstListedAmongEqualTimes)
{
    ScheduleDevice device; // 09:30:00
    ScheduledMessageList list;
    ScheduledMessage* next = reinterpret_cast<ScheduledMessage*>(&list);
    ASSERT_EQ(list.LoadAll(), S_OK);
    EXPECT_EQ(list.FindNext(&next, true), E_FAIL);
    EXPECT_EQ(next, reinterpret_cast<ScheduledMessage*>(&list)); // left alone

    StoreMessage(u"a", u"Late by ten", At(2008, 6, 15, 9, 29, 50), {});
    StoreMessage(u"b", u"Late by eleven", At(2008, 6, 15, 9, 29, 49), {});
    StoreMessage(u"c", u"Noon", At(2008, 6, 15, 12, 0), {});
    StoreMessage(u"d", u"Noon too", At(2008, 6, 15, 12, 0), {});
    StoreMessage(u"e", u"Eleven", At(2008, 6, 15, 11, 0), {});
    ASSERT_EQ(list.LoadAll(), S_OK);
    ASSERT_EQ(list.Count(), 5u);
    ASSERT_EQ(list.FindNext(&next, true), S_OK);
    EXPECT_EQ(std::u16string(next->Text()), u"Late by ten");
    EXPECT_FALSE(next->IsPast(true));
    EXPECT_TRUE(next->IsPast(false));
    ASSERT_EQ(list.FindNext(&next, false), S_OK);
    EXPECT_EQ(std::u16string(next->Text()), u"Eleven");

    ASSERT_EQ(next->Delete(), S_OK);
    ASSERT_EQ(list.LoadAll(), S_OK);
    ASSERT_EQ(list.FindNext(&next, false), S_OK);
    const ScheduledMessage* firstAtNoon = nullptr;
    for (size_t i = 0; i < list.Count() && !firstAtNoon; ++i) {
        if (list.Item(i)->Time().Value() == At(2008, 6, 15, 12, 0)) firstAtNoon = list.Item(i);
    }
    EXPECT_EQ(next, firstAtNoon);

    // Exactly now is not past yet.
    SetClock("2008-06-15 12:00:00");
    EXPECT_FALSE(next->IsPast(false));
    SetClock("2008-06-15 12:00:01");
    EXPECT_TRUE(next->IsPast(false));
    EXPECT_EQ(list.FindNext(&next, false), E_FAIL);
}

TEST(ScheduledMessageDue, TheDueTextNamesTheDayByDateInEachLocale)
{
    {
        ScheduleDevice device("en_US"); // Sunday 15 June 2008, 09:30
        EXPECT_EQ(Describe(At(2008, 6, 15, 12, 0)), u"Today, 12:00 PM");
        EXPECT_EQ(Describe(At(2008, 6, 15, 8, 0)), u"Today, 8:00 AM"); // gone by earlier today
        EXPECT_EQ(Describe(At(2008, 6, 16, 15, 30)), u"Tomorrow, 3:30 PM"); // in 30 hours
        EXPECT_EQ(Describe(At(2008, 6, 17, 8, 0)), u"Tuesday, 8:00 AM"); // under two days, but not tomorrow
        EXPECT_EQ(Describe(At(2008, 6, 22, 9, 30)), u"Sunday, 9:30 AM"); // exactly a week
        EXPECT_EQ(Describe(At(2008, 6, 23, 9, 30)), u"6/23/2008, 9:30 AM"); // eight days on
        EXPECT_EQ(Describe(At(2008, 6, 13, 9, 30)), u"6/13/2008, 9:30 AM"); // two days past
        SetClock("2008-06-15 01:00:00");
        EXPECT_EQ(Describe(At(2008, 6, 14, 22, 0)), u"6/14/2008, 10:00 PM"); // a few hours past, yesterday
        SetClock("2008-06-15 20:00:00");
        EXPECT_EQ(Describe(At(2008, 6, 16, 6, 0)), u"Tomorrow, 6:00 AM"); // in ten hours
        EXPECT_EQ(Describe(At(2008, 6, 23, 6, 0)), u"6/23/2008, 6:00 AM"); // under eight days, eight dates on
    }
    {
        ScheduleDevice device("de_DE");
        EXPECT_EQ(Describe(At(2008, 6, 15, 12, 0)), u"Today, 12:00");
        EXPECT_EQ(Describe(At(2008, 6, 16, 15, 30)), u"Tomorrow, 15:30");
        EXPECT_EQ(Describe(At(2008, 6, 22, 9, 30)), u"Sonntag, 09:30");
        EXPECT_EQ(Describe(At(2008, 6, 23, 9, 30)), u"23.06.2008, 09:30");
    }
}

TEST(ScheduledMessageDue, WithoutTheResourceTextsNothingIsDescribed)
{
    ScheduleDevice device;
    HINSTANCE resources = g_program.resources;
    g_program.resources = nullptr;
    ScheduledMessage message;
    LPWSTR text = reinterpret_cast<LPWSTR>(&message);
    EXPECT_EQ(message.DescribeDue(&text), E_FAIL);
    EXPECT_EQ(text, reinterpret_cast<LPWSTR>(&message));
    g_program.resources = resources;
}
