// The base of every dialog object, and the modal run of a dialog template from the resource library.
// One common dialog procedure binds a template's window to its object and hands each message to
// OnMessage; the object lives on its caller's stack for the one modal run.
#pragma once

#include <windows.h>

class DialogBase {
public:
    DialogBase() = default;
    virtual ~DialogBase() = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Sets handled to TRUE for each message it consumes. The default consumes nothing.
    virtual LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);

    HWND Window() const { return m_hwnd; }

protected:
    HWND m_hwnd = nullptr;
    HWND m_menuBar = nullptr; // the soft-key bar the dialog made, if any; it goes with the dialog

private:
    friend BOOL CALLBACK CommonDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

BOOL CALLBACK CommonDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Runs the resource library's dialog template of that id modally over owner, bound to dialog. The
// dialog's end code; -1 when the template is missing or the dialog could not be made.
INT_PTR RunDialog(UINT templateId, HWND owner, DialogBase& dialog);
