// The bytes of one resource of a module, for the window manager's resource formats (dialogs, menus,
// accelerator tables).
#pragma once

#include <windows.h>

#include <cstddef>

namespace device {

struct ResourceBytes {
    const void* data = nullptr; // null, with the error set, when the module has no such resource
    size_t size = 0;
};

ResourceBytes FindModuleResource(HINSTANCE module, LPCWSTR name, LPCWSTR type);

} // namespace device
