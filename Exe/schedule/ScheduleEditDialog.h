// The scheduled message edit screen: the recipients (chosen from the contacts), the text with its counter
// and the date and time it is due. Done refuses a time that is not ahead or that lies within a minute of
// another stored message, and otherwise writes the time and text into the message, which its caller saves.
#pragma once

#include "schedule/ScheduledMessageList.h"
#include "ui/DialogBase.h"

#include <aygshell.h>

class ScheduleEditDialog : public DialogBase {
public:
    explicit ScheduleEditDialog(ScheduledMessage& message) : m_message(message) {}

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    HRESULT RefreshRecipients();
    void UpdateCounter();
    HRESULT AddRecipient();
    HRESULT RemoveRecipients();
    void ClearText();
    HRESULT OnDone();
    bool TooCloseToAnother(const DateTime& picked) const;
    // Tells the user why Done did nothing and puts the focus on the control concerned; E_FAIL.
    HRESULT Refuse(UINT textId, int controlId, int number = 0);

    ScheduledMessage& m_message;
    HWND m_text = nullptr;
    HWND m_recipients = nullptr;
    SHACTIVATEINFO m_activation{};
    ScheduledMessageList m_stored; // for the minute between messages only
};
