// Window classes and windows: creation, destruction, styles, text, hierarchy and the window slots.
#include <windows.h>

#include "gdi/Drawing.h"
#include "process/WindowRecords.h"
#include "user/MessageQueue.h"
#include "user/Screen.h"
#include "user/Window.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

using device::Window;
using device::WindowTable;

namespace {

std::shared_ptr<Window> Lookup(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

// A class atom is known by its decimal name, "#32770" for MAKEINTATOM(0x8002).
std::u16string ClassNameOf(LPCWSTR name)
{
    if (IS_INTRESOURCE(name)) {
        std::u16string text = u"#";
        for (char c : std::to_string(reinterpret_cast<uintptr_t>(name)))
            text.push_back(static_cast<char16_t>(c));
        return text;
    }
    return std::u16string(name);
}

void DestroyTree(HWND hwnd);

} // namespace

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass)
{
    if (!lpWndClass || !lpWndClass->lpszClassName || IS_INTRESOURCE(lpWndClass->lpszClassName) ||
        !lpWndClass->lpfnWndProc || lpWndClass->cbWndExtra < 0 || lpWndClass->cbClsExtra < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = WindowTable::Instance().RegisterClass(*lpWndClass, false);
    if (!atom)
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance)
{
    if (!lpClassName || !WindowTable::Instance().UnregisterClass(ClassNameOf(lpClassName))) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI GetClassInfoW(HINSTANCE hInstance, LPCWSTR lpClassName, LPWNDCLASSW lpWndClass)
{
    auto cls = lpClassName ? WindowTable::Instance().FindClass(ClassNameOf(lpClassName)) : nullptr;
    if (!cls || !lpWndClass) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    *lpWndClass = cls->info;
    return TRUE;
}

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam)
{
    auto& table = WindowTable::Instance();
    auto cls = lpClassName ? table.FindClass(ClassNameOf(lpClassName)) : nullptr;
    if (!cls) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return nullptr;
    }
    bool child = (dwStyle & WS_CHILD) != 0;
    std::shared_ptr<Window> parent;
    if (hWndParent) {
        parent = Lookup(hWndParent);
        if (!parent)
            return nullptr;
    } else if (child) {
        SetLastError(ERROR_INVALID_PARAMETER); // a child needs a parent
        return nullptr;
    }

    auto window = std::make_shared<Window>();
    window->cls = cls;
    window->proc = cls->info.lpfnWndProc;
    window->style = dwStyle & ~WS_VISIBLE; // shown below, after creation, as the device does
    window->exStyle = dwExStyle;
    window->topmost = (dwExStyle & WS_EX_TOPMOST) != 0;
    window->instance = hInstance;
    window->extra.assign(static_cast<size_t>(cls->info.cbWndExtra), 0);
    window->threadId = device::CurrentThreadId();
    // The thread that owns a window has a queue from then on, so messages sent to the window from other
    // threads wait for it rather than being lost, and the thread counts as busy until it takes input.
    device::ThreadQueue::Current();
    if (child) {
        window->parent = hWndParent;
        window->id = reinterpret_cast<UINT_PTR>(hMenu);
    } else {
        window->owner = hWndParent;
    }

    // Default placement: top-level windows get the work area, children nothing until they are moved.
    RECT rect;
    if (child) {
        rect.left = X == CW_USEDEFAULT ? 0 : X;
        rect.top = X == CW_USEDEFAULT ? 0 : Y;
        rect.right = rect.left + (nWidth == CW_USEDEFAULT ? 0 : nWidth);
        rect.bottom = rect.top + (nWidth == CW_USEDEFAULT ? 0 : nHeight);
    } else {
        RECT work = device::WorkArea();
        rect.left = X == CW_USEDEFAULT ? work.left : X;
        rect.top = X == CW_USEDEFAULT ? work.top : Y;
        rect.right = nWidth == CW_USEDEFAULT ? work.right : rect.left + nWidth;
        rect.bottom = nWidth == CW_USEDEFAULT ? work.bottom : rect.top + nHeight;
    }
    window->rect = rect;

    HWND hwnd = table.Add(window);
    {
        auto lock = table.Lock();
        if (parent)
            parent->children.push_back(hwnd);
    }

    std::u16string name = lpWindowName ? std::u16string(lpWindowName) : std::u16string();
    CREATESTRUCTW cs{lpParam,  hInstance, hMenu, hWndParent, rect.bottom - rect.top, rect.right - rect.left,
                     rect.top, rect.left, static_cast<LONG>(dwStyle), name.c_str(), lpClassName, dwExStyle};
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) ||
        SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        SetLastError(ERROR_CAN_NOT_COMPLETE);
        return nullptr;
    }
    if (!IsWindow(hwnd))
        return nullptr; // destroyed by its own creation handling
    if (!child) {
        std::u16string title;
        {
            auto lock = table.Lock();
            title = window->text;
        }
        device::RecordWindowCreated(hwnd, cls->name, title, false);
    }
    device::NotifyPlacement(hwnd, RECT{}, window->rect, true);
    if (dwStyle & WS_VISIBLE)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    if (device::IsForeignHandle(hWnd))
        return device::ForeignWindow(hWnd).has_value();
    auto window = WindowTable::Instance().Find(hWnd);
    return window && !window->destroying;
}

