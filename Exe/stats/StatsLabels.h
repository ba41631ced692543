// The fixed rows of the statistics tables, in the user's locale: the seven day names and the 24 hour labels.
#pragma once

#include "stats/Tally.h"

#include <array>

// Index 0 is Sunday. Each count is set to 0. E_FAIL when the locale has no name for a day.
HRESULT BuildWeekdayNames(std::array<TallyEntry, 7>& days);

// Index h reads "<h:00>-<h+1:00>" in the locale's time format without seconds (hour 23 ends at 0:00). Each
// count is set to 0. A formatting failure is returned as it came.
HRESULT BuildHourLabels(std::array<TallyEntry, 24>& hours);
