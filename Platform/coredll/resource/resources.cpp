// Resources of modules opened as data files: finding, loading and sizing them, and the string table.
// Libraries loaded to run carry no PE resources here; asking them for one fails as for a file without.
// The program's own come from the resource file beside it (device/DataFile.h).
#include <windows.h>

#include "device/DataFile.h"
#include "resource/PeResources.h"
#include "resource/StringTable.h"

#include <algorithm>
#include <cstring>

using device::PeResources;
using device::ResourceEntry;
using device::ResourceKey;

namespace {

// The resource directory of a module, or null with the last error set.
const PeResources* ResourcesFor(HMODULE module)
{
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE); // the device has no "current module" default here
        return nullptr;
    }
    const PeResources* resources = device::ResourcesOf(module);
    if (!resources)
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return resources;
}

// The entry behind a handle that FindResource gave for this module, or null with the last error set.
const ResourceEntry* EntryFor(HMODULE module, HRSRC info)
{
    const PeResources* resources = ResourcesFor(module);
    if (!resources)
        return nullptr;
    auto entry = reinterpret_cast<const ResourceEntry*>(info);
    if (!resources->Contains(entry)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return entry;
}

} // namespace

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType)
{
    const PeResources* resources = ResourcesFor(hModule);
    if (!resources)
        return nullptr;
    if (!lpName || !lpType) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::optional<ResourceKey> name = ResourceKey::FromArgument(lpName);
    std::optional<ResourceKey> type = ResourceKey::FromArgument(lpType);
    if (!name || !type) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    const ResourceEntry* entry = resources->Find(*type, *name, &error);
    if (!entry) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(const_cast<ResourceEntry*>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo)
{
    const ResourceEntry* entry = EntryFor(hModule, hResInfo);
    return entry ? const_cast<BYTE*>(entry->data.data()) : nullptr;
}

// Resources stay where the module holds them; locking only hands out the address.
LPVOID WINAPI LockResource(HGLOBAL hResData)
{
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo)
{
    const ResourceEntry* entry = EntryFor(hModule, hResInfo);
    return entry ? DWORD(entry->data.size()) : 0;
}

// Three forms: a buffer receives a terminated copy, cut to fit; with no buffer (the device's form) the
// result is the address of the string in the resource, as an int; with a buffer of capacity 0 (the
// desktop's form) the buffer receives that address and the result is the length. The string in the
// resource is not terminated: its length is in the word before it.
int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax)
{
    if (lpBuffer && cchBufferMax > 0)
        lpBuffer[0] = 0;
    if (cchBufferMax < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const PeResources* resources = ResourcesFor(hInstance);
    if (!resources)
        return 0;
    DWORD error = ERROR_SUCCESS;
    std::optional<std::u16string_view> text = device::FindString(*resources, uID, &error);
    if (!text) {
        SetLastError(error);
        return 0;
    }

    if (!lpBuffer) {
        auto address = reinterpret_cast<INT_PTR>(text->data());
        if (address > INT32_MAX) { // only where the platform cannot keep files in the low 2 GB
            SetLastError(ERROR_NOT_SUPPORTED);
            return 0;
        }
        return int(address);
    }
    if (cchBufferMax == 0) {
        LPCWSTR address = text->data();
        std::memcpy(lpBuffer, &address, sizeof address);
        return int(text->size());
    }
    if (cchBufferMax == 1) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER); // room for the terminator only
        return 0;
    }
    size_t count = std::min(text->size(), size_t(cchBufferMax - 1));
    std::memcpy(lpBuffer, text->data(), count * sizeof(WCHAR));
    lpBuffer[count] = 0;
    return int(count);
}
