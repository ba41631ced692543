#include <windows.h>

#include "device/Modules.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <fstream>

using testing_support::TempDevice;
namespace fs = std::filesystem;

namespace {

// A program installed as \Program Files\Probe\Probe.exe, with testlib.dll beside it.
class DeviceModules : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(ProgramFolder());
        fs::copy_file(TESTLIB_FILE, ProgramFolder() / "testlib.dll");
        device::SetProgramPath(ProgramFolder() / "Probe.exe");
    }
    void TearDown() override { device::SetProgramPath({}); }

    fs::path ProgramFolder() const { return m_device.Dir() / "fs" / "Program Files" / "Probe"; }

    TempDevice m_device;
};

std::u16string ModuleFileName(HMODULE module, DWORD size = MAX_PATH)
{
    WCHAR buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, buffer, size);
    return length ? std::u16string(buffer) : u"<failed>";
}

// An export as the function it is; void (*)() is the one pointer type any function pointer converts to
// without complaint.
template <class Function> Function As(FARPROC proc)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

using BinaryFn = int (*)(int, int);
using TextFn = LPCWSTR (*)();
using NumberFn = int (*)();

} // namespace

TEST_F(DeviceModules, ALibraryBesideTheProgramLoadsByAnyCaseOncePerNameAndUnloadsWithItsLastReference)
{
    HMODULE first = LoadLibraryW(u"testlib");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadLibraryW(u"TESTLIB.DLL"), first);
    EXPECT_EQ(GetModuleHandleW(u"TestLib"), first);
    EXPECT_EQ(GetModuleHandleW(u"testlib.dll"), first);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(GetModuleHandleW(u"testlib"), first);
    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(GetModuleHandleW(u"testlib"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetProcAddressW(first, MAKEINTRESOURCE(1)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(DeviceModules, LibrariesAreFoundInTheWindowsFolderAndByDevicePath)
{
    fs::rename(ProgramFolder() / "testlib.dll", m_device.Dir() / "fs" / "Windows" / "testlib.dll");
    HMODULE library = LoadLibraryW(u"testlib");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(ModuleFileName(library), u"\\Windows\\testlib.dll");
    EXPECT_TRUE(FreeLibrary(library));

    library = LoadLibraryW(u"\\windows\\TESTLIB.dll");
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(ModuleFileName(library), u"\\Windows\\testlib.dll");
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(DeviceModules, MissingOrUnloadableLibrariesFailWithTheirReason)
{
    EXPECT_EQ(LoadLibraryW(u"nosuch"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryW(u"testlib."), nullptr); // a trailing dot: a file named testlib, without extension
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryW(u"\\Program Files\\Elsewhere\\testlib.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    std::ofstream(ProgramFolder() / "notes.dll") << "not a library";
    EXPECT_EQ(LoadLibraryW(u"notes"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_BAD_FORMAT);
    fs::create_directory(ProgramFolder() / "folder.dll");
    EXPECT_EQ(LoadLibraryW(u"folder"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

    EXPECT_EQ(LoadLibraryExW(u"testlib", INVALID_HANDLE_VALUE, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(LoadLibraryExW(u"testlib", nullptr, DONT_RESOLVE_DLL_REFERENCES), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(LoadLibraryExW(u"nosuch", nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryW(u""), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(DeviceModules, ExportsMarkedNonameAreReachableByOrdinalOnly)
{
    HMODULE library = LoadLibraryW(u"testlib");
    ASSERT_NE(library, nullptr);

    auto add = As<BinaryFn>(GetProcAddressW(library, MAKEINTRESOURCE(1)));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_EQ(GetProcAddressW(library, u"AddNumbers"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

    auto multiply = As<BinaryFn>(GetProcAddressW(library, MAKEINTRESOURCE(5)));
    ASSERT_NE(multiply, nullptr);
    EXPECT_EQ(multiply(6, 7), 42);
    EXPECT_EQ(GetProcAddressW(library, u"Multiply"), nullptr);
    EXPECT_EQ(GetProcAddressW(library, u"MultiplyNumbers"), nullptr);

    auto* counter = reinterpret_cast<int*>(GetProcAddressW(library, MAKEINTRESOURCE(9)));
    ASSERT_NE(counter, nullptr);
    EXPECT_EQ(*counter, 41);

    EXPECT_EQ(GetProcAddressW(library, MAKEINTRESOURCE(4)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddressW(library, u"NotExported"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddressW(library, u"SetLastError"), nullptr); // coredll's, not the library's
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(DeviceModules, NamedExportsAreReachableByNameAndByOrdinal)
{
    HMODULE library = LoadLibraryW(u"testlib");
    ASSERT_NE(library, nullptr);
    FARPROC byName = GetProcAddressW(library, u"Greeting");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(GetProcAddressW(library, MAKEINTRESOURCE(2)), byName);
    EXPECT_EQ(GetProcAddressA(library, "Greeting"), byName);
    EXPECT_EQ(std::u16string(As<TextFn>(byName)()), u"hello from testlib");
    EXPECT_EQ(GetProcAddressW(library, u"greeting"), nullptr); // export names keep their case

    // An export listed without an ordinal takes the lowest one left free.
    auto describe = As<NumberFn>(GetProcAddressW(library, MAKEINTRESOURCE(3)));
    ASSERT_NE(describe, nullptr);
    EXPECT_EQ(describe(), 3);
    EXPECT_EQ(GetProcAddressW(library, u"Describe"),
              reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(describe)));
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(DeviceModules, ALibraryWithoutExportTableExportsItsOwnSymbolsByNameOnly)
{
    fs::copy_file(PLAINLIB_FILE, ProgramFolder() / "plainlib.dll");
    HMODULE library = LoadLibraryW(u"plainlib");
    ASSERT_NE(library, nullptr);
    auto plain = As<NumberFn>(GetProcAddressW(library, u"PlainFunction"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain(), 7);
    EXPECT_EQ(GetProcAddressW(library, MAKEINTRESOURCE(1)), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(GetProcAddressW(library, u"SetLastError"), nullptr); // found by the host only in coredll
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(FreeLibrary(library));
}

TEST_F(DeviceModules, ModuleFileNamesAreDevicePathsCutToTheBuffer)
{
    const std::u16string program = u"\\Program Files\\Probe\\Probe.exe";
    EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(u"probe.exe"));
    EXPECT_EQ(ModuleFileName(nullptr), program);
    EXPECT_EQ(ModuleFileName(GetModuleHandleW(nullptr)), program);

    WCHAR buffer[MAX_PATH];
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, DWORD(program.size() + 1)), DWORD(program.size()));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(buffer), program);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, DWORD(program.size())), DWORD(program.size()));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), program.substr(0, program.size() - 1));
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 8), 8u);
    EXPECT_EQ(std::u16string(buffer), u"\\Progra");
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, 0), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    HMODULE library = LoadLibraryW(u"TESTLIB");
    EXPECT_EQ(ModuleFileName(library), u"\\Program Files\\Probe\\testlib.dll"); // the file's own case
    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(GetModuleFileNameW(library, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    device::SetProgramPath("/opt/elsewhere/tool");
    EXPECT_EQ(ModuleFileName(nullptr), u"/opt/elsewhere/tool"); // outside the device: the host path
}
