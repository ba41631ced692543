// The text that tells when a scheduled message is due, relative to the day it is now: "today", "tomorrow",
// a weekday within the coming week, else the date; each with the time of day, in the user's locale.
#pragma once

#include "schedule/DateTime.h"

// A new local-heap string the caller frees with LocalFree; *out is left alone on failure.
HRESULT DescribeDueTime(const DateTime& due, const SYSTEMTIME& now, LPWSTR* out);
