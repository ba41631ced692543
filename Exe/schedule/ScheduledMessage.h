// A text to send to a list of contacts at a local date and time, kept as one subkey of the scheduled key
// ("Body", "Time" and "Contacts"). Besides its members, body and due time it keeps what sending needs
// open until it is destroyed: a contact store connection of its own and a message store session.
#pragma once

#include "contacts/RecipientList.h"
#include "schedule/DateTime.h"
#include "store/SmsStore.h"

// The key holding one subkey per scheduled message; a message's path is this followed by its key name.
extern const WCHAR kScheduledKey[];

class ScheduledMessage : public RecipientList
{
  public:
    // Due tomorrow at 08:00 local time.
    ScheduledMessage();
    ~ScheduledMessage() override;

    // A subkey whose values are missing, of the wrong type or too long does not load.
    HRESULT Load(LPCWSTR keyName) override;
    // Runs the edit screen; saves when it ends with OK and something changed, else E_FAIL.
    HRESULT Edit(HWND parent) override;
    HRESULT Delete() override;
    // Writes the message under its key name, making one from a new GUID the first time. A body longer
    // than a message can carry is refused (E_INVALIDARG), as it could never be loaded again.
    HRESULT Save();

    // S_FALSE when time equals the current due time, so nothing changed.
    HRESULT SetTime(const DateTime& time);
    // Whether the due time has gone by; tolerating lateness, up to 10 whole seconds late is not past.
    bool IsPast(bool tolerateLate) const;
    // When the message is due, relative to today, in a new local-heap string the caller frees with
    // LocalFree; *out is left alone on failure.
    HRESULT DescribeDue(LPWSTR* out) const;

    const DateTime& Time() const { return m_time; }
    IPOutlookApp** SendContactStore() { return &m_sendContactStore; }
    SmsStore& MessageStore() { return m_messageStore; }

  private:
    HRESULT MessagePath(LPWSTR path, size_t capacity) const;
    void WriteValues(HKEY key) const;

    DateTime m_time;
    IPOutlookApp* m_sendContactStore = nullptr;
    SmsStore m_messageStore;
};
