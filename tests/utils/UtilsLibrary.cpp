#include "utils/UtilsLibrary.h"

#include "device/Device.h"
#include "device/Modules.h"
#include "device/Paths.h"

#include <gtest/gtest.h>

namespace utils_testing {

namespace fs = std::filesystem;

fs::path HostPath(const char16_t* devicePath)
{
    DWORD error = 0;
    std::optional<fs::path> path = device::HostPath(devicePath, &error);
    EXPECT_TRUE(path.has_value()) << "error " << error;
    return path.value_or(fs::path());
}

UtilsLibrary::UtilsLibrary(bool installed)
{
    fs::path program = HostPath(kProgram);
    fs::create_directories(program.parent_path());
    fs::create_symlink(TEST_PROGRAM, program);
    if (installed)
        fs::create_symlink(UTILS_LIBRARY, program.parent_path() / "utils.dll");
    device::SetProgramPath(program);
    m_module = LoadLibraryW(u"utils");
    EXPECT_EQ(m_module != nullptr, installed) << "error " << GetLastError();
}

UtilsLibrary::~UtilsLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
    device::SetProgramPath({});
}

void UtilsLibrary::Check(FARPROC entry, WORD ordinal)
{
    EXPECT_NE(entry, nullptr) << "export " << ordinal << " missing";
}

} // namespace utils_testing
