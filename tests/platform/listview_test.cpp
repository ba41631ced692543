// The list view in report view, as the program's owner-drawn lists use it.
#include "ControlHost.h"

#include <string>

using control_host::ControlTest;
using control_host::g_recorder;

namespace {

// The program's owner-drawn list: child, visible, vertical scroll bar, report view, single selection,
// selection always shown, owner-drawn fixed rows, no column header.
constexpr DWORD kOwnerDrawnList = 0x5020C40D;

class ListViewControl : public ControlTest {
protected:
    HWND MakeList(DWORD extraStyle = 0, int height = 100)
    {
        HWND list = CreateWindowExW(0, WC_LISTVIEW, TEXT(""), kOwnerDrawnList | extraStyle, 0, 0, 200, height, m_host,
                                    reinterpret_cast<HMENU>(650), nullptr, nullptr);
        LVCOLUMNW column{LVCF_WIDTH, 0, 200};
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        return list;
    }

    static int Insert(HWND list, int index, const char16_t* text, LPARAM data)
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = const_cast<LPWSTR>(text);
        item.lParam = data;
        return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }

    static std::u16string RowText(HWND list, int index)
    {
        WCHAR text[64] = {};
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = 64;
        if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
            return u"<none>";
        return text;
    }

    static LPARAM RowData(HWND list, int index)
    {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }

    static void Select(HWND list, int index)
    {
        LVITEMW state{};
        state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    }

    static int Selected(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }

    static int Find(HWND list, const char16_t* text, int start = -1)
    {
        LVFINDINFOW find{LVFI_STRING, text};
        return static_cast<int>(SendMessageW(list, LVM_FINDITEMW, start, reinterpret_cast<LPARAM>(&find)));
    }
};

int CALLBACK LatestFirst(LPARAM a, LPARAM b, LPARAM sortParam)
{
    EXPECT_EQ(sortParam, 77);
    return a < b ? 1 : (a > b ? -1 : 0);
}

} // namespace

TEST_F(ListViewControl, SortedListOrdersRowsByTextInTheUsersLocale)
{
    HWND list = MakeList(LVS_SORTASCENDING);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Insert(list, 0, u"Zoe", 1), 0);
    EXPECT_EQ(Insert(list, 1, u"\u00c9mile", 2), 0);
    EXPECT_EQ(Insert(list, 2, u"adam", 3), 0);
    EXPECT_EQ(Insert(list, 3, u"Emma", 4), 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(RowText(list, 0), u"adam");
    EXPECT_EQ(RowText(list, 1), u"\u00c9mile");
    EXPECT_EQ(RowText(list, 2), u"Emma");
    EXPECT_EQ(RowText(list, 3), u"Zoe");
    EXPECT_EQ(RowData(list, 3), 1);
    EXPECT_EQ(g_recorder.Notifies(LVN_INSERTITEM), 4);

    // Without a sort style a row goes where it is put; an index past the end appends.
    HWND plain = MakeList();
    Insert(plain, 0, u"b", 0);
    Insert(plain, 0, u"a", 0);
    EXPECT_EQ(Insert(plain, 50, u"c", 0), 2);
    EXPECT_EQ(RowText(plain, 0), u"a");
    EXPECT_EQ(RowText(plain, 2), u"c");
    EXPECT_EQ(RowText(plain, 3), u"<none>");
}

