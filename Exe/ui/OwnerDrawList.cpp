#include "ui/OwnerDrawList.h"

#include "ui/Layout.h"
#include "ui/PlatformType.h"

#include <new>

namespace {

constexpr DWORD kListStyle = 0x5020C40D; // child, visible, scroll bar, report, single, owner-drawn, no header
constexpr int kInset = 5;
constexpr int kEmptyTextTop = 10;
constexpr int kRowSpacingPocketPC = 10;
constexpr int kRowSpacingSmartphone = 5;

// A font from the system font's description: size in points (negative), the height from the screen.
HFONT MakeFont(int size, LONG weight, bool struckOut)
{
    LOGFONTW font{};
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    if (!system || !GetObjectW(system, sizeof font, &font))
        return nullptr;
    font.lfHeight = size * ScreenDpiY() / -72;
    font.lfWeight = weight;
    font.lfStrikeOut = struckOut;
    return CreateFontIndirectW(&font);
}

int LineHeight(HDC dc, HFONT font)
{
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    return metrics.tmHeight + metrics.tmExternalLeading;
}

} // namespace

OwnerDrawList::~OwnerDrawList()
{
    Detach();
    if (m_images) {
        ImageList_RemoveAll(m_images);
        ImageList_Destroy(m_images);
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_titleFont), static_cast<HGDIOBJ>(m_subtitleFont),
                           static_cast<HGDIOBJ>(m_dimmedFontHandle), static_cast<HGDIOBJ>(m_separatorPen)})
        if (object)
            DeleteObject(object);
    delete[] m_emptyText;
}

HRESULT OwnerDrawList::Create(HWND parent, int id, DWORD extraStyle)
{
    HWND list = CreateWindowExW(0, WC_LISTVIEW, nullptr, kListStyle | extraStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (!list)
        return E_FAIL;
    return Attach(list);
}

HRESULT OwnerDrawList::Attach(HWND list)
{
    if (!list || m_list)
        return E_FAIL;
    m_list = list;
    SetWindowLongPtrW(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerDrawList::SubclassProc)));
    if (!m_previousProc || FAILED(MakeDrawingObjects()))
        return E_FAIL;
    if (m_images)
        SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images));
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    RECT client{};
    GetClientRect(list, &client);
    column.cx = client.right;
    if (SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)) < 0)
        return E_FAIL;
    HWND parent = GetParent(list);
    RECT parentClient{};
    GetClientRect(parent, &parentClient);
    SendMessageW(parent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(parentClient.right, parentClient.bottom));
    return S_OK;
}

HRESULT OwnerDrawList::MakeDrawingObjects()
{
    m_titleFont = MakeFont(m_titleSize, FW_BOLD, false);
    m_subtitleFont = MakeFont(m_subtitleSize, FW_NORMAL, false);
    if (!m_titleFont || !m_subtitleFont)
        return E_FAIL;
    if (m_dimmedFont && !(m_dimmedFontHandle = MakeFont(m_subtitleSize, FW_NORMAL, true)))
        return E_FAIL;
    m_separatorPen = CreatePen(PS_SOLID, SeparatorThickness(), GetSysColor(COLOR_BTNFACE));
    if (!m_separatorPen)
        return E_FAIL;
    m_iconWidth = GetSystemMetrics(m_smallIcons ? SM_CXSMICON : SM_CXICON);
    m_iconHeight = GetSystemMetrics(m_smallIcons ? SM_CYSMICON : SM_CYICON);
    if (!m_noImageList && !(m_images = ImageList_Create(m_iconWidth, m_iconHeight, ILC_COLOR | ILC_MASK, 8, 8)))
        return E_FAIL;
    return S_OK;
}

