#include "contacts/RegistryValues.h"

HRESULT ReadStringValue(HKEY key, LPCWSTR name, LPWSTR buffer, DWORD capacity)
{
    DWORD type = 0;
    DWORD bytes = capacity * sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &bytes) !=
        ERROR_SUCCESS)
        return E_FAIL;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return E_FAIL;
    if (bytes == 0) {
        buffer[0] = 0;
        return S_OK;
    }
    if (bytes % sizeof(WCHAR) != 0 || buffer[bytes / sizeof(WCHAR) - 1] != 0) return E_FAIL;
    return S_OK;
}

HRESULT QueryBinarySize(HKEY key, LPCWSTR name, DWORD* size)
{
    DWORD type = 0;
    *size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, size) != ERROR_SUCCESS || type != REG_BINARY)
        return E_FAIL;
    return S_OK;
}

HRESULT ReadBinaryValue(HKEY key, LPCWSTR name, void* buffer, DWORD size)
{
    DWORD type = 0;
    DWORD bytes = size;
    if (RegQueryValueExW(key, name, nullptr, &type, static_cast<LPBYTE>(buffer), &bytes) != ERROR_SUCCESS ||
        type != REG_BINARY || bytes != size)
        return E_FAIL;
    return S_OK;
}
