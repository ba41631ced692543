// The scheduled messages screen: every stored scheduled message, latest first, to create, edit and delete;
// after each change the system wake-up is registered anew for the earliest message ahead.
#pragma once

#include "schedule/ScheduleListPane.h"
#include "schedule/ScheduledMessageList.h"
#include "ui/DialogBase.h"

#include <regext.h>

class ScheduleListDialog : public DialogBase {
public:
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    void OnInitMenuPopup(HMENU menu);
    HRESULT NewMessage();
    HRESULT EditSelected();
    HRESULT DeleteSelected();
    HRESULT DeleteAll();
    // Registers the wake-up from the stored messages and rebuilds the rows, selecting keyName's row.
    HRESULT ArmAndRefill(LPCWSTR keyName);

    ScheduleListPane m_pane;
    ScheduledMessageList m_messages; // the messages the rows point to
    HREGNOTIFY m_timeNotification = nullptr;
};

// Runs the scheduled messages screen over owner: S_OK however it ended, as the feature was used.
HRESULT ShowScheduledScreen(HWND owner);
