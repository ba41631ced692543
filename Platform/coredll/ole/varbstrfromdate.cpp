// VarBstrFromDate: a variant date as text in a locale's short date and time formats.
#include <oleauto.h>

#include "locale/LocaleData.h"
#include "locale/Picture.h"
#include "ole/VariantDate.h"

namespace
{

std::u16string Format(const std::u16string& picture, device::PictureKind kind, const SYSTEMTIME& st,
                      const device::LocaleData& locale)
{
    return device::FormatPicture(device::ParsePicture(picture, kind), st, locale);
}

} // namespace

HRESULT WINAPI VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut)
{
    if (!pbstrOut) return E_INVALIDARG;
    *pbstrOut = nullptr;
    constexpr ULONG kValueOnly = VAR_DATEVALUEONLY | VAR_TIMEVALUEONLY;
    if ((dwFlags & ~(kValueOnly | LOCALE_NOUSEROVERRIDE_VAR)) != 0 || (dwFlags & kValueOnly) == kValueOnly)
        return E_INVALIDARG;
    UDATE unpacked;
    const device::LocaleData* locale = device::LocaleFor(lcid);
    if (!locale || !device::UnpackVariantDate(dateIn, &unpacked)) return E_INVALIDARG;

    // A date of 0 (30 December 1899) is a time alone, and a midnight a date alone; a plain 0.0 still
    // shows its time, so that the text is never empty.
    const SYSTEMTIME& st = unpacked.st;
    const bool dayZero = device::VariantDay(st.wYear, st.wMonth, st.wDay) == 0;
    const bool midnight = st.wHour == 0 && st.wMinute == 0 && st.wSecond == 0;
    const bool showDate = !(dwFlags & VAR_TIMEVALUEONLY) && ((dwFlags & VAR_DATEVALUEONLY) || !dayZero);
    const bool showTime =
        !(dwFlags & VAR_DATEVALUEONLY) && ((dwFlags & VAR_TIMEVALUEONLY) || !midnight || !showDate);

    std::u16string text;
    if (showDate) text = Format(locale->shortDate, device::PictureKind::Date, st, *locale);
    if (showTime) {
        if (!text.empty()) text += u' ';
        text += Format(locale->timeFormat, device::PictureKind::Time, st, *locale);
    }
    BSTR result = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!result) return E_OUTOFMEMORY;
    *pbstrOut = result;
    return S_OK;
}
