#include "schedule/EditScreen.h"

// The edit screen is not part of the program yet: until it is, it ends as a dialog that could not be
// made does.
INT_PTR RunEditScreen(HWND, ScheduledMessage&)
{
    return -1;
}
