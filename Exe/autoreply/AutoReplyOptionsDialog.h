// The auto-reply options: which callers are answered, and how long the warning before a reply lasts.
#pragma once

#include "ui/DialogBase.h"

class AutoReplyOptionsDialog : public DialogBase {
public:
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    HRESULT OnDone();
    void Layout();

    HWND m_modeList = nullptr;
    HWND m_delayList = nullptr;
};
