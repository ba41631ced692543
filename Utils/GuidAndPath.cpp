// Exports 1 and 2: a fresh GUID as registry text, and the running program's path in quotes.
#include "Exports.h"

#include <objbase.h>
#include <strsafe.h>

HRESULT WINAPI MakeGuidString(LPWSTR buffer, int capacity)
{
    GUID guid;
    HRESULT hr = CoCreateGuid(&guid);
    if (FAILED(hr))
        return hr;
    // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}": 38 characters and the terminator.
    return StringFromGUID2(guid, buffer, capacity) ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI GetQuotedModulePath(LPWSTR buffer, int capacity)
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) // a cut path would name some other file
        return E_FAIL;
    WCHAR quoted[MAX_PATH];
    HRESULT hr = StringCchCopyW(quoted, MAX_PATH, TEXT("\""));
    if (SUCCEEDED(hr))
        hr = StringCchCatW(quoted, MAX_PATH, path);
    if (SUCCEEDED(hr))
        hr = StringCchCatW(quoted, MAX_PATH, TEXT("\""));
    if (FAILED(hr))
        return hr;
    return StringCchCopyW(buffer, capacity, quoted);
}
