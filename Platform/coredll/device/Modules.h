// The modules of this process: the program and the libraries loaded by LoadLibrary. An HMODULE names
// one of them; libraries loaded as data files are kept apart (DataFile.h).
#pragma once

#include <windef.h>

#include <filesystem>
#include <optional>
#include <string_view>

namespace device {

// The program file: what a tool or test set, else the running executable as it was started (when the
// program was started through a link placed on the device, the link's path).
void SetProgramPath(const std::filesystem::path& hostPath); // empty: the running executable again
std::filesystem::path ProgramPath();
HMODULE ProgramModule();

// As on the device, one library is loaded per name, the name compared without folder, extension or case.
// A name is given as "mylib", "mylib.dll" or a path; null when no such module is loaded. A device library
// the program was linked against counts as loaded (for the life of the process), so loading it by name
// gives that same copy.
HMODULE FindModule(std::u16string_view name);

// Adds a reference to the loaded library of that name; null when none is loaded.
HMODULE AddModuleReference(std::u16string_view name);

// Adds a reference to the library of that file's name if one is loaded, else loads the host file (a shared
// object) with one reference. Null with a Win32 error in *error when the file cannot be loaded.
HMODULE LoadModule(const std::filesystem::path& hostPath, DWORD* error);

// Drops one reference, unloading the library with the last; false when the handle is no loaded library.
bool ReleaseModule(HMODULE module);

// The host file of the program or a loaded library.
std::optional<std::filesystem::path> ModuleFile(HMODULE module);

// An export by name, or by ordinal when IS_INTRESOURCE(name): from the library's export table when it
// has one, else from its own dynamic symbols. Null with ERROR_PROC_NOT_FOUND or ERROR_INVALID_HANDLE.
FARPROC FindExport(HMODULE module, const char* name, DWORD* error);

} // namespace device
