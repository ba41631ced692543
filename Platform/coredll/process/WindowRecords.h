// The window manager's side of the device's window list: this process's top-level windows are recorded as
// they change, and other processes' windows are looked up there. Without a device these record nothing and
// find nothing.
#pragma once

#include "process/ProcessTable.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace device {

// Called on the thread that made the window.
void RecordWindowCreated(HWND hwnd, const std::u16string& className, const std::u16string& title, bool visible);
void RecordWindowTitle(HWND hwnd, const std::u16string& title);
void RecordWindowVisible(HWND hwnd, bool visible);
void RecordWindowActivated(HWND hwnd);
void RecordWindowDestroyed(HWND hwnd);

// True for a handle that names a window of another process (live or not).
bool IsForeignHandle(HWND hwnd);
// A live window of another running process.
std::optional<WindowEntry> ForeignWindow(HWND hwnd);
HWND FindForeignWindow(const std::u16string* className, const std::u16string* title);
std::vector<HWND> ForeignTopLevelWindows();
// The last activated visible top-level window of any running process; nullopt without a device.
std::optional<HWND> DeviceForegroundWindow();

} // namespace device
