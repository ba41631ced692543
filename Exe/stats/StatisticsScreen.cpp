#include "stats/StatisticsScreen.h"

#include "app/Binding.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "app/WaitCursor.h"
#include "stats/BreakdownScreen.h"
#include "stats/PeriodDialog.h"
#include "ui/Layout.h"
#include "ui/PlatformType.h"

#include "ids.h"

namespace {

enum StatsRowIndex { kPeriodRow = 0, kWeekdayRow = 3, kHourRow = 4, kContactRow = 5, kFeedbackRow = 6 };

DateTimeSpan Days(LONG days)
{
    return DateTimeSpan::SpanFromParts(days, 0, 0, 0);
}

// The period of a preset command, from today's local date; E_INVALIDARG for any other command.
HRESULT PresetPeriod(UINT command, DateTime& first, DateTime& last)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    last = DateTime::FromSystemTime(now);
    switch (command) {
    case IDM_THIS_MONTH: first.FromParts(now.wYear, now.wMonth, 1, 0, 0, 0); return S_OK;
    case IDM_THIS_YEAR: first.FromParts(now.wYear, 1, 1, 0, 0, 0); return S_OK;
    case IDM_PREVIOUS_MONTH: {
        DateTime firstOfMonth;
        firstOfMonth.FromParts(now.wYear, now.wMonth, 1, 0, 0, 0);
        last = SubtractSpan(firstOfMonth, Days(1));
        SYSTEMTIME lastDay;
        if (!last.ToSystemTime(&lastDay))
            return E_FAIL;
        first.FromParts(lastDay.wYear, lastDay.wMonth, 1, 0, 0, 0);
        return S_OK;
    }
    case IDM_LAST_180_DAYS: first = SubtractSpan(last, Days(179)); return S_OK;
    }
    return E_INVALIDARG;
}

// The same mail as the main screen's feedback command.
HRESULT SendFeedback()
{
    std::u16string subject = ResourceString(IDS_SUPPORT_MAIL_SUBJECT);
    return utils::ComposeSupportMail(subject.c_str());
}

} // namespace

HRESULT ShowStatisticsScreen(HWND owner)
{
    StatisticsScreen screen;
    return RunDialog(IDD_STATISTICS, owner, screen) == -1 ? E_FAIL : S_OK;
}

LRESULT StatisticsScreen::OnMessage(HWND, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
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
    case WM_COMMAND: OnCommand(LOWORD(wp)); return 0;
    case WM_INITMENUPOPUP:
        // Only the popup that holds the two folders has them to check.
        CheckMenuRadioItem(reinterpret_cast<HMENU>(wp), IDM_RECEIVED, IDM_SENT,
                           m_folderKind == kSentFolder ? IDM_SENT : IDM_RECEIVED, MF_BYCOMMAND);
        return 0;
    }
    handled = FALSE;
    return 0;
}

HRESULT StatisticsScreen::OnInitDialog()
{
    InitFullScreenDialog(m_hwnd);
    if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_STATISTICS, &m_menuBar, FALSE)) ||
        FAILED(m_rows.Create(m_hwnd, IDC_STATS_LIST, 0)))
        return E_FAIL;
    HRESULT hr = m_report.Prepare();
    if (SUCCEEDED(hr))
        hr = Refill(kReceivedFolder);
    if (FAILED(hr))
        return hr;
    ShowHintOnce(m_hwnd, IDS_HINT_STATISTICS);
    return S_OK;
}

void StatisticsScreen::OnCommand(UINT command)
{
    switch (command) {
    case IDOK:
        // A PocketPC's OK closes the screen; a Smartphone's Select opens the highlighted row.
        if (IsPocketPC())
            EndDialog(m_hwnd, IDOK);
        else if (m_rows.SelectedRow() >= 0)
            ActivateRow(m_rows.SelectedRow());
        break;
    case IDCANCEL: EndDialog(m_hwnd, IDCANCEL); break;
    case IDM_RECEIVED: Refill(kReceivedFolder); break;
    case IDM_SENT: Refill(kSentFolder); break;
    case IDM_THIS_MONTH:
    case IDM_THIS_YEAR:
    case IDM_PREVIOUS_MONTH:
    case IDM_LAST_180_DAYS: ApplyPreset(command); break;
    case IDM_CUSTOM_PERIOD: ChoosePeriod(); break;
    }
}

HRESULT StatisticsScreen::ActivateRow(int row)
{
    switch (row) {
    case kPeriodRow: return ChoosePeriod();
    case kWeekdayRow: return ShowBreakdown(StatsWeekdays);
    case kHourRow: return ShowBreakdown(StatsHours);
    case kContactRow: return ShowBreakdown(StatsContacts);
    case kFeedbackRow: return SendFeedback();
    }
    return E_NOTIMPL; // the total and the average have nothing more to show
}

// A run that fails keeps the rows it had.
HRESULT StatisticsScreen::Refill(DWORD folderKind)
{
    m_folderKind = folderKind;
    HWND list = m_rows.Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HRESULT hr;
    {
        WaitCursor wait;
        hr = m_report.Run(folderKind);
    }
    if (SUCCEEDED(hr))
        hr = m_rows.Fill(StatsRows(m_report, folderKind));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    m_rows.SelectRow(0);
    SetFocus(list);
    return hr;
}

HRESULT StatisticsScreen::ApplyPreset(UINT command)
{
    DateTime first, last;
    HRESULT hr = PresetPeriod(command, first, last);
    if (SUCCEEDED(hr))
        hr = m_report.SetPeriod(first, last);
    if (FAILED(hr))
        return hr;
    return Refill(m_folderKind);
}

HRESULT StatisticsScreen::ChoosePeriod()
{
    PeriodDialog period(m_report.Start(), m_report.End());
    if (RunDialog(IDD_PERIOD, m_hwnd, period) != IDOK)
        return S_FALSE;
    HRESULT hr = m_report.SetPeriod(period.First(), period.Last());
    if (FAILED(hr))
        return hr;
    return Refill(m_folderKind);
}

HRESULT StatisticsScreen::ShowBreakdown(DWORD tableKind)
{
    BreakdownScreen breakdown(m_report, tableKind);
    return RunDialog(IDD_BREAKDOWN, m_hwnd, breakdown) == -1 ? E_FAIL : S_OK;
}

StatisticsScreen::Rows::Rows(StatisticsScreen& screen) : m_screen(screen)
{
    m_noImageList = true;
}

HRESULT StatisticsScreen::Rows::Fill(const std::array<StatsRow, kStatsRowCount>& rows)
{
    HWND list = Window();
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    m_rows = rows;
    for (int index = 0; index < kStatsRowCount; ++index) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = m_rows[index].label.data();
        item.lParam = m_rows[index].id;
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != index)
            return E_FAIL;
    }
    return S_OK;
}

HRESULT StatisticsScreen::Rows::Activate(int row)
{
    return m_screen.ActivateRow(row);
}

void StatisticsScreen::Rows::DrawRow(const DRAWITEMSTRUCT& item)
{
    for (const StatsRow& row : m_rows)
        if (row.id == item.itemData)
            DrawTwoLineRow(item, row.label.c_str(), row.value.c_str(), -1, false);
}
