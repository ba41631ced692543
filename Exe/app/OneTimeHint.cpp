// The hints shown once per installation: the welcome hint of the main screen and the statistics hint.
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/ResourceText.h"
#include "app/Settings.h"

#include "ids.h"

#include <memory>

namespace {

// The shown-flag of a hint, or null for an id that is not a hint.
DWORD* HintFlag(UINT hintId)
{
    switch (hintId) {
    case IDS_HINT_WELCOME: return &g_program.hintShown264;
    case IDS_HINT_STATISTICS: return &g_program.hintShown317;
    }
    return nullptr;
}

} // namespace

void HintValueName(UINT hintId, LPWSTR name, int capacity)
{
    WCHAR text[32];
    wsprintfW(text, TEXT("%s_%d"), TEXT("OneTimeMsg"), static_cast<int>(hintId));
    lstrcpynW(name, text, capacity);
}

HRESULT ShowHintOnce(HWND owner, UINT hintId)
{
    if (g_program.silentMode)
        return E_FAIL;
    DWORD* shown = HintFlag(hintId);
    if (!shown || *shown)
        return E_FAIL;
    std::unique_ptr<WCHAR[]> text(CopyResourceString(hintId));
    MessageBoxW(owner, text ? text.get() : TEXT(""), g_mainWindow.GetSettings().AppTitle(),
                MB_OK | MB_ICONINFORMATION);
    *shown = 1;
    return S_OK;
}
