// The dialog manager's record of each dialog it created, and the creation and modal run that the
// dialog functions and message boxes share.
#pragma once

#include <windows.h>

#include "user/DialogFont.h"
#include "user/DialogTemplate.h"

#include <atomic>
#include <memory>

namespace device {

struct DialogState {
    std::atomic<bool> ended{false}; // EndDialog was called (from any thread)
    std::atomic<INT_PTR> result{0};
    bool modal = false;
    HWND focus = nullptr; // the control to give the focus back to when the dialog is activated
    UINT defaultId = 0;   // DM_SETDEFID; 0 when the dialog has no default push button
    DialogFont font;
};

// Null for a window the dialog manager did not create as a dialog.
std::shared_ptr<DialogState> DialogStateOf(HWND dialog);
void ForgetDialog(HWND dialog);

// Creates the dialog and its controls, sends WM_SETFONT and WM_INITDIALOG and shows it when the template
// asks to be visible (a modal dialog always is, unless it ended during WM_INITDIALOG). Null, with the
// error of the failed step, when the class of the dialog or of a control does not exist.
HWND CreateDialogFromTemplate(const DialogTemplate& dialog, HINSTANCE instance, HWND parent, DLGPROC proc,
                              LPARAM param, bool modal);

// Runs a dialog modally: the owner (the top-level window of `parent`) is disabled until the dialog ends,
// then enabled and activated again. -1 when the dialog can't be created.
INT_PTR RunDialogModally(const DialogTemplate& dialog, HINSTANCE instance, HWND parent, DLGPROC proc,
                         LPARAM param);

// The top-level window a window belongs to.
HWND RootWindow(HWND hwnd);
// True when hwnd is the window `ancestor` or lies inside it.
bool IsWithin(HWND ancestor, HWND hwnd);

// The device is a Smartphone (else a PocketPC): its keys and message boxes differ.
bool OnSmartphone();

// Moves the focus to a control of the dialog as WM_NEXTDLGCTL does: an edit control's text is selected.
void FocusDialogControl(HWND dialog, HWND control);

} // namespace device
