// A text to send to a list of contacts at a local date and time. Besides its members, body and due time it
// keeps what sending needs open until it is destroyed: a contact store connection of its own and a message
// store session.
#pragma once

#include "contacts/RecipientList.h"
#include "schedule/DateTime.h"
#include "store/SmsStore.h"

class ScheduledMessage : public RecipientList
{
  public:
    // Due tomorrow at 08:00 local time.
    ScheduledMessage();
    ~ScheduledMessage() override;

    // Not yet stored or edited in the program: each answers E_NOTIMPL.
    HRESULT Load(LPCWSTR keyName) override;
    HRESULT Edit(HWND parent) override;
    HRESULT Delete() override;

    const DateTime& Time() const { return m_time; }
    IPOutlookApp** SendContactStore() { return &m_sendContactStore; }
    SmsStore& MessageStore() { return m_messageStore; }

  private:
    DateTime m_time;
    IPOutlookApp* m_sendContactStore = nullptr;
    SmsStore m_messageStore;
};
