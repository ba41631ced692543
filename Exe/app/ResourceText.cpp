#include "app/ResourceText.h"

#include "app/MainWindow.h"
#include "app/Program.h"

#include <memory>
#include <new>

LPWSTR CopyText(LPCWSTR text)
{
    if (!text)
        return nullptr;
    int length = lstrlenW(text);
    auto copy = new (std::nothrow) WCHAR[length + 1];
    if (copy)
        lstrcpyW(copy, text);
    return copy;
}

LPWSTR CopyResourceString(UINT id)
{
    // With a zero buffer size the string comes back in place, unterminated, with its length.
    LPCWSTR text = nullptr;
    int length = LoadStringW(g_program.resources, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return nullptr;
    auto copy = new (std::nothrow) WCHAR[length + 1];
    if (!copy)
        return nullptr;
    for (int i = 0; i < length; ++i)
        copy[i] = text[i];
    copy[length] = 0;
    return copy;
}

int ResourceMessageBox(HWND owner, UINT textId, UINT style)
{
    std::unique_ptr<WCHAR[]> text(CopyResourceString(textId));
    return MessageBoxW(owner, text ? text.get() : TEXT(""), g_mainWindow.GetSettings().AppTitle(), style);
}
