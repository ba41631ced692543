// Waits for threads and events. Timeouts run on host time: a wait does not move the device's manual
// clock, nor does moving that clock end a wait. As on the device, a wait is for any one object (waiting
// for all of them is not supported).
#include <windows.h>

#include "device/Waitable.h"

#include <vector>

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                                    DWORD dwMilliseconds)
{
    if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles || bWaitAll) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<device::Waitable>> objects;
    for (DWORD i = 0; i < nCount; ++i) {
        auto object = device::FindHandleOf<device::Waitable>(lpHandles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(std::move(object));
    }
    int satisfied = device::WaitForAny(objects, dwMilliseconds);
    return satisfied < 0 ? WAIT_TIMEOUT : WAIT_OBJECT_0 + static_cast<DWORD>(satisfied);
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}
