#include "ReadScreen.h"

#include "MessagingResources.h"
#include "Screens.h"

namespace messaging {

namespace {

constexpr int kHeaderLines[] = {IDC_READ_PARTY, IDC_READ_TIME, IDC_READ_SUBJECT, IDC_READ_ATTACHMENT};

} // namespace

INT_PTR ReadScreen::Run(HWND owner)
{
    return RunScreen(IDD_READ, owner);
}

BOOL ReadScreen::OnMessage(UINT msg, WPARAM wp, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (!OnInit())
            EndDialog(m_hwnd, -1);
        return FALSE; // the focus is on the text
    case WM_SIZE: Layout(); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
        case IDCANCEL: EndDialog(m_hwnd, LOWORD(wp)); return TRUE;
        }
        break;
    }
    return FALSE;
}

bool ReadScreen::OnInit()
{
    if (!SetUp(IDM_READ, false))
        return false;
    SetWindowTextW(m_hwnd, LoadText(m_content.textMessage ? IDS_SMS_TITLE : IDS_MAIL_TITLE).c_str());
    UINT party = m_content.received ? IDS_FROM : IDS_TO;
    SetDlgItemTextW(m_hwnd, IDC_READ_PARTY, FormatText(party, m_content.who.c_str()).c_str());
    if (m_content.time)
        SetDlgItemTextW(m_hwnd, IDC_READ_TIME, LocalTimeText(*m_content.time).c_str());
    if (!m_content.textMessage) {
        std::u16string subject = m_content.subject.empty() ? LoadText(IDS_NO_SUBJECT) : m_content.subject;
        SetDlgItemTextW(m_hwnd, IDC_READ_SUBJECT, subject.c_str());
        SetDlgItemTextW(m_hwnd, IDC_READ_ATTACHMENT, Listed(m_content.attachments).c_str());
    }
    SetDlgItemTextW(m_hwnd, IDC_READ_BODY, m_content.text.c_str());
    Layout();
    SetFocus(GetDlgItem(m_hwnd, IDC_READ_BODY));
    return true;
}

// The header lines that say something, one under the other; the text fills the rest of the screen.
void ReadScreen::Layout()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    int top = kScreenMargin;
    for (int id : kHeaderLines) {
        HWND line = GetDlgItem(m_hwnd, id);
        RECT rect;
        GetWindowRect(line, &rect);
        int height = rect.bottom - rect.top;
        bool says = GetWindowTextLengthW(line) > 0;
        ShowWindow(line, says ? SW_SHOWNA : SW_HIDE);
        if (!says)
            continue;
        MoveWindow(line, kScreenMargin, top, client.right - 2 * kScreenMargin, height, TRUE);
        top += height + 1;
    }
    int height = client.bottom - kScreenMargin - top;
    MoveWindow(GetDlgItem(m_hwnd, IDC_READ_BODY), kScreenMargin, top, client.right - 2 * kScreenMargin,
               height > 0 ? height : 0, TRUE);
}

} // namespace messaging
