// Arbitrary bytes as a resource-only library that a program loads as a data file: loaded, and every string
// of its string tables, every dialog template, menu, accelerator table and icon group read as the program
// reads them. A refused file or resource is fine; a crash or a sanitizer report is not.
// Build and run (see README): build/fuzz/bin/resource_library_fuzzer -max_total_time=600 WORKDIR
//   fuzz/corpus/resources
#include "FuzzDevice.h"

#include "device/DataFile.h"
#include "resource/PeResources.h"
#include "user/DialogTemplate.h"

#include <windows.h>

#include <fstream>

namespace {

LPCWSTR Argument(const device::ResourceKey& key)
{
    return key.IsId() ? MAKEINTRESOURCE(key.Id()) : key.Name().c_str();
}

void ReadStrings(HMODULE module, const device::ResourceKey& block)
{
    if (!block.IsId() || block.Id() == 0)
        return;
    for (UINT id = (block.Id() - 1u) * 16; id < block.Id() * 16u; ++id) {
        WCHAR small[4], large[512];
        LPCWSTR inPlace = nullptr;
        LoadStringW(module, id, small, 4);
        LoadStringW(module, id, large, 512);
        LoadStringW(module, id, reinterpret_cast<LPWSTR>(&inPlace), 0);
    }
}

void ReadEverything(HMODULE module)
{
    const device::PeResources* resources = device::ResourcesOf(module);
    if (!resources)
        return;
    for (const device::ResourceEntry& entry : resources->Entries()) {
        if (!entry.type.IsId())
            continue;
        LPCWSTR name = Argument(entry.name);
        switch (entry.type.Id()) {
        case 6: ReadStrings(module, entry.name); break; // RT_STRING
        case 5: device::ParseDialogTemplate(entry.data.data(), entry.data.size()); break; // RT_DIALOG
        case 4: DestroyMenu(LoadMenuW(module, name)); break;                           // RT_MENU
        case 9: LoadAcceleratorsW(module, name); break;                                // RT_ACCELERATOR
        case 14:                                                                       // RT_GROUP_ICON
            DestroyIcon(LoadIconW(module, name));
            DestroyIcon(static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, 16, 16, 0)));
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::filesystem::path file = fuzzing::FuzzDevice() / "fs" / "Windows" / "fuzzed.dll";
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                  static_cast<std::streamsize>(size));
    if (HMODULE module = LoadLibraryExW(u"\\Windows\\fuzzed.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        ReadEverything(module);
        FreeLibrary(module);
    }
    return 0;
}
