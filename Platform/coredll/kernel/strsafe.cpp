// The bounded string functions of strsafe.h. A rejected call (STRSAFE_E_INVALID_PARAMETER: a size of 0 or
// past STRSAFE_MAX_CCH, a null pointer, a destination with no terminator to append at) writes nothing.
#include <strsafe.h>

#include "kernel/format.h"

#include <cstdint>

namespace {

bool ValidCch(LPWSTR dest, size_t cchDest)
{
    return dest && cchDest > 0 && cchDest <= STRSAFE_MAX_CCH;
}

bool ValidCb(size_t cb)
{
    return cb <= STRSAFE_MAX_CCH * sizeof(WCHAR);
}

// Length of text up to, not including, its terminator; `limit` when there is none among the first `limit`.
size_t BoundedLength(LPCWSTR text, size_t limit)
{
    size_t length = 0;
    while (length < limit && text[length])
        ++length;
    return length;
}

// Copies at most `maxCopy` characters of src, stopping at its terminator, and terminates dest (room for
// cchDest characters, cchDest > 0). Reports a copy that ran out of room.
HRESULT CopyBounded(LPWSTR dest, size_t cchDest, LPCWSTR src, size_t maxCopy)
{
    size_t i = 0;
    for (; i < maxCopy && src[i]; ++i) {
        if (i + 1 == cchDest) {
            dest[i] = 0;
            return STRSAFE_E_INSUFFICIENT_BUFFER;
        }
        dest[i] = src[i];
    }
    dest[i] = 0;
    return S_OK;
}

HRESULT AppendBounded(LPWSTR dest, size_t cchDest, LPCWSTR src, size_t maxAppend)
{
    if (!ValidCch(dest, cchDest) || !src || maxAppend > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
    size_t length = BoundedLength(dest, cchDest);
    if (length == cchDest) return STRSAFE_E_INVALID_PARAMETER;
    return CopyBounded(dest + length, cchDest - length, src, maxAppend);
}

} // namespace

HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc)
{
    if (!ValidCch(pszDest, cchDest) || !pszSrc) return STRSAFE_E_INVALID_PARAMETER;
    return CopyBounded(pszDest, cchDest, pszSrc, SIZE_MAX);
}

HRESULT StringCchCopyNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToCopy)
{
    if (!ValidCch(pszDest, cchDest) || !pszSrc || cchToCopy > STRSAFE_MAX_CCH)
        return STRSAFE_E_INVALID_PARAMETER;
    return CopyBounded(pszDest, cchDest, pszSrc, cchToCopy);
}

HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc)
{
    return AppendBounded(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}

HRESULT StringCchCatNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToAppend)
{
    return AppendBounded(pszDest, cchDest, pszSrc, cchToAppend);
}

HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList)
{
    if (!ValidCch(pszDest, cchDest) || !pszFormat) return STRSAFE_E_INVALID_PARAMETER;
    size_t length = device::FormatWide(device::FormatRules::Runtime, pszDest, cchDest, pszFormat, argList);
    return length < cchDest ? S_OK : STRSAFE_E_INSUFFICIENT_BUFFER;
}

HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfW(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return hr;
}

HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength)
{
    // The terminator must lie within cchMax characters.
    size_t length = psz && cchMax <= STRSAFE_MAX_CCH ? BoundedLength(psz, cchMax) : cchMax;
    bool valid = length < cchMax;
    if (pcchLength) *pcchLength = valid ? length : 0;
    return valid ? S_OK : STRSAFE_E_INVALID_PARAMETER;
}

HRESULT StringCbCopyW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc)
{
    return ValidCb(cbDest) ? StringCchCopyW(pszDest, cbDest / sizeof(WCHAR), pszSrc)
                           : STRSAFE_E_INVALID_PARAMETER;
}

HRESULT StringCbCatW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc)
{
    return ValidCb(cbDest) ? StringCchCatW(pszDest, cbDest / sizeof(WCHAR), pszSrc)
                           : STRSAFE_E_INVALID_PARAMETER;
}

HRESULT StringCbPrintfW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszFormat, ...)
{
    if (!ValidCb(cbDest)) return STRSAFE_E_INVALID_PARAMETER;
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = StringCchVPrintfW(pszDest, cbDest / sizeof(WCHAR), pszFormat, args);
    va_end(args);
    return hr;
}

HRESULT StringCbLengthW(LPCWSTR psz, size_t cbMax, size_t* pcbLength)
{
    size_t cch = 0;
    HRESULT hr =
        ValidCb(cbMax) ? StringCchLengthW(psz, cbMax / sizeof(WCHAR), &cch) : STRSAFE_E_INVALID_PARAMETER;
    if (pcbLength) *pcbLength = SUCCEEDED(hr) ? cch * sizeof(WCHAR) : 0;
    return hr;
}
