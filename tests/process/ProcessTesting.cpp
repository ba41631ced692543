#include "process/ProcessTesting.h"

#include "process/StartProgram.h"

#include "support/RegistryKey.h"

#include <regext.h>

#include <filesystem>
#include <unistd.h>

namespace process_testing {

namespace fs = std::filesystem;

ProcessTest::ProcessTest()
{
    fs::path folder = m_device.Dir() / "fs" / "Program Files" / "Tests";
    fs::create_directories(folder);
    fs::create_symlink(TEST_PROGRAM, folder / "program.exe");
    fs::create_symlink(TEST_PROGRAM, folder / "other.exe");
}

pid_t ProcessTest::Start(const std::u16string& commandLine, const char16_t* program)
{
    DWORD error = 0;
    pid_t pid = device::StartDeviceProgram(program, commandLine, &error);
    EXPECT_NE(pid, 0) << "error " << error;
    return pid;
}

HWND ProcessTest::WaitForWindow()
{
    HWND hwnd = nullptr;
    EXPECT_TRUE(Eventually([&] { return (hwnd = FindWindowW(kClass, kTitle)) != nullptr; }));
    return hwnd;
}

std::optional<DWORD> ProcessTest::Recorded(const char16_t* name)
{
    DWORD value = 0;
    if (FAILED(RegistryGetDWORD(HKEY_CURRENT_USER, kRecordKey, name, &value)))
        return std::nullopt;
    return value;
}

std::optional<std::u16string> ProcessTest::RanAt(const char16_t* program)
{
    WCHAR text[16];
    if (FAILED(RegistryGetString(HKEY_CURRENT_USER, u"Software\\ProcessTests\\RanAt", program, text, 16)))
        return std::nullopt;
    return std::u16string(text);
}

std::vector<std::u16string> ProcessTest::Starts()
{
    std::vector<std::u16string> result;
    testing_support::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kStartsKey, 0, 0, key.Out()) != ERROR_SUCCESS)
        return result;
    for (DWORD index = 0;; ++index) {
        WCHAR name[32], data[512];
        DWORD nameSize = 32, dataSize = sizeof data, type = 0;
        if (RegEnumValueW(key, index, name, &nameSize, nullptr, &type, reinterpret_cast<LPBYTE>(data), &dataSize) !=
            ERROR_SUCCESS)
            break;
        result.emplace_back(data);
    }
    return result;
}

void ProcessTest::Watched(const char16_t* name, DWORD value)
{
    ASSERT_EQ(RegistrySetDWORD(HKEY_CURRENT_USER, kWatchedKey, name, value), S_OK);
}

std::vector<pid_t> ProcessTest::OtherProcesses()
{
    std::vector<pid_t> pids;
    for (const device::ProcessEntry& process : device::RunningProcesses())
        if (process.pid != getpid())
            pids.push_back(process.pid);
    return pids;
}

} // namespace process_testing