TEST_F(ListViewControl, OwnerDrawnRowsAreMeasuredAndDrawnByTheParentWithTheirDataAndState)
{
    g_recorder.rowHeight = 30;
    HWND list = MakeList(0, 100);
    MoveWindow(list, 0, 0, 200, 100, FALSE);
    // Making and laying out the control doesn't ask the parent yet: it may not be ready to measure.
    EXPECT_TRUE(g_recorder.measured.empty());
    Insert(list, 0, u"Groups", 0x1000);
    Insert(list, 1, u"Scheduled", 0x2000);
    Insert(list, 2, u"Backup", 0x3000);
    Insert(list, 3, u"Statistics", 0x4000);
    Select(list, 1);

    // The row height comes from WM_MEASUREITEM to the parent.
    RECT rect{LVIR_BOUNDS};
    ASSERT_TRUE(SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect)));
    EXPECT_EQ(rect.top, 60);
    EXPECT_EQ(rect.bottom, 90);
    ASSERT_FALSE(g_recorder.measured.empty());
    EXPECT_EQ(g_recorder.measured[0].CtlType, static_cast<UINT>(ODT_LISTVIEW));
    EXPECT_EQ(g_recorder.measured[0].CtlID, 650u);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0), 3);

    auto dc = reinterpret_cast<HDC>(0x5151);
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
    ASSERT_EQ(g_recorder.drawn.size(), 4u); // three whole rows and the part of the fourth that shows
    const DRAWITEMSTRUCT& second = g_recorder.drawn[1];
    EXPECT_EQ(second.CtlType, static_cast<UINT>(ODT_LISTVIEW));
    EXPECT_EQ(second.CtlID, 650u);
    EXPECT_EQ(second.itemID, 1u);
    EXPECT_EQ(second.itemData, 0x2000u);
    EXPECT_EQ(second.hwndItem, list);
    EXPECT_EQ(second.hDC, dc);
    EXPECT_EQ(second.rcItem.top, 30);
    EXPECT_EQ(second.rcItem.right, 200);
    // Selected without the focus: LVS_SHOWSELALWAYS still shows it selected, but not focused.
    EXPECT_EQ(second.itemState, static_cast<UINT>(ODS_SELECTED));
    EXPECT_EQ(g_recorder.drawn[0].itemState, 0u);

    SetFocus(list);
    g_recorder.drawn.clear();
    SendMessageW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), 0);
    EXPECT_EQ(g_recorder.drawn[1].itemState, static_cast<UINT>(ODS_SELECTED | ODS_FOCUS));

    // A new font asks for the height again.
    g_recorder.rowHeight = 40;
    SendMessageW(list, WM_SETFONT, 0, TRUE);
    SendMessageW(list, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.top, 80);
}

TEST_F(ListViewControl, ArrowKeysMoveTheSelectionAndScrollAndReportEachChange)
{
    g_recorder.rowHeight = 30;
    HWND list = MakeList(0, 90);
    for (int i = 0; i < 5; ++i)
        Insert(list, i, u"row", 100 + i);
    Press(list, VK_DOWN); // nothing focused yet: the first row
    EXPECT_EQ(Selected(list), 0);
    Press(list, VK_DOWN);
    Press(list, VK_DOWN);
    Press(list, VK_DOWN);
    EXPECT_EQ(Selected(list), 3);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), 3);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 1); // three rows fit; the fourth scrolled in

    // Each move deselects the old row and selects the new one, with the item data attached.
    auto changes = g_recorder.Of(WM_NOTIFY, LVN_ITEMCHANGED);
    ASSERT_GE(changes.size(), 2u);
    const NMLISTVIEW& last = changes.back().listView;
    EXPECT_EQ(last.iItem, 3);
    EXPECT_EQ(last.lParam, 103);
    EXPECT_EQ(last.uChanged, static_cast<UINT>(LVIF_STATE));
    EXPECT_TRUE(last.uNewState & LVIS_SELECTED);
    bool oldRowDeselected = false;
    for (const auto& change : changes)
        oldRowDeselected |= change.listView.iItem == 2 && (change.listView.uOldState & LVIS_SELECTED) &&
                            !(change.listView.uNewState & LVIS_SELECTED);
    EXPECT_TRUE(oldRowDeselected);
    EXPECT_EQ(g_recorder.Notifies(LVN_KEYDOWN), 4);

    Press(list, VK_END);
    EXPECT_EQ(Selected(list), 4);
    Press(list, VK_DOWN);
    EXPECT_EQ(Selected(list), 4);
    Press(list, VK_HOME);
    EXPECT_EQ(Selected(list), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
    Press(list, VK_UP);
    EXPECT_EQ(Selected(list), 0);
}

