// Dialogs: creation from templates (resources or memory), the modal run and its end.
// A template's menu is not attached: on the device, menus belong to the shell's menu bar.
#include <windows.h>

#include "user/Dialog.h"
#include "user/ModuleResource.h"
#include "user/Screen.h"
#include "user/Window.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

using device::DialogState;
using device::DialogTemplate;
using device::WindowTable;

namespace device {

namespace {

std::mutex g_dialogsMutex;
std::unordered_map<HWND, std::shared_ptr<DialogState>>& Dialogs()
{
    static auto* dialogs = new std::unordered_map<HWND, std::shared_ptr<DialogState>>;
    return *dialogs;
}

std::u16string DialogClassName(const NameOrOrdinal& cls)
{
    if (cls.Empty())
        return WC_DIALOG;
    return cls.ordinal ? PredefinedClassName(cls.ordinal) : cls.name;
}

bool IsDefaultPushButton(const DialogItemTemplate& item)
{
    return FoldCase(item.className) == u"button" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

// Where the dialog goes: relative to its parent's client area for a child, else to its owner's client
// area (the screen with DS_ABSALIGN or without an owner); DS_CENTER centres it in the work area.
RECT DialogPlacement(const DialogTemplate& dialog, HWND parent, bool child, SIZE baseUnits)
{
    RECT rect = PlacementToPixels(dialog.x, dialog.y, dialog.cx, dialog.cy, baseUnits);
    if (dialog.style & DS_CENTER) {
        RECT area = WorkArea();
        if (child)
            GetClientRect(parent, &area);
        LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
        LONG left = area.left + (area.right - area.left - width) / 2;
        LONG top = area.top + (area.bottom - area.top - height) / 2;
        return RECT{left, top, left + width, top + height};
    }
    if (!child && parent && !(dialog.style & DS_ABSALIGN)) {
        POINT origin{0, 0};
        ClientToScreen(parent, &origin);
        OffsetRect(&rect, origin.x, origin.y);
    }
    return rect;
}

// The text a control is created with: a string, or for an ordinal (a static control's icon) the
// three characters 0xFFFF, the number, 0.
std::u16string ControlText(const NameOrOrdinal& title)
{
    if (title.ordinal)
        return std::u16string{u'\xFFFF', static_cast<char16_t>(title.ordinal)};
    return title.name;
}

bool CreateControls(HWND hwnd, const DialogTemplate& dialog, HINSTANCE instance, DialogState& state)
{
    for (const auto& item : dialog.items) {
        RECT rect = PlacementToPixels(item.x, item.y, item.cx, item.cy, state.font.baseUnits);
        std::u16string text = ControlText(item.title);
        // Creation data reaches WM_CREATE as its size word followed by the data.
        std::vector<BYTE> data;
        if (!item.creationData.empty()) {
            WORD size = static_cast<WORD>(item.creationData.size());
            data.resize(sizeof(WORD) + item.creationData.size());
            memcpy(data.data(), &size, sizeof size);
            memcpy(data.data() + sizeof size, item.creationData.data(), item.creationData.size());
        }
        HWND control = CreateWindowExW(item.exStyle, item.className.c_str(), text.c_str(), item.style | WS_CHILD,
                                       rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, hwnd,
                                       reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance,
                                       data.empty() ? nullptr : data.data());
        if (!control) {
            if (dialog.style & DS_NOFAILCREATE)
                continue;
            return false;
        }
        if (dialog.font)
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.handle), FALSE);
        if (!state.defaultId && IsDefaultPushButton(item))
            state.defaultId = static_cast<UINT>(item.id);
    }
    return true;
}

} // namespace

std::shared_ptr<DialogState> DialogStateOf(HWND dialog)
{
    std::lock_guard guard(g_dialogsMutex);
    auto it = Dialogs().find(dialog);
    return it == Dialogs().end() ? nullptr : it->second;
}

void ForgetDialog(HWND dialog)
{
    std::shared_ptr<DialogState> state;
    {
        std::lock_guard guard(g_dialogsMutex);
        auto it = Dialogs().find(dialog);
        if (it == Dialogs().end())
            return;
        state = it->second;
        Dialogs().erase(it);
    }
    CloseDialogFont(state->font);
}

HWND RootWindow(HWND hwnd)
{
    auto& table = WindowTable::Instance();
    for (;;) {
        auto window = table.Find(hwnd);
        if (!window)
            return nullptr;
        if (!window->parent)
            return hwnd;
        hwnd = window->parent;
    }
}

bool IsWithin(HWND ancestor, HWND hwnd)
{
    auto& table = WindowTable::Instance();
    while (hwnd && hwnd != ancestor) {
        auto window = table.Find(hwnd);
        hwnd = window ? window->parent : nullptr;
    }
    return hwnd != nullptr;
}

