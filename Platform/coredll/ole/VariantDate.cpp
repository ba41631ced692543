#include "ole/VariantDate.h"

#include <cmath>

namespace device
{

bool PackVariantDate(int64_t day, int secondOfDay, DATE* date)
{
    if (day < kFirstVariantDay || day > kLastVariantDay) return false;
    const double fraction = static_cast<double>(secondOfDay) / kSecondsPerDay;
    *date = day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
    return true;
}

bool UnpackVariantDate(DATE date, UDATE* out)
{
    // A generous bound first, so that the arithmetic below cannot overflow; the exact one after rounding.
    if (!std::isfinite(date) || date < kFirstVariantDay - 1 || date > kLastVariantDay + 1) return false;
    const double whole = std::trunc(date);
    int64_t day = static_cast<int64_t>(whole);
    int64_t second = std::llround(std::fabs(date - whole) * kSecondsPerDay);
    if (second == kSecondsPerDay) {
        // Rounded up to the next midnight, which is later in time whatever the sign.
        second = 0;
        ++day;
    }
    if (day < kFirstVariantDay || day > kLastVariantDay) return false;
    const int64_t sinceEpoch = day + kVariantEpoch;
    const CivilDate civil = CivilFromDays(sinceEpoch);
    out->st.wYear = static_cast<WORD>(civil.year);
    out->st.wMonth = static_cast<WORD>(civil.month);
    out->st.wDay = static_cast<WORD>(civil.day);
    out->st.wDayOfWeek = static_cast<WORD>(DayOfWeek(sinceEpoch));
    out->st.wHour = static_cast<WORD>(second / 3600);
    out->st.wMinute = static_cast<WORD>(second / 60 % 60);
    out->st.wSecond = static_cast<WORD>(second % 60);
    out->st.wMilliseconds = 0;
    out->wDayOfYear = static_cast<USHORT>(sinceEpoch - DaysFromCivil(civil.year, 1, 1) + 1);
    return true;
}

} // namespace device