TEST_F(ListViewControl, ActionKeyAndTapsActivateTheRowUnderThemWithHitTesting)
{
    g_recorder.rowHeight = 30;
    HWND list = MakeList();
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    EXPECT_EQ(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    Insert(list, 0, u"first", 11);
    Insert(list, 1, u"second", 22);
    Select(list, 0);

    Press(list, VK_RETURN);
    auto returns = g_recorder.Of(WM_NOTIFY, NM_RETURN);
    ASSERT_EQ(returns.size(), 1u);
    EXPECT_EQ(returns[0].id, 650);
    EXPECT_EQ(returns[0].from, list);
    EXPECT_EQ(returns[0].activation.iItem, 0);
    ASSERT_EQ(g_recorder.Notifies(LVN_ITEMACTIVATE), 1);

    LVHITTESTINFO hit{{50, 45}};
    EXPECT_EQ(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)), 1);
    EXPECT_EQ(hit.iItem, 1);
    EXPECT_TRUE(hit.flags & LVHT_ONITEM);
    LVHITTESTINFO below{{50, 75}};
    EXPECT_EQ(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&below)), -1);
    EXPECT_EQ(below.flags, static_cast<UINT>(LVHT_NOWHERE));

    // A tap on the second row selects it, then NM_CLICK carries the row and the point.
    PostMessageW(list, WM_LBUTTONDOWN, 0, MAKELPARAM(50, 45));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(50, 45));
    Pump();
    EXPECT_EQ(Selected(list), 1);
    auto clicks = g_recorder.Of(WM_NOTIFY, NM_CLICK);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].activation.iItem, 1);
    EXPECT_EQ(clicks[0].activation.ptAction.x, 50);
    EXPECT_EQ(clicks[0].activation.ptAction.y, 45);
    auto activations = g_recorder.Of(WM_NOTIFY, LVN_ITEMACTIVATE);
    ASSERT_EQ(activations.size(), 2u);
    EXPECT_EQ(activations[1].activation.iItem, 1);
    EXPECT_EQ(activations[1].activation.lParam, 22);

    // A tap below the rows clicks nowhere and activates nothing.
    SendMessageW(list, WM_LBUTTONDOWN, 0, MAKELPARAM(50, 80));
    SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(50, 80));
    EXPECT_EQ(g_recorder.Of(WM_NOTIFY, NM_CLICK).back().activation.iItem, -1);
    EXPECT_EQ(g_recorder.Notifies(LVN_ITEMACTIVATE), 2);
    EXPECT_EQ(Selected(list), 1);
}

TEST_F(ListViewControl, ActivationThatClosesTheScreenEndsTheListsWorkSafely)
{
    HWND list = MakeList();
    Insert(list, 0, u"only", 1);
    Select(list, 0);
    g_recorder.onNotice = [&](const control_host::Notice& notice) {
        if (notice.code == static_cast<int>(NM_RETURN))
            DestroyWindow(list);
    };
    Press(list, VK_RETURN);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(g_recorder.Notifies(NM_RETURN), 1);
    EXPECT_EQ(g_recorder.Notifies(LVN_ITEMACTIVATE), 0);
}

TEST_F(ListViewControl, FindsExactTextWithoutCaseFromAStartingRow)
{
    HWND list = MakeList();
    Insert(list, 0, u"Anna", 0);
    Insert(list, 1, u"Bob", 0);
    Insert(list, 2, u"anna", 0);
    EXPECT_EQ(Find(list, u"ANNA"), 0);
    EXPECT_EQ(Find(list, u"anna", 0), 2);
    EXPECT_EQ(Find(list, u"anna", 2), -1); // no LVFI_WRAP: the search stops at the end
    EXPECT_EQ(Find(list, u"Ann"), -1);
    LVFINDINFOW wrapping{LVFI_STRING | LVFI_WRAP, u"Bob"};
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, 2, reinterpret_cast<LPARAM>(&wrapping)), 1);
    LVFINDINFOW partial{LVFI_PARTIAL | LVFI_STRING, u"bo"};
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, -1, reinterpret_cast<LPARAM>(&partial)), 1);
    LVFINDINFOW byData{LVFI_PARAM};
    byData.lParam = 0;
    EXPECT_EQ(SendMessageW(list, LVM_FINDITEMW, 0, reinterpret_cast<LPARAM>(&byData)), 1);
}

