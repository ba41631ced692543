#include "app/WaitCursor.h"

#include "app/Program.h"

WaitCursor::WaitCursor()
{
    if (g_program.silentMode)
        return;
    m_previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    m_shown = true;
}

WaitCursor::~WaitCursor()
{
    if (m_shown)
        SetCursor(m_previous);
}
