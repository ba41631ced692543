// The benchmarks' devices: one per inbox size, its SMS inbox filled once before the benchmarks run, in a
// temporary folder that is removed afterwards.
#pragma once

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

namespace inbox_devices {

// When message i of an inbox of `count` was received, in UTC FILETIME ticks.
using ReceiveTime = int64_t (*)(int64_t i, int64_t count);

inline std::map<int64_t, std::filesystem::path>& Devices()
{
    static std::map<int64_t, std::filesystem::path> devices;
    return devices;
}

// Makes the device of that inbox size the current one.
inline void AttachInbox(int64_t count) { device::Attach(Devices().at(count)); }

inline void MakeDevice(const std::filesystem::path& root, int64_t count, int64_t clock, ReceiveTime receivedAt)
{
    std::filesystem::path dir = root / ("device-" + std::to_string(count));
    device::Create(dir, device::Profile{}, true, clock);
    device::Attach(dir);
    device::Transaction tx(device::Db()); // one write for the whole filling: the receives join it
    for (int64_t i = 0; i < count; ++i) {
        device::sms::Receive(
            {{u"Sender " + std::u16string(1, u'A' + i % 26), u"+1555" + std::u16string(1, u'0' + i % 10)},
             u"Message text of a usual length, about sixty characters long.",
             receivedAt(i, count),
             i % 3 == 0});
    }
    tx.Commit();
    Devices()[count] = dir;
}

// The benchmark program: inboxes of 1 000 and 100 000 messages on a clock standing at `clock`, then the
// benchmarks registered in the program.
inline int Main(int argc, char** argv, int64_t clock, ReceiveTime receivedAt)
{
    benchmark::Initialize(&argc, argv);
    char pattern[] = "/tmp/inbox-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::filesystem::path root = pattern;
    std::fprintf(stderr, "filling inboxes of 1 000 and 100 000 messages...\n");
    MakeDevice(root, 1000, clock, receivedAt);
    MakeDevice(root, 100000, clock, receivedAt);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return 0;
}

} // namespace inbox_devices
