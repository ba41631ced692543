// Reading the program's own registry values strictly: a value of the wrong type, an unterminated string or
// one longer than its buffer is invalid data and fails with E_FAIL.
#pragma once

#include <windows.h>

// A REG_SZ or REG_EXPAND_SZ value into a buffer of capacity characters; an empty value reads as "".
HRESULT ReadStringValue(HKEY key, LPCWSTR name, LPWSTR buffer, DWORD capacity);

// The size in bytes of a REG_BINARY value.
HRESULT QueryBinarySize(HKEY key, LPCWSTR name, DWORD* size);

// A REG_BINARY value of exactly size bytes.
HRESULT ReadBinaryValue(HKEY key, LPCWSTR name, void* buffer, DWORD size);
