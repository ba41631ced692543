// List box ("ListBox"): rows of text and data, one selected row moved by keys or taps, LBN_SELCHANGE for
// the user's changes; with an up-down buddy, the Smartphone spinner (updown.cpp). Left out: multiple
// selection, owner-drawn rows, columns and tab stops.
#include <windows.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"

#include <algorithm>
#include <vector>

namespace {

struct Row {
    std::u16string text;
    LPARAM data = 0;
};

struct ListBox {
    HWND hwnd = nullptr;
    std::vector<Row> rows;
    int selected = -1;
    int top = 0;
    int rowHeight = 0;
};

int Count(const ListBox& list) { return static_cast<int>(list.rows.size()); }
bool Valid(const ListBox& list, WPARAM index) { return static_cast<int>(index) >= 0 && static_cast<int>(index) < Count(list); }

int VisibleRows(const ListBox& list)
{
    RECT client;
    GetClientRect(list.hwnd, &client);
    return std::max(1, static_cast<int>((client.bottom - client.top) / list.rowHeight));
}

void ScrollIntoView(ListBox& list, int index)
{
    if (index < 0)
        return;
    if (index < list.top)
        list.top = index;
    else if (index >= list.top + VisibleRows(list))
        list.top = index - VisibleRows(list) + 1;
}

void Select(ListBox& list, int index)
{
    if (list.selected == index)
        return;
    list.selected = index;
    ScrollIntoView(list, index);
    InvalidateRect(list.hwnd, nullptr, TRUE);
}

// A change the user made is reported; the program's own LB_SETCURSEL is not.
void SelectByUser(ListBox& list, int index)
{
    if (index == list.selected || !Valid(list, index))
        return;
    Select(list, index);
    if (device::StyleOf(list.hwnd) & LBS_NOTIFY)
        device::NotifyCommand(list.hwnd, LBN_SELCHANGE);
}

LRESULT Insert(ListBox& list, int index, LPCWSTR text)
{
    if (index < -1 || index > Count(list))
        return LB_ERR;
    Row row{text ? std::u16string(text) : std::u16string(), 0};
    if (index == -1)
        index = Count(list);
    list.rows.insert(list.rows.begin() + index, std::move(row));
    if (list.selected >= index)
        ++list.selected;
    InvalidateRect(list.hwnd, nullptr, TRUE);
    return index;
}

// LBS_SORT places an added row after the rows that sort before or with it.
LRESULT Add(ListBox& list, LPCWSTR text)
{
    if (!(device::StyleOf(list.hwnd) & LBS_SORT))
        return Insert(list, -1, text);
    std::u16string_view added = text ? text : u"";
    auto at = std::upper_bound(list.rows.begin(), list.rows.end(), added, [](std::u16string_view a, const Row& b) {
        return device::CompareTexts(a, b.text, true) < 0;
    });
    return Insert(list, static_cast<int>(at - list.rows.begin()), text);
}

LRESULT Delete(ListBox& list, WPARAM index)
{
    if (!Valid(list, index))
        return LB_ERR;
    int at = static_cast<int>(index);
    list.rows.erase(list.rows.begin() + at);
    if (list.selected == at)
        list.selected = -1;
    else if (list.selected > at)
        --list.selected;
    list.top = std::clamp(list.top, 0, std::max(0, Count(list) - 1));
    InvalidateRect(list.hwnd, nullptr, TRUE);
    return Count(list);
}

LRESULT Reset(ListBox& list)
{
    list.rows.clear();
    list.selected = -1;
    list.top = 0;
    InvalidateRect(list.hwnd, nullptr, TRUE);
    return 0;
}

LRESULT SetCurrent(ListBox& list, WPARAM index)
{
    if (static_cast<int>(index) == -1) {
        Select(list, -1);
        return LB_ERR; // documented: -1 clears the selection and still answers LB_ERR
    }
    if (!Valid(list, index))
        return LB_ERR;
    Select(list, static_cast<int>(index));
    return list.selected;
}

// Searches after `start`, wrapping round to it; texts compare without case.
LRESULT Find(const ListBox& list, WPARAM start, LPCWSTR text, bool exact)
{
    if (!text || list.rows.empty())
        return LB_ERR;
    std::u16string_view wanted(text);
    int count = Count(list);
    int first = Valid(list, start) ? static_cast<int>(start) + 1 : 0;
    for (int i = 0; i < count; ++i) {
        int index = (first + i) % count;
        std::u16string_view candidate = list.rows[index].text;
        if (!exact)
            candidate = candidate.substr(0, wanted.size());
        if (candidate.size() == wanted.size() && device::CompareTexts(candidate, wanted, true) == 0)
            return index;
    }
    return LB_ERR;
}

LRESULT GetText(const ListBox& list, WPARAM index, LPWSTR buffer)
{
    if (!Valid(list, index) || !buffer)
        return LB_ERR;
    const std::u16string& text = list.rows[index].text;
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = 0;
    return static_cast<LRESULT>(text.size());
}

LRESULT ItemRect(const ListBox& list, WPARAM index, RECT* rect)
{
    if (!Valid(list, index) || !rect)
        return LB_ERR;
    RECT client;
    GetClientRect(list.hwnd, &client);
    int top = (static_cast<int>(index) - list.top) * list.rowHeight;
    *rect = RECT{0, top, client.right, top + list.rowHeight};
    return TRUE;
}

LRESULT OnKeyDown(ListBox& list, WPARAM vk)
{
    int last = Count(list) - 1;
    int current = list.selected;
    switch (vk) {
    case VK_DOWN: SelectByUser(list, current < 0 ? 0 : std::min(current + 1, last)); break;
    case VK_UP: SelectByUser(list, current < 0 ? 0 : std::max(current - 1, 0)); break;
    case VK_HOME: SelectByUser(list, 0); break;
    case VK_END: SelectByUser(list, last); break;
    case VK_NEXT: SelectByUser(list, std::min(std::max(current, 0) + VisibleRows(list), last)); break;
    case VK_PRIOR: SelectByUser(list, std::max(current - VisibleRows(list), 0)); break;
    }
    return 0;
}

// Typing a letter moves to the next row that starts with it.
LRESULT OnChar(ListBox& list, WCHAR ch)
{
    if (ch < 0x20)
        return 0;
    WCHAR prefix[2] = {ch, 0};
    LRESULT found = Find(list, static_cast<WPARAM>(list.selected), prefix, false);
    if (found != LB_ERR)
        SelectByUser(list, static_cast<int>(found));
    return 0;
}

LRESULT OnButtonDown(ListBox& list, LPARAM lp)
{
    SetFocus(list.hwnd);
    int index = list.top + static_cast<SHORT>(HIWORD(lp)) / list.rowHeight;
    SelectByUser(list, index);
    return 0;
}

// The rows that show, the selected one in the highlight colours.
LRESULT Paint(const ListBox& list)
{
    device::PaintScope paint(list.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    device::PaintBackground(list.hwnd, dc, WM_CTLCOLORLISTBOX, client);
    COLORREF text = GetTextColor(dc);
    for (int index = list.top; index < Count(list); ++index) {
        int top = (index - list.top) * list.rowHeight;
        if (top >= client.bottom)
            break;
        RECT row{0, top, client.right, top + list.rowHeight};
        bool selected = index == list.selected;
        if (selected)
            FillRect(dc, &row, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
        RECT label = row;
        label.left += 2;
        const std::u16string& rowText = list.rows[index].text;
        DrawTextW(dc, rowText.c_str(), static_cast<int>(rowText.size()), &label,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    return 0;
}

LRESULT OnSetFont(ListBox& list, WPARAM font, LPARAM redraw)
{
    DefWindowProcW(list.hwnd, WM_SETFONT, font, redraw);
    list.rowHeight = std::max(1, device::LineHeight(list.hwnd));
    if (redraw)
        InvalidateRect(list.hwnd, nullptr, TRUE);
    return 0;
}

} // namespace

namespace device {

LRESULT CALLBACK ListBoxProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<ListBox>(hwnd)->rowHeight = std::max(1, LineHeight(hwnd));
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    ListBox* list = StateOf<ListBox>(hwnd);
    if (!list)
        return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case LB_ADDSTRING: return Add(*list, reinterpret_cast<LPCWSTR>(lp));
    case LB_INSERTSTRING: return Insert(*list, static_cast<int>(wp), reinterpret_cast<LPCWSTR>(lp));
    case LB_DELETESTRING: return Delete(*list, wp);
    case LB_RESETCONTENT: return Reset(*list);
    case LB_GETCOUNT: return Count(*list);
    case LB_SETCURSEL: return SetCurrent(*list, wp);
    case LB_GETCURSEL: return list->selected;
    case LB_GETCARETINDEX: return list->selected;
    case LB_GETSEL: return Valid(*list, wp) ? (static_cast<int>(wp) == list->selected) : LB_ERR;
    case LB_SETSEL:
    case LB_GETSELCOUNT: return LB_ERR; // single-selection list boxes only
    case LB_GETTEXT: return GetText(*list, wp, reinterpret_cast<LPWSTR>(lp));
    case LB_GETTEXTLEN: return Valid(*list, wp) ? static_cast<LRESULT>(list->rows[wp].text.size()) : LB_ERR;
    case LB_SETITEMDATA:
        if (!Valid(*list, wp))
            return LB_ERR;
        list->rows[wp].data = lp;
        return TRUE;
    case LB_GETITEMDATA: return Valid(*list, wp) ? list->rows[wp].data : LB_ERR;
    case LB_FINDSTRINGEXACT: return Find(*list, wp, reinterpret_cast<LPCWSTR>(lp), true);
    case LB_FINDSTRING: return Find(*list, wp, reinterpret_cast<LPCWSTR>(lp), false);
    case LB_SELECTSTRING: {
        LRESULT found = Find(*list, wp, reinterpret_cast<LPCWSTR>(lp), false);
        if (found != LB_ERR)
            Select(*list, static_cast<int>(found));
        return found;
    }
    case LB_GETTOPINDEX: return list->top;
    case LB_SETTOPINDEX:
        if (!Valid(*list, wp))
            return LB_ERR;
        list->top = static_cast<int>(wp);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETITEMHEIGHT: return list->rowHeight;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lp) == 0 || LOWORD(lp) > 255)
            return LB_ERR;
        list->rowHeight = LOWORD(lp);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case LB_GETITEMRECT: return ItemRect(*list, wp, reinterpret_cast<RECT*>(lp));
    case WM_KEYDOWN: return OnKeyDown(*list, wp);
    case WM_CHAR: return OnChar(*list, static_cast<WCHAR>(wp));
    case WM_LBUTTONDOWN: return OnButtonDown(*list, lp);
    case WM_PAINT: return Paint(*list);
    case WM_SETFONT: return OnSetFont(*list, wp, lp);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (device::IsActionKey(lp) ? DLGC_WANTMESSAGE : 0);
    case WM_SETFOCUS: NotifyCommand(hwnd, LBN_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifyCommand(hwnd, LBN_KILLFOCUS); return 0;
    case WM_NCDESTROY: DestroyState<ListBox>(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
