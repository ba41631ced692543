#include "stats/BreakdownScreen.h"

#include "app/Program.h"
#include "stats/StatsText.h"
#include "ui/Layout.h"

#include "ids.h"

namespace {

// The caption of each table's screen: the label of the row that opens it.
UINT CaptionOf(DWORD tableKind)
{
    switch (tableKind) {
    case StatsWeekdays: return IDS_STATS_BUSIEST_WEEKDAY;
    case StatsHours: return IDS_STATS_BUSIEST_HOUR;
    }
    return IDS_STATS_TOP_CONTACT;
}

// Greater counts first; equal counts by text in the user's locale, ignoring case.
int CALLBACK CompareEntries(LPARAM first, LPARAM second, LPARAM)
{
    auto a = reinterpret_cast<const TallyEntry*>(first);
    auto b = reinterpret_cast<const TallyEntry*>(second);
    if (a->count != b->count)
        return a->count > b->count ? -1 : 1;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a->text.c_str(), -1, b->text.c_str(), -1) - CSTR_EQUAL;
}

} // namespace

BreakdownScreen::BreakdownScreen(const StatsReport& report, DWORD tableKind)
    : m_report(report), m_tableKind(tableKind), m_rows(report.Total())
{
}

LRESULT BreakdownScreen::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    LRESULT result = 0;
    if (m_rows.HandleScreenMessage(m_hwnd, IDC_STATS_LIST, msg, wp, lp, &result))
        return result;
    switch (msg) {
    case WM_INITDIALOG:
        if (FAILED(OnInitDialog()))
            EndDialog(m_hwnd, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDOK:
        case IDCANCEL: EndDialog(m_hwnd, LOWORD(wp)); return 0;
        }
        break;
    }
    handled = FALSE;
    return 0;
}

HRESULT BreakdownScreen::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_BREAKDOWN, &m_menuBar, FALSE)) ||
        FAILED(m_rows.Create(m_hwnd, IDC_STATS_LIST, 0)))
        return E_FAIL;
    std::optional<std::span<const TallyEntry>> table = m_report.TableByKind(m_tableKind);
    if (!table || FAILED(m_rows.Fill(*table)))
        return E_FAIL;
    SetWindowTextW(m_hwnd, ResourceString(CaptionOf(m_tableKind)).c_str());
    SetFocus(m_rows.Window());
    return S_OK;
}

BreakdownScreen::Rows::Rows(DWORD total) : m_total(total)
{
    m_noImageList = true;
}

// Fails when there is nothing to show: nothing counted, or no entry with a count.
HRESULT BreakdownScreen::Rows::Fill(std::span<const TallyEntry> table)
{
    if (m_total == 0)
        return E_FAIL;
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    HRESULT hr = S_OK;
    int rows = 0;
    for (const TallyEntry& entry : table) {
        if (entry.count == 0)
            continue;
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = rows;
        item.pszText = const_cast<LPWSTR>(entry.text.c_str());
        item.lParam = reinterpret_cast<LPARAM>(&entry);
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != rows) {
            hr = E_FAIL;
            break;
        }
        ++rows;
    }
    if (SUCCEEDED(hr) && rows == 0)
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareEntries));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    SelectRow(0);
    return hr;
}

// A row has nothing more to show.
HRESULT BreakdownScreen::Rows::Activate(int)
{
    return E_NOTIMPL;
}

void BreakdownScreen::Rows::DrawRow(const DRAWITEMSTRUCT& item)
{
    auto entry = reinterpret_cast<const TallyEntry*>(item.itemData);
    if (entry)
        DrawTwoLineRow(item, entry->text.c_str(), ShareText(entry->count, m_total).c_str(), -1, false);
}
