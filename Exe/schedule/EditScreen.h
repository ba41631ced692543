// The modal run of the scheduled message edit screen over a message.
#pragma once

#include <windows.h>

class ScheduledMessage;

// The screen's end code (IDOK, IDCANCEL), or -1 when it could not be shown.
INT_PTR RunEditScreen(HWND parent, ScheduledMessage& message);
