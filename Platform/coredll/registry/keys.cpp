// Registry keys: open, create, delete, enumerate, describe, flush and close.
// Only HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE exist on this device; the other roots are not key handles.
// Access masks are accepted and not enforced: the device documents samDesired as not supported.
#include <windows.h>

#include "registry/CallerBuffers.h"
#include "registry/KeyHandles.h"
#include "registry/Names.h"
#include "registry/Store.h"

using namespace device::registry;

namespace {

void StoreFileTime(int64_t ticks, FILETIME* ft)
{
    ft->dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
    ft->dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
}

} // namespace

LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    int64_t from = 0;
    if (!KeyOf(hKey, &from))
        return ERROR_INVALID_HANDLE;
    if (ulOptions != 0)
        return ERROR_INVALID_PARAMETER;
    int64_t key = 0;
    if (LONG rc = OpenKey(from, View(lpSubKey), &key))
        return rc;
    *phkResult = NewHandle(key);
    return ERROR_SUCCESS;
}

LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                            REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                            LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    int64_t from = 0;
    if (!KeyOf(hKey, &from))
        return ERROR_INVALID_HANDLE;
    if (Reserved != 0 || (dwOptions & ~REG_OPTION_VOLATILE) != 0)
        return ERROR_INVALID_PARAMETER;
    // A volatile key must vanish when the device restarts, which this device cannot promise.
    if (dwOptions & REG_OPTION_VOLATILE)
        return ERROR_NOT_SUPPORTED;
    int64_t key = 0;
    bool created = false;
    if (LONG rc = CreateKey(from, View(lpSubKey), View(lpClass), &key, &created))
        return rc;
    *phkResult = NewHandle(key);
    if (lpdwDisposition)
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

// Deletes the key with all its values and subkeys. Handles still open on them report ERROR_KEY_DELETED.
LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey)
{
    int64_t from = 0;
    if (!KeyOf(hKey, &from))
        return ERROR_INVALID_HANDLE;
    if (!lpSubKey)
        return ERROR_INVALID_PARAMETER;
    return DeleteKey(from, View(lpSubKey));
}

LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcName, LPDWORD lpReserved,
                          LPWSTR lpClass, LPDWORD lpcClass, PFILETIME lpftLastWriteTime)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    if (!lpName || !lpcName || lpReserved || (lpClass && !lpcClass))
        return ERROR_INVALID_PARAMETER;
    Subkey subkey;
    if (LONG rc = EnumSubkey(key, dwIndex, &subkey))
        return rc;
    // Check the class buffer before writing anything, so a failure leaves every output as it was.
    if (lpClass && *lpcClass < subkey.className.size() + 1)
        return ERROR_MORE_DATA;
    if (LONG rc = CopyName(subkey.name, lpName, lpcName))
        return rc;
    if (lpClass)
        CopyName(subkey.className, lpClass, lpcClass);
    if (lpftLastWriteTime)
        StoreFileTime(subkey.written, lpftLastWriteTime);
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcClass, LPDWORD lpReserved,
                             LPDWORD lpcSubKeys, LPDWORD lpcMaxSubKeyLen, LPDWORD lpcMaxClassLen,
                             LPDWORD lpcValues, LPDWORD lpcMaxValueNameLen, LPDWORD lpcMaxValueLen,
                             LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    if (lpReserved || (lpClass && !lpcClass))
        return ERROR_INVALID_PARAMETER;
    KeySummary summary;
    if (LONG rc = Summarize(key, &summary))
        return rc;
    if (lpcSubKeys)
        *lpcSubKeys = summary.subkeys;
    if (lpcMaxSubKeyLen)
        *lpcMaxSubKeyLen = summary.longestSubkeyName;
    if (lpcMaxClassLen)
        *lpcMaxClassLen = summary.longestClassName;
    if (lpcValues)
        *lpcValues = summary.values;
    if (lpcMaxValueNameLen)
        *lpcMaxValueNameLen = summary.longestValueName;
    if (lpcMaxValueLen)
        *lpcMaxValueLen = summary.largestValueData;
    if (lpcbSecurityDescriptor)
        *lpcbSecurityDescriptor = 0; // keys carry no security descriptors on the device
    if (lpftLastWriteTime)
        StoreFileTime(summary.written, lpftLastWriteTime);
    if (lpClass && CopyName(summary.className, lpClass, lpcClass) == ERROR_MORE_DATA) {
        // Documented: a short class buffer gets the class's length, without the terminator.
        *lpcClass = static_cast<DWORD>(summary.className.size());
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

// Every write is committed durably when it is made, so there is nothing left to flush.
LONG WINAPI RegFlushKey(HKEY hKey)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    return CheckKey(key);
}

LONG WINAPI RegCloseKey(HKEY hKey)
{
    return ReleaseHandle(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
