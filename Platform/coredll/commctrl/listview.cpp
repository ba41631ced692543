// List view ("SysListView32") in report view: rows with text, image, item data and state, one or more
// columns, sorted or owner-drawn rows, selection by keys and taps, and notifications to the parent.
// Left out: the icon, small-icon and list views, label editing, callback text, check boxes and the
// column header control (the column titles are drawn in their band, but can't be clicked).
#include <windows.h>
#include <commctrl.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"
#include "user/Screen.h"

#include <algorithm>
#include <vector>

namespace {

struct Item {
    std::u16string text;
    std::vector<std::u16string> subItems; // texts of columns 1 and up
    int image = 0;
    LPARAM param = 0;
    UINT state = 0;
    int indent = 0;
};

struct Column {
    int width = 0;
    int format = LVCFMT_LEFT;
    std::u16string text;
};

struct ListView {
    HWND hwnd = nullptr;
    std::vector<Item> items;
    std::vector<Column> columns;
    DWORD exStyle = 0;
    HIMAGELIST images[3] = {};
    int top = 0;          // first row shown
    int rowHeight = 0;    // 0 until measured
    bool measuring = false;
    bool redraw = true;
    bool pressed = false; // a tap went down on the control and has not been lifted
    COLORREF background = CLR_DEFAULT;
    COLORREF textColour = CLR_DEFAULT;
    COLORREF textBackground = CLR_DEFAULT;
};

ListView* Find(HWND hwnd) { return device::StateOf<ListView>(hwnd); }
DWORD Style(const ListView& list) { return device::StyleOf(list.hwnd); }
int Count(const ListView& list) { return static_cast<int>(list.items.size()); }
bool Valid(const ListView& list, int index) { return index >= 0 && index < Count(list); }

void Invalidate(const ListView& list)
{
    if (list.redraw)
        InvalidateRect(list.hwnd, nullptr, TRUE);
}

// --- Geometry: rows of one height below the header band ---

int HeaderHeight(const ListView& list)
{
    DWORD style = Style(list);
    bool header = (style & LVS_TYPEMASK) == LVS_REPORT && !(style & LVS_NOCOLUMNHEADER);
    return header ? device::LineHeight(list.hwnd) + device::Scale(4) : 0;
}

SIZE IconSize(const ListView& list)
{
    int cx = 0, cy = 0;
    if (list.images[LVSIL_SMALL])
        ImageList_GetIconSize(list.images[LVSIL_SMALL], &cx, &cy);
    return SIZE{cx, cy};
}

// A row fits a line of text and the small icon.
int NaturalRowHeight(const ListView& list)
{
    return std::max(device::LineHeight(list.hwnd), static_cast<int>(IconSize(list).cy)) + device::Scale(2);
}

// Owner-drawn rows take the height the parent gives in WM_MEASUREITEM, asked when the height is first
// needed (not while the control is being made, when the parent may not be ready to measure) and again
// when the font changes.
void Measure(ListView& list)
{
    int height = NaturalRowHeight(list);
    list.rowHeight = height;
    if (!(Style(list) & LVS_OWNERDRAWFIXED))
        return;
    RECT client;
    GetClientRect(list.hwnd, &client);
    MEASUREITEMSTRUCT measure{ODT_LISTVIEW, static_cast<UINT>(GetDlgCtrlID(list.hwnd)), 0,
                              static_cast<UINT>(client.right - client.left), static_cast<UINT>(height), 0};
    HWND hwnd = list.hwnd;
    list.measuring = true;
    SendMessageW(GetParent(hwnd), WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
    if (ListView* after = Find(hwnd)) {
        after->measuring = false;
        after->rowHeight = measure.itemHeight > 0 ? static_cast<int>(measure.itemHeight) : height;
    }
}

int RowHeight(ListView& list)
{
    if (list.rowHeight == 0 && !list.measuring)
        Measure(list);
    return list.rowHeight > 0 ? list.rowHeight : NaturalRowHeight(list);
}

RECT Client(const ListView& list)
{
    RECT client;
    GetClientRect(list.hwnd, &client);
    return client;
}

// Rows that fit wholly in the client area.
int RowsPerPage(ListView& list)
{
    RECT client = Client(list);
    return std::max(0, static_cast<int>(client.bottom - HeaderHeight(list)) / RowHeight(list));
}

int RowsWidth(const ListView& list)
{
    if (list.columns.empty())
        return Client(list).right;
    int width = 0;
    for (const Column& column : list.columns)
        width += column.width;
    return width;
}

void ClampTop(ListView& list)
{
    int last = std::max(0, Count(list) - std::max(1, RowsPerPage(list)));
    list.top = std::clamp(list.top, 0, last);
}

void ScrollTo(ListView& list, int top)
{
    int before = list.top;
    list.top = top;
    ClampTop(list);
    if (list.top != before)
        Invalidate(list);
}

bool EnsureVisible(ListView& list, int index, bool partialOk)
{
    if (!Valid(list, index))
        return false;
    int perPage = std::max(1, RowsPerPage(list));
    int top = list.top;
    if (index < top)
        top = index;
    else if (index >= top + perPage && !(partialOk && index == top + perPage))
        top = index - perPage + 1;
    ScrollTo(list, top);
    return true;
}

int IconWidth(const ListView& list) { return IconSize(list).cx; }

bool ItemRect(ListView& list, int index, int code, RECT& rect)
{
    if (!Valid(list, index))
        return false;
    int top = HeaderHeight(list) + (index - list.top) * RowHeight(list);
    RECT bounds{0, top, RowsWidth(list), top + RowHeight(list)};
    int iconLeft = list.items[index].indent * IconWidth(list);
    RECT icon{iconLeft, bounds.top, iconLeft + IconWidth(list), bounds.bottom};
    RECT label{icon.right, bounds.top, std::max(icon.right, bounds.right), bounds.bottom};
    switch (code) {
    case LVIR_BOUNDS: rect = bounds; return true;
    case LVIR_ICON: rect = icon; return true;
    case LVIR_LABEL: rect = label; return true;
    case LVIR_SELECTBOUNDS: UnionRect(&rect, &icon, &label); return true;
    }
    return false;
}

int HitTest(ListView& list, LVHITTESTINFO& info)
{
    RECT client = Client(list);
    info.iItem = -1;
    info.iSubItem = 0;
    info.flags = 0;
    POINT pt = info.pt;
    if (pt.y < 0 || (pt.y < HeaderHeight(list) && pt.y < client.bottom))
        info.flags |= LVHT_ABOVE;
    if (pt.y >= client.bottom)
        info.flags |= LVHT_BELOW;
    if (pt.x < 0)
        info.flags |= LVHT_TOLEFT;
    if (pt.x >= client.right)
        info.flags |= LVHT_TORIGHT;
    if (info.flags)
        return -1;
    int index = list.top + (pt.y - HeaderHeight(list)) / RowHeight(list);
    RECT icon, bounds;
    if (!ItemRect(list, index, LVIR_BOUNDS, bounds) || pt.x >= bounds.right) {
        info.flags = LVHT_NOWHERE;
        return -1;
    }
    ItemRect(list, index, LVIR_ICON, icon);
    info.flags = PtInRect(&icon, pt) ? LVHT_ONITEMICON : LVHT_ONITEMLABEL;
    info.iItem = index;
    return index;
}

// --- State changes, each asked of and reported to the parent ---

NMLISTVIEW ChangeRecord(const ListView& list, int index, UINT before, UINT after)
{
    NMLISTVIEW change{};
    change.iItem = index;
    change.uChanged = LVIF_STATE;
    change.uOldState = before;
    change.uNewState = after;
    change.lParam = list.items[index].param;
    return change;
}

// Changes the masked state bits of one row; false when the parent vetoed it or the list went away.
bool ChangeState(HWND hwnd, int index, UINT state, UINT mask)
{
    ListView* list = Find(hwnd);
    if (!list || !Valid(*list, index))
        return false;
    UINT before = list->items[index].state;
    UINT after = (before & ~mask) | (state & mask);
    if (after == before)
        return true;
    NMLISTVIEW change = ChangeRecord(*list, index, before, after);
    if (device::NotifyParent(hwnd, change.hdr, LVN_ITEMCHANGING))
        return false;
    list = Find(hwnd);
    if (!list || !Valid(*list, index))
        return false;
    list->items[index].state = (list->items[index].state & ~mask) | (state & mask);
    Invalidate(*list);
    change = ChangeRecord(*list, index, before, list->items[index].state);
    device::NotifyParent(hwnd, change.hdr, LVN_ITEMCHANGED);
    return true;
}

std::vector<int> RowsWith(const ListView& list, UINT state)
{
    std::vector<int> rows;
    for (int i = 0; i < Count(list); ++i)
        if (list.items[i].state & state)
            rows.push_back(i);
    return rows;
}

// Sets state bits as LVM_SETITEMSTATE does: one focused row, and one selected row in a single-selection
// list. Index -1 means every row.
bool SetState(HWND hwnd, int index, UINT state, UINT mask)
{
    ListView* list = Find(hwnd);
    if (!list)
        return false;
    if (index == -1) {
        int count = Count(*list);
        bool single = (Style(*list) & LVS_SINGLESEL) != 0;
        if (single && (state & mask & LVIS_SELECTED))
            mask &= ~LVIS_SELECTED; // a single-selection list can't select them all
        mask &= ~(state & LVIS_FOCUSED);
        for (int i = 0; i < count; ++i)
            ChangeState(hwnd, i, state, mask);
        return true;
    }
    if (!Valid(*list, index))
        return false;
    UINT exclusive = (state & mask) & (LVIS_FOCUSED | ((Style(*list) & LVS_SINGLESEL) ? LVIS_SELECTED : 0));
    if (exclusive)
        for (int other : RowsWith(*list, exclusive))
            if (other != index)
                ChangeState(hwnd, other, 0, exclusive);
    return ChangeState(hwnd, index, state, mask);
}

// The user moved to a row: it alone is selected and it has the focus.
void SelectRow(HWND hwnd, int index)
{
    ListView* list = Find(hwnd);
    if (!list || !Valid(*list, index))
        return;
    for (int other : RowsWith(*list, LVIS_SELECTED))
        if (other != index)
            ChangeState(hwnd, other, 0, LVIS_SELECTED);
    SetState(hwnd, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if ((list = Find(hwnd)))
        EnsureVisible(*list, index, false);
}

int NextItem(const ListView& list, int start, UINT flags)
{
    UINT wanted = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
    int step = 1;
    if (flags & LVNI_ABOVE)
        step = -1;
    else if (flags & (LVNI_TOLEFT | LVNI_TORIGHT))
        return -1; // report rows have nothing beside them
    int index = start < 0 ? (step > 0 ? 0 : -1) : start + step;
    if ((flags & (LVNI_ABOVE | LVNI_BELOW)) && start < 0)
        return -1;
    for (; index >= 0 && index < Count(list); index += step)
        if ((list.items[index].state & wanted) == wanted)
            return index;
    return -1;
}

// --- Items ---

void Notify(HWND hwnd, UINT code, int index, LPARAM param)
{
    NMLISTVIEW record{};
    record.iItem = index;
    record.lParam = param;
    device::NotifyParent(hwnd, record.hdr, code);
}

int SortedPosition(const ListView& list, std::u16string_view text)
{
    bool descending = (Style(list) & LVS_SORTDESCENDING) != 0;
    auto at = std::upper_bound(list.items.begin(), list.items.end(), text, [&](std::u16string_view a, const Item& b) {
        int order = device::CompareTexts(a, b.text, true);
        return descending ? order > 0 : order < 0;
    });
    return static_cast<int>(at - list.items.begin());
}

LRESULT InsertItem(HWND hwnd, const LVITEMW* request)
{
    ListView* list = Find(hwnd);
    if (!request || request->iSubItem != 0 || request->iItem < 0)
        return -1;
    if ((request->mask & LVIF_TEXT) && request->pszText == LPSTR_TEXTCALLBACKW)
        return -1; // rows keep their own text; the parent is never asked for it
    Item item;
    if ((request->mask & LVIF_TEXT) && request->pszText)
        item.text = request->pszText;
    if (request->mask & LVIF_IMAGE)
        item.image = request->iImage;
    if (request->mask & LVIF_PARAM)
        item.param = request->lParam;
    if (request->mask & LVIF_INDENT)
        item.indent = request->iIndent;
    UINT state = (request->mask & LVIF_STATE) ? request->state & request->stateMask : 0;
    int index = std::min(request->iItem, Count(*list));
    if (Style(*list) & (LVS_SORTASCENDING | LVS_SORTDESCENDING))
        index = SortedPosition(*list, item.text);
    list->items.insert(list->items.begin() + index, std::move(item));
    Invalidate(*list);
    Notify(hwnd, LVN_INSERTITEM, index, request->mask & LVIF_PARAM ? request->lParam : 0);
    if (state)
        SetState(hwnd, index, state, state);
    return index;
}

LRESULT SetItem(HWND hwnd, const LVITEMW* request)
{
    ListView* list = Find(hwnd);
    if (!request || !Valid(*list, request->iItem))
        return FALSE;
    Item& item = list->items[request->iItem];
    if (request->iSubItem > 0) {
        if (!(request->mask & LVIF_TEXT) || request->pszText == LPSTR_TEXTCALLBACKW)
            return FALSE;
        if (item.subItems.size() < static_cast<size_t>(request->iSubItem))
            item.subItems.resize(request->iSubItem);
        item.subItems[request->iSubItem - 1] = request->pszText ? request->pszText : u"";
        Invalidate(*list);
        return TRUE;
    }
    if (request->mask & LVIF_TEXT) {
        if (request->pszText == LPSTR_TEXTCALLBACKW)
            return FALSE;
        item.text = request->pszText ? request->pszText : u"";
    }
    if (request->mask & LVIF_IMAGE)
        item.image = request->iImage;
    if (request->mask & LVIF_PARAM)
        item.param = request->lParam;
    if (request->mask & LVIF_INDENT)
        item.indent = request->iIndent;
    Invalidate(*list);
    if (request->mask & LVIF_STATE)
        return SetState(hwnd, request->iItem, request->state, request->stateMask);
    return TRUE;
}

const std::u16string* TextOfColumn(const Item& item, int column)
{
    if (column == 0)
        return &item.text;
    static const std::u16string empty;
    return column - 1 < static_cast<int>(item.subItems.size()) ? &item.subItems[column - 1] : &empty;
}

LRESULT GetItem(const ListView& list, LVITEMW* request)
{
    if (!request || !Valid(list, request->iItem) || request->iSubItem < 0)
        return FALSE;
    const Item& item = list.items[request->iItem];
    if (request->mask & LVIF_TEXT)
        device::CopyText(*TextOfColumn(item, request->iSubItem), request->pszText, request->cchTextMax);
    if (request->mask & LVIF_IMAGE)
        request->iImage = item.image;
    if (request->mask & LVIF_PARAM)
        request->lParam = item.param;
    if (request->mask & LVIF_STATE)
        request->state = item.state & request->stateMask;
    if (request->mask & LVIF_INDENT)
        request->iIndent = item.indent;
    return TRUE;
}

LRESULT GetItemText(const ListView& list, int index, LVITEMW* request)
{
    if (!request || !Valid(list, index) || request->iSubItem < 0)
        return 0;
    return device::CopyText(*TextOfColumn(list.items[index], request->iSubItem), request->pszText,
                            request->cchTextMax);
}

LRESULT SetItemText(HWND hwnd, int index, LVITEMW* request)
{
    if (!request)
        return FALSE;
    LVITEMW change = *request;
    change.mask = LVIF_TEXT;
    change.iItem = index;
    return SetItem(hwnd, &change);
}

LRESULT DeleteItem(HWND hwnd, int index)
{
    ListView* list = Find(hwnd);
    if (!Valid(*list, index))
        return FALSE;
    Notify(hwnd, LVN_DELETEITEM, index, list->items[index].param);
    if (!(list = Find(hwnd)) || !Valid(*list, index))
        return FALSE;
    list->items.erase(list->items.begin() + index);
    ClampTop(*list);
    Invalidate(*list);
    return TRUE;
}

// The parent hears of the whole deletion once; unless it answers TRUE it then hears of every row.
LRESULT DeleteAllItems(HWND hwnd)
{
    ListView* list = Find(hwnd);
    NMLISTVIEW all{};
    all.iItem = -1;
    bool each = !device::NotifyParent(hwnd, all.hdr, LVN_DELETEALLITEMS);
    if (each) {
        for (int i = 0; (list = Find(hwnd)) && i < Count(*list); ++i)
            Notify(hwnd, LVN_DELETEITEM, i, list->items[i].param);
    }
    if (!(list = Find(hwnd)))
        return FALSE;
    list->items.clear();
    list->top = 0;
    Invalidate(*list);
    return TRUE;
}

// Searches after `start` (from the first row for -1), going round to the top with LVFI_WRAP. Text
// compares without case.
LRESULT FindItem(const ListView& list, int start, const LVFINDINFOW* find)
{
    if (!find || ((find->flags & (LVFI_STRING | LVFI_PARTIAL)) && !find->psz))
        return -1;
    int count = Count(list);
    int first = start < 0 ? 0 : start + 1;
    int span = (find->flags & LVFI_WRAP) ? count : count - first;
    for (int i = 0; i < span; ++i) {
        int index = (first + i) % std::max(count, 1);
        const Item& item = list.items[index];
        if (find->flags & LVFI_PARAM) {
            if (item.param == find->lParam)
                return index;
            continue;
        }
        std::u16string_view wanted(find->psz);
        std::u16string_view candidate = item.text;
        if (find->flags & LVFI_PARTIAL)
            candidate = candidate.substr(0, wanted.size());
        if (candidate.size() == wanted.size() && device::CompareTexts(candidate, wanted, true) == 0)
            return index;
    }
    return -1;
}

// Sorts by the program's comparison, a stable insertion sort on a copy: the callback sees item data
// only and the rows move with their state.
LRESULT SortItems(HWND hwnd, LPARAM sortParam, PFNLVCOMPARE compare)
{
    ListView* list = Find(hwnd);
    if (!compare)
        return FALSE;
    std::vector<Item> rows = list->items;
    for (size_t i = 1; i < rows.size(); ++i) {
        Item moving = std::move(rows[i]);
        size_t j = i;
        while (j > 0 && compare(rows[j - 1].param, moving.param, sortParam) > 0) {
            rows[j] = std::move(rows[j - 1]);
            --j;
        }
        rows[j] = std::move(moving);
    }
    if (!(list = Find(hwnd)) || list->items.size() != rows.size())
        return FALSE;
    list->items = std::move(rows);
    Invalidate(*list);
    return TRUE;
}

// --- Columns ---

LRESULT InsertColumn(ListView& list, int index, const LVCOLUMNW* request)
{
    if (!request || index < 0)
        return -1;
    Column column;
    if (request->mask & LVCF_WIDTH)
        column.width = request->cx;
    if (request->mask & LVCF_FMT)
        column.format = request->fmt;
    if ((request->mask & LVCF_TEXT) && request->pszText)
        column.text = request->pszText;
    index = std::min(index, static_cast<int>(list.columns.size()));
    list.columns.insert(list.columns.begin() + index, std::move(column));
    Invalidate(list);
    return index;
}

// The widest text of a column (and its header with LVSCW_AUTOSIZE_USEHEADER), with the icon and margins.
int WidthOfTexts(const ListView& list, int index, bool withHeader)
{
    int widest = withHeader ? device::TextWidth(list.hwnd, list.columns[index].text) : 0;
    for (const Item& item : list.items)
        widest = std::max(widest, device::TextWidth(list.hwnd, *TextOfColumn(item, index)));
    return widest + (index == 0 ? IconWidth(list) : 0) + 2 * device::Scale(4);
}

// LVSCW_AUTOSIZE_USEHEADER on the last column fills the rest of the width.
LRESULT SetColumnWidth(ListView& list, int index, int width)
{
    if (index < 0 || index >= static_cast<int>(list.columns.size()))
        return FALSE;
    bool last = index + 1 == static_cast<int>(list.columns.size());
    if (width == LVSCW_AUTOSIZE_USEHEADER && last) {
        int others = RowsWidth(list) - list.columns[index].width;
        width = std::max(0, static_cast<int>(Client(list).right) - others);
    } else if (width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) {
        width = WidthOfTexts(list, index, width == LVSCW_AUTOSIZE_USEHEADER);
    } else if (width < 0) {
        return FALSE;
    }
    list.columns[index].width = width;
    Invalidate(list);
    return TRUE;
}

LRESULT GetColumn(const ListView& list, int index, LVCOLUMNW* request)
{
    if (!request || index < 0 || index >= static_cast<int>(list.columns.size()))
        return FALSE;
    const Column& column = list.columns[index];
    if (request->mask & LVCF_WIDTH)
        request->cx = column.width;
    if (request->mask & LVCF_FMT)
        request->fmt = column.format;
    if (request->mask & LVCF_TEXT)
        device::CopyText(column.text, request->pszText, request->cchTextMax);
    if (request->mask & LVCF_SUBITEM)
        request->iSubItem = index;
    return TRUE;
}

LRESULT SetColumn(ListView& list, int index, const LVCOLUMNW* request)
{
    if (!request || index < 0 || index >= static_cast<int>(list.columns.size()))
        return FALSE;
    Column& column = list.columns[index];
    if (request->mask & LVCF_WIDTH)
        column.width = request->cx;
    if (request->mask & LVCF_FMT)
        column.format = request->fmt;
    if ((request->mask & LVCF_TEXT) && request->pszText)
        column.text = request->pszText;
    Invalidate(list);
    return TRUE;
}

// --- Drawing ---

bool ShowsSelected(const ListView& list, const Item& item, bool focused)
{
    return (item.state & LVIS_SELECTED) && (focused || (Style(list) & LVS_SHOWSELALWAYS));
}

COLORREF Colour(COLORREF chosen, int system) { return chosen == CLR_DEFAULT ? GetSysColor(system) : chosen; }

// A plain row: the small icon, the text of each column, the highlight when it is selected.
void DrawRow(ListView& list, HDC dc, int index, bool focused)
{
    const Item& item = list.items[index];
    RECT bounds, icon, label;
    ItemRect(list, index, LVIR_BOUNDS, bounds);
    ItemRect(list, index, LVIR_ICON, icon);
    ItemRect(list, index, LVIR_LABEL, label);
    bool selected = ShowsSelected(list, item, focused);
    if (selected) {
        RECT highlight = (list.exStyle & LVS_EX_FULLROWSELECT) ? bounds : label;
        FillRect(dc, &highlight, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (list.images[LVSIL_SMALL] && item.image >= 0) {
        int top = icon.top + (icon.bottom - icon.top - IconSize(list).cy) / 2;
        ImageList_Draw(list.images[LVSIL_SMALL], item.image, dc, icon.left, top, selected ? ILD_SELECTED : ILD_NORMAL);
    }
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Colour(list.textColour, COLOR_WINDOWTEXT));
    int left = 0;
    for (size_t column = 0; column < std::max<size_t>(1, list.columns.size()); ++column) {
        int width = list.columns.empty() ? bounds.right : list.columns[column].width;
        RECT cell{column == 0 ? label.left : left, bounds.top, left + width, bounds.bottom};
        InflateRect(&cell, -device::Scale(2), 0);
        const std::u16string& text = *TextOfColumn(item, static_cast<int>(column));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        left += width;
    }
}

void DrawHeader(ListView& list, HDC dc)
{
    int height = HeaderHeight(list);
    if (!height)
        return;
    RECT band{0, 0, Client(list).right, height};
    FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int left = 0;
    for (const Column& column : list.columns) {
        RECT cell{left, 0, left + column.width, height};
        device::Frame(dc, cell, COLOR_BTNSHADOW);
        InflateRect(&cell, -device::Scale(3), 0);
        DrawTextW(dc, column.text.c_str(), static_cast<int>(column.text.size()), &cell,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        left += column.width + device::Scale(3);
    }
}

// Every visible row into the device context: owner-drawn rows by the parent (WM_DRAWITEM), the others
// here.
void DrawRows(HWND hwnd, HDC dc)
{
    ListView* list = Find(hwnd);
    if (!list)
        return;
    SetBkMode(dc, TRANSPARENT);
    DrawHeader(*list, dc);
    int first = list->top;
    int last = std::min(Count(*list), first + RowsPerPage(*list) + 1);
    bool focused = GetFocus() == hwnd;
    bool ownerDrawn = (Style(*list) & LVS_OWNERDRAWFIXED) != 0;
    for (int index = first; index < last; ++index) {
        if (!(list = Find(hwnd)) || !Valid(*list, index))
            return;
        if (!ownerDrawn) {
            DrawRow(*list, dc, index, focused);
            continue;
        }
        const Item& item = list->items[index];
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_LISTVIEW;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
        draw.itemID = static_cast<UINT>(index);
        draw.itemAction = ODA_DRAWENTIRE;
        if (ShowsSelected(*list, item, focused))
            draw.itemState |= ODS_SELECTED;
        if ((item.state & LVIS_FOCUSED) && focused)
            draw.itemState |= ODS_FOCUS;
        draw.hwndItem = hwnd;
        draw.hDC = dc;
        ItemRect(*list, index, LVIR_BOUNDS, draw.rcItem);
        draw.itemData = static_cast<ULONG_PTR>(item.param);
        SendMessageW(GetParent(hwnd), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    }
}

LRESULT Paint(HWND hwnd)
{
    device::PaintScope paint(hwnd);
    if (ListView* list = Find(hwnd); list && list->redraw)
        DrawRows(hwnd, paint.Dc());
    return 0;
}

// The default background is the list's colour; a subclass may draw its own here (an "empty" text).
LRESULT EraseBackground(const ListView& list, HDC dc)
{
    RECT client = Client(list);
    COLORREF colour = Colour(list.background, COLOR_WINDOW);
    if (colour == CLR_NONE)
        return 1;
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    return 1;
}

// Image lists go with the control unless they are shared (LVS_SHAREIMAGELISTS).
void ReleaseImageLists(ListView& list)
{
    if (Style(list) & LVS_SHAREIMAGELISTS)
        return;
    for (HIMAGELIST& images : list.images) {
        if (images)
            ImageList_Destroy(images);
        images = nullptr;
    }
}

// --- Input ---

NMITEMACTIVATE ActivationRecord(const ListView& list, int index, POINT point)
{
    NMITEMACTIVATE record{};
    record.iItem = index;
    record.ptAction = point;
    if (Valid(list, index)) {
        record.uNewState = record.uOldState = list.items[index].state;
        record.lParam = list.items[index].param;
    }
    return record;
}

int FocusedRow(const ListView& list)
{
    int focused = NextItem(list, -1, LVNI_FOCUSED);
    return focused >= 0 ? focused : NextItem(list, -1, LVNI_SELECTED);
}

// The action key reports NM_RETURN for the focused row and then activates it when it is selected.
void PressAction(HWND hwnd)
{
    ListView* list = Find(hwnd);
    int index = FocusedRow(*list);
    NMITEMACTIVATE record = ActivationRecord(*list, index, POINT{});
    device::NotifyParent(hwnd, record.hdr, NM_RETURN);
    if (!(list = Find(hwnd)) || !Valid(*list, index) || !(list->items[index].state & LVIS_SELECTED))
        return;
    record = ActivationRecord(*list, index, POINT{});
    device::NotifyParent(hwnd, record.hdr, LVN_ITEMACTIVATE);
}

LRESULT OnKeyDown(HWND hwnd, WPARAM vk)
{
    NMLVKEYDOWN key{};
    key.wVKey = static_cast<WORD>(vk);
    device::NotifyParent(hwnd, key.hdr, LVN_KEYDOWN);
    ListView* list = Find(hwnd);
    if (!list || list->items.empty())
        return 0;
    int last = Count(*list) - 1;
    int current = FocusedRow(*list);
    int page = std::max(1, RowsPerPage(*list) - 1);
    switch (vk) {
    case VK_DOWN: SelectRow(hwnd, current < 0 ? 0 : std::min(current + 1, last)); break;
    case VK_UP: SelectRow(hwnd, current < 0 ? 0 : std::max(current - 1, 0)); break;
    case VK_HOME: SelectRow(hwnd, 0); break;
    case VK_END: SelectRow(hwnd, last); break;
    case VK_NEXT: SelectRow(hwnd, std::min(std::max(current, 0) + page, last)); break;
    case VK_PRIOR: SelectRow(hwnd, std::max(current - page, 0)); break;
    case VK_RETURN: PressAction(hwnd); break;
    }
    return 0;
}

POINT PointOf(LPARAM lp) { return POINT{static_cast<SHORT>(LOWORD(lp)), static_cast<SHORT>(HIWORD(lp))}; }

LRESULT OnButtonDown(HWND hwnd, LPARAM lp)
{
    SetFocus(hwnd);
    ListView* list = Find(hwnd);
    if (!list)
        return 0;
    list->pressed = true;
    LVHITTESTINFO hit{PointOf(lp)};
    int index = HitTest(*list, hit);
    if (index >= 0)
        SelectRow(hwnd, index);
    return 0;
}

// A tap lifted on the control is a click: NM_CLICK with the row under it, then with one-click
// activation LVN_ITEMACTIVATE for that row.
LRESULT OnButtonUp(HWND hwnd, LPARAM lp, bool doubleTap)
{
    ListView* list = Find(hwnd);
    if (!list || (!list->pressed && !doubleTap))
        return 0;
    list->pressed = false;
    LVHITTESTINFO hit{PointOf(lp)};
    int index = HitTest(*list, hit);
    NMITEMACTIVATE record = ActivationRecord(*list, index, hit.pt);
    device::NotifyParent(hwnd, record.hdr, doubleTap ? NM_DBLCLK : NM_CLICK);
    if (!(list = Find(hwnd)) || !Valid(*list, index))
        return 0;
    if (doubleTap || (list->exStyle & LVS_EX_ONECLICKACTIVATE)) {
        record = ActivationRecord(*list, index, hit.pt);
        device::NotifyParent(hwnd, record.hdr, LVN_ITEMACTIVATE);
    }
    return 0;
}

LRESULT OnVerticalScroll(ListView& list, WORD request, int thumb)
{
    int page = std::max(1, RowsPerPage(list));
    switch (request) {
    case SB_LINEUP: ScrollTo(list, list.top - 1); break;
    case SB_LINEDOWN: ScrollTo(list, list.top + 1); break;
    case SB_PAGEUP: ScrollTo(list, list.top - page); break;
    case SB_PAGEDOWN: ScrollTo(list, list.top + page); break;
    case SB_TOP: ScrollTo(list, 0); break;
    case SB_BOTTOM: ScrollTo(list, Count(list)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: ScrollTo(list, thumb); break;
    }
    return 0;
}

LRESULT OnFocus(HWND hwnd, bool gained)
{
    if (ListView* list = Find(hwnd))
        Invalidate(*list);
    NMHDR header{};
    device::NotifyParent(hwnd, header, gained ? NM_SETFOCUS : NM_KILLFOCUS);
    return 0;
}

LRESULT OnSetFont(HWND hwnd, WPARAM font, LPARAM redraw)
{
    DefWindowProcW(hwnd, WM_SETFONT, font, redraw);
    if (ListView* list = Find(hwnd))
        Measure(*list);
    if (ListView* list = Find(hwnd); list && redraw)
        Invalidate(*list);
    return 0;
}

LRESULT SetColour(ListView& list, COLORREF& slot, LPARAM colour)
{
    slot = static_cast<COLORREF>(colour);
    Invalidate(list);
    return TRUE;
}

LRESULT SetImageList(ListView& list, WPARAM which, LPARAM images)
{
    if (which > LVSIL_STATE)
        return 0;
    HIMAGELIST previous = list.images[which];
    list.images[which] = reinterpret_cast<HIMAGELIST>(images);
    if (which == LVSIL_SMALL)
        list.rowHeight = 0; // rows fit the new icons: measured again when next needed
    Invalidate(list);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT SetExtendedStyle(ListView& list, WPARAM mask, LPARAM style)
{
    DWORD previous = list.exStyle;
    DWORD bits = mask ? static_cast<DWORD>(mask) : 0xFFFFFFFF;
    list.exStyle = (previous & ~bits) | (static_cast<DWORD>(style) & bits);
    Invalidate(list);
    return previous;
}

LRESULT OnItemMessage(HWND hwnd, ListView& list, UINT msg, WPARAM wp, LPARAM lp)
{
    int index = static_cast<int>(wp);
    switch (msg) {
    case LVM_INSERTITEMW: return InsertItem(hwnd, reinterpret_cast<const LVITEMW*>(lp));
    case LVM_SETITEMW: return SetItem(hwnd, reinterpret_cast<const LVITEMW*>(lp));
    case LVM_GETITEMW: return GetItem(list, reinterpret_cast<LVITEMW*>(lp));
    case LVM_GETITEMTEXTW: return GetItemText(list, index, reinterpret_cast<LVITEMW*>(lp));
    case LVM_SETITEMTEXTW: return SetItemText(hwnd, index, reinterpret_cast<LVITEMW*>(lp));
    case LVM_DELETEITEM: return DeleteItem(hwnd, index);
    case LVM_DELETEALLITEMS: return DeleteAllItems(hwnd);
    case LVM_GETITEMCOUNT: return Count(list);
    case LVM_GETSELECTEDCOUNT: return static_cast<LRESULT>(RowsWith(list, LVIS_SELECTED).size());
    case LVM_GETNEXTITEM: return NextItem(list, index, LOWORD(lp));
    case LVM_SETITEMSTATE: {
        auto* request = reinterpret_cast<const LVITEMW*>(lp);
        return request ? SetState(hwnd, index, request->state, request->stateMask) : FALSE;
    }
    case LVM_GETITEMSTATE: return Valid(list, index) ? list.items[index].state & static_cast<UINT>(lp) : 0;
    case LVM_FINDITEMW: return FindItem(list, index, reinterpret_cast<const LVFINDINFOW*>(lp));
    case LVM_SORTITEMS: return SortItems(hwnd, static_cast<LPARAM>(wp), reinterpret_cast<PFNLVCOMPARE>(lp));
    }
    return 0;
}

LRESULT OnViewMessage(ListView& list, UINT msg, WPARAM wp, LPARAM lp)
{
    int index = static_cast<int>(wp);
    switch (msg) {
    case LVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lp);
        return rect && ItemRect(list, index, rect->left, *rect);
    }
    case LVM_HITTEST: {
        auto* hit = reinterpret_cast<LVHITTESTINFO*>(lp);
        return hit ? HitTest(list, *hit) : -1;
    }
    case LVM_ENSUREVISIBLE: return EnsureVisible(list, index, LOWORD(lp) != 0);
    case LVM_SCROLL: ScrollTo(list, list.top + static_cast<int>(lp) / RowHeight(list)); return TRUE;
    case LVM_GETTOPINDEX: return list.top;
    case LVM_GETCOUNTPERPAGE: return RowsPerPage(list);
    case LVM_REDRAWITEMS:
    case LVM_UPDATE: Invalidate(list); return TRUE;
    case LVM_INSERTCOLUMNW: return InsertColumn(list, index, reinterpret_cast<const LVCOLUMNW*>(lp));
    case LVM_DELETECOLUMN:
        if (index < 0 || index >= static_cast<int>(list.columns.size()))
            return FALSE;
        list.columns.erase(list.columns.begin() + index);
        Invalidate(list);
        return TRUE;
    case LVM_SETCOLUMNWIDTH: return SetColumnWidth(list, index, static_cast<SHORT>(LOWORD(lp)));
    case LVM_GETCOLUMNWIDTH:
        return index >= 0 && index < static_cast<int>(list.columns.size()) ? list.columns[index].width : 0;
    case LVM_GETCOLUMNW: return GetColumn(list, index, reinterpret_cast<LVCOLUMNW*>(lp));
    case LVM_SETCOLUMNW: return SetColumn(list, index, reinterpret_cast<const LVCOLUMNW*>(lp));
    case LVM_SETIMAGELIST: return SetImageList(list, wp, lp);
    case LVM_GETIMAGELIST: return wp <= LVSIL_STATE ? reinterpret_cast<LRESULT>(list.images[wp]) : 0;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: return SetExtendedStyle(list, wp, lp);
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return list.exStyle;
    case LVM_SETBKCOLOR: return SetColour(list, list.background, lp);
    case LVM_GETBKCOLOR: return list.background;
    case LVM_SETTEXTCOLOR: return SetColour(list, list.textColour, lp);
    case LVM_GETTEXTCOLOR: return list.textColour;
    case LVM_SETTEXTBKCOLOR: return SetColour(list, list.textBackground, lp);
    case LVM_GETTEXTBKCOLOR: return list.textBackground;
    }
    return 0;
}

bool IsItemMessage(UINT msg)
{
    switch (msg) {
    case LVM_INSERTITEMW:
    case LVM_SETITEMW:
    case LVM_GETITEMW:
    case LVM_GETITEMTEXTW:
    case LVM_SETITEMTEXTW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_GETITEMCOUNT:
    case LVM_GETSELECTEDCOUNT:
    case LVM_GETNEXTITEM:
    case LVM_SETITEMSTATE:
    case LVM_GETITEMSTATE:
    case LVM_FINDITEMW:
    case LVM_SORTITEMS: return true;
    }
    return false;
}

} // namespace

namespace device {

LRESULT CALLBACK ListViewProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<ListView>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    ListView* list = Find(hwnd);
    if (!list)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg >= LVM_FIRST && msg < LVM_FIRST + 0x100)
        return IsItemMessage(msg) ? OnItemMessage(hwnd, *list, msg, wp, lp) : OnViewMessage(*list, msg, wp, lp);
    switch (msg) {
    case WM_KEYDOWN: return OnKeyDown(hwnd, wp);
    case WM_LBUTTONDOWN: return OnButtonDown(hwnd, lp);
    case WM_LBUTTONUP: return OnButtonUp(hwnd, lp, false);
    case WM_LBUTTONDBLCLK: return OnButtonUp(hwnd, lp, true);
    case WM_VSCROLL: return OnVerticalScroll(*list, LOWORD(wp), static_cast<SHORT>(HIWORD(wp)));
    case WM_SETFOCUS: return OnFocus(hwnd, true);
    case WM_KILLFOCUS: return OnFocus(hwnd, false);
    case WM_SETFONT: return OnSetFont(hwnd, wp, lp);
    case WM_SETREDRAW:
        list->redraw = wp != 0;
        Invalidate(*list);
        return 0;
    case WM_SIZE:
        if (list->rowHeight) // resizing never asks the parent for the row height
            ClampTop(*list);
        Invalidate(*list);
        return 0;
    case WM_PAINT: return Paint(hwnd);
    case WM_PRINTCLIENT: DrawRows(hwnd, reinterpret_cast<HDC>(wp)); return 0;
    case WM_ERASEBKGND: return EraseBackground(*list, reinterpret_cast<HDC>(wp));
    case WM_DESTROY: ReleaseImageLists(*list); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (device::IsActionKey(lp) ? DLGC_WANTMESSAGE : 0);
    case WM_NCDESTROY: DestroyState<ListView>(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
