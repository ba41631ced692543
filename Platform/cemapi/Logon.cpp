// Starting the messaging subsystem and logging on. Initialisation is counted per process; a session
// can be made only while the count is above zero.
#include <mapix.h>

#include "Guarded.h"
#include "Session.h"

#include "device/Device.h"

#include <atomic>

namespace
{

std::atomic<long> g_initialized{0};

} // namespace

// The device ignores the initialisation block.
STDAPI MAPIInitialize(LPVOID)
{
    ++g_initialized;
    return S_OK;
}

STDAPI_(void) MAPIUninitialize(void)
{
    long count = g_initialized.load();
    while (count > 0 && !g_initialized.compare_exchange_weak(count, count - 1)) {
    }
}

// The device ignores the window, profile, password and flags: there is one profile.
STDAPI MAPILogonEx(ULONG_PTR, LPTSTR, LPTSTR, FLAGS, LPMAPISESSION* lppSession)
{
    if (!lppSession) return MAPI_E_INVALID_PARAMETER;
    *lppSession = nullptr;
    if (g_initialized.load() <= 0) return MAPI_E_NOT_INITIALIZED;
    return device::mapi::Guarded([&] {
        device::Db(); // a session needs the device's message stores
        *lppSession = new device::mapi::Session();
        return S_OK;
    });
}
