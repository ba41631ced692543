// The size protocol of the NLS functions, in one place for every caller.
#pragma once

#include <windows.h>

#include <string_view>

namespace device
{

// Hands a result to a caller-owned buffer: with cch 0 the size needed (terminator included), otherwise
// the characters written (terminator included), or 0 and ERROR_INSUFFICIENT_BUFFER when it does not fit.
// Callers check beforehand that cch is not negative and that a non-zero cch comes with a buffer.
inline int CopyOut(std::u16string_view text, LPWSTR buffer, int cch)
{
    const int needed = static_cast<int>(text.size()) + 1;
    if (cch == 0) return needed;
    if (cch < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return needed;
}

// True when (buffer, cch) is a usable output: cch 0 asks for the size, else a buffer must be given.
inline bool IsOutputValid(LPWSTR buffer, int cch)
{
    return cch == 0 || (cch > 0 && buffer);
}

} // namespace device
