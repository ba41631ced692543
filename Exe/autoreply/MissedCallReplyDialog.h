// The warning shown before a missed call is answered: who called and a countdown, with the chance to send
// the reply at once or cancel it. With no countdown the reply goes out before anything is shown.
#pragma once

#include "ui/DialogBase.h"

class MissedCallReplyDialog : public DialogBase {
public:
    MissedCallReplyDialog();

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // Reads the last caller from the phone state and shows it; S_OK when this caller is to be answered.
    HRESULT ReadLastCaller();
    // Sends the reply text to the caller through a store of its own; the first failure or the send's result.
    HRESULT SendAutoReply();

private:
    static constexpr int kNameCapacity = 260;
    static constexpr int kNumberCapacity = 256;

    HRESULT OnInitDialog();
    void OnTimer();
    void ShowCountdown();
    LRESULT OnColorStatic(HDC dc, HWND control);

    DWORD m_countdownSeconds;
    DWORD m_elapsedSeconds = 0;
    BOOL m_isContact = FALSE;
    WCHAR m_callerName[kNameCapacity] = {};
    WCHAR m_callerNumber[kNumberCapacity] = {};
};
