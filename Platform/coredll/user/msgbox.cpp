// Message boxes: a modal dialog of the standard class built in memory, its text in a static control and
// one push button per answer. On a Smartphone it fills the work area, as the device shows message boxes
// full screen with the answers on the soft keys; on a PocketPC it is centred.
// Left out: the icon is reported (MessageBoxInfo) but not drawn; the button labels are English; a
// message box always comes to the front (MB_SETFOREGROUND has nothing to add), and task- or
// system-modal boxes disable only their owner, as application-modal ones do.
#include <windows.h>

#include "user/Dialog.h"
#include "user/MessageBoxInfo.h"
#include "user/Screen.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

using device::DialogItemTemplate;
using device::DialogTemplate;
using device::MessageBoxButton;
using device::MessageBoxContent;

namespace {

constexpr int kTextId = 0xFFFF;
constexpr DWORD kStaticNoPrefix = 0x0080; // SS_NOPREFIX: an '&' in the text is shown as it is

std::mutex g_mutex;
std::unordered_map<HWND, MessageBoxContent>& OpenBoxes()
{
    static auto* boxes = new std::unordered_map<HWND, MessageBoxContent>;
    return *boxes;
}

std::vector<MessageBoxButton> ButtonsFor(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OK: return {{IDOK, u"OK"}};
    case MB_OKCANCEL: return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, u"Abort"}, {IDRETRY, u"Retry"}, {IDIGNORE, u"Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, u"Yes"}, {IDNO, u"No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO: return {{IDYES, u"Yes"}, {IDNO, u"No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, u"Retry"}, {IDCANCEL, u"Cancel"}};
    }
    return {};
}

// A Smartphone has two soft keys: it offers OK, OK and Cancel, Retry and Cancel, Yes and No only.
bool OfferedHere(UINT type)
{
    UINT buttons = type & MB_TYPEMASK;
    return !device::OnSmartphone() || buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_RETRYCANCEL ||
           buttons == MB_YESNO;
}

std::string IconName(UINT type)
{
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONEXCLAMATION: return "warning";
    case MB_ICONASTERISK: return "information";
    }
    return "";
}

bool HasButton(const MessageBoxContent& content, int id)
{
    return std::any_of(content.buttons.begin(), content.buttons.end(),
                       [id](const MessageBoxButton& button) { return button.id == id; });
}

// Back answers Cancel where there is one, the only answer of a one-button box, else No.
int BackAnswer(const MessageBoxContent& content)
{
    if (HasButton(content, IDCANCEL))
        return IDCANCEL;
    if (content.buttons.size() == 1)
        return content.buttons[0].id;
    return HasButton(content, IDNO) ? IDNO : 0;
}

DialogTemplate BoxTemplate(const MessageBoxContent& content, UINT type)
{
    DialogTemplate box;
    box.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    box.exStyle = (type & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
    box.title = content.caption;
    DialogItemTemplate text;
    text.className = u"Static";
    text.style = WS_CHILD | WS_VISIBLE | kStaticNoPrefix;
    text.id = kTextId;
    text.title.name = content.text;
    box.items.push_back(text);
    for (const MessageBoxButton& answer : content.buttons) {
        DialogItemTemplate button;
        button.className = u"Button";
        button.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
                       (answer.id == content.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (box.items.size() == 1)
            button.style |= WS_GROUP;
        button.id = static_cast<DWORD>(answer.id);
        button.title.name = answer.label;
        box.items.push_back(button);
    }
    return box;
}

// The text above a row of equal buttons.
void Layout(HWND box, const MessageBoxContent& content)
{
    RECT area = device::WorkArea();
    if (!device::OnSmartphone()) {
        int margin = device::Scale(8);
        int height = (area.bottom - area.top) / 2;
        area = RECT{area.left + margin, area.top + (area.bottom - area.top - height) / 2, area.right - margin, 0};
        area.bottom = area.top + height;
    }
    MoveWindow(box, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    int width = area.right - area.left, height = area.bottom - area.top;
    int gap = device::Scale(6), buttonHeight = device::Scale(24);
    int count = static_cast<int>(content.buttons.size());
    int buttonWidth = (width - gap * (count + 1)) / count;
    MoveWindow(GetDlgItem(box, kTextId), gap, gap, width - 2 * gap, height - 3 * gap - buttonHeight, FALSE);
    for (int i = 0; i < count; ++i)
        MoveWindow(GetDlgItem(box, content.buttons[i].id), gap + i * (buttonWidth + gap), height - gap - buttonHeight,
                   buttonWidth, buttonHeight, FALSE);
}

BOOL CALLBACK MessageBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        const auto& content = *reinterpret_cast<const MessageBoxContent*>(lParam);
        {
            std::lock_guard guard(g_mutex);
            OpenBoxes()[hwnd] = content;
        }
        Layout(hwnd, content);
        SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(content.defaultButton), 0);
        SetFocus(GetDlgItem(hwnd, content.defaultButton));
        return FALSE; // the focus is set
    }
    case WM_COMMAND: {
        auto content = device::MessageBoxInfo(hwnd);
        if (!content)
            return FALSE;
        int id = LOWORD(wParam);
        if (id == IDCANCEL && !HasButton(*content, IDCANCEL))
            id = content->backButton; // Escape, the Back key
        if (HasButton(*content, id))
            EndDialog(hwnd, id);
        return TRUE;
    }
    case WM_NCDESTROY: {
        std::lock_guard guard(g_mutex);
        OpenBoxes().erase(hwnd);
        return FALSE;
    }
    }
    return FALSE;
}

} // namespace

namespace device {

std::optional<MessageBoxContent> MessageBoxInfo(HWND hwnd)
{
    std::lock_guard guard(g_mutex);
    auto it = OpenBoxes().find(hwnd);
    if (it == OpenBoxes().end())
        return std::nullopt;
    return it->second;
}

} // namespace device

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType)
{
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    MessageBoxContent content;
    content.buttons = ButtonsFor(uType);
    if (content.buttons.empty() || !OfferedHere(uType)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    content.text = lpText ? lpText : u"";
    content.caption = lpCaption ? lpCaption : u"Error";
    content.icon = IconName(uType);
    size_t preferred = (uType & MB_DEFMASK) >> 8; // MB_DEFBUTTON1 to MB_DEFBUTTON4
    content.defaultButton = content.buttons[preferred < content.buttons.size() ? preferred : 0].id;
    content.backButton = BackAnswer(content);
    INT_PTR answer = device::RunDialogModally(BoxTemplate(content, uType), nullptr, hWnd, MessageBoxProc,
                                              reinterpret_cast<LPARAM>(&content));
    return answer < 0 ? 0 : static_cast<int>(answer);
}
