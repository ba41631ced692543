// What the program does when woken for a scheduled message, in a start of its own or in the running
// instance: send the message that is due to its members and arrange the next wake-up.
#pragma once

#include <windows.h>

// Sends the due message to every member, waits 5 seconds, so the message is clearly past, and registers
// the next wake-up, whose result is the result. With no message due, E_FAIL, and the wake-up is registered
// for the next message still ahead. A failed send registers nothing. With closeAfterwards, posts WM_CLOSE
// to mainWindow whatever happened.
HRESULT RunScheduledSend(HWND mainWindow, bool closeAfterwards);
