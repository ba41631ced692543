// What a contents table costs: opening a folder's table sorted by delivery time (newest first) and
// reading its first rows one QueryRows(1) at a time, in a folder of 1 000 and one of 100 000 messages; what
// one row costs beside a direct SELECT of the same columns; and how much the heap grows while a whole
// folder is read. Run: build/default/bin/mapi_contents_bench
#include "InboxDevices.h"
#include "PairedTimes.h"
#include "cemapi/SmsDevice.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"

#include <sqlcipher/sqlite3.h>

#include <cemapi.h>
#include <mapiutil.h>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>

namespace
{

namespace fs = std::filesystem;

constexpr int64_t kStart = 128560000000000000; // 2008-05-25, UTC FILETIME ticks

// Received in a scrambled time order, so the table's order is not the order of insertion.
int64_t ScrambledReceiveTime(int64_t i, int64_t count)
{
    return kStart - (i * 7919) % count * 60 * device::kTicksPerSecond;
}

struct Inbox {
    LPMAPISESSION session = nullptr;
    LPMDB store = nullptr;
    LPMAPIFOLDER folder = nullptr;

    explicit Inbox(int64_t size)
    {
        inbox_devices::AttachInbox(size);
        MAPIInitialize(nullptr);
        MAPILogonEx(0, nullptr, nullptr, 0, &session);
        LPMAPITABLE stores = nullptr;
        session->GetMsgStoresTable(0, &stores);
        for (;;) {
            LPSRowSet rows = nullptr;
            stores->QueryRows(1, 0, &rows);
            if (!rows || rows->cRows == 0) {
                FreeProws(rows);
                break;
            }
            const SRow& row = rows->aRow[0];
            if (std::u16string(row.lpProps[1].Value.lpszW) == u"SMS")
                session->OpenMsgStore(0, row.lpProps[0].Value.bin.cb,
                                      reinterpret_cast<LPENTRYID>(row.lpProps[0].Value.bin.lpb), nullptr, 0,
                                      &store);
            FreeProws(rows);
        }
        stores->Release();
        SizedSPropTagArray(1, tags) = {1, {PR_CE_IPM_INBOX_ENTRYID}};
        ULONG count = 0;
        LPSPropValue values = nullptr;
        store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &values);
        store->OpenEntry(values[0].Value.bin.cb, reinterpret_cast<LPENTRYID>(values[0].Value.bin.lpb),
                         nullptr, 0, nullptr, reinterpret_cast<LPUNKNOWN*>(&folder));
        MAPIFreeBuffer(values);
        if (!folder) throw std::runtime_error("no SMS inbox");
    }
    ~Inbox()
    {
        folder->Release();
        store->Release();
        session->Logoff(0, 0, 0);
        session->Release();
        MAPIUninitialize();
    }

    // The table as the program opens it: sorted newest first, its six columns.
    LPMAPITABLE OpenTable() const
    {
        LPMAPITABLE table = nullptr;
        folder->GetContentsTable(0, &table);
        SizedSSortOrderSet(1, sort) = {1, 0, 0, {{PR_MESSAGE_DELIVERY_TIME, TABLE_SORT_DESCEND}}};
        table->SortTable(reinterpret_cast<LPSSortOrderSet>(&sort), 0);
        SizedSPropTagArray(6, columns) = {6,
                                          {PR_MESSAGE_DELIVERY_TIME, PR_SENDER_NAME, PR_SENDER_EMAIL_ADDRESS,
                                           PR_ENTRYID, PR_SUBJECT, PR_MESSAGE_FLAGS}};
        table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0);
        return table;
    }
};

// Reads one row; false at the end of the table.
bool ReadRow(LPMAPITABLE table)
{
    LPSRowSet rows = nullptr;
    table->QueryRows(1, 0, &rows);
    bool more = rows && rows->cRows == 1;
    benchmark::DoNotOptimize(rows);
    FreeProws(rows);
    return more;
}