namespace {

void DestroyTree(HWND hwnd)
{
    auto& table = WindowTable::Instance();
    auto window = table.Find(hwnd);
    if (!window)
        return;
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    {
        auto lock = table.Lock();
        children = window->children;
    }
    for (HWND child : children)
        DestroyTree(child);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    device::ThreadQueue::Current().KillTimersOf(hwnd);
    device::ClearDrawing(hwnd);
    auto lock = table.Lock();
    if (window->parent)
        if (auto parent = table.Find(window->parent))
            std::erase(parent->children, hwnd);
    table.Remove(hwnd);
}

} // namespace

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    auto& table = WindowTable::Instance();
    auto window = Lookup(hWnd);
    if (!window)
        return FALSE;
    if (window->threadId != device::CurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED); // only the creating thread may destroy a window
        return FALSE;
    }
    if (window->destroying)
        return TRUE;
    window->destroying = true;
    // Owned windows go first, then the window itself with its children.
    for (HWND other : table.TopLevelWindows()) {
        auto owned = table.Find(other);
        if (owned && owned->owner == hWnd && !owned->destroying)
            DestroyWindow(other);
    }
    if (window->style & WS_VISIBLE)
        ShowWindow(hWnd, SW_HIDE);
    HWND focus = GetFocus();
    for (HWND h = focus; h;) {
        if (h == hWnd) {
            SetFocus(nullptr);
            break;
        }
        auto w = table.Find(h);
        h = w ? w->parent : nullptr;
    }
    DestroyTree(hWnd);
    if (!window->parent)
        device::RecordWindowDestroyed(hWnd);
    return TRUE;
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) { return static_cast<LONG>(GetWindowLongPtrW(hWnd, nIndex)); }

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong)
{
    return static_cast<LONG>(SetWindowLongPtrW(hWnd, nIndex, dwNewLong));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex)
{
    auto window = Lookup(hWnd);
    if (!window)
        return 0;
    auto lock = WindowTable::Instance().Lock();
    switch (nIndex) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(window->proc);
    case GWL_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWL_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->parent ? window->parent : window->owner);
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->exStyle);
    case GWL_USERDATA: return window->userData;
    case GWL_ID: return static_cast<LONG_PTR>(window->id);
    }
    if (window->isDialog) {
        switch (nIndex) {
        case DWL_MSGRESULT: return window->msgResult;
        case DWL_DLGPROC: return reinterpret_cast<LONG_PTR>(window->dlgProc);
        case DWL_USER: return window->dlgUser;
        }
    }
    if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG) <= window->extra.size()) {
        LONG value;
        memcpy(&value, window->extra.data() + nIndex, sizeof value);
        return value;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    auto window = Lookup(hWnd);
    if (!window)
        return 0;
    auto lock = WindowTable::Instance().Lock();
    LONG_PTR old = 0;
    auto swap = [&](auto& field, auto value) {
        old = (LONG_PTR)field;
        field = value;
    };
    switch (nIndex) {
    case GWL_WNDPROC: swap(window->proc, reinterpret_cast<WNDPROC>(dwNewLong)); return old;
    case GWL_STYLE:
        old = static_cast<LONG>(window->style);
        window->style = static_cast<DWORD>(dwNewLong);
        return old;
    case GWL_EXSTYLE:
        old = static_cast<LONG>(window->exStyle);
        window->exStyle = static_cast<DWORD>(dwNewLong);
        return old;
    case GWL_USERDATA: swap(window->userData, dwNewLong); return old;
    case GWL_ID: swap(window->id, static_cast<UINT_PTR>(dwNewLong)); return old;
    case GWL_HINSTANCE: swap(window->instance, reinterpret_cast<HINSTANCE>(dwNewLong)); return old;
    }
    if (window->isDialog) {
        switch (nIndex) {
        case DWL_MSGRESULT: swap(window->msgResult, dwNewLong); return old;
        case DWL_DLGPROC: swap(window->dlgProc, reinterpret_cast<DLGPROC>(dwNewLong)); return old;
        case DWL_USER: swap(window->dlgUser, dwNewLong); return old;
        }
    }
    if (nIndex >= 0 && static_cast<size_t>(nIndex) + sizeof(LONG) <= window->extra.size()) {
        LONG value = static_cast<LONG>(dwNewLong), previous;
        memcpy(&previous, window->extra.data() + nIndex, sizeof previous);
        memcpy(window->extra.data() + nIndex, &value, sizeof value);
        return previous;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

HWND WINAPI GetParent(HWND hWnd)
{
    auto window = Lookup(hWnd);
    if (!window)
        return nullptr;
    return window->parent ? window->parent : window->owner;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent)
{
    auto& table = WindowTable::Instance();
    auto window = Lookup(hWndChild);
    auto parent = hWndNewParent ? Lookup(hWndNewParent) : nullptr;
    if (!window || (hWndNewParent && !parent) || !window->parent)
        return nullptr;
    auto lock = table.Lock();
    HWND old = window->parent;
    if (auto previous = table.Find(old))
        std::erase(previous->children, hWndChild);
    if (parent) {
        window->parent = hWndNewParent;
        parent->children.push_back(hWndChild);
    }
    return old;
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd)
{
    auto& table = WindowTable::Instance();
    auto window = Lookup(hWnd);
    if (!window)
        return nullptr;
    auto lock = table.Lock();
    if (uCmd == GW_CHILD)
        return window->children.empty() ? nullptr : window->children.front();
    if (uCmd == GW_OWNER)
        return window->owner;
    // An owned window is listed with its owner's children (GW_CHILD can return it), so its siblings are
    // found there too.
    std::vector<HWND> siblings;
    if (auto parent = table.Find(window->parent ? window->parent : window->owner))
        siblings = parent->children;
    if (std::find(siblings.begin(), siblings.end(), hWnd) == siblings.end())
        siblings = table.TopLevelWindows();
    auto it = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
    case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front();
    case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back();
    case GW_HWNDNEXT: return it == siblings.end() || it + 1 == siblings.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == siblings.begin() || it == siblings.end() ? nullptr : *(it - 1);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    auto& table = WindowTable::Instance();
    auto dialog = Lookup(hDlg);
    if (!dialog)
        return nullptr;
    auto lock = table.Lock();
    for (HWND child : dialog->children) {
        auto window = table.Find(child);
        if (window && static_cast<int>(window->id) == nIDDlgItem)
            return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd)
{
    auto window = Lookup(hWnd);
    return window && window->parent ? static_cast<int>(window->id) : 0;
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString)
{
    if (!Lookup(hWnd))
        return FALSE;
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

namespace {

// Another process's window answers from the device's window list, without a message.
int CopyOut(const std::u16string& text, LPWSTR buffer, int capacity)
{
    int count = std::min<int>(static_cast<int>(text.size()), capacity - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = 0;
    return count;
}

} // namespace

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = 0;
    if (auto foreign = device::ForeignWindow(hWnd))
        return CopyOut(foreign->title, lpString, nMaxCount);
    if (!Lookup(hWnd))
        return 0;
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXT, nMaxCount, reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthW(HWND hWnd)
{
    if (auto foreign = device::ForeignWindow(hWnd))
        return static_cast<int>(foreign->title.size());
    if (!Lookup(hWnd))
        return 0;
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount)
{
    if (!lpClassName || nMaxCount <= 0)
        return 0;
    if (auto foreign = device::ForeignWindow(hWnd))
        return CopyOut(foreign->className, lpClassName, nMaxCount);
    auto window = Lookup(hWnd);
    return window ? CopyOut(window->cls->name, lpClassName, nMaxCount) : 0;
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName)
{
    auto& table = WindowTable::Instance();
    std::u16string folded = lpClassName ? device::FoldCase(ClassNameOf(lpClassName)) : u"";
    for (HWND hwnd : table.TopLevelWindows()) {
        auto window = table.Find(hwnd);
        if (!window || window->destroying)
            continue;
        if (lpClassName && window->cls->folded != folded)
            continue;
        if (lpWindowName && window->text != lpWindowName)
            continue;
        return hwnd;
    }
    // Then the windows of the device's other processes.
    std::u16string className = lpClassName ? ClassNameOf(lpClassName) : u"", title = lpWindowName ? lpWindowName : u"";
    return device::FindForeignWindow(lpClassName ? &className : nullptr, lpWindowName ? &title : nullptr);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId)
{
    if (auto foreign = device::ForeignWindow(hWnd)) {
        if (lpdwProcessId)
            *lpdwProcessId = static_cast<DWORD>(foreign->pid);
        return foreign->thread;
    }
    auto window = Lookup(hWnd);
    if (!window)
        return 0;
    if (lpdwProcessId)
        *lpdwProcessId = static_cast<DWORD>(getpid());
    return window->threadId;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow)
{
    auto window = Lookup(hWnd);
    if (!window)
        return FALSE;
    bool wasVisible = (window->style & WS_VISIBLE) != 0;
    bool show = nCmdShow != SW_HIDE;
    if (show != wasVisible) {
        SendMessageW(hWnd, WM_SHOWWINDOW, show, 0);
        {
            auto lock = WindowTable::Instance().Lock();
            window->style = show ? (window->style | WS_VISIBLE) : (window->style & ~WS_VISIBLE);
        }
        if (show)
            InvalidateRect(hWnd, nullptr, TRUE);
        if (!window->parent)
            device::RecordWindowVisible(hWnd, show);
    }
    bool activate = show && !window->parent && nCmdShow != SW_SHOWNA && nCmdShow != SW_SHOWNOACTIVATE;
    if (activate)
        SetActiveWindow(hWnd);
    else if (!show && !window->parent && GetActiveWindow() == hWnd) {
        // The next visible top-level window of the process takes over.
        for (HWND next : WindowTable::Instance().TopLevelWindows())
            if (next != hWnd && IsWindowVisible(next)) {
                SetActiveWindow(next);
                break;
            }
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd)
{
    auto window = Lookup(hWnd);
    if (!window)
        return FALSE;
    if (window->needsPaint)
        SendMessageW(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd)
{
    if (device::IsForeignHandle(hWnd)) {
        auto foreign = device::ForeignWindow(hWnd);
        return foreign && foreign->visible;
    }
    auto& table = WindowTable::Instance();
    for (HWND h = hWnd; h;) {
        auto window = table.Find(h);
        if (!window || !(window->style & WS_VISIBLE))
            return FALSE;
        h = window->parent;
    }
    return hWnd != nullptr;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable)
{
    auto window = Lookup(hWnd);
    if (!window)
        return FALSE;
    bool wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == !bEnable)
        return wasDisabled;
    {
        auto lock = WindowTable::Instance().Lock();
        window->style = bEnable ? (window->style & ~WS_DISABLED) : (window->style | WS_DISABLED);
    }
    if (!bEnable && GetFocus() == hWnd)
        SetFocus(nullptr);
    SendMessageW(hWnd, WM_ENABLE, bEnable, 0);
    InvalidateRect(hWnd, nullptr, TRUE);
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd)
{
    auto window = Lookup(hWnd);
    return window && !(window->style & WS_DISABLED);
}
