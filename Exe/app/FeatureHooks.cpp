// The main window's two hooks into features: the scheduled send of a wake-up, and the missed-call reply,
// which is not part of this program yet and reports that it is not there.
#include "app/MainWindow.h"

#include "app/Program.h"
#include "schedule/ScheduledSend.h"

HRESULT MainWindow::RunScheduledSend()
{
    return ::RunScheduledSend(m_hwnd, g_program.silentMode || m_settings.AutoExit);
}

HRESULT MainWindow::HandleMissedCall()
{
    return E_NOTIMPL;
}
