// What a seven-day statistics report costs as the inbox grows: the same week of 700 messages in an inbox of
// 1 000 and in one of 100 000. The report stops at the first message before the week, so both runs should
// cost about the same. Run: build/default/bin/stats_report_bench
#include "stats/StatsReport.h"

#include "cemapi/SmsDevice.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace
{

namespace fs = std::filesystem;

constexpr int64_t kNow = 128580444000000000; // 2008-06-15 23:00:00 UTC, the device's zone
constexpr int64_t kWeekMessages = 700;
constexpr int64_t kMinute = 60 * device::kTicksPerSecond;
// The period runs from 00:00:00 six days ago to the end of today; the clock stands at 23:00:00 of today.
constexpr int64_t kPeriodSoFar = (6 * 24 + 23) * 60 * kMinute;

fs::path g_root;
std::map<int64_t, fs::path> g_devices;

// An inbox of `count` messages: kWeekMessages spread over the period so far, the rest before it.
void MakeDevice(int64_t count)
{
    fs::path dir = g_root / ("device-" + std::to_string(count));
    device::Create(dir, device::Profile{}, true, kNow);
    device::Attach(dir);
    device::Transaction tx(device::Db()); // one write for the whole filling: the receives join it
    for (int64_t i = 0; i < count; ++i) {
        int64_t age = i < kWeekMessages ? i * (kPeriodSoFar / kWeekMessages) : kPeriodSoFar + i * kMinute;
        device::sms::Receive({{u"Sender " + std::u16string(1, u'A' + i % 26), u"+1555"},
                              u"Message text of a usual length, about sixty characters long.",
                              kNow - age});
    }
    tx.Commit();
    g_devices[count] = dir;
}

void BM_SevenDayReport(benchmark::State& state)
{
    device::Attach(g_devices.at(state.range(0)));
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
    benchmark::Initialize(&argc, argv);
    char pattern[] = "/tmp/stats-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    g_root = pattern;
    std::fprintf(stderr, "filling inboxes of 1 000 and 100 000 messages...\n");
    MakeDevice(1000);
    MakeDevice(100000);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(g_root, ignored);
    return 0;
}
