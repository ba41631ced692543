#include "schedule/ScheduledSend.h"

#include "schedule/ScheduledMessageList.h"
#include "store/Send.h"

HRESULT RunScheduledSend(HWND mainWindow, bool closeAfterwards)
{
    ScheduledMessageList list;
    ScheduledMessage* due = nullptr;
    HRESULT hr = list.FindDue(&due);
    if (SUCCEEDED(hr)) {
        hr = SendToMembers(*due);
        if (SUCCEEDED(hr)) {
            Sleep(5000);
            hr = list.ArmWakeUp(); // reloads the list: due is gone from here on
        }
    } else {
        // This wake-up used the registration up, whether it came early or too late: the messages still
        // ahead need one of their own, or none of them would ever be sent.
        list.ArmWakeUp(true);
    }
    if (closeAfterwards) PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    return hr;
}
