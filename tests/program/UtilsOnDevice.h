// The helper library installed in the attached device's \Windows, where the program's binding finds it
// when it binds on first use; the binding is cleared before and after, so each test binds afresh.
#pragma once

#include "app/Program.h"

#include "device/Device.h"

#include <filesystem>

namespace program_testing
{

class UtilsOnDevice
{
  public:
    UtilsOnDevice()
    {
        g_program.binding = {};
        std::filesystem::path windows = device::FsRoot() / "Windows";
        std::filesystem::create_directories(windows);
        std::filesystem::create_symlink(UTILS_LIBRARY, windows / "utils.dll");
    }
    ~UtilsOnDevice()
    {
        if (g_program.binding.utils) FreeLibrary(g_program.binding.utils);
        g_program.binding = {};
    }
    UtilsOnDevice(const UtilsOnDevice&) = delete;
    UtilsOnDevice& operator=(const UtilsOnDevice&) = delete;
};

} // namespace program_testing
