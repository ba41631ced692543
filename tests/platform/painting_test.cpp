// What the controls draw: their text and parts in the colours their parent chooses.
#include "ControlHost.h"

#include "gdi/Drawing.h"

#include <wingdi.h>

using control_host::ControlTest;
using control_host::g_recorder;
using device::DrawingOf;

namespace {

template <class T>
std::vector<T> OfKind(const std::vector<device::Drawing>& drawings)
{
    std::vector<T> result;
    for (const auto& drawing : drawings)
        if (auto item = std::get_if<T>(&drawing.what))
            result.push_back(*item);
    return result;
}

std::vector<std::u16string> Texts(HWND hwnd)
{
    std::vector<std::u16string> texts;
    for (const auto& text : OfKind<device::TextDrawing>(DrawingOf(hwnd)))
        texts.push_back(text.text);
    return texts;
}

class ControlPainting : public ControlTest {
protected:
    static void Paint(HWND hwnd)
    {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
};

} // namespace

TEST_F(ControlPainting, StaticTextIsDrawnInTheColourTheParentChooses)
{
    HWND counter = Create(TEXT("Static"), SS_RIGHT, 667, TEXT("0/160"));
    HWND label = Create(TEXT("Static"), SS_LEFT, 620, TEXT("Message"));
    g_recorder.onColour = [&](UINT msg, HDC dc, HWND control) -> LRESULT {
        if (msg == WM_CTLCOLORSTATIC && control == counter)
            SetTextColor(dc, RGB(0, 0, 255));
        return 0;
    };
    Paint(counter);
    Paint(label);
    auto counterText = OfKind<device::TextDrawing>(DrawingOf(counter));
    ASSERT_EQ(counterText.size(), 1u);
    EXPECT_EQ(counterText[0].text, u"0/160");
    EXPECT_EQ(counterText[0].textColor, RGB(0, 0, 255));
    EXPECT_TRUE(counterText[0].format & DT_RIGHT);
    auto labelText = OfKind<device::TextDrawing>(DrawingOf(label));
    ASSERT_EQ(labelText.size(), 1u);
    EXPECT_EQ(labelText[0].textColor, GetSysColor(COLOR_WINDOWTEXT));

    SetWindowTextW(counter, TEXT("1/160"));
    UpdateWindow(counter);
    EXPECT_EQ(Texts(counter), std::vector<std::u16string>{u"1/160"});
}

TEST_F(ControlPainting, EditAsksForStaticColoursWhileReadOnlyAndHidesPasswords)
{
    HWND edit = Create(TEXT("Edit"), 0, 650, TEXT("Hello"));
    Paint(edit);
    ASSERT_FALSE(g_recorder.colourRequests.empty());
    EXPECT_EQ(g_recorder.colourRequests.back().first, static_cast<UINT>(WM_CTLCOLOREDIT));
    EXPECT_EQ(Texts(edit), std::vector<std::u16string>{u"Hello"});
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    Paint(edit);
    EXPECT_EQ(g_recorder.colourRequests.back().first, static_cast<UINT>(WM_CTLCOLORSTATIC));

    HWND secret = Create(TEXT("Edit"), ES_PASSWORD, 651);
    Type(secret, u"1234");
    UpdateWindow(secret);
    EXPECT_EQ(Texts(secret), std::vector<std::u16string>{u"****"});
    EXPECT_EQ(Text(secret), u"1234");
}

TEST_F(ControlPainting, CheckBoxDrawsItsCaptionAndATickOnlyWhenChecked)
{
    HWND box = Create(TEXT("Button"), BS_AUTOCHECKBOX, 653, TEXT("Exit after sending"), RECT{0, 0, 200, 20});
    Paint(box);
    EXPECT_EQ(Texts(box), std::vector<std::u16string>{u"Exit after sending"});
    size_t uncheckedLines = OfKind<device::LineDrawing>(DrawingOf(box)).size();
    SendMessageW(box, BM_CLICK, 0, 0);
    UpdateWindow(box);
    EXPECT_EQ(OfKind<device::LineDrawing>(DrawingOf(box)).size(), uncheckedLines + 2); // the tick's two strokes
    EXPECT_EQ(g_recorder.colourRequests.back().first, static_cast<UINT>(WM_CTLCOLORSTATIC));
}

TEST_F(ControlPainting, ListBoxDrawsItsRowsWithTheSelectedOneHighlighted)
{
    HWND list = Create(TEXT("ListBox"), 0, 655);
    for (const char16_t* row : {u"Every caller", u"Contacts only"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    UpdateWindow(list);
    auto texts = OfKind<device::TextDrawing>(DrawingOf(list));
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, u"Every caller");
    EXPECT_EQ(texts[1].text, u"Contacts only");
    EXPECT_EQ(texts[1].textColor, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_NE(texts[0].textColor, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_GT(texts[1].rect.top, texts[0].rect.top);
    bool highlighted = false;
    for (const auto& fill : OfKind<device::FillDrawing>(DrawingOf(list)))
        highlighted |= fill.color == GetSysColor(COLOR_HIGHLIGHT) && fill.rect.top == texts[1].rect.top;
    EXPECT_TRUE(highlighted);
}

TEST_F(ControlPainting, ListViewRowsAreDrawnByTheParentIntoThePaintContext)
{
    g_recorder.rowHeight = 30;
    g_recorder.onDraw = [](const DRAWITEMSTRUCT& draw) {
        std::u16string title = u"row " + std::u16string(1, static_cast<char16_t>(u'0' + draw.itemID));
        RECT rect = draw.rcItem;
        DrawTextW(draw.hDC, title.c_str(), -1, &rect, DT_SINGLELINE);
    };
    HWND list = CreateWindowExW(0, WC_LISTVIEW, TEXT(""), 0x5020C40D, 0, 0, 200, 100, m_host,
                                reinterpret_cast<HMENU>(650), nullptr, nullptr);
    for (int i = 0; i < 2; ++i) {
        LVITEMW item{LVIF_PARAM, i};
        item.lParam = 100 + i;
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    g_recorder.drawn.clear();
    UpdateWindow(list);
    ASSERT_EQ(g_recorder.drawn.size(), 2u);
    EXPECT_NE(g_recorder.drawn[0].hDC, nullptr);
    EXPECT_EQ(g_recorder.drawn[1].itemData, 101u);
    auto row = device::DrawingWithin(list, RECT{0, 30, 200, 60});
    auto texts = OfKind<device::TextDrawing>(row);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, u"row 1");
}

TEST_F(ControlPainting, PlainListViewDrawsTextColumnsAndTheSelection)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEW, TEXT(""), WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL, 0, 0,
                                200, 120, m_host, reinterpret_cast<HMENU>(650), nullptr, nullptr);
    LVCOLUMNW name{LVCF_WIDTH | LVCF_TEXT, 0, 120, const_cast<LPWSTR>(u"Name")};
    LVCOLUMNW count{LVCF_WIDTH | LVCF_TEXT, 0, 80, const_cast<LPWSTR>(u"Count")};
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&name));
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&count));
    LVITEMW item{LVIF_TEXT, 0, 0, 0, 0, const_cast<LPWSTR>(u"Friends")};
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMW sub{LVIF_TEXT, 0, 1, 0, 0, const_cast<LPWSTR>(u"3")};
    SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&sub));
    SetFocus(list);
    LVITEMW state{};
    state.state = state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    UpdateWindow(list);

    std::vector<std::u16string> expected{u"Name", u"Count", u"Friends", u"3"};
    EXPECT_EQ(Texts(list), expected);
    auto texts = OfKind<device::TextDrawing>(DrawingOf(list));
    EXPECT_EQ(texts[2].textColor, GetSysColor(COLOR_HIGHLIGHTTEXT));
    RECT rowRect{LVIR_BOUNDS};
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rowRect));
    EXPECT_GE(texts[2].rect.top, rowRect.top);
    EXPECT_GT(rowRect.top, 0); // below the column titles

    // LVSCW_AUTOSIZE fits the widest text of the column.
    EXPECT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    int fitted = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_GT(fitted, 0);
    EXPECT_LT(fitted, 80);
}

