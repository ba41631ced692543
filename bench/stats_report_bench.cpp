// What a seven-day statistics report costs as the inbox grows: the same week of 700 messages in an inbox of
// 1 000 and in one of 100 000. The report stops at the first message before the week, so both runs should
// cost about the same. Run: build/default/bin/stats_report_bench
#include "InboxDevices.h"
#include "stats/StatsReport.h"

namespace
{

constexpr int64_t kNow = 128580444000000000; // 2008-06-15 23:00:00 UTC, the device's zone
constexpr int64_t kWeekMessages = 700;
constexpr int64_t kMinute = 60 * device::kTicksPerSecond;
// The period runs from 00:00:00 six days ago to the end of today; the clock stands at 23:00:00 of today.
constexpr int64_t kPeriodSoFar = (6 * 24 + 23) * 60 * kMinute;

// kWeekMessages spread over the period so far, the rest before it.
int64_t WeekThenOlder(int64_t i, int64_t)
{
    return kNow - (i < kWeekMessages ? i * (kPeriodSoFar / kWeekMessages) : kPeriodSoFar + i * kMinute);
}

void BM_SevenDayReport(benchmark::State& state)
{
    inbox_devices::AttachInbox(state.range(0));
    StatsReport report;
    if (FAILED(report.Prepare())) {
        state.SkipWithError("the report could not be prepared");
        return;
    }
    for (auto _ : state) {
        if (FAILED(report.Run(kReceivedFolder))) state.SkipWithError("the run failed");
    }
    state.counters["messages_counted"] = report.Total();
}
BENCHMARK(BM_SevenDayReport)->ArgNames({"inbox"})->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return inbox_devices::Main(argc, argv, kNow, WeekThenOlder);
}
