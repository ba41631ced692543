// What a seven-day statistics report costs as the inbox grows: the same week of 700 messages in an inbox of
// 1 000 and in one of 100 000. The report stops at the first message before the week, so both runs should
// cost about the same. Beside it, in turns, the same counting done directly in SQLite: one GROUP BY over
// the week's messages by sender, weekday and hour, folded into the three tables.
// Run: build/default/bin/stats_report_bench
#include "InboxDevices.h"
#include "PairedTimes.h"
#include "stats/StatsReport.h"

#include "device/Calendar.h"

#include <map>

namespace
{

constexpr int64_t kNow = 128580444000000000; // 2008-06-15 23:00:00 UTC, the device's zone
constexpr int64_t kWeekMessages = 700;
constexpr int64_t kMinute = 60 * device::kTicksPerSecond;
constexpr int64_t kHour = 60 * kMinute;
// The period runs from 00:00:00 six days ago to the end of today; the clock stands at 23:00:00 of today.
constexpr int64_t kPeriodSoFar = (6 * 24 + 23) * 60 * kMinute;
constexpr int64_t kPeriodStart = kNow - kPeriodSoFar;
constexpr int64_t kPeriodEnd = kPeriodStart + 7 * device::kTicksPerDay - 1;

// kWeekMessages spread over the period so far, the rest before it.
int64_t WeekThenOlder(int64_t i, int64_t)
{
    return kNow - (i < kWeekMessages ? i * (kPeriodSoFar / kWeekMessages) : kPeriodSoFar + i * kMinute);
}

// The direct way: counts by sender, weekday (0 = Sunday; 1 January 1601 was a Monday) and hour in one
// statement, then the three tables from its groups. Returns the total counted.
int64_t GroupByWeek(sqlite3* db, int64_t inbox)
{
    static constexpr const char* kSql =
        "SELECT p.value, (m.delivery_time / ?4 + 1) % 7, m.delivery_time / ?5 % 24, count(*) "
        "FROM mapi_messages m JOIN mapi_message_props p ON p.message = m.id AND p.prop_id = 0x0C1A "
        "WHERE m.folder = ?1 AND m.delivery_time BETWEEN ?2 AND ?3 GROUP BY 1, 2, 3";
    sqlite3_stmt* groups = nullptr;
    sqlite3_prepare_v2(db, kSql, -1, &groups, nullptr);
    sqlite3_bind_int64(groups, 1, inbox);
    sqlite3_bind_int64(groups, 2, kPeriodStart);
    sqlite3_bind_int64(groups, 3, kPeriodEnd);
    sqlite3_bind_int64(groups, 4, device::kTicksPerDay);
    sqlite3_bind_int64(groups, 5, kHour);
    std::map<std::u16string, int64_t> contacts;
    int64_t weekdays[7] = {}, hours[24] = {}, total = 0;
    while (sqlite3_step(groups) == SQLITE_ROW) {
        auto name = static_cast<const char16_t*>(sqlite3_column_blob(groups, 0));
        int64_t count = sqlite3_column_int64(groups, 3);
        contacts[std::u16string(name, sqlite3_column_bytes(groups, 0) / 2)] += count;
        weekdays[sqlite3_column_int(groups, 1)] += count;
        hours[sqlite3_column_int(groups, 2)] += count;
        total += count;
    }
    sqlite3_finalize(groups);
    benchmark::DoNotOptimize(weekdays);
    benchmark::DoNotOptimize(hours);
    return total;
}

void BM_SevenDayReport(benchmark::State& state)
{
    inbox_devices::AttachInbox(state.range(0));
    inbox_devices::DirectDb direct(state.range(0));
    int64_t inbox = direct.InboxId();
    StatsReport report;
    if (FAILED(report.Prepare())) {
        state.SkipWithError("the report could not be prepared");
        return;
    }
    paired_times::PairedTimes times;
    int64_t counted = 0;
    for (auto _ : state) {
        times.Turn([&] {
            if (FAILED(report.Run(kReceivedFolder))) state.SkipWithError("the run failed");
        },
                   [&] { counted = GroupByWeek(direct, inbox); });
    }
    if (counted != report.Total()) state.SkipWithError("the two ways counted differently");
    state.counters["messages_counted"] = report.Total();
    times.Report(state);
}
BENCHMARK(BM_SevenDayReport)->ArgNames({"inbox"})->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return inbox_devices::Main(argc, argv, kNow, WeekThenOlder);
}
