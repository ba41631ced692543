// CharUpperW and CharLowerW: in place for a string, by value for a single character.
#include <windows.h>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace
{

LPWSTR MapCase(LPWSTR lpsz, UChar32 (*map)(UChar32))
{
    // A "pointer" with nothing above its low word carries a single character. The device tests the high
    // word; with 64-bit pointers every bit above the low word must be clear.
    if ((reinterpret_cast<ULONG_PTR>(lpsz) >> 16) == 0) {
        const UChar32 mapped = map(static_cast<UChar32>(reinterpret_cast<ULONG_PTR>(lpsz)));
        return U_IS_BMP(mapped) ? reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(mapped)) : lpsz;
    }
    // Simple case mapping keeps the string's length, as an in-place conversion must.
    for (int32_t i = 0; lpsz[i] != 0;) {
        const int32_t start = i;
        UChar32 c;
        U16_NEXT_UNSAFE(lpsz, i, c);
        const UChar32 mapped = map(c);
        if (U16_LENGTH(mapped) == i - start) {
            int32_t at = start;
            U16_APPEND_UNSAFE(lpsz, at, mapped);
        }
    }
    return lpsz;
}

} // namespace

LPWSTR WINAPI CharUpperW(LPWSTR lpsz)
{
    return MapCase(lpsz, u_toupper);
}

LPWSTR WINAPI CharLowerW(LPWSTR lpsz)
{
    return MapCase(lpsz, u_tolower);
}
