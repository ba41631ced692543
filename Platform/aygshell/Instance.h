// The shell's instance lookup: whether a program (known by its main window class) already runs on the
// device, with its window, and a handle the caller closes. Every lookup goes through LookUpInstance.
#pragma once

#include <windows.h>

namespace device::shell {

struct InstanceAnswer {
    HANDLE handle = nullptr; // the caller's to close; while the first caller's is open it holds the claim
    HWND window = nullptr;   // the running instance's window, when it can be found
    bool found = false;      // another holder of the claim runs
};

// The decision is one transaction of the device database: the first caller claims the class name, and the
// claim lasts until its handle is closed or its process ends. E_INVALIDARG for a missing class name, E_FAIL
// when the device database can't be used.
HRESULT LookUpInstance(LPCWSTR className, LPCWSTR windowName, InstanceAnswer* answer);

} // namespace device::shell