HWND CreateDialogFromTemplate(const DialogTemplate& dialog, HINSTANCE instance, HWND parent, DLGPROC proc,
                              LPARAM param, bool modal)
{
    bool child = (dialog.style & WS_CHILD) != 0;
    if (parent && !IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    HWND owner = child ? parent : RootWindow(parent);
    auto state = std::make_shared<DialogState>();
    state->modal = modal;
    state->font = OpenDialogFont(dialog.font);

    RECT rect = DialogPlacement(dialog, owner, child, state->font.baseUnits);
    std::u16string cls = DialogClassName(dialog.className);
    HWND hwnd = CreateWindowExW(dialog.exStyle, cls.c_str(), dialog.title.c_str(), dialog.style & ~WS_VISIBLE,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                                instance, reinterpret_cast<LPVOID>(param));
    if (!hwnd) {
        CloseDialogFont(state->font);
        return nullptr;
    }
    if (auto window = WindowTable::Instance().Find(hwnd)) {
        auto lock = WindowTable::Instance().Lock();
        window->isDialog = true;
        window->dlgProc = proc;
    }
    {
        std::lock_guard guard(g_dialogsMutex);
        Dialogs()[hwnd] = state;
    }

    if (dialog.font)
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(state->font.handle), FALSE);
    if (!CreateControls(hwnd, dialog, instance, *state)) {
        DWORD error = GetLastError();
        DestroyWindow(hwnd);
        SetLastError(error);
        return nullptr;
    }

    HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    LRESULT setFocus = SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(hwnd))
        return nullptr;
    // TRUE asks for the focus on the first tab stop; the dialog takes it when it is activated.
    if (setFocus && first)
        state->focus = first;
    if (state->ended)
        return hwnd; // ended during WM_INITDIALOG: never shown
    if (modal || (dialog.style & WS_VISIBLE)) {
        ShowWindow(hwnd, SW_SHOW);
        // As on the device, an edit given the first focus has its text selected, so typing replaces it.
        if (state->focus && GetActiveWindow() == hwnd)
            device::FocusDialogControl(hwnd, state->focus);
    }
    return hwnd;
}

INT_PTR RunDialogModally(const DialogTemplate& dialog, HINSTANCE instance, HWND parent, DLGPROC proc, LPARAM param)
{
    if (parent && !IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    DialogTemplate popup = dialog;
    popup.style &= ~WS_CHILD; // a modal dialog is always a top-level window
    HWND owner = RootWindow(parent);
    HWND hwnd = CreateDialogFromTemplate(popup, instance, owner, proc, param, true);
    if (!hwnd)
        return -1;
    auto state = DialogStateOf(hwnd);

    bool disabledOwner = false;
    if (!state->ended && owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        disabledOwner = true;
    }
    while (!state->ended && IsWindow(hwnd)) {
        MSG msg;
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (!got) {
            // The quit request ends the dialog and goes on to the loop outside.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageW(hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    INT_PTR result = state->ended ? state->result.load() : 0;
    if (disabledOwner && IsWindow(owner))
        EnableWindow(owner, TRUE);
    if (IsWindow(hwnd))
        DestroyWindow(hwnd);
    if (owner && IsWindowVisible(owner) && GetActiveWindow() != owner)
        SetActiveWindow(owner);
    return result;
}

} // namespace device

namespace {

std::optional<DialogTemplate> ReadTemplate(const void* bytes, size_t size)
{
    auto dialog = device::ParseDialogTemplate(bytes, size);
    if (!dialog)
        SetLastError(ERROR_INVALID_PARAMETER);
    return dialog;
}

} // namespace

HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    device::ResourceBytes resource = device::FindModuleResource(hInstance, lpTemplateName, RT_DIALOG);
    auto dialog = resource.data ? ReadTemplate(resource.data, resource.size) : std::nullopt;
    if (!dialog)
        return nullptr;
    return device::CreateDialogFromTemplate(*dialog, hInstance, hWndParent, lpDialogFunc, dwInitParam, false);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam)
{
    device::ResourceBytes resource = device::FindModuleResource(hInstance, lpTemplateName, RT_DIALOG);
    auto dialog = resource.data ? ReadTemplate(resource.data, resource.size) : std::nullopt;
    if (!dialog)
        return -1;
    return device::RunDialogModally(*dialog, hInstance, hWndParent, lpDialogFunc, dwInitParam);
}

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    auto dialog = ReadTemplate(lpTemplate, SIZE_MAX);
    if (!dialog)
        return nullptr;
    return device::CreateDialogFromTemplate(*dialog, hInstance, hWndParent, lpDialogFunc, dwInitParam, false);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    auto dialog = ReadTemplate(hDialogTemplate, SIZE_MAX);
    if (!dialog)
        return -1;
    return device::RunDialogModally(*dialog, hInstance, hWndParent, lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult)
{
    auto state = device::DialogStateOf(hDlg);
    if (!state || !IsWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    state->result = nResult;
    state->ended = true;
    if (state->modal)
        PostMessageW(hDlg, WM_NULL, 0, 0); // wakes the modal loop, also when called from another thread
    else
        ShowWindow(hDlg, SW_HIDE); // a modeless dialog is destroyed by its creator
    return TRUE;
}
