// The kernel's wide string copies. A null pointer fails with NULL, as the device reports a faulting copy.
#include <windows.h>

#include <string>

using Traits = std::char_traits<WCHAR>;

int WINAPI lstrlenW(LPCWSTR lpString)
{
    return lpString ? static_cast<int>(Traits::length(lpString)) : 0;
}

LPWSTR WINAPI lstrcpyW(LPWSTR lpString1, LPCWSTR lpString2)
{
    if (!lpString1 || !lpString2) return nullptr;
    Traits::move(lpString1, lpString2, Traits::length(lpString2) + 1);
    return lpString1;
}

LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength)
{
    if (!lpString1 || !lpString2) return nullptr;
    if (iMaxLength <= 0) return lpString1;
    // iMaxLength counts the terminator, which is always written.
    int i = 0;
    for (; i < iMaxLength - 1 && lpString2[i]; ++i)
        lpString1[i] = lpString2[i];
    lpString1[i] = 0;
    return lpString1;
}

LPWSTR WINAPI lstrcatW(LPWSTR lpString1, LPCWSTR lpString2)
{
    if (!lpString1 || !lpString2) return nullptr;
    lstrcpyW(lpString1 + Traits::length(lpString1), lpString2);
    return lpString1;
}
