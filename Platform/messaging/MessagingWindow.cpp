#include "MessagingWindow.h"

#include "ComposeForm.h"
#include "MessagingResources.h"
#include "ReadScreen.h"
#include "Screens.h"

#include "cemapi/MessagingApp.h"
#include "cemapi/SmsDevice.h"

#include <aygshell.h>
#include <commctrl.h>

namespace messaging {

namespace {

constexpr WCHAR kTextAccount[] = TEXT("SMS");
constexpr DWORD kWindowStyle = WS_CAPTION;
constexpr DWORD kListStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER;
constexpr int kWhoShare = 2; // of five parts of the width, for who a message is from or to

// The account last switched to, else text messages.
void CurrentAccount(std::u16string* account, bool* textMessages)
{
    std::vector<device::mail::Request> requests;
    try {
        requests = device::mail::ComposedRequests();
    } catch (const std::exception&) {
    }
    for (auto request = requests.rbegin(); request != requests.rend(); ++request) {
        if (request->request == "switch" && !request->store.empty()) {
            *account = request->store;
            *textMessages = request->kind != "mail";
            return;
        }
    }
    *account = kTextAccount;
    *textMessages = true;
}

void AddRow(HWND list, const std::u16string& text, const std::u16string& second)
{
    LVITEMW row{};
    row.mask = LVIF_TEXT;
    row.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    row.pszText = const_cast<LPWSTR>(text.c_str());
    int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
    LVITEMW column{};
    column.iSubItem = 1;
    column.pszText = const_cast<LPWSTR>(second.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&column));
}

void SelectRow(HWND list, int row)
{
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    if (count == 0)
        return;
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    row = row < count ? row : count - 1;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

} // namespace

bool MessagingWindow::Register(HINSTANCE instance)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = device::mail::kAppWindowClass;
    return RegisterClassW(&windowClass) != 0;
}

bool MessagingWindow::Create(HINSTANCE instance)
{
    m_requestMessage = RegisterWindowMessageW(device::mail::kShowRequestMessage);
    return CreateWindowExW(0, device::mail::kAppWindowClass, LoadText(IDS_APP_TITLE).c_str(), kWindowStyle,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                           this) != nullptr;
}

LRESULT CALLBACK MessagingWindow::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CREATE) {
        auto window = static_cast<MessagingWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        window->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto window = reinterpret_cast<MessagingWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return window ? window->OnMessage(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT MessagingWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE: return OnCreate() ? 0 : -1;
    case WM_SIZE: {
        RECT client;
        GetClientRect(m_hwnd, &client);
        MoveWindow(m_list, 0, 0, client.right, client.bottom, TRUE);
        int who = m_view == View::Messages ? client.right * kWhoShare / 5 : client.right;
        SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 0, who);
        SendMessageW(m_list, LVM_SETCOLUMNWIDTH, 1, client.right - who);
        return 0;
    }
    case WM_SETFOCUS: SetFocus(m_list); return 0;
    case WM_NOTIFY: {
        auto header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_LIST && header->code == LVN_ITEMACTIVATE)
            OpenSelected();
        return 0;
    }
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_HOTKEY:
        if (HIWORD(lp) == VK_TBACK && !(LOWORD(lp) & MOD_KEYUP))
            OnBack();
        return 0;
    case WM_DESTROY:
        if (m_softKeys)
            DestroyWindow(m_softKeys);
        m_softKeys = nullptr;
        PostQuitMessage(0);
        return 0;
    }
    if (msg == m_requestMessage)
        return OnRequest(static_cast<int64_t>(wp));
    return DefWindowProcW(m_hwnd, msg, wp, lp);
}

