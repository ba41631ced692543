#include "ComposeForm.h"

#include "Mailbox.h"
#include "MessagingResources.h"
#include "Screens.h"

#include <aygshell.h>
#include <cemapi.h>

namespace messaging {

namespace {

constexpr size_t kMaxTextMessage = 160;
constexpr size_t kMaxShownEntry = 80; // of a refused recipient, in the message box
constexpr int kEditableFields[] = {IDC_TO, IDC_CC, IDC_BCC, IDC_SUBJECT, IDC_BODY};

RECT RectIn(HWND dialog, int id)
{
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::u16string FileNames(const std::vector<std::u16string>& paths)
{
    std::vector<std::u16string> names;
    for (const std::u16string& path : paths)
        names.push_back(FileNameOf(path));
    return Listed(names);
}

} // namespace

INT_PTR ComposeForm::Run(HWND owner)
{
    return RunScreen(m_request.textMessage ? IDD_COMPOSE_SMS : IDD_COMPOSE_MAIL, owner);
}

BOOL ComposeForm::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (!OnInit())
            EndDialog(m_hwnd, -1);
        return FALSE; // the focus is set
    case WM_SIZE: Layout(); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
            if (Send())
                EndDialog(m_hwnd, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); return TRUE;
        case IDC_BODY:
            if (HIWORD(wp) == EN_CHANGE)
                UpdateCounter();
            return TRUE;
        }
        break;
    case WM_HOTKEY:
        if (HIWORD(lp) == VK_TBACK) {
            OnBack(wp, lp);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

bool ComposeForm::OnInit()
{
    if (!SetUp(IDM_COMPOSE, true))
        return false;
    SetDlgItemTextW(m_hwnd, IDC_TO, m_request.to.c_str());
    SetDlgItemTextW(m_hwnd, IDC_CC, m_request.cc.c_str());
    SetDlgItemTextW(m_hwnd, IDC_BCC, m_request.bcc.c_str());
    SetDlgItemTextW(m_hwnd, IDC_SUBJECT, m_request.subject.c_str());
    SetDlgItemTextW(m_hwnd, IDC_ATTACHMENT, FileNames(m_request.attachments).c_str());
    SetDlgItemTextW(m_hwnd, IDC_BODY, m_request.body.c_str());
    UpdateCounter();
    Layout();
    // Addressed already, the form waits for the text.
    SetFocus(GetDlgItem(m_hwnd, m_request.to.empty() ? IDC_TO : IDC_BODY));
    return true;
}

// The fields take the screen's width; the text takes what is left above the counter.
void ComposeForm::Layout()
{
    RECT client;
    GetClientRect(m_hwnd, &client);
    for (int id : {IDC_TO, IDC_CC, IDC_BCC, IDC_SUBJECT, IDC_ATTACHMENT})
        StretchToWidth(m_hwnd, id);
    int bottom = client.bottom - kScreenMargin;
    if (HWND counter = GetDlgItem(m_hwnd, IDC_COUNTER)) {
        RECT rect = RectIn(m_hwnd, IDC_COUNTER);
        int width = rect.right - rect.left, height = rect.bottom - rect.top;
        MoveWindow(counter, client.right - kScreenMargin - width, bottom - height, width, height, TRUE);
        bottom -= height + 1;
    }
    RECT body = RectIn(m_hwnd, IDC_BODY);
    MoveWindow(GetDlgItem(m_hwnd, IDC_BODY), body.left, body.top, client.right - kScreenMargin - body.left,
               bottom > body.top ? bottom - body.top : 0, TRUE);
}

void ComposeForm::UpdateCounter()
{
    if (!GetDlgItem(m_hwnd, IDC_COUNTER))
        return;
    int length = GetWindowTextLengthW(GetDlgItem(m_hwnd, IDC_BODY));
    SetDlgItemTextW(m_hwnd, IDC_COUNTER, FormatText(IDS_COUNTER, length).c_str());
}

// Back deletes in the field that has the focus; in an empty one it leaves the form, as Cancel does.
void ComposeForm::OnBack(WPARAM wp, LPARAM lp)
{
    HWND focus = GetFocus();
    int field = focus ? GetDlgCtrlID(focus) : 0;
    bool editing = false;
    for (int id : kEditableFields)
        editing |= id == field && GetWindowTextLengthW(focus) > 0;
    if (editing || (LOWORD(lp) & MOD_KEYUP))
        SHSendBackToFocusWindow(WM_HOTKEY, wp, lp);
    else
        EndDialog(m_hwnd, IDCANCEL);
}

std::u16string ComposeForm::FieldText(int id) const
{
    HWND field = GetDlgItem(m_hwnd, id);
    if (!field)
        return {};
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, u'\0');
    int length = GetWindowTextW(field, text.data(), static_cast<int>(text.size()));
    text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return text;
}

// The field to correct gets the focus: a recipient line selected whole, so typing replaces it; the text with
// the caret at its end, so Back shortens it.
void ComposeForm::Refuse(int field, const std::u16string& why)
{
    Tell(m_hwnd, why);
    HWND control = GetDlgItem(m_hwnd, field);
    SetFocus(control);
    int end = GetWindowTextLengthW(control);
    SendMessageW(control, EM_SETSEL, field == IDC_BODY ? end : 0, end);
}

bool ComposeForm::ReadRecipients(std::vector<Recipient>* recipients)
{
    AddressKind kind = m_request.textMessage ? AddressKind::Phone : AddressKind::Mail;
    const struct {
        int field;
        ULONG type;
    } lines[] = {{IDC_TO, MAPI_TO}, {IDC_CC, MAPI_CC}, {IDC_BCC, MAPI_BCC}};
    for (const auto& line : lines) {
        if (!GetDlgItem(m_hwnd, line.field))
            continue;
        std::vector<Address> addresses;
        std::u16string bad;
        if (!ParseAddresses(FieldText(line.field), kind, &addresses, &bad)) {
            if (bad.size() > kMaxShownEntry)
                bad = bad.substr(0, kMaxShownEntry) + u"...";
            UINT why = m_request.textMessage ? IDS_NOT_A_NUMBER : IDS_NOT_A_MAIL_ADDRESS;
            Refuse(line.field, FormatText(why, bad.c_str()));
            return false;
        }
        for (Address& address : addresses)
            recipients->push_back({std::move(address), line.type});
    }
    if (recipients->empty()) {
        Refuse(IDC_TO, LoadText(IDS_NO_RECIPIENT));
        return false;
    }
    return true;
}

bool ComposeForm::Send()
{
    std::vector<Recipient> recipients;
    if (!ReadRecipients(&recipients))
        return false;
    std::u16string text = FieldText(IDC_BODY);
    if (m_request.textMessage && text.size() > kMaxTextMessage) {
        Refuse(IDC_BODY, FormatText(IDS_TEXT_TOO_LONG, static_cast<int>(text.size())));
        return false;
    }
    std::vector<Outgoing> messages;
    Outgoing outgoing{m_request.textMessage, {}, FieldText(IDC_SUBJECT), text, m_request.messageClass, {}};
    if (m_request.textMessage) {
        for (const Recipient& recipient : recipients) {
            outgoing.recipients = {recipient};
            messages.push_back(outgoing);
        }
    } else {
        outgoing.recipients = std::move(recipients);
        outgoing.attachments = m_request.attachments;
        messages.push_back(std::move(outgoing));
    }
    Mailbox mailbox;
    HRESULT hr = mailbox.Open(m_request.account);
    if (SUCCEEDED(hr))
        hr = mailbox.Send(messages);
    if (FAILED(hr)) {
        Tell(m_hwnd, LoadText(IDS_SEND_FAILED));
        return false;
    }
    // A phone sends its texts at once; e-mail waits in the Outbox for the account's next synchronisation.
    if (m_request.textMessage)
        MailSyncMessages(m_request.account.c_str(), MCF_ACCOUNT_IS_NAME);
    return true;
}

} // namespace messaging