TEST_F(ListViewControl, SortingWithACallbackMovesRowsWithTheirSelection)
{
    HWND list = MakeList();
    Insert(list, 0, u"old", 10);
    Insert(list, 1, u"newest", 30);
    Insert(list, 2, u"middle", 20);
    Select(list, 1);
    EXPECT_TRUE(SendMessageW(list, LVM_SORTITEMS, 77, reinterpret_cast<LPARAM>(LatestFirst)));
    EXPECT_EQ(RowText(list, 0), u"newest");
    EXPECT_EQ(RowText(list, 1), u"middle");
    EXPECT_EQ(RowText(list, 2), u"old");
    EXPECT_EQ(Selected(list), 0);
    EXPECT_FALSE(SendMessageW(list, LVM_SORTITEMS, 0, 0));
}

TEST_F(ListViewControl, DeletingRowsKeepsTheSelectionOnTheRowsThatRemain)
{
    HWND list = MakeList();
    for (int i = 0; i < 4; ++i)
        Insert(list, i, u"row", i);
    Select(list, 2);
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEITEM, 0, 0));
    EXPECT_EQ(Selected(list), 1);
    EXPECT_EQ(RowData(list, 1), 2);
    auto deleted = g_recorder.Of(WM_NOTIFY, LVN_DELETEITEM);
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].listView.lParam, 0);

    // Deleting the selected row leaves no row selected.
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEITEM, 1, 0));
    EXPECT_EQ(Selected(list), -1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED), -1);
    EXPECT_FALSE(SendMessageW(list, LVM_DELETEITEM, 5, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);

    // Deleting everything: one LVN_DELETEALLITEMS, and the rows one by one unless the parent declines.
    g_recorder.notices.clear();
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(g_recorder.Notifies(LVN_DELETEALLITEMS), 1);
    EXPECT_EQ(g_recorder.Notifies(LVN_DELETEITEM), 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_EQ(Selected(list), -1);
    Insert(list, 0, u"again", 9);
    g_recorder.notifyAnswer = TRUE;
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    EXPECT_EQ(g_recorder.Notifies(LVN_DELETEITEM), 2);
}

TEST_F(ListViewControl, SingleSelectionStateMessagesKeepOneSelectedAndOneFocusedRow)
{
    HWND list = MakeList();
    for (int i = 0; i < 3; ++i)
        Insert(list, i, u"row", i);
    Select(list, 0);
    Select(list, 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 2, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_SELECTED | LVIS_FOCUSED), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_ALL), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, 0, LVNI_ALL), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, 2, LVNI_ABOVE), 1);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, 2, LVNI_BELOW), -1);

    // The parent can refuse a change through LVN_ITEMCHANGING.
    g_recorder.notifyAnswer = TRUE;
    Select(list, 1);
    g_recorder.notifyAnswer = 0;
    EXPECT_EQ(Selected(list), 2);

    // Clearing the state of every row at once.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;
    EXPECT_TRUE(SendMessageW(list, LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none)));
    EXPECT_EQ(Selected(list), -1);
}

TEST_F(ListViewControl, EnsureVisibleScrollsAndColumnsFillTheWidth)
{
    g_recorder.rowHeight = 25;
    HWND list = MakeList(0, 100);
    for (int i = 0; i < 10; ++i)
        Insert(list, i, u"row", i);
    EXPECT_TRUE(SendMessageW(list, LVM_ENSUREVISIBLE, 7, FALSE));
    EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 4);
    EXPECT_TRUE(SendMessageW(list, LVM_ENSUREVISIBLE, 5, FALSE)); // already visible: no scrolling
    EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 4);
    EXPECT_TRUE(SendMessageW(list, LVM_ENSUREVISIBLE, 1, FALSE));
    EXPECT_EQ(SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 1);
    EXPECT_FALSE(SendMessageW(list, LVM_ENSUREVISIBLE, 10, FALSE));
    RECT rect{LVIR_BOUNDS};
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.top, 0);

    // The toolkit sets its one column to the client width on every resize.
    MoveWindow(list, 0, 0, 150, 100, FALSE);
    EXPECT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 150);
    SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(120, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 120);
    SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.right, 120);

    auto images = reinterpret_cast<HIMAGELIST>(0x77);
    EXPECT_EQ(SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images)), 0);
    EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), reinterpret_cast<LRESULT>(images));
    EXPECT_EQ(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
}
