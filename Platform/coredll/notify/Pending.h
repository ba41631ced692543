// Messages of persistent notifications that had to start their program because no window of theirs
// existed: kept in the device database until such a window appears (in whichever process), then posted to
// it. They go when the started process ends without showing one.
#pragma once

#include "notify/Watches.h"

#include <windows.h>

#include <string>
#include <sys/types.h>
#include <vector>

namespace device::notify {

// Run inside the caller's transaction, which lists the window. The messages to post to hwnd.
std::vector<MSG> TakePendingDeliveries(HWND hwnd, const std::u16string& className, const std::u16string& title);

// The running process started for the notification whose window has not appeared yet; 0 when there is none.
pid_t WaitingProgram(int64_t watch);
void AddPendingDelivery(const Watch& watch, pid_t pid, WPARAM wParam);

} // namespace device::notify
