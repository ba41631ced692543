// The main window's two hooks into features that are not part of this program yet: the scheduled send
// of a wake-up and the missed-call reply. Until they are, both report that they are not there.
#include "app/MainWindow.h"

HRESULT MainWindow::RunScheduledSend()
{
    return E_NOTIMPL;
}

HRESULT MainWindow::HandleMissedCall()
{
    return E_NOTIMPL;
}
