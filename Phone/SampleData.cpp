#include "SampleData.h"

#include "cemapi/SmsDevice.h"
#include "device/Clock.h"
#include "pimstore/ContactsDevice.h"

#include <cstdint>

namespace phone {

namespace {

struct SampleContact {
    const char16_t* name;
    const char16_t* mobile;
};

constexpr SampleContact kContacts[] = {
    {u"Anna Berg", u"+15550101"},  {u"Ben Carter", u"+15550102"},  {u"Carla Diaz", u"+15550103"},
    {u"David Evans", u"+15550104"}, {u"Emma Fischer", u"+15550105"}, {u"Office", u""},
};

// A message of the sample history: received from, or sent to, one of the contacts (an unknown number
// when `contact` is -1), so many hours before now.
struct SampleMessage {
    bool received;
    int contact;
    int hoursAgo;
    const char16_t* text;
};

constexpr SampleMessage kMessages[] = {
    {true, 0, 2000, u"Happy new year! Let's meet up soon."},
    {false, 0, 1999, u"Happy new year to you too!"},
    {true, 1, 1500, u"Can you send me the address of the restaurant?"},
    {false, 1, 1499, u"12 Harbour Street, 8 pm."},
    {true, -1, 1100, u"Your parcel will be delivered tomorrow between 9 and 12."},
    {false, 2, 700, u"Running ten minutes late, sorry."},
    {true, 2, 699, u"No problem, we saved you a seat."},
    {true, 3, 300, u"Are you coming to the match on Saturday?"},
    {false, 3, 299, u"Yes, see you there."},
    {false, 4, 50, u"Thanks for the book, I loved it."},
    {true, 4, 3, u"Lunch tomorrow?"},
    {true, 0, 1, u"Call me when you can."},
};

constexpr int64_t kTicksPerHour = 3600 * device::kTicksPerSecond;

} // namespace

void AddSampleData()
{
    for (const SampleContact& contact : kContacts)
        device::contacts::Add(contact.name, contact.mobile);
    int64_t now = device::NowTicks();
    for (const SampleMessage& sample : kMessages) {
        device::sms::Party party = sample.contact < 0
                                       ? device::sms::Party{u"", u"+15550199"}
                                       : device::sms::Party{kContacts[sample.contact].name, kContacts[sample.contact].mobile};
        int64_t time = now - sample.hoursAgo * kTicksPerHour;
        if (sample.received)
            device::sms::Receive({party, sample.text, time, sample.hoursAgo > 2}); // the last ones are unread
        else
            device::sms::RecordSent({{party}, sample.text, time});
    }
}

} // namespace phone
