#include "SampleData.h"

#include "cemapi/SmsDevice.h"
#include "device/Clock.h"
#include "pimstore/ContactsDevice.h"

#include <cstdint>
#include <iterator>

namespace phone {

namespace {

struct SampleContact {
    const char16_t* name;
    const char16_t* mobile;
    const char16_t* work;
};

constexpr SampleContact kContacts[] = {
    {u"Anna Berg", u"+15550101", u""},   {u"Ben Carter", u"+15550102", u""},   {u"Carla Diaz", u"+15550103", u""},
    {u"David Evans", u"+15550104", u""}, {u"Emma Fischer", u"+15550105", u""}, {u"Office", u"", u"+15550110"},
};

// Short exchanges, one every few days over the last three months: a message from a contact and the answer.
struct Exchange {
    const char16_t* received;
    const char16_t* answer;
};

constexpr Exchange kExchanges[] = {
    {u"Can you send me the address of the restaurant?", u"12 Harbour Street, 8 pm."},
    {u"Are you coming to the match on Saturday?", u"Yes, see you there."},
    {u"Running ten minutes late, sorry.", u"No problem, we saved you a seat."},
    {u"Did you get home all right?", u"Yes, thanks for the lift!"},
    {u"Could you pick up some bread on the way?", u"Sure, anything else?"},
    {u"The meeting moved to 3 pm.", u"Thanks for letting me know."},
    {u"Happy birthday!", u"Thank you so much!"},
    {u"Shall we book the tickets now?", u"Yes, two please."},
};

constexpr int kDays = 91;
constexpr int kEveryDays = 3;
constexpr int kContactsWithMobile = 5;

constexpr int64_t kTicksPerHour = 3600 * device::kTicksPerSecond;

} // namespace

void AddSampleData()
{
    for (const SampleContact& contact : kContacts)
        device::contacts::Add(contact.name, contact.mobile, contact.work);
    int64_t now = device::NowTicks();
    int turn = 0;
    for (int daysAgo = kDays; daysAgo > 0; daysAgo -= kEveryDays, ++turn) {
        const SampleContact& contact = kContacts[turn % kContactsWithMobile];
        const Exchange& exchange = kExchanges[turn % std::size(kExchanges)];
        device::sms::Party party{contact.name, contact.mobile};
        int64_t received = now - (daysAgo * 24 - turn % 9) * kTicksPerHour;
        device::sms::Receive({party, exchange.received, received, true});
        device::sms::RecordSent({{party}, exchange.answer, received + 15 * 60 * device::kTicksPerSecond});
    }
    // Today: a note from a number not in the contacts, and two messages not yet read.
    device::sms::Receive({{u"", u"+15550199"}, u"Your parcel will be delivered tomorrow between 9 and 12.",
                          now - 5 * kTicksPerHour, true});
    device::sms::Receive({{kContacts[4].name, kContacts[4].mobile}, u"Lunch tomorrow?", now - 2 * kTicksPerHour, false});
    device::sms::Receive({{kContacts[0].name, kContacts[0].mobile}, u"Call me when you can.", now - kTicksPerHour, false});
}

} // namespace phone
