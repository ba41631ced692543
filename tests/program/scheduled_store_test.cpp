#include "schedule/ScheduledMessageList.h"

#include "ScheduleTesting.h"

#include <cmath>
#include <map>

using namespace program_testing;
using namespace schedule_testing;

namespace
{

const std::u16string kKey = u"{5C4B3A29-0000-4000-8000-000000000001}";

using Contents = std::pair<std::u16string, std::vector<CEOID>>; // body and members

Contents ContentsOf(const ScheduledMessage& message)
{
    std::vector<CEOID> members;
    for (size_t i = 0; i < message.MemberCount(); ++i)
        members.push_back(message.Member(i));
    return {message.Text(), members};
}

// What LoadAll found, by key name.
std::map<std::u16string, Contents> Loaded()
{
    ScheduledMessageList list;
    EXPECT_EQ(list.LoadAll(), S_OK);
    std::map<std::u16string, Contents> messages;
    for (size_t i = 0; i < list.Count(); ++i) {
        EXPECT_FALSE(list.Item(i)->IsDirty());
        messages[list.Item(i)->KeyName()] = ContentsOf(*list.Item(i));
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
    EXPECT_EQ(ContentsOf(message), (Contents{u"Dinner at eight", {3}}));
    EXPECT_EQ(message.Time().Value(), At(2008, 6, 16, 19, 0));
    EXPECT_EQ(message.SetTime(Time(At(2008, 6, 16, 19, 0))), S_FALSE);
    EXPECT_FALSE(message.IsDirty());

    ASSERT_EQ(message.SetText(u"Dinner at nine"), S_OK);
    ASSERT_EQ(message.SetTime(Time(At(2008, 6, 16, 21, 0))), S_OK);
    ASSERT_EQ(message.AddMember(0x01020304), S_OK);
    ASSERT_EQ(message.Save(), S_OK);
    EXPECT_FALSE(message.IsDirty());
    std::map<std::u16string, Value> values;
    for (const Value& value : ValuesOf(kScheduled + kKey))
        values[value.name] = value;
    ASSERT_EQ(values.size(), 3u);
    std::u16string body = u"Dinner at nine";
    const auto* bodyBytes = reinterpret_cast<const uint8_t*>(body.c_str());
    EXPECT_EQ(values[u"Body"].type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(values[u"Body"].data, Bytes(bodyBytes, bodyBytes + (body.size() + 1) * 2));
    EXPECT_EQ(values[u"Time"].type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(values[u"Time"].data, BytesOf(At(2008, 6, 16, 21, 0)));
    EXPECT_EQ(values[u"Contacts"].type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(values[u"Contacts"].data, Ids({3, 0x01020304}));

    ASSERT_EQ(message.ClearMembers(), S_OK); // stored as an empty value
    ASSERT_EQ(message.Save(), S_OK);
    EXPECT_EQ(ValuesOf(kScheduled + kKey).size(), 3u);
    EXPECT_EQ(Loaded()[kKey], (Contents{u"Dinner at nine", {}}));

    // A body too long to load again is not saved.
    ASSERT_EQ(message.SetText(std::u16string(161, u'x').c_str()), S_OK);
    EXPECT_EQ(message.Save(), E_INVALIDARG);
    EXPECT_EQ(Loaded()[kKey], (Contents{u"Dinner at nine", {}}));
}

TEST(ScheduledMessageStore, OnlyMessagesWithAWellFormedBodyTimeAndMemberListAreLoaded)
{
    ScheduleDevice device;
    EXPECT_TRUE(Loaded().empty()); // no scheduled key yet

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

    auto loaded = Loaded();
    EXPECT_EQ(loaded.size(), 3u);
    EXPECT_EQ(loaded[u"body160"], (Contents{std::u16string(160, u'b'), {1}}));
    EXPECT_EQ(loaded[u"expand"], (Contents{u"Expandable", {}}));
    EXPECT_EQ(loaded[u"ragged"], (Contents{u"Ragged", {5, 0x201}}));
    EXPECT_EQ(ValuesOf(kScheduled + u"body161").size(), 3u); // left as it was
    ScheduledMessage message;
    EXPECT_EQ(message.Load(u""), E_FAIL);
    EXPECT_EQ(message.Load(u"missing"), E_FAIL);
}

TEST(ScheduledMessageStore, ANewMessageIsStoredUnderAFreshGuidFromTheHelperLibraryOnly)
{
    ScheduleDevice device;
    ScheduledMessage first, second;
    ASSERT_EQ(first.SetText(u"Hello"), S_OK);
    ASSERT_EQ(first.AddMember(7), S_OK);
    EXPECT_EQ(first.Save(), E_FAIL); // the library is not installed yet
    EXPECT_EQ(std::u16string(first.KeyName()), u"");
    EXPECT_TRUE(Loaded().empty());

    InstalledProgram program;
    ASSERT_EQ(first.Save(), S_OK);
    ASSERT_EQ(second.AddMember(8), S_OK); // no body set: stored as an empty one, so it still loads
    ASSERT_EQ(second.Save(), S_OK);
    std::u16string key = first.KeyName();
    ASSERT_EQ(key.size(), 38u);
    EXPECT_EQ(key.front(), u'{');
    EXPECT_EQ(key.back(), u'}');
    auto loaded = Loaded();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[key], (Contents{u"Hello", {7}}));
    EXPECT_EQ(loaded[second.KeyName()], (Contents{u"", {8}}));
}

TEST(ScheduledMessageStore, OnlyAStoredMessageIsDeletedAndEditingSavesNothingWithoutItsScreen)
{
    ScheduleDevice device;
    StoreMessage(kKey, u"Stays", At(2008, 6, 16, 12, 0), Ids({1}));
    ScheduledMessage fresh;
    ASSERT_EQ(fresh.SetText(u"Never saved"), S_OK);
    EXPECT_EQ(fresh.Delete(), E_FAIL);

    const std::u16string other = u"{5C4B3A29-0000-4000-8000-000000000002}";
    StoreMessage(other, u"Goes", At(2008, 6, 16, 13, 0), Ids({2, 3}));
    ScheduledMessage goes;
    ASSERT_EQ(goes.Load(other.c_str()), S_OK);
    EXPECT_EQ(goes.Delete(), S_OK);
    EXPECT_EQ(goes.MemberCount(), 0u);
    EXPECT_EQ(goes.Delete(), E_FAIL);
    auto loaded = Loaded();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[kKey], (Contents{u"Stays", {1}}));

    ScheduledMessage edited;
    ASSERT_EQ(edited.Load(kKey.c_str()), S_OK);
    ASSERT_EQ(edited.SetText(u"Changed"), S_OK);
    EXPECT_EQ(edited.Edit(nullptr), E_FAIL); // the screen can't be shown
    EXPECT_FALSE(edited.IsDirty());
    EXPECT_EQ(Loaded()[kKey], (Contents{u"Stays", {1}}));
}

TEST(ScheduledMessageTiming, TheNextMessageIsTheEarliestNotPastTheFirstListedAmongEqualTimes)
{
    ScheduleDevice device; // 09:30:00
    ScheduledMessageList list;
    auto* untouched = reinterpret_cast<ScheduledMessage*>(&list);
    ScheduledMessage* next = untouched;
    ASSERT_EQ(list.LoadAll(), S_OK);
    EXPECT_EQ(list.FindNext(&next, true), E_FAIL);
    EXPECT_EQ(next, untouched);

    StoreMessage(u"a", u"Late by ten", At(2008, 6, 15, 9, 29, 50), {});
    StoreMessage(u"b", u"Late by eleven", At(2008, 6, 15, 9, 29, 49), {});
    StoreMessage(u"c", u"Noon", At(2008, 6, 15, 12, 0), {});
    StoreMessage(u"d", u"Noon too", At(2008, 6, 15, 12, 0), {});
    StoreMessage(u"e", u"Eleven", At(2008, 6, 15, 11, 0), {});
    ASSERT_EQ(list.LoadAll(), S_OK);
    ASSERT_EQ(list.FindNext(&next, true), S_OK);
    EXPECT_EQ(std::u16string(next->Text()), u"Late by ten");
    ASSERT_EQ(list.FindNext(&next, false), S_OK);
    EXPECT_EQ(std::u16string(next->Text()), u"Eleven");

    ASSERT_EQ(next->Delete(), S_OK);
    ASSERT_EQ(list.LoadAll(), S_OK);
    ASSERT_EQ(list.FindNext(&next, false), S_OK);
    size_t first = 0;
    while (list.Item(first)->Time().Value() != At(2008, 6, 15, 12, 0))
        ++first;
    EXPECT_EQ(next, list.Item(first));

    SetClock("2008-06-15 12:00:00"); // exactly now is not past yet
    EXPECT_FALSE(next->IsPast(false));
    SetClock("2008-06-15 12:00:01");
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
