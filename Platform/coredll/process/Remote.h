// Requests to another device process's endpoint. A process that is gone (or never listened) fails them:
// false, or 0 for a send, with a Win32 error in *error. Every request is bounded: a process that does not
// answer within its bound, or that is stopped, fails it with ERROR_TIMEOUT. The socket a killed process
// left behind is removed by the first request that finds it.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace device {

// The bound of a request that the other process answers at once.
constexpr std::chrono::milliseconds kRemoteBound = std::chrono::seconds(10);

// The process a window handle names.
inline pid_t ProcessOfWindow(HWND hwnd) { return static_cast<pid_t>(reinterpret_cast<uintptr_t>(hwnd) >> 32); }

bool RemotePost(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD* error);
// Waits for the result as long as the other process runs (its window procedure takes what time it needs,
// as on the device); the calling thread still dispatches messages sent to it meanwhile. 0 at once when the
// target process ends before it answers.
LRESULT RemoteSend(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD* error);
bool RemoteActivate(HWND hwnd, DWORD* error);
// `value` null: the value was deleted.
bool RemoteCallback(pid_t pid, int64_t watch, const std::vector<uint8_t>* value, DWORD* error);
// Whether the process's window threads all wait for input, or come to within the bound (the process answers
// as soon as they do); false when they do not, or it cannot tell, within the bound.
bool RemoteIsIdle(pid_t pid, std::chrono::milliseconds bound = kRemoteBound);
// Tells the process that the device clock moved, so that its timers that fell due fire.
bool RemoteClockMoved(pid_t pid);
// An automation request (automation/Requests.h) of the process's screen. *answer is what the process
// answered: the result, or on failure (false, with *error set) why, when it could say; empty when it ended
// or did not answer within the bound.
bool RemoteAutomation(pid_t pid, uint32_t request, uint64_t argument, std::u16string_view text,
                      std::chrono::milliseconds bound, std::string* answer, DWORD* error);

} // namespace device
