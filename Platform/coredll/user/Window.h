// The window manager's records: window classes and windows of this process, found by handle.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace device {

struct WindowClass {
    WNDCLASSW info{};
    std::u16string name;
    std::u16string folded; // class names compare without case
    bool system = false;   // registered by the platform (controls, dialogs)
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<const WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr; // children: the parent; top-level windows: null
    HWND owner = nullptr;  // top-level windows only
    std::vector<HWND> children; // in z-order, top first
    RECT rect{};           // relative to the parent's client area (screen for top-level windows)
    std::u16string text;
    HINSTANCE instance = nullptr;
    UINT_PTR id = 0;       // control id of a child, menu of a top-level window
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    DWORD threadId = 0;
    bool topmost = false;
    bool destroying = false;
    bool needsPaint = false;
    bool needsErase = false;
    RECT updateRect{};
    HFONT font = nullptr;  // WM_SETFONT of the standard controls and dialogs
    void* controlState = nullptr; // owned by a platform control's procedure
    // Dialog windows: the dialog procedure and the DWL_ slots.
    bool isDialog = false;
    DLGPROC dlgProc = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR dlgUser = 0;
};

// Every window and class of the process; one lock guards both. Window procedures are never called
// with the lock held, so a procedure may call back into the window manager or wait on another thread.
class WindowTable {
public:
    static WindowTable& Instance();

    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(m_mutex); }

    HWND Add(std::shared_ptr<Window> window);
    void Remove(HWND hwnd);
    std::shared_ptr<Window> Find(HWND hwnd); // null for a handle that names no live window
    std::vector<HWND> TopLevelWindows();     // in activation order, most recent first
    void Activate(HWND hwnd);                // moves a top-level window to the front of that order

    ATOM RegisterClass(const WNDCLASSW& info, bool system);
    bool UnregisterClass(const std::u16string& name);
    std::shared_ptr<const WindowClass> FindClass(const std::u16string& name);

private:
    std::recursive_mutex m_mutex;
    std::unordered_map<uint32_t, std::shared_ptr<Window>> m_windows; // by the handle's serial number
    std::vector<HWND> m_activation;
    std::vector<std::shared_ptr<const WindowClass>> m_classes;
    uint32_t m_nextSerial = 1;
};

std::u16string FoldCase(std::u16string_view text);

// Calls a window's procedure on this thread (no lock held).
LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// WM_SIZE and WM_MOVE for what changed between two placements (both when forced, as at creation).
void NotifyPlacement(HWND hwnd, const RECT& before, const RECT& after, bool force);

// Screen rectangle of a window.
RECT ScreenRect(HWND hwnd);

} // namespace device
