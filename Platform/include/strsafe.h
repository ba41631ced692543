// Bounded string functions: every result is terminated; a result that does not fit is truncated and
// reported as STRSAFE_E_INSUFFICIENT_BUFFER.
#pragma once

#include "windef.h"
#include "winerror.h"

#include <cstdarg>

#define STRSAFE_MAX_CCH 2147483647

EXTERN_C HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
EXTERN_C HRESULT StringCchCopyNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToCopy);
EXTERN_C HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc);
EXTERN_C HRESULT StringCchCatNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToAppend);
EXTERN_C HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...);
EXTERN_C HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList);
EXTERN_C HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength);
EXTERN_C HRESULT StringCbCopyW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc);
EXTERN_C HRESULT StringCbCatW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc);
EXTERN_C HRESULT StringCbPrintfW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszFormat, ...);
EXTERN_C HRESULT StringCbLengthW(LPCWSTR psz, size_t cbMax, size_t* pcbLength);

#define StringCchCopy StringCchCopyW
#define StringCchCopyN StringCchCopyNW
#define StringCchCat StringCchCatW
#define StringCchCatN StringCchCatNW
#define StringCchPrintf StringCchPrintfW
#define StringCchVPrintf StringCchVPrintfW
#define StringCchLength StringCchLengthW
#define StringCbCopy StringCbCopyW
#define StringCbCat StringCbCatW
#define StringCbPrintf StringCbPrintfW
#define StringCbLength StringCbLengthW
