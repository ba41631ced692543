#include "schedule/Notice.h"

#include "app/MainWindow.h"
#include "app/ResourceText.h"

#include <strsafe.h>

#include <memory>

namespace {
constexpr int kNoticeLength = 512;
}

void ShowNotice(HWND owner, UINT textId, int number)
{
    std::unique_ptr<WCHAR[]> format(CopyResourceString(textId));
    WCHAR text[kNoticeLength] = {};
    if (format)
        StringCchPrintfW(text, kNoticeLength, format.get(), number);
    MessageBoxW(owner, text, g_mainWindow.GetSettings().AppTitle(), MB_OK | MB_ICONINFORMATION);
}
