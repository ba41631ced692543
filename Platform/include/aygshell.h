// The shell library (aygshell.dll): full-screen dialogs, soft-key menu bars, the Back key, and the input
// panel's role in activation and setting changes.
//
// Besides the functions named here the library carries exports a program reaches by ordinal only
// (GetProcAddress with MAKEINTRESOURCE): 209, the instance lookup (class name, window name, handle out,
// window out, found flag out) -> HRESULT, and 366, the capability query (one 32-bit argument) -> nonzero
// when the program may run. The functions below are also exported under the ordinals programs bind them
// by: SHInitExtraControls 9, SHInitDialog 56, SHHandleWMSettingChange 83, SHHandleWMActivate 84,
// SHSendBackToFocusWindow 97, SHEnableSoftkey 332.
#pragma once

#include <windows.h>
#include <commctrl.h>

#define WINSHELLAPI EXTERN_C __attribute__((visibility("default")))

// --- Full-screen dialogs -------------------------------------------------------------------------------------
#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001          // the OK button in the title area (not on a Smartphone)
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004   // the work area, leaving the bottom to the menu bar
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010 // the whole work area
#define SHIDIF_EMPTYMENU 0x0020           // an empty menu bar for the dialog

typedef struct tagSHINITDIALOG {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

WINSHELLAPI BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi);

// --- Soft-key menu bars --------------------------------------------------------------------------------------
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010 // nToolBarId names a menu resource of hInstRes

// 36 bytes on the device's 32-bit layout; larger with this host's 64-bit handles. cbSize is
// sizeof(SHMENUBARINFO) as compiled here.
typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB; // out: the menu bar
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

WINSHELLAPI BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* pmbi);
WINSHELLAPI HWND WINAPI SHFindMenuBar(HWND hwnd);
// uid is a soft key's command id, or with bByIndex its position (0 left, 1 right).
WINSHELLAPI HRESULT WINAPI SHEnableSoftkey(HWND hwndMenuBar, UINT uid, BOOL bByIndex, BOOL bEnable);

// Messages to a menu bar.
#define SHCMBM_GETSUBMENU (WM_USER + 401) // lParam: the id of a soft key's popup -> its HMENU
#define SHCMBM_GETMENU (WM_USER + 402)    // -> the bar's HMENU
#define SHCMBM_OVERRIDEKEY (WM_USER + 403) // wParam: key; lParam: MAKELPARAM(mask, bits) -> previous bits

#define SHMBOF_NODEFAULT 0x00000001 // the bar leaves out its own handling of the key
#define SHMBOF_NOTIFY 0x00000002    // the bar posts the key to its owner as WM_HOTKEY

// A menu bar also answers TB_ENABLEBUTTON, TB_ISBUTTONENABLED, TB_GETBUTTONINFO and TB_SETBUTTONINFO
// (commctrl.h) for its soft keys, by command id.

// --- The Back key --------------------------------------------------------------------------------------------
// Hands a Back key the menu bar posted as WM_HOTKEY on to the focused control (an edit deletes a character).
WINSHELLAPI void WINAPI SHSendBackToFocusWindow(UINT uMsg, WPARAM wp, LPARAM lp);

// --- Activation and the input panel --------------------------------------------------------------------------
typedef struct {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

#define SHA_INPUTDIALOG 0x00000001

WINSHELLAPI BOOL WINAPI SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai,
                                           DWORD dwFlags);
WINSHELLAPI BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* psai);

// --- Controls ------------------------------------------------------------------------------------------------
WINSHELLAPI BOOL WINAPI SHInitExtraControls(void);
