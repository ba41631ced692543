// The benchmarks' devices: one per inbox size, its SMS inbox filled once before the benchmarks run, in a
// temporary folder that is removed afterwards.
#pragma once

#include "cemapi/SmsDevice.h"
#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"

#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <stdexcept>
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

// A connection of the direct way's own to the database of the device with that inbox size, read-only.
class DirectDb {
public:
    explicit DirectDb(int64_t count)
    {
        std::string path = (Devices().at(count) / "device.db").string();
        if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error(path + ": cannot open");
    }
    ~DirectDb() { sqlite3_close_v2(m_db); }
    DirectDb(const DirectDb&) = delete;
    DirectDb& operator=(const DirectDb&) = delete;
    operator sqlite3*() const { return m_db; }

    // The SMS store's Inbox.
    int64_t InboxId() const
    {
        sqlite3_stmt* row = nullptr;
        sqlite3_prepare_v2(m_db,
                           "SELECT f.id FROM mapi_folders f JOIN mapi_stores s ON s.id = f.store "
                           "WHERE s.display_name = 'SMS' AND f.role = 1",
                           -1, &row, nullptr);
        int64_t id = sqlite3_step(row) == SQLITE_ROW ? sqlite3_column_int64(row, 0) : 0;
        sqlite3_finalize(row);
        return id;
    }

private:
    sqlite3* m_db = nullptr;
};

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

// The benchmark program: a device for each inbox size (1 000 and 100 000 messages unless told otherwise) on
// a clock standing at `clock`, then the benchmarks registered in the program.
inline int Main(int argc, char** argv, int64_t clock, ReceiveTime receivedAt,
                std::initializer_list<int64_t> sizes = {1000, 100000})
{
    benchmark::Initialize(&argc, argv);
    char pattern[] = "/tmp/inbox-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    std::filesystem::path root = pattern;
    for (int64_t size : sizes) {
        std::fprintf(stderr, "filling an inbox of %lld messages...\n", static_cast<long long>(size));
        MakeDevice(root, size, clock, receivedAt);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
    return 0;
}

} // namespace inbox_devices
