// Events, manual-reset and auto-reset. Named events are left out: on the device a name is shared by
// every process, which these in-process events cannot honour, so a name fails with ERROR_NOT_SUPPORTED.
#include <windows.h>

#include "device/Waitable.h"

namespace {

class EventObject : public device::Waitable {
public:
    EventObject(bool manualReset, bool signalled) : m_manualReset(manualReset), m_signalled(signalled) {}

    bool IsSignalled() const override { return m_signalled; }
    void Consume() override
    {
        if (!m_manualReset) m_signalled = false;
    }
    void Set(bool signalled) { m_signalled = signalled; }

private:
    const bool m_manualReset;
    bool m_signalled;
};

BOOL SetState(HANDLE hEvent, bool signalled)
{
    auto event = device::FindHandleOf<EventObject>(hEvent);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    {
        std::lock_guard guard(device::SyncLock());
        event->Set(signalled);
    }
    if (signalled) device::NotifySignalled();
    return TRUE;
}

} // namespace

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                           LPCWSTR lpName)
{
    if (lpName && *lpName) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return device::AddHandle(std::make_shared<EventObject>(bManualReset, bInitialState));
}

BOOL WINAPI SetEvent(HANDLE hEvent)
{
    return SetState(hEvent, true);
}

BOOL WINAPI ResetEvent(HANDLE hEvent)
{
    return SetState(hEvent, false);
}
