#include "schedule/ScheduledSend.h"

#include "schedule/ScheduledMessageList.h"
#include "store/Send.h"

HRESULT RunScheduledSend(HWND mainWindow, bool closeAfterwards)
{
    ScheduledMessageList list;
    ScheduledMessage* due = nullptr;
    HRESULT hr = list.FindDue(&due);
    if (SUCCEEDED(hr)) hr = SendToMembers(*due);
    if (SUCCEEDED(hr)) {
        Sleep(5000);
        hr = list.ArmWakeUp(); // reloads the list: due is gone from here on
    }
    if (closeAfterwards) PostMessageW(mainWindow, WM_CLOSE, 0, 0);
    return hr;
}
