// Registry values: query, set, delete and enumerate. Data is kept byte for byte as the program wrote it,
// whatever its type says (an odd-length string, a three-byte REG_DWORD, a type the device does not name).
#include <windows.h>

#include "registry/CallerBuffers.h"
#include "registry/KeyHandles.h"
#include "registry/Names.h"
#include "registry/Store.h"

using namespace device::registry;

LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Value value;
    if (LONG rc = QueryValue(key, View(lpValueName), &value))
        return rc;
    if (lpType)
        *lpType = value.type;
    return lpcbData ? CopyData(value.data, lpData, lpcbData) : ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                           DWORD cbData)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    if (Reserved != 0 || (!lpData && cbData != 0))
        return ERROR_INVALID_PARAMETER;
    return WriteValue(key, View(lpValueName), dwType, lpData, cbData);
}

LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    return DeleteValue(key, View(lpValueName));
}

LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                          LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    int64_t key = 0;
    if (!KeyOf(hKey, &key))
        return ERROR_INVALID_HANDLE;
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    Value value;
    if (LONG rc = EnumValue(key, dwIndex, &value))
        return rc;
    if (LONG rc = CopyName(value.name, lpValueName, lpcchValueName))
        return rc;
    if (lpType)
        *lpType = value.type;
    return lpcbData ? CopyData(value.data, lpData, lpcbData) : ERROR_SUCCESS;
}
