#include "ui/TextEntryDialog.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "ui/Layout.h"

#include "ids.h"

#include <aygshell.h>

TextEntryDialog::TextEntryDialog(UINT captionId, BOOL numeric, LPCWSTR initialText, int maxLength)
    : m_captionId(captionId), m_numeric(numeric),
      m_maxLength(maxLength > 0 && maxLength < kTextCapacity ? maxLength : kTextCapacity - 1), m_text{}
{
    if (initialText)
        lstrcpynW(m_text, initialText, m_maxLength + 1);
}

LRESULT TextEntryDialog::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            if (OnDone())
                EndDialog(m_hwnd, IDOK);
            return 0;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return 0;
        case IDC_ENTRY:
            if (HIWORD(wp) == EN_CHANGE) {
                EnableSoftKey(m_menuBar, IDOK, GetWindowTextLengthW(m_edit) > 0);
                return 0;
            }
            break;
        }
        break;
    case WM_SIZE: StretchControls(m_hwnd, {IDC_CAPTION, IDC_ENTRY}); return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT TextEntryDialog::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_DONE_CANCEL, &m_menuBar, TRUE)))
        return E_FAIL;
    EnableSoftKey(m_menuBar, IDOK, FALSE);
    if (FAILED(SetControlsFont(m_hwnd, g_mainWindow.GetSettings().BoldFont(), {IDC_CAPTION})))
        return E_FAIL;
    WCHAR caption[kTextCapacity] = {};
    LoadStringW(g_program.resources, m_captionId, caption, kTextCapacity);
    SetDlgItemTextW(m_hwnd, IDC_CAPTION, caption);
    m_edit = GetDlgItem(m_hwnd, IDC_ENTRY);
    if (!m_edit)
        return E_FAIL;
    SendMessageW(m_edit, EM_LIMITTEXT, m_maxLength, 0);
    if (m_numeric) {
        SendMessageW(m_edit, EM_SETINPUTMODE, 0, EIM_NUMBERS);
        SetWindowLongPtrW(m_edit, GWL_STYLE, GetWindowLongPtrW(m_edit, GWL_STYLE) | ES_NUMBER);
    }
    SetWindowTextW(m_edit, m_text); // its change notification sets the done key
    return S_OK;
}

// Refuses an empty field: the focus goes back to it and the screen stays.
bool TextEntryDialog::OnDone()
{
    if (GetWindowTextW(m_edit, m_text, kTextCapacity) == 0) {
        SetFocus(m_edit);
        return false;
    }
    return true;
}