namespace {

WNDPROC g_listProcedure = nullptr;

// As the program's lists do: an "empty" text drawn over the background while there are no rows.
LRESULT CALLBACK EmptyTextSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_ERASEBKGND && SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0) == 0) {
        auto dc = reinterpret_cast<HDC>(wp);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        DrawTextW(dc, u"No groups", -1, &client, DT_CENTER | DT_WORDBREAK);
        return 1;
    }
    return CallWindowProcW(g_listProcedure, hwnd, msg, wp, lp);
}

} // namespace

TEST_F(ControlPainting, SubclassedListViewDrawsItsEmptyTextOnlyWhileEmpty)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEW, TEXT(""), WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0,
                                200, 120, m_host, reinterpret_cast<HMENU>(650), nullptr, nullptr);
    LVCOLUMNW column{LVCF_WIDTH, 0, 200};
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    g_listProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(EmptyTextSubclass)));
    Paint(list);
    EXPECT_EQ(Texts(list), std::vector<std::u16string>{u"No groups"});

    LVITEMW item{LVIF_TEXT, 0, 0, 0, 0, const_cast<LPWSTR>(u"Family")};
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    UpdateWindow(list);
    EXPECT_EQ(Texts(list), std::vector<std::u16string>{u"Family"});
}

TEST_F(ControlPainting, ProgressBarFillsThePartOfTheRangeCovered)
{
    HWND bar = Create(PROGRESS_CLASS, 0, 670, TEXT(""), RECT{0, 0, 102, 10});
    SendMessageW(bar, PBM_SETPOS, 50, 0);
    UpdateWindow(bar);
    bool half = false;
    for (const auto& fill : OfKind<device::FillDrawing>(DrawingOf(bar)))
        half |= fill.color == GetSysColor(COLOR_HIGHLIGHT) && fill.rect.left == 1 && fill.rect.right == 51;
    EXPECT_TRUE(half);
}

