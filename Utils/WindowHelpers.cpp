// Exports 7, 15 and 16: small services to the program's dialogs: a list box filled from resource strings,
// a date-time picker showing minutes, and an "n/m" counter.
#include "Exports.h"
#include "PickerFormat.h"

#include <commctrl.h>
#include <strsafe.h>

namespace {

constexpr int kResourceTextChars = 256;
constexpr int kLocaleTextChars = 80;
constexpr int kCounterChars = 20; // at most 19 characters shown

} // namespace

void WINAPI FillListFromResources(HWND list, HINSTANCE resources, UINT firstId, UINT lastId, int selectIndex)
{
    WCHAR text[kResourceTextChars];
    for (ULONGLONG id = firstId; id <= lastId; ++id) { // wide enough that a last id of UINT_MAX ends the loop
        if (LoadStringW(resources, static_cast<UINT>(id), text, kResourceTextChars) > 0)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    if (selectIndex != -1)
        SendMessageW(list, LB_SETCURSEL, selectIndex, 0);
}

HRESULT WINAPI SetPickerDateTime(HWND picker, const SYSTEMTIME* time)
{
    if (!time)
        return E_OUTOFMEMORY;
    WCHAR date[kLocaleTextChars], clock[kLocaleTextChars];
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, date, kLocaleTextChars) == 0 ||
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, clock, kLocaleTextChars) == 0)
        return E_FAIL;
    RemoveSeconds(clock);
    WCHAR format[kLocaleTextChars];
    HRESULT hr = StringCchPrintfW(format, kLocaleTextChars, TEXT("%s %s"), date, clock);
    if (FAILED(hr))
        return hr;
    // A picker that is not there or that refuses the time is a failure, not a shown time.
    if (!DateTime_SetFormat(picker, format) || !DateTime_SetSystemtime(picker, GDT_VALID, time))
        return E_FAIL;
    return S_OK;
}

HRESULT WINAPI SetCounterText(HWND window, int first, int second)
{
    WCHAR text[kCounterChars];
    HRESULT hr = StringCchPrintfW(text, kCounterChars, TEXT("%d/%d"), first, second);
    if (!SetWindowTextW(window, text) && SUCCEEDED(hr))
        return E_FAIL;
    return hr;
}
