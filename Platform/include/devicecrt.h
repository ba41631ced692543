// Wide-character functions of the device's C runtime, on 16-bit characters. (The host C library's
// wide functions work on 32-bit characters and must not be used by device code.)
#pragma once

#include "windef.h"

#include <ctime>

// As strftime, on WCHAR. Names of days and months come from the device's user locale.
// Returns the characters written without the terminator, or 0 when the result does not fit or the
// format holds a conversion the device does not support.
size_t wcsftime(WCHAR* strDest, size_t maxsize, const WCHAR* format, const struct tm* timeptr);
