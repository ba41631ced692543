#include "ui/DialogBase.h"

#include "app/Program.h"

#include <aygshell.h>

LRESULT DialogBase::OnMessage(HWND, UINT, WPARAM, LPARAM, BOOL& handled)
{
    handled = FALSE;
    return 0;
}

BOOL CALLBACK CommonDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    DialogBase* dialog;
    if (msg == WM_INITDIALOG) {
        dialog = reinterpret_cast<DialogBase*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, lp);
        if (dialog)
            dialog->m_hwnd = hwnd;
    } else {
        dialog = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!dialog)
        return FALSE;
    BOOL handled = FALSE;
    LRESULT result = dialog->OnMessage(hwnd, msg, wp, lp, handled);
    // A dialog that takes the Back key over lets the focused control have it (an edit deletes a character)
    // unless it handles Back itself.
    if (!handled && msg == WM_HOTKEY && HIWORD(lp) == VK_TBACK) {
        SHSendBackToFocusWindow(msg, wp, lp);
        return TRUE;
    }
    if (msg == WM_DESTROY && dialog->m_menuBar) {
        DestroyWindow(dialog->m_menuBar);
        dialog->m_menuBar = nullptr;
    }
    // A colour message is answered with the brush itself (a system colour brush, which fits the answer);
    // everything else only says whether it was handled.
    if (handled && msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
        return static_cast<BOOL>(result);
    return handled;
}

INT_PTR RunDialog(UINT templateId, HWND owner, DialogBase& dialog)
{
    HINSTANCE resources = g_program.resources;
    HRSRC info = resources ? FindResourceW(resources, MAKEINTRESOURCEW(templateId), RT_DIALOG) : nullptr;
    HGLOBAL loaded = info ? LoadResource(resources, info) : nullptr;
    auto dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(LockResource(loaded)) : nullptr;
    if (!dialogTemplate)
        return -1;
    return DialogBoxIndirectParamW(resources, dialogTemplate, owner, CommonDialogProc,
                                   reinterpret_cast<LPARAM>(&dialog));
}
