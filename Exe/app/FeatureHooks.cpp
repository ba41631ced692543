// The main window's two hooks into features: the scheduled send of a wake-up, and the missed-call reply.
#include "app/MainWindow.h"

#include "app/Program.h"
#include "autoreply/MissedCallReplyDialog.h"
#include "schedule/ScheduledSend.h"

#include "ids.h"

namespace {

// Replies whose screens are still open: a call missed during a countdown is answered over it, and the
// program closes only once the first caller's reply is through too.
int g_repliesInHand = 0;

} // namespace

HRESULT MainWindow::RunScheduledSend()
{
    return ::RunScheduledSend(m_hwnd, g_program.silentMode || m_settings.AutoExit);
}

HRESULT MainWindow::HandleMissedCall()
{
    HRESULT result = E_FAIL;
    LPCWSTR text = m_settings.ARMsg();
    if (m_settings.AREnable && text && text[0]) {
        ++g_repliesInHand;
        MissedCallReplyDialog reply;
        RunDialog(IDD_MISSED_CALL_REPLY, m_hwnd, reply);
        --g_repliesInHand;
        result = S_OK;
    }
    if ((g_program.silentMode || m_settings.AutoExit) && g_repliesInHand == 0)
        PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    return result;
}
