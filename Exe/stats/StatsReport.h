// The statistics report: counts the received or sent text messages of a period of whole days by contact,
// weekday and hour, and finds the busiest of each. It owns its own store session for as long as it lives.
#pragma once

#include "schedule/DateTime.h"
#include "stats/Tally.h"
#include "store/SmsStore.h"

#include <array>
#include <optional>
#include <span>
#include <vector>

// The tables a breakdown can show.
enum StatsTableKind : DWORD {
    StatsContacts = 0,
    StatsWeekdays = 1,
    StatsHours = 2,
};

class StatsReport
{
  public:
    // The period starts as the last seven days, today included.
    StatsReport();
    StatsReport(const StatsReport&) = delete;
    StatsReport& operator=(const StatsReport&) = delete;

    // Once before the first run: the day names, the hour labels, then the store session.
    HRESULT Prepare();

    // Takes the dates only: the first from 00:00:00, the last to 23:59:59. An invalid date, or a last day
    // before the first, gives E_INVALIDARG and keeps the period as it was.
    HRESULT SetPeriod(const DateTime& first, const DateTime& last);

    // Counts the messages of the period in the received (0) or sent (1) folder; other kinds give
    // E_INVALIDARG. On failure the tops stay empty.
    HRESULT Run(DWORD folderKind);

    const DateTime& Start() const { return m_start; }
    const DateTime& End() const { return m_end; }
    DWORD FolderKind() const { return m_folderKind; }

    DWORD Total() const { return m_total; }
    const TallyTop& TopContact() const { return m_topContact; }
    const TallyTop& TopWeekday() const { return m_topWeekday; }
    const TallyTop& TopHour() const { return m_topHour; }

    LONG DaysInPeriod() const;
    DWORD AveragePerDay() const;

    // The contact, weekday or hour table; none for any other kind.
    std::optional<std::span<const TallyEntry>> TableByKind(DWORD kind) const;

  private:
    static HRESULT Visit(const SmsRecord* record, void* context, BOOL* stop);
    HRESULT Count(const SmsRecord& record, BOOL* stop);
    void ResetResults();
    HRESULT PickTops();

    DateTime m_start;
    DateTime m_end;
    SmsStore m_store;
    TallyTop m_topContact;
    TallyTop m_topWeekday;
    TallyTop m_topHour;
    DWORD m_total = 0;
    std::vector<TallyEntry> m_contacts;   // in order of first appearance
    TallyKeys m_contactKeys;              // beside m_contacts
    std::array<TallyEntry, 7> m_weekdays; // 0 = Sunday
    std::array<TallyEntry, 24> m_hours;
    DWORD m_folderKind = kReceivedFolder;
};
