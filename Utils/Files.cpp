// Export 10: a new UTF-16 text file, begun with its byte-order mark.
#include "Exports.h"

HRESULT WINAPI CreateUnicodeFile(LPCWSTR path, HANDLE* file)
{
    if (!file)
        return E_INVALIDARG;
    *file = INVALID_HANDLE_VALUE;
    HANDLE created = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return E_FAIL;
    const BYTE byteOrderMark[] = {0xFF, 0xFE}; // U+FEFF, little-endian
    DWORD written = 0;
    if (!WriteFile(created, byteOrderMark, sizeof byteOrderMark, &written, nullptr) ||
        written != sizeof byteOrderMark) {
        CloseHandle(created);
        return E_FAIL;
    }
    *file = created;
    return S_OK;
}