bool MessagingWindow::OnCreate()
{
    MakeFullScreen(m_hwnd);
    m_list =
        CreateWindowExW(0, WC_LISTVIEWW, TEXT(""), kListStyle, 0, 0, 0, 0, m_hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST)), GetModuleHandleW(nullptr), nullptr);
    if (!m_list)
        return false;
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    SendMessageW(m_list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(m_list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    UseSoftKeys(IDM_FOLDERS);
    return m_softKeys != nullptr;
}

void MessagingWindow::UseSoftKeys(UINT menuId)
{
    if (m_softKeys)
        DestroyWindow(m_softKeys);
    m_softKeys = CreateSoftKeys(m_hwnd, menuId, true);
}

void MessagingWindow::OnCommand(UINT command)
{
    switch (command) {
    case IDOK: OpenSelected(); break;
    case IDCANCEL: ShowFolders(); break;
    case IDM_NEW_MESSAGE: {
        ComposeRequest blank;
        blank.textMessage = m_textMessages;
        blank.account = m_account;
        Compose(blank);
        break;
    }
    case IDM_EXIT: Leave(); break;
    }
}

// Back goes from a folder's messages to the folders, and from there out of the application.
void MessagingWindow::OnBack()
{
    if (m_view == View::Messages)
        ShowFolders();
    else
        Leave();
}

LRESULT MessagingWindow::OnRequest(int64_t id)
{
    std::optional<device::mail::Request> request;
    try {
        request = device::mail::FindRequest(id);
    } catch (const std::exception&) {
    }
    if (!request)
        return FALSE;
    std::u16string account = request->store;
    bool textMessages = request->kind != "mail";
    if (account.empty())
        CurrentAccount(&account, &textMessages);
    if (request->request == "switch") {
        ShowAccount(account, textMessages);
        return TRUE;
    }
    ComposeRequest form{textMessages,
                        account,
                        request->to,
                        request->cc,
                        request->bcc,
                        request->subject,
                        request->body,
                        request->messageClass,
                        textMessages ? std::vector<std::u16string>{} : request->attachments};
    Compose(form);
    return TRUE;
}

void MessagingWindow::ShowCurrentAccount()
{
    std::u16string account;
    bool textMessages = true;
    CurrentAccount(&account, &textMessages);
    ShowAccount(account, textMessages);
}

// A form opens over whatever of the application is on top, so closing it goes back there.
void MessagingWindow::Compose(const ComposeRequest& request)
{
    HWND owner = GetActiveWindow() ? GetActiveWindow() : m_hwnd;
    ++m_openScreens;
    ComposeForm(request).Run(owner);
    --m_openScreens;
    Refresh();
    CloseIfDone();
}

// The account's Inbox, with its folders one Back away. Forms open over the window stay on top.
void MessagingWindow::ShowAccount(const std::u16string& account, bool textMessages)
{
    m_account = account;
    m_textMessages = textMessages;
    ShowFolders();
    if (!m_folders.empty())
        ShowMessages(0);
    m_shown = true;
    if (m_openScreens > 0) {
        ShowWindow(m_hwnd, SW_SHOWNA);
        return;
    }
    ShowWindow(m_hwnd, SW_SHOW);
    SetForegroundWindow(m_hwnd);
    SetFocus(m_list);
}

void MessagingWindow::ShowFolders()
{
    m_view = View::Folders;
    m_folders.clear();
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    Mailbox mailbox;
    HRESULT hr = mailbox.Open(m_account);
    if (SUCCEEDED(hr))
        hr = mailbox.Folders(&m_folders);
    if (FAILED(hr))
        m_folders.clear();
    for (const FolderInfo& folder : m_folders)
        AddRow(m_list, FormatText(IDS_FOLDER_ROW, folder.name.c_str(), static_cast<int>(folder.count)), u"");
    SelectRow(m_list, static_cast<int>(m_folder));
    SetWindowTextW(m_hwnd, m_account.c_str());
    UseSoftKeys(IDM_FOLDERS);
    SendMessageW(m_hwnd, WM_SIZE, 0, 0);
    if (FAILED(hr))
        Tell(m_hwnd, LoadText(IDS_OPEN_FAILED));
}

void MessagingWindow::ShowMessages(size_t folder)
{
    if (folder >= m_folders.size())
        return;
    m_view = View::Messages;
    m_folder = folder;
    std::vector<MessageSummary> messages;
    Mailbox mailbox;
    HRESULT hr = mailbox.Open(m_account);
    if (SUCCEEDED(hr))
        hr = mailbox.Messages(m_folders[folder].kind, &messages);
    SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    m_messageIds.clear();
    for (MessageSummary& message : messages) {
        AddRow(m_list, message.who, message.text);
        m_messageIds.push_back(std::move(message.entryId));
    }
    SelectRow(m_list, 0);
    SetWindowTextW(m_hwnd, m_folders[folder].name.c_str());
    UseSoftKeys(IDM_MESSAGES);
    SendMessageW(m_hwnd, WM_SIZE, 0, 0);
    if (FAILED(hr))
        Tell(m_hwnd, LoadText(IDS_OPEN_FAILED));
}

void MessagingWindow::Refresh()
{
    if (!m_shown)
        return;
    int selected = SelectedRow();
    View view = m_view;
    ShowFolders();
    if (view == View::Messages)
        ShowMessages(m_folder);
    SelectRow(m_list, selected < 0 ? 0 : selected);
}

void MessagingWindow::OpenSelected()
{
    int row = SelectedRow();
    if (row < 0)
        return;
    if (m_view == View::Folders) {
        ShowMessages(static_cast<size_t>(row));
        return;
    }
    if (static_cast<size_t>(row) >= m_messageIds.size())
        return;
    MessageContent content;
    Mailbox mailbox;
    HRESULT hr = mailbox.Open(m_account);
    if (SUCCEEDED(hr))
        hr = mailbox.Read(m_messageIds[row], &content);
    if (FAILED(hr)) {
        Tell(m_hwnd, LoadText(IDS_OPEN_FAILED));
        return;
    }
    ++m_openScreens;
    ReadScreen(content).Run(m_hwnd);
    --m_openScreens;
    Refresh();
}

void MessagingWindow::Leave()
{
    m_shown = false;
    ShowWindow(m_hwnd, SW_HIDE);
    CloseIfDone();
}

void MessagingWindow::CloseIfDone()
{
    if (m_shown || m_openScreens > 0)
        return;
    MSG waiting;
    if (PeekMessageW(&waiting, m_hwnd, m_requestMessage, m_requestMessage, PM_NOREMOVE))
        return;
    DestroyWindow(m_hwnd);
}

int MessagingWindow::SelectedRow() const
{
    return static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

} // namespace messaging
