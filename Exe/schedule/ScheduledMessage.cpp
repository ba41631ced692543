#include "schedule/ScheduledMessage.h"

#include "contacts/ContactStore.h"

ScheduledMessage::ScheduledMessage()
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    m_time.FromParts(today.wYear, today.wMonth, today.wDay, 8, 0, 0);
    m_time += DateTimeSpan::SpanFromParts(1, 0, 0, 0);
}

ScheduledMessage::~ScheduledMessage()
{
    m_messageStore.Close();
    CloseContactStore(&m_sendContactStore);
}

HRESULT ScheduledMessage::Load(LPCWSTR)
{
    return E_NOTIMPL;
}

HRESULT ScheduledMessage::Edit(HWND)
{
    return E_NOTIMPL;
}

HRESULT ScheduledMessage::Delete()
{
    return E_NOTIMPL;
}
