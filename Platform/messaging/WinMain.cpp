// The device's messaging application: started by the messaging calls with the request to show
// ("-request 12"), or by itself on the account the device shows now.
#include "MessagingWindow.h"

#include "cemapi/MessagingApp.h"

#include <commctrl.h>

using messaging::MessagingWindow;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    int64_t request = device::mail::RequestOnCommandLine(commandLine);
    UINT requestMessage = RegisterWindowMessageW(device::mail::kShowRequestMessage);
    // One application runs: a second start hands its request on.
    if (HWND running = FindWindowW(device::mail::kAppWindowClass, nullptr)) {
        if (request)
            PostMessageW(running, requestMessage, static_cast<WPARAM>(request), 0);
        return 0;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&classes) || !MessagingWindow::Register(instance))
        return 1;
    for (;;) {
        MessagingWindow window;
        if (!window.Create(instance))
            return 1;
        if (request)
            PostMessageW(window.Window(), requestMessage, static_cast<WPARAM>(request), 0);
        else
            window.ShowCurrentAccount();
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // A request that came as the window closed gets a window of its own.
        MSG late;
        if (!PeekMessageW(&late, nullptr, requestMessage, requestMessage, PM_REMOVE))
            return 0;
        request = static_cast<int64_t>(late.wParam);
    }
}
