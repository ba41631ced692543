#include "schedule/EditScreen.h"

#include "schedule/ScheduleEditDialog.h"

#include "ids.h"

INT_PTR RunEditScreen(HWND parent, ScheduledMessage& message)
{
    ScheduleEditDialog screen(message);
    return RunDialog(IDD_SCHEDULE_EDIT, parent, screen);
}