TEST_F(ControlPainting, DateTimePickerHighlightsTheFieldBeingEdited)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_DATE_CLASSES};
    InitCommonControlsEx(&init);
    HWND picker = Create(DATETIMEPICK_CLASS, DTS_UPDOWN, 654, TEXT(""), RECT{0, 0, 200, 20});
    SendMessageW(picker, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(u"d/M/yyyy"));
    SYSTEMTIME time{2008, 6, 0, 15};
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    Press(picker, VK_RIGHT); // the month
    UpdateWindow(picker);
    auto texts = OfKind<device::TextDrawing>(DrawingOf(picker));
    std::u16string shown;
    for (const auto& text : texts)
        shown += text.text;
    EXPECT_EQ(shown, u"15/6/2008");
    for (const auto& text : texts)
        EXPECT_EQ(text.textColor == GetSysColor(COLOR_HIGHLIGHTTEXT), text.text == u"6") << std::string(text.text.begin(), text.text.end());
}

TEST_F(ControlPainting, ListViewRowsFitTheSmallIconsAndTheImageListsGoWithTheControlUnlessShared)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEW, TEXT(""), WS_CHILD | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0, 200, 200,
                                m_host, reinterpret_cast<HMENU>(650), nullptr, nullptr);
    HIMAGELIST images = ImageList_Create(40, 40, ILC_COLOR16 | ILC_MASK, 1, 1);
    ASSERT_NE(images, nullptr);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    LVITEMW item{LVIF_TEXT, 0, 0, 0, 0, const_cast<LPWSTR>(u"Family")};
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    RECT row{LVIR_BOUNDS}, icon{LVIR_ICON};
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&icon));
    EXPECT_GE(row.bottom - row.top, 40);
    EXPECT_EQ(icon.right - icon.left, 40);

    HWND sharing = CreateWindowExW(0, WC_LISTVIEW, TEXT(""), WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS, 0, 0, 200, 200,
                                   m_host, reinterpret_cast<HMENU>(651), nullptr, nullptr);
    HIMAGELIST shared = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 1, 1);
    SendMessageW(sharing, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(shared));

    DestroyWindow(list);
    DestroyWindow(sharing);
    int cx = 0, cy = 0;
    EXPECT_FALSE(ImageList_GetIconSize(images, &cx, &cy)); // destroyed with its list
    EXPECT_TRUE(ImageList_GetIconSize(shared, &cx, &cy));
    EXPECT_TRUE(ImageList_Destroy(shared));
}
