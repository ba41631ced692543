// The device program of the process tests: a window of a class of its own and a message loop, with what it
// does chosen by its command line (see ProgramProtocol.h). It writes down what happens to it in the
// registry, where the tests look.
#include "ProgramProtocol.h"

#include <aygshell.h>
#include <commctrl.h>
#include <commdlg.h>
#include <notify.h>
#include <regext.h>
#include <strsafe.h>

#include <string>

using namespace process_testing;

namespace {

UINT g_echo = 0;
HREGNOTIFY g_notification = nullptr;

void SetDword(const char16_t* subKey, const char16_t* name, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

DWORD GetDword(const char16_t* subKey, const char16_t* name)
{
    DWORD value = 0;
    return SUCCEEDED(RegistryGetDWORD(HKEY_CURRENT_USER, subKey, name, &value)) ? value : 0;
}

void SetString(const char16_t* subKey, const char16_t* name, const std::u16string& value)
{
    RegistrySetString(HKEY_CURRENT_USER, subKey, name, value.c_str());
}

std::u16string Number(DWORD value)
{
    WCHAR text[16];
    wsprintfW(text, TEXT("%u"), value);
    return text;
}

void CallbackRecorder(HREGNOTIFY, DWORD, const PBYTE data, const UINT size)
{
    DWORD value = kDeleted;
    if (data && size == sizeof value)
        value = *reinterpret_cast<const DWORD*>(data);
    SetDword(kRecordKey, u"CallbackValue", value);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == g_echo)
        return static_cast<LRESULT>(2 * wp + lp);
    switch (msg) {
    case kPosted: SetDword(kRecordKey, u"LastPosted", static_cast<DWORD>(wp)); return 0;
    case kNotified:
        SetDword(kRecordKey, u"NotifyWParam", static_cast<DWORD>(wp));
        SetDword(kRecordKey, u"NotifyLParam", static_cast<DWORD>(lp));
        SetDword(kRecordKey, u"NotifyCount", GetDword(kRecordKey, u"NotifyCount") + 1);
        return 0;
    case kBlock:
        SetDword(kRecordKey, u"Blocking", 1);
        for (;;)
            WaitForSingleObject(CreateEventW(nullptr, TRUE, FALSE, nullptr), INFINITE);
    case kAskBack: return SendMessageW(reinterpret_cast<HWND>(wp), kAnswer, 0, 0) + 1;
    case kQuit: DestroyWindow(hwnd); return 0;
    case kChain:
        SetDword(kRecordKey, u"Chain", static_cast<DWORD>(wp));
        if (wp > 0)
            PostMessageW(hwnd, kChain, wp - 1, 0);
        return 0;
    case WM_DESTROY:
        if (g_notification)
            RegistryCloseNotification(g_notification);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int Serve(HINSTANCE instance, const std::u16string& commandLine)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClass;
    if (!RegisterClassW(&wc))
        return 2;
    HWND hwnd = CreateWindowExW(0, kClass, kTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 3;
    if (commandLine == u"watch-window")
        RegistryNotifyWindow(HKEY_CURRENT_USER, kWatchedKey, u"Window", hwnd, kNotified, 55, nullptr, &g_notification);
    if (commandLine == u"watch-callback")
        RegistryNotifyCallback(HKEY_CURRENT_USER, kWatchedKey, u"Callback", CallbackRecorder, 0, nullptr,
                               &g_notification);
    SetDword(kRecordKey, u"Watching", g_notification ? 1 : 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

HMODULE g_dialogResources = nullptr;
HWND g_menuBar = nullptr;

void Status(HWND dialog, const char16_t* text)
{
    SetDlgItemTextW(dialog, kDialogStatus, text);
}

void InitDialog(HWND dialog)
{
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    SHInitDialog(&init);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_HMENU;
    bar.nToolBarId = 510;
    bar.hInstRes = g_dialogResources;
    if (SHCreateMenuBar(&bar))
        g_menuBar = bar.hwndMB;
    HWND list = GetDlgItem(dialog, kDialogList);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 200;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    const char16_t* const names[] = {u"Anna", u"Ben", u"Carla"};
    for (int i = 0; i < 3; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<LPWSTR>(names[i]);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

BOOL OnDialogCommand(HWND dialog, WORD id, WORD code)
{
    switch (id) {
    case IDOK:
    case IDCANCEL: EndDialog(dialog, id); return TRUE;
    case kDialogEdit:
        if (code == EN_CHANGE)
            Status(dialog, u"changed");
        return TRUE;
    case 511:
        SetDlgItemTextW(dialog, kDialogEdit, u"");
        Status(dialog, u"cleared");
        return TRUE;
    case 512:
        Status(dialog, MessageBoxW(dialog, u"Really?", u"Program", MB_YESNO | MB_ICONQUESTION) == IDYES ? u"answer yes"
                                                                                                        : u"answer no");
        return TRUE;
    }
    return FALSE;
}

BOOL CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: InitDialog(dialog); return TRUE;
    case WM_INITMENUPOPUP: EnableMenuItem(reinterpret_cast<HMENU>(wp), 513, MF_BYCOMMAND | MF_GRAYED); return TRUE;
    case WM_NOTIFY: {
        auto header = reinterpret_cast<NMHDR*>(lp);
        if (header->idFrom == static_cast<UINT_PTR>(kDialogList) && header->code == NM_RETURN) {
            WCHAR text[32];
            wsprintfW(text, TEXT("activated %d"),
                      static_cast<int>(SendDlgItemMessageW(dialog, kDialogList, LVM_GETNEXTITEM,
                                                           static_cast<WPARAM>(-1), LVNI_SELECTED)));
            Status(dialog, text);
        }
        return TRUE;
    }
    case WM_COMMAND: return OnDialogCommand(dialog, LOWORD(wp), HIWORD(wp));
    case WM_DESTROY: DestroyWindow(g_menuBar); return TRUE;
    }
    return FALSE;
}

// Shows the dialog from dialog.dll beside the program until it ends.
int ShowDialog()
{
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != u'\\')
        --length;
    path[length] = 0;
    StringCchCatW(path, MAX_PATH, TEXT("dialog.dll"));
    g_dialogResources = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!g_dialogResources)
        return 4;
    InitCommonControls();
    INT_PTR result = DialogBoxParamW(g_dialogResources, MAKEINTRESOURCE(500), nullptr, DialogProc, 0);
    SetDword(kRecordKey, u"DialogResult", static_cast<DWORD>(result));
    FreeLibrary(g_dialogResources);
    return 0;
}

// Asks for a backup file as a backup screen does ("save", "open", or "save small" with too small a buffer)
// and writes down what came back.
int ChooseFile(const std::u16string& mode)
{
    WCHAR file[261] = TEXT("Backup.qvb");
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.lpstrFilter = TEXT("Backups (*.qvb)\0*.qvb\0");
    request.lpstrFile = file;
    request.nMaxFile = mode == u"save small" ? 12 : 261;
    request.lpstrTitle = TEXT("Backup file");
    request.lpstrDefExt = TEXT(".qvb");
    bool saving = mode != u"open";
    request.Flags = saving ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY : OFN_FILEMUSTEXIST;
    BOOL chosen = saving ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
    SetDword(kRecordKey, u"FileError", CommDlgExtendedError());
    SetString(kRecordKey, u"FileChosen", chosen ? file : u"");
    SetDword(kRecordKey, u"FileResult", chosen ? 1 : 2);
    return 0;
}

// Runs at its registered time: notes when, and registers the next run while the chain lasts.
void RanAtTime()
{
    WCHAR path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR text[8];
    wsprintfW(text, TEXT("%02u:%02u"), now.wHour, now.wMinute);
    SetString(u"Software\\ProcessTests\\RanAt", path, text);
    if (DWORD chain = GetDword(kRecordKey, u"Chain")) {
        SetDword(kRecordKey, u"Chain", chain - 1);
        FILETIME local;
        SystemTimeToFileTime(&now, &local);
        ULONGLONG ticks =
            (static_cast<ULONGLONG>(local.dwHighDateTime) << 32 | local.dwLowDateTime) + 3600ULL * 10000000ULL;
        local.dwLowDateTime = static_cast<DWORD>(ticks);
        local.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        SYSTEMTIME next;
        FileTimeToSystemTime(&local, &next);
        CeRunAppAtTime(path, &next);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int)
{
    std::u16string commandLine(lpCmdLine);
    SetString(kStartsKey, Number(GetCurrentProcessId()).c_str(), commandLine);
    g_echo = RegisterWindowMessageW(kEchoMessage);
    if (commandLine == u"second") {
        HWND first = FindWindowW(kClass, nullptr);
        if (!first)
            return 1;
        SetDword(kRecordKey, u"EchoResult", static_cast<DWORD>(SendMessageW(first, g_echo, 20, 2)));
        return 0;
    }
    if (commandLine == u"post") {
        HWND first = FindWindowW(kClass, nullptr);
        return first && PostMessageW(first, kPosted, 77, 0) ? 0 : 1;
    }
    if (commandLine == u"dialog")
        return ShowDialog();
    if (commandLine == u"save" || commandLine == u"open" || commandLine == u"save small")
        return ChooseFile(commandLine);
    if (commandLine == APP_RUN_AT_TIME)
        RanAtTime();
    return Serve(hInstance, commandLine);
}
