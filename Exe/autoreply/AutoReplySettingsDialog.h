// The auto-reply screen: the switch, the reply text with its character counter, and the way to the
// options. Turning the switch on or off registers or stops the missed-call notification.
#pragma once

#include "ui/DialogBase.h"

#include <aygshell.h>

class AutoReplySettingsDialog : public DialogBase {
public:
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // Keeps the text and registers or stops the notification when the switch changed; S_OK to close.
    HRESULT ApplyAutoReplySettings();

private:
    HRESULT OnInitDialog();
    void RefreshReadOnly(bool moveFocus);
    void UpdateCounterAndDone();
    void ClearText();
    void OnBackKey(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnColorStatic(HDC dc, HWND control, BOOL& handled);

    HWND m_edit = nullptr;
    SHACTIVATEINFO m_activation{};
};

// Runs the auto-reply screen over owner; S_OK when the user confirmed it.
HRESULT RunAutoReplySettings(HWND owner);
