// The base of the program's top-level window objects: the same contract as DialogBase, bound by a window
// procedure. The object comes with the creation parameter and lives in the window's user data.
#pragma once

#include <windows.h>

class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // Sets handled to TRUE for each message it consumes; the result then goes back to the sender.
    virtual LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);

    HWND Window() const { return m_hwnd; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

protected:
    HWND m_hwnd = nullptr;
};