void BM_OpenAndReadFirstRows(benchmark::State& state)
{
    Inbox inbox(state.range(0));
    for (auto _ : state) {
        LPMAPITABLE table = inbox.OpenTable();
        for (int64_t i = 0; i < state.range(1); ++i) {
            if (!ReadRow(table)) state.SkipWithError("the folder ran out of rows");
        }
        table->Release();
    }
    state.counters["rows_per_second"] = benchmark::Counter(static_cast<double>(state.range(1)),
                                                           benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_OpenAndReadFirstRows)
    ->ArgNames({"folder", "rows"})
    ->Args({1000, 1})
    ->Args({100000, 1})
    ->Args({1000, 100})
    ->Args({100000, 100})
    ->Unit(benchmark::kMicrosecond);

// The direct way: the same six columns of the first `count` messages, newest first, from one statement.
void SelectRows(sqlite3* db, int64_t folder, int64_t count)
{
    static constexpr const char* kSql =
        "SELECT m.delivery_time, n.value, a.value, m.id, s.value, f.value FROM mapi_messages m "
        "LEFT JOIN mapi_message_props n ON n.message = m.id AND n.prop_id = 0x0C1A "
        "LEFT JOIN mapi_message_props a ON a.message = m.id AND a.prop_id = 0x0C1F "
        "LEFT JOIN mapi_message_props s ON s.message = m.id AND s.prop_id = 0x0037 "
        "LEFT JOIN mapi_message_props f ON f.message = m.id AND f.prop_id = 0x0E07 "
        "WHERE m.folder = ? ORDER BY m.delivery_time DESC, m.id DESC";
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db, kSql, -1, &rows, nullptr);
    sqlite3_bind_int64(rows, 1, folder);
    for (int64_t i = 0; i < count && sqlite3_step(rows) == SQLITE_ROW; ++i) {
        for (int column = 0; column < 6; ++column) {
            const void* value = sqlite3_column_blob(rows, column);
            benchmark::DoNotOptimize(value);
        }
    }
    sqlite3_finalize(rows);
}

// One row of the contents table beside one row of the direct SELECT: a table opened and 1 000 rows read
// one at a time, against a statement prepared and stepped through 1 000 rows; both per row.
void BM_RowBesideSelect(benchmark::State& state)
{
    constexpr int64_t kRows = 1000;
    Inbox inbox(state.range(0));
    inbox_devices::DirectDb direct(state.range(0));
    int64_t folder = direct.InboxId();
    paired_times::PairedTimes times;
    for (auto _ : state) {
        times.Turn([&] {
            LPMAPITABLE table = inbox.OpenTable();
            for (int64_t i = 0; i < kRows; ++i) {
                if (!ReadRow(table)) state.SkipWithError("the folder ran out of rows");
            }
            table->Release();
        },
                   [&] { SelectRows(direct, folder, kRows); }, kRows);
    }
    times.Report(state);
}
BENCHMARK(BM_RowBesideSelect)->ArgNames({"folder"})->Arg(100000)->Unit(benchmark::kMillisecond);

// Reads a whole folder one row at a time and reports how far the heap grew above where it stood with the
// table open, apart from SQLite's page cache (which fills up to the connection's cache_size, 2 MB by
// default, whatever the folder) and that cache's own growth: the table holds nothing of the folder.
void BM_ReadWholeFolder(benchmark::State& state)
{
    Inbox inbox(state.range(0));
    int64_t growth = 0;
    int64_t cacheGrowth = 0;
    int64_t read = 0;
    for (auto _ : state) {
        LPMAPITABLE table = inbox.OpenTable();
        int64_t baseCache = sqlite3_memory_used();
        int64_t baseHeap = static_cast<int64_t>(mallinfo2().uordblks) - baseCache;
        read = 0;
        while (ReadRow(table)) {
            if (++read % 256) continue;
            int64_t cache = sqlite3_memory_used();
            growth = std::max(growth, static_cast<int64_t>(mallinfo2().uordblks) - cache - baseHeap);
            cacheGrowth = std::max(cacheGrowth, cache - baseCache);
        }
        table->Release();
    }
    state.counters["rows_read"] = static_cast<double>(read);
    state.counters["heap_growth_bytes"] = static_cast<double>(growth);
    state.counters["sqlite_cache_growth_bytes"] = static_cast<double>(cacheGrowth);
}
BENCHMARK(BM_ReadWholeFolder)
    ->ArgNames({"folder"})
    ->Arg(1000)
    ->Arg(100000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return inbox_devices::Main(argc, argv, kStart, ScrambledReceiveTime);
}
