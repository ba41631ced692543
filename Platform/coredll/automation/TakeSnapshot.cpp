// Builds the snapshot of the foreground window: window records from the window manager, list rows and
// control states through the controls' own messages, drawn texts from the drawing record.
#include "automation/Snapshot.h"

#include <commctrl.h>

#include "device/ShellHooks.h"
#include "gdi/Drawing.h"
#include "user/Input.h"
#include "user/MessageBoxInfo.h"
#include "user/PopupMenu.h"
#include "user/Window.h"

#include <unordered_set>

namespace device::automation {

namespace {

std::u16string TextOf(HWND hwnd)
{
    int length = GetWindowTextLengthW(hwnd);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    int copied = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

std::u16string ClassOf(HWND hwnd)
{
    WCHAR name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

bool SameClass(const std::u16string& a, std::u16string_view b) { return FoldCase(a) == FoldCase(b); }

// What was drawn inside a rectangle of a window: its texts in order, and whether one was struck out.
void DrawnTexts(HWND hwnd, const RECT& area, std::vector<std::u16string>& texts, bool& struck)
{
    for (const Drawing& drawing : DrawingWithin(hwnd, area)) {
        if (auto text = std::get_if<TextDrawing>(&drawing.what)) {
            texts.push_back(text->text);
            struck = struck || text->font.strikeOut;
        }
    }
}

std::vector<Row> ListViewRows(HWND list)
{
    std::vector<Row> rows;
    int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        WCHAR text[260] = {};
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
        item.iItem = i;
        item.stateMask = LVIS_SELECTED;
        item.pszText = text;
        item.cchTextMax = 260;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        Row row;
        row.index = i;
        row.text = text;
        row.data = item.lParam;
        row.selected = (item.state & LVIS_SELECTED) != 0;
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        if (SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&bounds)))
            DrawnTexts(list, bounds, row.drawn, row.dimmed);
        rows.push_back(std::move(row));
    }
    return rows;
}

// The part of a date-time picker's text drawn highlighted, where the picker shows the field being edited.
std::optional<TextRange> HighlightedField(HWND picker)
{
    size_t start = 0;
    for (const Drawing& drawing : DrawingOf(picker)) {
        auto text = std::get_if<TextDrawing>(&drawing.what);
        if (!text)
            continue;
        if (text->textColor == GetSysColor(COLOR_HIGHLIGHTTEXT))
            return TextRange{start, text->text.size()};
        start += text->text.size();
    }
    return std::nullopt;
}

std::vector<Row> ListBoxRows(HWND list)
{
    std::vector<Row> rows;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    int selected = static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
        std::u16string text(static_cast<size_t>(std::max(length, 0)) + 1, u'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(std::max(length, 0)));
        Row row;
        row.index = i;
        row.text = text;
        row.data = static_cast<LONG_PTR>(SendMessageW(list, LB_GETITEMDATA, i, 0));
        row.selected = i == selected;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool IsCheckable(HWND button)
{
    switch (GetWindowLongW(button, GWL_STYLE) & 0x0F) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE: return true;
    default: return false;
    }
}

// Windows other threads are creating or destroying can sit in two lists for a moment (an owned window is
// also listed with its owner's children), so each window is described once, wherever it is met first.
WindowNode Describe(HWND hwnd, HWND focus, std::unordered_set<HWND>& described)
{
    described.insert(hwnd);
    WindowNode node;
    node.hwnd = hwnd;
    node.className = ClassOf(hwnd);
    node.id = GetDlgCtrlID(hwnd);
    node.text = TextOf(hwnd);
    GetWindowRect(hwnd, &node.rect);
    node.visible = IsWindowVisible(hwnd) != FALSE;
    node.enabled = IsWindowEnabled(hwnd) != FALSE;
    node.focused = hwnd == focus;
    if (SameClass(node.className, u"Button") && IsCheckable(hwnd))
        node.checked = SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (SameClass(node.className, u"Edit"))
        node.readonly = (GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY) != 0;
    if (node.focused && SameClass(node.className, DATETIMEPICK_CLASSW))
        node.field = HighlightedField(hwnd);
    if (SameClass(node.className, PROGRESS_CLASSW)) {
        PBRANGE range{};
        SendMessageW(hwnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        node.progress = ProgressState{range.iLow, range.iHigh, static_cast<int>(SendMessageW(hwnd, PBM_GETPOS, 0, 0))};
    }
    if (SameClass(node.className, WC_LISTVIEWW))
        node.rows = ListViewRows(hwnd);
    else if (SameClass(node.className, u"ListBox"))
        node.rows = ListBoxRows(hwnd);
    // A list with no rows may draw a text of its own in their place.
    if (node.rows && node.rows->empty()) {
        RECT client;
        GetClientRect(hwnd, &client);
        std::vector<std::u16string> texts;
        bool struck = false;
        DrawnTexts(hwnd, client, texts, struck);
        for (const auto& text : texts)
            node.text += (node.text.empty() ? u"" : u" ") + text;
    }
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && !described.contains(child))
            node.children.push_back(Describe(child, focus, described));
    return node;
}

} // namespace

Snapshot TakeSnapshot()
{
    Snapshot snapshot;
    snapshot.waitCursor = IsWaitCursor();
    HWND foreground = GetForegroundWindow();
    if (!foreground || !IsWindowVisible(foreground))
        return snapshot;
    snapshot.title = TextOf(foreground);
    std::unordered_set<HWND> described;
    snapshot.windows.push_back(Describe(foreground, GetFocus(), described));

    if (auto box = MessageBoxInfo(foreground)) {
        MessageBoxView view{box->text, box->caption, box->icon, {}};
        for (const auto& button : box->buttons)
            view.buttons.push_back(button.label);
        snapshot.messageBox = view;
    }
    if (auto menu = CurrentPopupMenu()) {
        std::vector<MenuEntry> entries;
        for (const auto& item : menu->items)
            entries.push_back(MenuEntry{item.text, item.id, item.enabled, item.checked, item.separator});
        snapshot.menu = entries;
    }
    // The soft keys belong to the foreground window or, for a message box, to what it stands over.
    if (auto shell = QueryShellViewOver(foreground))
        for (const auto& key : shell->softKeys)
            snapshot.softKeys.push_back(SoftKey{key.label, key.enabled});
    return snapshot;
}

} // namespace device::automation
