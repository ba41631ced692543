// The one printf engine behind wsprintfW and the strsafe printf functions, with the device's wide rules:
// %s %ls %ws are wide strings, %hs and %S narrow ones (ANSI code page); %c is a wide character, %hc and
// %C narrow ones. "l" is the device's 32-bit long; "ll" and "I64" take 64-bit integers. A null string
// prints "(null)"; a zero character prints nothing. A conversion character the rules do not know is
// copied as it is and takes no argument (so "%%" gives "%").
#pragma once

#include <windef.h>

#include <cstdarg>
#include <cstddef>

namespace device {

enum class FormatRules {
    // wsprintf: no floating point and no octal; an integer precision of 0 means 1.
    User,
    // The C runtime's, as the strsafe printf functions use: adds %o and %e %f %g %a (and capitals).
    Runtime,
};

// Formats into dest, which holds cchDest characters including the terminator: writes what fits and
// terminates it (nothing is written when cchDest is 0). Returns the length of the whole result, so the
// result was cut short exactly when the return value is cchDest or more.
size_t FormatWide(FormatRules rules, WCHAR* dest, size_t cchDest, const WCHAR* format, va_list args);

} // namespace device
