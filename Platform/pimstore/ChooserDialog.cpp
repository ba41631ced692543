#include "ChooserDialog.h"

#include "ChooserResources.h"

#include <aygshell.h>
#include <commctrl.h>

#include "device/DataFile.h"

#include <dlfcn.h>

#include <filesystem>

namespace device::contacts {
namespace {

constexpr char kResourceFile[] = "pimstoreres.dll";

// The chooser's resource library, which lies beside this library, open for one run of the chooser.
class ResourceLibrary {
public:
    ResourceLibrary()
    {
        Dl_info self{};
        if (!dladdr(reinterpret_cast<void*>(&RunChooserDialog), &self) || !self.dli_fname) return;
        m_module = OpenDataFile(std::filesystem::path(self.dli_fname).parent_path() / kResourceFile, &m_error);
    }
    ~ResourceLibrary()
    {
        if (m_module) FreeLibrary(m_module);
    }
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    HMODULE Module() const { return m_module; }
    DWORD Error() const { return m_error; }

private:
    HMODULE m_module = nullptr;
    DWORD m_error = ERROR_MOD_NOT_FOUND;
};

struct ChooserState {
    HMODULE resources;
    const std::u16string& title;
    const std::vector<Contact>& contacts;
    HWND menuBar = nullptr;
    size_t chosen = 0;
    DWORD error = 0; // why the screen could not be set up
};

ChooserState* StateOf(HWND dialog) { return reinterpret_cast<ChooserState*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_CONTACTLIST); }

void FitList(HWND dialog)
{
    RECT client;
    GetClientRect(dialog, &client);
    HWND list = ListOf(dialog);
    MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);
    int nameWidth = client.right * 3 / 5;
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, nameWidth);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, client.right - nameWidth);
}

void FillList(HWND list, const std::vector<Contact>& contacts)
{
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    for (size_t i = 0; i < contacts.size(); ++i) {
        LVITEMW row{};
        row.mask = LVIF_TEXT | LVIF_PARAM;
        row.iItem = static_cast<int>(i);
        row.pszText = const_cast<LPWSTR>(contacts[i].name.c_str());
        row.lParam = static_cast<LPARAM>(i);
        int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
        LVITEMW number{};
        number.iSubItem = 1;
        number.pszText = const_cast<LPWSTR>(contacts[i].mobile.c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&number));
    }
    if (contacts.empty()) return;
    LVITEMW first{};
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
}

bool SetUp(HWND dialog, ChooserState& state)
{
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
    SetWindowTextW(dialog, state.title.c_str());
    SHINITDLGINFO fullScreen{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_HMENU;
    bar.nToolBarId = IDM_CHOOSECONTACT;
    bar.hInstRes = state.resources;
    if (!SHInitDialog(&fullScreen) || !SHCreateMenuBar(&bar)) {
        state.error = GetLastError();
        return false;
    }
    state.menuBar = bar.hwndMB;
    HWND list = ListOf(dialog);
    FillList(list, state.contacts);
    FitList(dialog);
    if (state.contacts.empty()) SHEnableSoftkey(state.menuBar, IDOK, FALSE, FALSE);
    SetFocus(list);
    return true;
}

void ChooseSelected(HWND dialog)
{
    HWND list = ListOf(dialog);
    int row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0) return;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return;
    StateOf(dialog)->chosen = static_cast<size_t>(item.lParam);
    EndDialog(dialog, IDOK);
}

BOOL CALLBACK ChooserProcedure(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (!SetUp(dialog, *reinterpret_cast<ChooserState*>(lp))) EndDialog(dialog, IDABORT);
        return FALSE; // the focus is on the list
    case WM_SIZE:
        FitList(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK: ChooseSelected(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        }
        break;
    case WM_NOTIFY: {
        auto header = reinterpret_cast<const NMHDR*>(lp);
        if (header->idFrom == IDC_CONTACTLIST && header->code == LVN_ITEMACTIVATE) {
            ChooseSelected(dialog);
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        if (ChooserState* state = StateOf(dialog); state && state->menuBar) {
            DestroyWindow(state->menuBar);
            state->menuBar = nullptr;
        }
        return TRUE;
    }
    return FALSE;
}

HRESULT LastFailure(DWORD error) { return error ? HRESULT_FROM_WIN32(error) : E_FAIL; }

} // namespace

HRESULT RunChooserDialog(HWND owner, const std::u16string& title, const std::vector<Contact>& contacts,
                         size_t* chosen)
{
    ResourceLibrary resources;
    if (!resources.Module()) return HRESULT_FROM_WIN32(resources.Error());
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&classes)) return LastFailure(GetLastError());

    ChooserState state{resources.Module(), title, contacts};
    INT_PTR result = DialogBoxParamW(resources.Module(), MAKEINTRESOURCE(IDD_CHOOSECONTACT), owner,
                                     ChooserProcedure, reinterpret_cast<LPARAM>(&state));
    switch (result) {
    case IDOK: *chosen = state.chosen; return S_OK;
    case IDCANCEL: return E_ABORT;
    case IDABORT: return LastFailure(state.error);
    default: return LastFailure(GetLastError());
    }
}

} // namespace device::contacts
