// wsprintfW and wvsprintfW: the user library's formatting, which writes at most 1024 characters (the
// terminator included) and knows no floating point.
#include <windows.h>

#include "kernel/format.h"

namespace {

constexpr size_t kMaxOutput = 1024;

} // namespace

int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist)
{
    if (!lpOut || !lpFmt) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t length = device::FormatWide(device::FormatRules::User, lpOut, kMaxOutput, lpFmt, arglist);
    if (length >= kMaxOutput) {
        // As documented, a failure returns less than the expected length: here, what was stored.
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return static_cast<int>(kMaxOutput - 1);
    }
    return static_cast<int>(length);
}

int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...)
{
    va_list args;
    va_start(args, lpFmt);
    int written = wvsprintfW(lpOut, lpFmt, args);
    va_end(args);
    return written;
}
