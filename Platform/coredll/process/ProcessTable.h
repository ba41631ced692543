// The device's list of running processes and of their top-level windows, kept in the device database so
// every process sees every other. An entry of a process that ended without saying so (killed) is ignored
// wherever it is met, and removed with everything the process left behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace device {

struct ProcessEntry {
    pid_t pid = 0;
    int64_t hostStart = 0; // HostStartTime of the process
    int64_t started = 0;   // device clock, UTC FILETIME ticks
    std::string program;   // host path
    std::u16string commandLine;
};

struct WindowEntry {
    HWND hwnd = nullptr;
    pid_t pid = 0;
    DWORD thread = 0;
    std::u16string className;
    std::u16string title;
    bool visible = false;
};

// All of these throw DatabaseError when the device database fails.

// Lists a process. Listed already (by whoever started it), it keeps what was left for it; an ended process
// listed under the same pid is forgotten.
void PutProcess(const ProcessEntry& entry);
// Removes the process with its windows, its pending messages, its transient notifications and its endpoint.
void ForgetProcess(pid_t pid);
// The running processes, oldest first; entries of ended ones are removed on the way.
std::vector<ProcessEntry> RunningProcesses();

// The process must be listed. Updates the entry when the window is listed already.
void PutWindow(const WindowEntry& entry);
void SetWindowTitle(HWND hwnd, const std::u16string& title);
void SetWindowVisible(HWND hwnd, bool visible);
void MarkWindowActivated(HWND hwnd); // now the most recently activated window of the device
void RemoveWindow(HWND hwnd);        // with the transient notifications that name it

// Windows of running processes only.
std::optional<WindowEntry> FindWindowEntry(HWND hwnd);
// The most recently activated window of that class (case ignored) and title (exact), either one null for
// any, whose process is not `except`; null when there is none.
HWND FindWindowEntryBy(const std::u16string* className, const std::u16string* title, pid_t except);
// The most recently activated visible window of any running process; null when there is none.
HWND MostRecentVisibleWindow();
std::vector<WindowEntry> WindowEntries();

} // namespace device
