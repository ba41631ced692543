// Exports 8 and 9: the persistent notification of missed calls, which tells the program's main window
// when it exists and otherwise starts the program.
#include "Exports.h"

#include <regext.h>

namespace {

const WCHAR kPhoneStateKey[] = TEXT("System\\State\\Phone");
const WCHAR kMissedCallCount[] = TEXT("Missed Call Count");
constexpr int kWindowTextChars = 80;

} // namespace

HRESULT WINAPI RegisterMissedCallNotification(LPCWSTR name, HWND target, UINT message)
{
    WCHAR program[MAX_PATH];
    HRESULT hr = GetQuotedModulePath(program, MAX_PATH);
    if (FAILED(hr))
        return hr;
    WCHAR className[kWindowTextChars], title[kWindowTextChars];
    if (GetClassNameW(target, className, kWindowTextChars) == 0 ||
        GetWindowTextW(target, title, kWindowTextChars) == 0)
        return E_FAIL;
    RegistryStopNotification(name); // one left from an earlier run gives way; none is no failure
    NOTIFICATIONCONDITION aboveZero{REG_CT_GREATER, 0xFFFFFFFF, {}};
    aboveZero.TargetValue.dw = 0;
    return RegistryNotifyApp(HKEY_CURRENT_USER, kPhoneStateKey, kMissedCallCount, name, program, className, title,
                             message, 0, &aboveZero);
}

HRESULT WINAPI StopNotification(LPCWSTR name)
{
    return RegistryStopNotification(name);
}
