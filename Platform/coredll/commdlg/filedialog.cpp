// The Open and Save As screens: a full-screen dialog with the file's name at the top and, below it, the
// current folder's subfolders and the files that match the filter; Done and Cancel on the soft keys. Down
// from the name goes to the list; a folder row opens that folder ("[..]" the one above), a file row takes
// that file. Done checks the name as the flags ask (the file must exist, or replacing it is confirmed).
// Left out: hooks, custom templates, several files at once and the folder picker (OFN_PROJECT) fail with
// CDERR_INITIALIZATION and ERROR_NOT_SUPPORTED; the read-only box is never shown.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include "commdlg/FolderListing.h"
#include "device/ShellHooks.h"
#include "user/Dialog.h"
#include "user/Screen.h"
#include "user/SoftKeyBar.h"

#include <algorithm>

namespace {

using namespace device::commdlg;

constexpr int kFolderLabel = 1091;
constexpr int kNameLabel = 1090;
constexpr int kName = 1152;
constexpr int kList = 1120;
constexpr DWORD kUnsupported =
    OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE | OFN_ALLOWMULTISELECT | OFN_PROJECT;
constexpr char16_t kUp[] = u"[..]";
constexpr UINT kOpenRow = WM_APP + 1;

thread_local DWORD t_extendedError = 0;

struct Chooser {
    OPENFILENAMEW& request;
    bool saving;
    std::u16string folder;
    std::u16string patterns;
    std::vector<Entry> entries; // the list's rows after the "[..]" row, when there is one
    DWORD failure = 0;          // the extended error that ends the dialog
};

Chooser* ChooserOf(HWND dialog)
{
    return reinterpret_cast<Chooser*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::u16string TextOf(HWND control)
{
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool AtRoot(const Chooser& chooser)
{
    return chooser.folder == u"\\";
}

void AddRow(HWND list, const std::u16string& text)
{
    LVITEMW row{};
    row.mask = LVIF_TEXT;
    row.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    row.pszText = const_cast<LPWSTR>(text.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
}

void Fill(HWND dialog, Chooser& chooser)
{
    HWND list = GetDlgItem(dialog, kList);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    chooser.entries = ListFolder(chooser.folder, chooser.patterns).value_or(std::vector<Entry>{});
    if (!AtRoot(chooser))
        AddRow(list, kUp);
    for (const Entry& entry : chooser.entries)
        AddRow(list, entry.folder ? u"[" + entry.name + u"]" : entry.name);
    LVITEMW first{};
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
    SetDlgItemTextW(dialog, kFolderLabel, chooser.folder.c_str());
}

void Layout(HWND dialog)
{
    RECT area = device::WorkArea();
    MoveWindow(dialog, area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
    RECT client;
    GetClientRect(dialog, &client);
    int gap = device::Scale(4), line = device::Scale(18), label = device::Scale(40);
    int width = client.right - 2 * gap;
    MoveWindow(GetDlgItem(dialog, kNameLabel), gap, gap, label, line, FALSE);
    MoveWindow(GetDlgItem(dialog, kName), gap + label, gap, width - label, line, FALSE);
    MoveWindow(GetDlgItem(dialog, kFolderLabel), gap, 2 * gap + line, width, line, FALSE);
    int top = 3 * gap + 2 * line;
    HWND list = GetDlgItem(dialog, kList);
    MoveWindow(list, gap, top, width, client.bottom - top - gap, FALSE);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, width - device::Scale(4));
}

// Where the dialog starts: the folder of a path preset in the caller's buffer, else the initial folder,
// else \My Documents.
std::u16string StartFolder(const OPENFILENAMEW& request, const std::u16string& preset)
{
    if (preset.find(u'\\') != std::u16string::npos && KindOf(ParentFolder(preset)) == Kind::Folder)
        return ParentFolder(preset);
    if (request.lpstrInitialDir && KindOf(request.lpstrInitialDir) == Kind::Folder)
        return request.lpstrInitialDir;
    return KindOf(u"\\My Documents") == Kind::Folder ? u"\\My Documents" : u"\\";
}

bool SetUp(HWND dialog, Chooser& chooser)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&chooser));
    if (!device::MakeSoftKeyBar(dialog, {u"Done", IDOK}, {u"Cancel", IDCANCEL})) {
        chooser.failure = CDERR_INITIALIZATION;
        return false;
    }
    std::u16string preset(
        chooser.request.lpstrFile,
        std::find(chooser.request.lpstrFile, chooser.request.lpstrFile + chooser.request.nMaxFile, u'\0'));
    chooser.folder = StartFolder(chooser.request, preset);
    SetDlgItemTextW(dialog, kName, LastPart(preset).c_str());
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    SendDlgItemMessageW(dialog, kList, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    Layout(dialog);
    Fill(dialog, chooser);
    device::FocusDialogControl(dialog, GetDlgItem(dialog, kName));
    return true;
}

void Tell(HWND dialog, const std::u16string& text, const Chooser& chooser)
{
    MessageBoxW(dialog, text.c_str(), chooser.saving ? u"Save As" : u"Open", MB_OK | MB_ICONEXCLAMATION);
}

// Hands the chosen path back in the caller's buffer; false when it does not fit.
bool HandBack(Chooser& chooser, const std::u16string& path)
{
    OPENFILENAMEW& request = chooser.request;
    if (path.size() + 1 > request.nMaxFile) {
        // The first word of the buffer tells the size it needs, in characters.
        if (request.nMaxFile >= 1)
            request.lpstrFile[0] = static_cast<WCHAR>(std::min<size_t>(path.size() + 1, 0xFFFF));
        chooser.failure = FNERR_BUFFERTOOSMALL;
        return false;
    }
    std::copy(path.begin(), path.end(), request.lpstrFile);
    request.lpstrFile[path.size()] = 0;
    std::u16string name = LastPart(path);
    request.nFileOffset = static_cast<WORD>(path.size() - name.size());
    size_t dot = name.find_last_of(u'.');
    request.nFileExtension =
        static_cast<WORD>(dot == std::u16string::npos ? path.size() : request.nFileOffset + dot + 1);
    if (request.lpstrFileTitle && request.nMaxFileTitle > 0) {
        size_t count = std::min<size_t>(name.size(), request.nMaxFileTitle - 1);
        std::copy_n(name.begin(), count, request.lpstrFileTitle);
        request.lpstrFileTitle[count] = 0;
    }
    return true;
}

// Done with the name typed: a folder is opened, a file is checked as the flags ask and handed back.
void Choose(HWND dialog, Chooser& chooser, const std::u16string& name)
{
    if (name.empty())
        return;
    DWORD flags = chooser.request.Flags;
    std::u16string path = FullPath(chooser.folder, name, chooser.request.lpstrDefExt);
    std::u16string plain = FullPath(chooser.folder, name, nullptr);
    if (KindOf(plain) == Kind::Folder) {
        chooser.folder = plain;
        SetDlgItemTextW(dialog, kName, u"");
        Fill(dialog, chooser);
        return;
    }
    Kind kind = KindOf(path);
    if (kind == Kind::Invalid)
        return Tell(dialog, LastPart(path) + u"\nThe file name is not valid.", chooser);
    if (KindOf(ParentFolder(path)) != Kind::Folder)
        return Tell(dialog, ParentFolder(path) + u"\nThe folder does not exist.", chooser);
    if (kind == Kind::Missing && (flags & OFN_FILEMUSTEXIST))
        return Tell(dialog, LastPart(path) + u"\nFile not found. Check the file name and try again.", chooser);
    if (kind == Kind::File && chooser.saving && (flags & OFN_OVERWRITEPROMPT)) {
        std::u16string question = LastPart(path) + u" already exists.\nDo you want to replace it?";
        if (MessageBoxW(dialog, question.c_str(), u"Save As", MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            return;
    }
    EndDialog(dialog, HandBack(chooser, path) ? IDOK : IDABORT);
}

void OpenRow(HWND dialog, Chooser& chooser)
{
    int row =
        static_cast<int>(SendDlgItemMessageW(dialog, kList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0)
        return;
    if (!AtRoot(chooser) && row-- == 0) {
        chooser.folder = ParentFolder(chooser.folder);
        Fill(dialog, chooser);
        return;
    }
    if (static_cast<size_t>(row) >= chooser.entries.size())
        return;
    const Entry entry = chooser.entries[static_cast<size_t>(row)];
    if (!entry.folder && chooser.saving) { // a file to save over: its name, to confirm with Done
        SetDlgItemTextW(dialog, kName, entry.name.c_str());
        device::FocusDialogControl(dialog, GetDlgItem(dialog, kName));
        return;
    }
    Choose(dialog, chooser, entry.name);
}

BOOL CALLBACK ChooserProcedure(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (!SetUp(dialog, *reinterpret_cast<Chooser*>(lp)))
            EndDialog(dialog, IDABORT);
        return FALSE; // the focus is on the name
    case WM_COMMAND: {
        Chooser* chooser = ChooserOf(dialog);
        if (!chooser)
            break;
        switch (LOWORD(wp)) {
        case IDOK:
            if (GetFocus() == GetDlgItem(dialog, kList))
                OpenRow(dialog, *chooser);
            else
                Choose(dialog, *chooser, TextOf(GetDlgItem(dialog, kName)));
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    }
    case WM_NOTIFY: {
        auto header = reinterpret_cast<const NMHDR*>(lp);
        Chooser* chooser = ChooserOf(dialog);
        if (chooser && header->idFrom == kList && header->code == LVN_ITEMACTIVATE) {
            // The list is refilled once it is done with the notification.
            PostMessageW(dialog, kOpenRow, 0, 0);
            return TRUE;
        }
        break;
    }
    case kOpenRow:
        if (Chooser* chooser = ChooserOf(dialog))
            OpenRow(dialog, *chooser);
        return TRUE;
    case WM_DESTROY:
        if (HWND bar = device::SoftKeyBarOf(dialog))
            DestroyWindow(bar);
        return TRUE;
    }
    return FALSE;
}

device::DialogTemplate ChooserTemplate(const OPENFILENAMEW& request, bool saving)
{
    device::DialogTemplate screen;
    screen.style = WS_POPUP | WS_CAPTION;
    screen.title = request.lpstrTitle ? request.lpstrTitle : saving ? u"Save As" : u"Open";
    auto item = [&](const char16_t* cls, DWORD style, int id, const char16_t* text) {
        device::DialogItemTemplate control;
        control.className = cls;
        control.style = WS_CHILD | WS_VISIBLE | style;
        control.id = static_cast<DWORD>(id);
        control.title.name = text;
        screen.items.push_back(control);
    };
    item(u"Static", 0, kNameLabel, u"Name:");
    item(u"Edit", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kName, u"");
    item(u"Static", SS_NOPREFIX, kFolderLabel, u"");
    item(WC_LISTVIEWW, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER, kList, u"");
    return screen;
}

BOOL RunChooser(LPOPENFILENAMEW request, bool saving)
{
    t_extendedError = 0;
    if (!request || request->lStructSize != sizeof(OPENFILENAMEW)) {
        t_extendedError = CDERR_STRUCTSIZE;
        return FALSE;
    }
    if (request->Flags & kUnsupported) {
        t_extendedError = CDERR_INITIALIZATION;
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    if (!request->lpstrFile || request->nMaxFile == 0) {
        t_extendedError = FNERR_INVALIDFILENAME;
        return FALSE;
    }
    if (request->hwndOwner && !IsWindow(request->hwndOwner)) {
        t_extendedError = CDERR_DIALOGFAILURE;
        return FALSE;
    }
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    // The soft keys come from the shell: loaded here for a program that has not loaded it itself.
    HMODULE shell = LoadLibraryW(u"aygshell");
    Chooser chooser{*request, saving, u"", FilterPatterns(request->lpstrFilter, request->nFilterIndex), {}, 0};
    INT_PTR result = device::RunDialogModally(ChooserTemplate(*request, saving), nullptr, request->hwndOwner,
                                              ChooserProcedure, reinterpret_cast<LPARAM>(&chooser));
    if (shell)
        FreeLibrary(shell);
    if (result == IDOK)
        return TRUE;
    if (result == IDCANCEL)
        return FALSE; // the user cancelled: no extended error
    t_extendedError = chooser.failure ? chooser.failure : CDERR_DIALOGFAILURE;
    return FALSE;
}

} // namespace

BOOL WINAPI GetOpenFileNameW(LPOPENFILENAMEW lpofn)
{
    return RunChooser(lpofn, false);
}

BOOL WINAPI GetSaveFileNameW(LPOPENFILENAMEW lpofn)
{
    return RunChooser(lpofn, true);
}

DWORD WINAPI CommDlgExtendedError(void)
{
    return t_extendedError;
}