// Gives the control back its own procedure and takes back the image list, so neither outlives the other.
void OwnerDrawList::Detach()
{
    if (!m_list)
        return;
    if (m_images)
        SendMessageW(m_list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    SetWindowLongPtrW(m_list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    SetWindowLongPtrW(m_list, GWLP_USERDATA, 0);
    m_list = nullptr;
}

// The control is going: it releases the image list it was given, and the object keeps nothing of it.
void OwnerDrawList::ForgetControl()
{
    m_list = nullptr;
    m_images = nullptr;
}

void OwnerDrawList::SelectRow(int index)
{
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(m_list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    SendMessageW(m_list, LVM_ENSUREVISIBLE, index, FALSE);
}

void OwnerDrawList::SelectRowByText(LPCWSTR text)
{
    if (!text || !*text)
        return;
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = text;
    int index =
        static_cast<int>(SendMessageW(m_list, LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
    if (index >= 0)
        SelectRow(index);
}

int OwnerDrawList::SelectedRow() const
{
    if (!m_list)
        return -1;
    return static_cast<int>(SendMessageW(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

LPARAM OwnerDrawList::RowData(int index) const
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!m_list || !SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

HRESULT OwnerDrawList::SetEmptyText(LPCWSTR text)
{
    delete[] m_emptyText;
    m_emptyText = nullptr;
    if (!text)
        return S_OK;
    int length = lstrlenW(text);
    m_emptyText = new (std::nothrow) WCHAR[length + 1];
    if (!m_emptyText)
        return E_OUTOFMEMORY;
    lstrcpyW(m_emptyText, text);
    if (m_list)
        InvalidateRect(m_list, nullptr, TRUE);
    return S_OK;
}

HRESULT OwnerDrawList::HandleNotify(const NMHDR* header)
{
    auto activation = reinterpret_cast<const NMITEMACTIVATE*>(header);
    switch (header->code) {
    case NM_RETURN: {
        int row = activation->iItem;
        if (row < 0 || !(SendMessageW(m_list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED))
            return S_FALSE;
        return Activate(row);
    }
    case NM_CLICK: {
        LVHITTESTINFO hit{};
        hit.pt = activation->ptAction;
        int row = static_cast<int>(SendMessageW(m_list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        return row >= 0 ? Activate(row) : S_FALSE;
    }
    }
    return E_FAIL;
}

bool OwnerDrawList::HandleScreenMessage(HWND screen, int id, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    switch (msg) {
    case WM_SIZE:
        if (m_list)
            FitControl(screen, id, kLayoutWhole);
        *result = 0;
        return true;
    case WM_DRAWITEM:
        if (!m_list || wp != static_cast<WPARAM>(id))
            return false;
        DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        *result = TRUE;
        return true;
    case WM_MEASUREITEM:
        if (!m_list || wp != static_cast<WPARAM>(id))
            return false;
        MeasureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
        *result = TRUE;
        return true;
    case WM_NOTIFY:
        if (!m_list || reinterpret_cast<const NMHDR*>(lp)->idFrom != static_cast<UINT_PTR>(id))
            return false;
        HandleNotify(reinterpret_cast<const NMHDR*>(lp));
        *result = 0;
        return true;
    }
    return false;
}

void OwnerDrawList::EnableCommandsForSelection(HMENU menu, std::initializer_list<UINT> commands)
{
    UINT state = SelectedRow() >= 0 ? MF_ENABLED : MF_GRAYED;
    for (UINT command : commands)
        EnableMenuItem(menu, command, MF_BYCOMMAND | state);
}

void OwnerDrawList::MeasureRow(MEASUREITEMSTRUCT& item)
{
    HDC dc = GetDC(m_list);
    if (!dc)
        return;
    int spacing = ScaleY(IsPocketPC() ? kRowSpacingPocketPC : kRowSpacingSmartphone);
    item.itemHeight = spacing + LineHeight(dc, m_titleFont) + LineHeight(dc, m_subtitleFont) + SeparatorThickness();
    ReleaseDC(m_list, dc);
}

void OwnerDrawList::DrawTwoLineRow(const DRAWITEMSTRUCT& item, LPCWSTR title, LPCWSTR subtitle, int image, bool dimmed)
{
    HDC dc = item.hDC;
    const RECT& bounds = item.rcItem;
    int inset = ScaleX(kInset);
    int separator = SeparatorThickness();
    bool selected = (item.itemState & ODS_SELECTED) != 0;

    RECT fill = bounds;
    fill.bottom -= separator;
    FillRect(dc, &fill, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : dimmed ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));

    // The icon's place at one end; the text takes the rest.
    bool withIcon = m_images != nullptr;
    RECT label = fill;
    label.left += inset;
    label.right -= inset;
    int iconLeft = m_iconAtRight ? label.right - m_iconWidth : label.left;
    if (withIcon) {
        if (m_iconAtRight)
            label.right -= m_iconWidth + inset;
        else
            label.left += m_iconWidth + inset;
    }
    int middle = (fill.top + fill.bottom) / 2;
    RECT upper = label, lower = label;
    upper.bottom = lower.top = middle;
    const UINT line = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    HFONT titleFont = dimmed && m_dimmedFontHandle ? m_dimmedFontHandle : m_titleFont;
    HFONT subtitleFont = dimmed && m_dimmedFontHandle ? m_dimmedFontHandle : m_subtitleFont;
    HGDIOBJ oldFont = SelectObject(dc, titleFont);
    if (title)
        DrawTextW(dc, title, -1, &upper, line | DT_BOTTOM);
    SelectObject(dc, subtitleFont);
    if (subtitle)
        DrawTextW(dc, subtitle, -1, &lower, line | DT_TOP);
    SelectObject(dc, oldFont);

    if (withIcon && image >= 0)
        ImageList_Draw(m_images, image, dc, iconLeft, fill.top + (fill.bottom - fill.top - m_iconHeight) / 2,
                       ILD_TRANSPARENT);

    HGDIOBJ oldPen = SelectObject(dc, m_separatorPen);
    int y = bounds.bottom - (separator + 1) / 2;
    MoveToEx(dc, bounds.left, y, nullptr);
    LineTo(dc, bounds.right, y);
    SelectObject(dc, oldPen);
}

bool OwnerDrawList::DrawEmptyText(HDC dc)
{
    if (!m_emptyText || SendMessageW(m_list, LVM_GETITEMCOUNT, 0, 0) != 0)
        return false;
    RECT client{};
    GetClientRect(m_list, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    client.top += ScaleY(kEmptyTextTop);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    HGDIOBJ old = SelectObject(dc, m_subtitleFont);
    DrawTextW(dc, m_emptyText, -1, &client, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    return true;
}

LRESULT CALLBACK OwnerDrawList::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto list = reinterpret_cast<OwnerDrawList*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!list)
        return DefWindowProcW(hwnd, msg, wp, lp);
    WNDPROC previous = list->m_previousProc;
    switch (msg) {
    case WM_SIZE: SendMessageW(hwnd, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LOWORD(lp), 0)); break;
    case WM_ERASEBKGND:
        if (list->DrawEmptyText(reinterpret_cast<HDC>(wp)))
            return 1;
        break;
    case WM_DESTROY:
        list->ForgetControl();
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    }
    return CallWindowProcW(previous, hwnd, msg, wp, lp);
}
