// Libraries: device libraries are host shared objects under their device file names (mylib.dll), found
// beside the program or in \Windows, one per name, reference counted. Exports come from a library's
// export table when it has one (ordinal-only exports), else from its dynamic symbols by name.
// Libraries loaded as data files are read, not run (DataFile.h).
#include <windows.h>

#include "device/DataFile.h"
#include "device/Modules.h"
#include "device/Paths.h"
#include "device/Text.h"

#include <sys/stat.h>

namespace {
namespace fs = std::filesystem;

// As on the device, a name without extension means a .dll, and a trailing dot means no extension at all.
std::u16string WithExtension(std::u16string_view name)
{
    std::u16string file(name);
    size_t start = file.find_last_of(u"\\/");
    start = start == std::u16string::npos ? 0 : start + 1;
    if (!file.empty() && file.back() == u'.')
        file.pop_back();
    else if (file.find(u'.', start) == std::u16string::npos)
        file += u".dll";
    return file;
}

bool IsFile(const fs::path& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The library file a name denotes: a device path as given, else beside the program, else in \Windows.
std::optional<fs::path> FindLibrary(const std::u16string& file, DWORD* error)
{
    if (file.find_first_of(u"\\/") != std::u16string::npos) {
        std::optional<fs::path> path = device::HostPath(file.c_str(), error);
        if (path && !IsFile(*path)) {
            *error = ERROR_MOD_NOT_FOUND;
            return std::nullopt;
        }
        return path;
    }
    std::optional<fs::path> windows = device::HostPath(u"\\Windows", error);
    for (const std::optional<fs::path>& folder :
         {std::optional(device::ProgramPath().parent_path()), windows}) {
        if (!folder) continue;
        std::optional<fs::path> found = device::FindInFolder(*folder, file);
        if (found && IsFile(*found)) return found;
    }
    *error = ERROR_MOD_NOT_FOUND;
    return std::nullopt;
}

} // namespace

HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags)
{
    if (!lpLibFileName || !*lpLibFileName || hFile ||
        (dwFlags & ~(DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwFlags & DONT_RESOLVE_DLL_REFERENCES) { // a host library cannot be mapped without being run
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    std::u16string file = WithExtension(lpLibFileName);
    if (!(dwFlags & LOAD_LIBRARY_AS_DATAFILE)) {
        if (HMODULE loaded = device::AddModuleReference(file)) return loaded;
    }
    DWORD error = ERROR_MOD_NOT_FOUND;
    std::optional<fs::path> path = FindLibrary(file, &error);
    HMODULE module = nullptr;
    if (path) {
        module = (dwFlags & LOAD_LIBRARY_AS_DATAFILE) ? device::OpenDataFile(*path, &error)
                                                      : device::LoadModule(*path, &error);
    }
    if (!module) SetLastError(error);
    return module;
}

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName)
{
    return LoadLibraryExW(lpLibFileName, nullptr, 0);
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule)
{
    if (device::ReleaseDataFile(hLibModule) || device::ReleaseModule(hLibModule)) return TRUE;
    if (hLibModule && hLibModule == device::ProgramModule())
        return TRUE; // the program stays loaded while it runs
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName)
{
    if (!lpModuleName) return device::ProgramModule();
    HMODULE module = device::FindModule(lpModuleName);
    if (!module) SetLastError(ERROR_MOD_NOT_FOUND);
    return module;
}

FARPROC WINAPI GetProcAddressA(HMODULE hModule, LPCSTR lpProcName)
{
    DWORD error = ERROR_SUCCESS;
    FARPROC proc = device::FindExport(hModule, lpProcName, &error);
    if (!proc) SetLastError(error);
    return proc;
}

FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName)
{
    if (IS_INTRESOURCE(lpProcName)) return GetProcAddressA(hModule, reinterpret_cast<LPCSTR>(lpProcName));
    std::optional<std::string> name = device::Utf8FromUtf16(lpProcName);
    if (!name) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return GetProcAddressA(hModule, name->c_str());
}

// A path longer than the buffer is cut to nSize - 1 characters and terminated; the result is then nSize
// with ERROR_INSUFFICIENT_BUFFER, so a caller can tell a cut path from a whole one.
DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize)
{
    std::optional<fs::path> file = device::ModuleFile(hModule ? hModule : device::ProgramModule());
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!lpFilename && nSize) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string path = device::DevicePath(*file);
    if (path.empty()) // a module outside the device's file system: its host path
        path = device::Utf16FromUtf8(file->string());
    if (nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (path.size() < nSize) {
        path.copy(lpFilename, path.size());
        lpFilename[path.size()] = u'\0';
        return static_cast<DWORD>(path.size());
    }
    path.copy(lpFilename, nSize - 1);
    lpFilename[nSize - 1] = u'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
}
