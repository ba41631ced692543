// Every scheduled message stored in the registry, in the registry's order, and the timing decisions made
// over them: which one to be woken for next, and which one a wake-up is for.
#pragma once

#include "schedule/ScheduledMessage.h"

#include <vector>

class ScheduledMessageList
{
  public:
    ScheduledMessageList() = default;
    virtual ~ScheduledMessageList() { Clear(); }
    ScheduledMessageList(const ScheduledMessageList&) = delete;
    ScheduledMessageList& operator=(const ScheduledMessageList&) = delete;

    // Reloads every message that loads; the others are left out. A missing key is no messages. Messages
    // held before are destroyed, so pointers to them must not outlive the call.
    virtual HRESULT LoadAll();
    // The earliest message that is not past (see IsPast); the first in the list among equal times.
    HRESULT FindNext(ScheduledMessage** out, bool tolerateLate) const;

    // Reloads the list and registers the program to be started at the earliest future message's time,
    // or clears the registration when there is none. With laterOnly a message due this very second is
    // passed over, as a registration for now would start the program again at once.
    HRESULT ArmWakeUp(bool laterOnly = false);
    // Reloads the list and finds the message a wake-up now is for: due this minute, at most 10 seconds
    // late; E_FAIL when there is none.
    HRESULT FindDue(ScheduledMessage** out);

    size_t Count() const { return m_messages.size(); }
    ScheduledMessage* Item(size_t index) const { return m_messages[index]; }

  private:
    void Clear();
    // The message with the earliest time among those wanted; the first in the list among equal times.
    template <class Wanted> ScheduledMessage* Earliest(Wanted wanted) const;

    std::vector<ScheduledMessage*> m_messages;
};
