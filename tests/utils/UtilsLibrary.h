// The helper library as the program meets it on a device: installed beside the program and loaded by
// name, its exports reached by number.
#pragma once

#include <windows.h>

#include "UtilsExports.h"

#include <filesystem>

namespace utils_testing {

// The installed program: the process tests' device program, under the program's own name.
constexpr const char16_t* kProgram = u"\\Program Files\\Zelkova\\Zelkova.exe";

// Installs the program and, unless told otherwise, utils.dll beside it on the attached device, makes the
// program this process's program file (so libraries are looked for beside it) and loads utils by name.
class UtilsLibrary {
public:
    explicit UtilsLibrary(bool installed = true);
    ~UtilsLibrary();
    UtilsLibrary(const UtilsLibrary&) = delete;
    UtilsLibrary& operator=(const UtilsLibrary&) = delete;

    HMODULE Module() const { return m_module; }

    // The export of that number, as the program resolves it; fails the test when it is missing.
    template <class Function>
    Function Export(WORD ordinal) const
    {
        FARPROC entry = m_module ? GetProcAddressW(m_module, MAKEINTRESOURCEW(ordinal)) : nullptr;
        Check(entry, ordinal);
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
    }

private:
    static void Check(FARPROC entry, WORD ordinal);

    HMODULE m_module = nullptr;
};

// The host path of a device path on the attached device.
std::filesystem::path HostPath(const char16_t* devicePath);

} // namespace utils_testing
