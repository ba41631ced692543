// ICU date and time patterns turned into the Windows-style pictures the NLS functions report.
#pragma once

#include <unicode/unistr.h>

#include <string>

namespace device
{

// Converts an ICU pattern ("EEEE, MMMM d, y", "h:mm:ss a") to a Windows picture ("dddd, MMMM d, yyyy",
// "h:mm:ss tt"). Fields Windows has no picture for (zones, fractions of a second) are left out. With
// widenYears a two-digit year becomes four digits, as the device's short dates show them.
std::u16string PictureFromIcuPattern(const icu::UnicodeString& pattern, bool widenYears);

} // namespace device
