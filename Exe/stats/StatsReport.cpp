#include "stats/StatsReport.h"

#include "app/WaitCursor.h"
#include "stats/StatsLabels.h"

StatsReport::StatsReport()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    DateTime today = DateTime::FromSystemTime(now);
    SetPeriod(SubtractSpan(today, DateTimeSpan::SpanFromParts(6, 0, 0, 0)), today);
}

HRESULT StatsReport::Prepare()
{
    WaitCursor wait;
    HRESULT hr = BuildWeekdayNames(m_weekdays);
    if (SUCCEEDED(hr)) hr = BuildHourLabels(m_hours);
    if (SUCCEEDED(hr)) hr = m_store.Open();
    return hr;
}

HRESULT StatsReport::SetPeriod(const DateTime& first, const DateTime& last)
{
    SYSTEMTIME from, to;
    if (!first.ToSystemTime(&from) || !last.ToSystemTime(&to)) return E_INVALIDARG;
    DateTime start, end;
    if (start.FromParts(from.wYear, from.wMonth, from.wDay, 0, 0, 0) != DateTimeValid ||
        end.FromParts(to.wYear, to.wMonth, to.wDay, 23, 59, 59) != DateTimeValid)
        return E_INVALIDARG;
    // A reversed period would have no days to average over.
    if (end < start) return E_INVALIDARG;
    m_start = start;
    m_end = end;
    return S_OK;
}

HRESULT StatsReport::Run(DWORD folderKind)
{
    if (folderKind != kReceivedFolder && folderKind != kSentFolder) return E_INVALIDARG;
    ResetResults();
    m_folderKind = folderKind;
    HRESULT hr = m_store.Enumerate(folderKind, Visit, this, TRUE, FALSE);
    if (FAILED(hr)) return hr;
    return PickTops();
}

LONG StatsReport::DaysInPeriod() const
{
    return static_cast<LONG>((m_end - m_start).WholeDays()) + 1;
}

DWORD StatsReport::AveragePerDay() const
{
    return m_total / static_cast<DWORD>(DaysInPeriod());
}

std::optional<std::span<const TallyEntry>> StatsReport::TableByKind(DWORD kind) const
{
    switch (kind) {
    case StatsContacts: return m_contacts;
    case StatsWeekdays: return m_weekdays;
    case StatsHours: return m_hours;
    }
    return std::nullopt;
}

HRESULT StatsReport::Visit(const SmsRecord* record, void* context, BOOL* stop)
{
    return static_cast<StatsReport*>(context)->Count(*record, stop);
}

HRESULT StatsReport::Count(const SmsRecord& record, BOOL* stop)
{
    // A message without a delivery time, or with one no date can hold, belongs to no period.
    if (!record.time) return S_OK;
    DateTime when = DateTime::FromSystemTime(*record.time);
    SYSTEMTIME local;
    if (!when.ToSystemTime(&local)) return S_OK;
    // Messages come newest first: once one is before the period, so are all the rest.
    if (when < m_start) *stop = TRUE;
    if (when < m_start || when > m_end) return S_OK;
    LPCWSTR contact = m_folderKind == kSentFolder ? record.recipientName : record.senderName;
    HRESULT hr = CountText(m_contacts, m_contactKeys, contact);
    if (FAILED(hr)) return hr;
    ++m_weekdays[local.wDayOfWeek].count;
    ++m_hours[local.wHour].count;
    ++m_total;
    return S_OK;
}

void StatsReport::ResetResults()
{
    m_topContact = {};
    m_topWeekday = {};
    m_topHour = {};
    m_total = 0;
    for (TallyEntry& day : m_weekdays)
        day.count = 0;
    for (TallyEntry& hour : m_hours)
        hour.count = 0;
    m_contacts.clear();
    m_contactKeys = {};
}

HRESULT StatsReport::PickTops()
{
    HRESULT contact = PickTop(m_contacts, m_topContact);
    HRESULT weekday = PickTop(m_weekdays, m_topWeekday);
    HRESULT hour = PickTop(m_hours, m_topHour);
    return FAILED(contact) ? contact : FAILED(weekday) ? weekday : hour;
}
