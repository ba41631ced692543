// A dialog's controls by id: their text, numbers, check states and messages, and the dialog units of
// the dialog's font.
#include <windows.h>

#include "user/Dialog.h"

#include <climits>
#include <cstdint>
#include <string>

namespace {

HWND ControlOf(HWND hDlg, int id)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return GetDlgItem(hDlg, id);
}

// Decimal text after optional blanks, with a leading minus when signed; blanks may follow. Anything
// else, or a value out of range, is no number.
bool ParseNumber(const std::u16string& text, bool isSigned, UINT* value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = isSigned && i < text.size() && text[i] == u'-';
    if (negative)
        ++i;
    size_t digitsStart = i;
    uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > UINT_MAX)
            return false;
    }
    if (i == digitsStart)
        return false;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i != text.size())
        return false;
    if (isSigned) {
        if (negative ? magnitude > static_cast<uint64_t>(INT_MAX) + 1 : magnitude > INT_MAX)
            return false;
        *value = static_cast<UINT>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    } else {
        *value = static_cast<UINT>(magnitude);
    }
    return true;
}

std::u16string NumberText(UINT value, bool isSigned)
{
    int64_t number = isSigned ? static_cast<int64_t>(static_cast<int>(value)) : static_cast<int64_t>(value);
    std::u16string text;
    for (char c : std::to_string(number))
        text.push_back(static_cast<char16_t>(c));
    return text;
}

} // namespace

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax)
{
    if (lpString && cchMax > 0)
        lpString[0] = 0;
    HWND control = ControlOf(hDlg, nIDDlgItem);
    if (!control || !lpString || cchMax <= 0)
        return 0;
    return static_cast<UINT>(GetWindowTextW(control, lpString, cchMax));
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString)
{
    HWND control = ControlOf(hDlg, nIDDlgItem);
    return control && SetWindowTextW(control, lpString);
}

UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    if (lpTranslated)
        *lpTranslated = FALSE;
    HWND control = ControlOf(hDlg, nIDDlgItem);
    if (!control)
        return 0;
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    UINT value = 0;
    if (!ParseNumber(text, bSigned != FALSE, &value))
        return 0;
    if (lpTranslated)
        *lpTranslated = TRUE;
    return value;
}

BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    std::u16string text = NumberText(uValue, bSigned != FALSE);
    return SetDlgItemTextW(hDlg, nIDDlgItem, text.c_str());
}

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND control = ControlOf(hDlg, nIDDlgItem);
    return control ? SendMessageW(control, Msg, wParam, lParam) : 0;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND button = ControlOf(hDlg, nIDButton);
    if (!button)
        return FALSE;
    SendMessageW(button, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    return static_cast<UINT>(SendDlgItemMessageW(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    if (!IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (HWND button = GetDlgItem(hDlg, id))
            SendMessageW(button, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect)
{
    auto dialog = device::DialogStateOf(hDlg);
    if (!dialog || !lpRect) {
        SetLastError(dialog ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    *lpRect = device::DialogUnitsToPixels(*lpRect, dialog->font.baseUnits);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void)
{
    SIZE units = device::SystemBaseUnits();
    return MAKELONG(units.cx, units.cy);
}
