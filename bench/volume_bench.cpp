// Writing and reading back 100 000 backup records of eight properties through the database volume calls,
// against the same inserts and the same newest-first read done directly on an SQLCipher database keyed with
// the same password (both in WAL mode, each record committed on its own). Prints both times, their ratio,
// and the memory in use as the records pile up. Run: build/default/bin/volume_bench [records]
#include <windows.h>
#include <windbase.h>

#include "device/Clock.h"
#include "device/Device.h"

#include "ProcessMemory.h"

#include <sqlcipher/sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char16_t kPassword[] = u"wdKf4x_Lrj9_";
constexpr char kPasswordUtf8[] = "wdKf4x_Lrj9_";
constexpr CEPROPID kIds[8] = {0x00010003, 0x00020040, 0x0003001F, 0x0004001F,
                              0x0005001F, 0x0006001F, 0x0007001F, 0x0008000B};
constexpr char16_t kText[] = u"See you at the station at half past six, and bring the tickets please";
constexpr int64_t kStart = 128580444000000000;

double Seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Fail(const char* what)
{
    std::fprintf(stderr, "volume_bench: %s failed (%lu)\n", what, static_cast<unsigned long>(GetLastError()));
    std::exit(1);
}

// Record i: the times step back a minute a record, so the newest comes first.
int64_t TimeOf(int i)
{
    return kStart - static_cast<int64_t>(i) * 600000000;
}

struct Figures {
    double write = 0, read = 0;
    long rssAfterTenth = 0, rssAfterAll = 0;
};

Figures ThroughVolume(int count)
{
    Figures figures;
    CEVOLUMEOPTIONS options{};
    options.wVersion = 1;
    options.dwFlags = CEDB_PASSWORD;
    std::char_traits<char16_t>::copy(options.wszPassword, kPassword, std::char_traits<char16_t>::length(kPassword));
    CEGUID guid;
    if (!CeMountDBVolEx(&guid, const_cast<LPWSTR>(u"\\My Documents\\bench.qvb"), &options, CREATE_ALWAYS))
        Fail("mount");
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME;
    std::char_traits<char16_t>::copy(info.szDbaseName, u"SMS", 3);
    info.wNumSortOrder = 1;
    info.rgSortSpecs[0] = {SORTORDERSPECEX_VERSION, 1, 0, 0, {kIds[1]}, {CEDB_SORT_DESCENDING}};
    CEPROPSPEC specs[8];
    for (int i = 0; i < 8; ++i)
        specs[i] = {CEPROPSPEC_VERSION, kIds[i], i < 2 ? DWORD(DB_PROP_NOTNULL) : 0, nullptr, 0};
    if (!CeCreateDatabaseWithProps(&guid, &info, 8, specs))
        Fail("create");
    CEOID oid = 0;
    HANDLE db =
        CeOpenDatabaseInSession(nullptr, &guid, &oid, const_cast<LPWSTR>(u"SMS"), nullptr, CEDB_AUTOINCREMENT, nullptr);
    if (db == INVALID_HANDLE_VALUE)
        Fail("open");

    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        CEPROPVAL values[8] = {};
        for (int p = 0; p < 8; ++p)
            values[p].propid = kIds[p];
        values[0].val.lVal = i % 2;
        int64_t time = TimeOf(i);
        values[1].val.filetime = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        values[2].val.lpwstr = const_cast<LPWSTR>(u"Anna Schmidt");
        values[3].val.lpwstr = const_cast<LPWSTR>(u"+491701234567");
        values[4].val.lpwstr = const_cast<LPWSTR>(u"Me");
        values[5].val.lpwstr = const_cast<LPWSTR>(u"+491709876543");
        values[6].val.lpwstr = const_cast<LPWSTR>(kText);
        values[7].val.boolVal = TRUE;
        if (!CeWriteRecordProps(db, 0, 8, values))
            Fail("write");
        if (i + 1 == count / 10)
            figures.rssAfterTenth = process_memory::Kb("VmRSS:");
    }
    figures.write = Seconds(start);
    figures.rssAfterAll = process_memory::Kb("VmRSS:");

    start = Clock::now();
    if (!CeSeekDatabaseEx(db, CEDB_SEEK_BEGINNING, 0, 0, nullptr))
        Fail("seek");
    int read = 0;
    int64_t previous = INT64_MAX;
    for (;;) { // one record at a time, the buffer the service allocates freed after each, as a restore does
        LPBYTE buffer = nullptr;
        DWORD size = 0;
        WORD props = 0;
        if (!CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &props, nullptr, &buffer, &size, nullptr))
            break;
        const FILETIME& time = reinterpret_cast<CEPROPVAL*>(buffer)[1].val.filetime;
        int64_t ticks = (static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        if (ticks > previous)
            Fail("newest-first order");
        previous = ticks;
        ++read;
        LocalFree(buffer);
    }
    figures.read = Seconds(start);
    if (read != count)
        Fail("reading back every record");
    CloseHandle(db);
    CeUnmountDBVol(&guid);
    return figures;
}

void Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sql);
}

void BindText(sqlite3_stmt* stmt, int index, const char16_t* text)
{
    sqlite3_bind_text16(stmt, index, text, -1, SQLITE_STATIC);
}

Figures Direct(const fs::path& file, int count)
{
    Figures figures;
    fs::remove(file);
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
        Fail("sqlite3_open");
    sqlite3_key(db, kPasswordUtf8, static_cast<int>(std::strlen(kPasswordUtf8)));
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "PRAGMA synchronous=NORMAL");
    Exec(db, "CREATE TABLE sms(kind INTEGER, time INTEGER, rname TEXT, raddr TEXT, sname TEXT, saddr TEXT,"
             " text TEXT, read INTEGER)");
    Exec(db, "CREATE INDEX sms_time ON sms(time DESC)");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO sms VALUES(?, ?, ?, ?, ?, ?, ?, ?)", -1, &insert, nullptr);
    auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        sqlite3_bind_int(insert, 1, i % 2);
        sqlite3_bind_int64(insert, 2, TimeOf(i));
        BindText(insert, 3, u"Anna Schmidt");
        BindText(insert, 4, u"+491701234567");
        BindText(insert, 5, u"Me");
        BindText(insert, 6, u"+491709876543");
        BindText(insert, 7, kText);
        sqlite3_bind_int(insert, 8, 1);
        if (sqlite3_step(insert) != SQLITE_DONE)
            Fail("insert");
        sqlite3_reset(insert);
        if (i + 1 == count / 10)
            figures.rssAfterTenth = process_memory::Kb("VmRSS:");
    }
    figures.write = Seconds(start);
    figures.rssAfterAll = process_memory::Kb("VmRSS:");
    sqlite3_finalize(insert);

    start = Clock::now();
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM sms ORDER BY time DESC", -1, &select, nullptr);
    int read = 0;
    size_t bytes = 0;
    while (sqlite3_step(select) == SQLITE_ROW) {
        for (int c = 2; c < 7; ++c)
            bytes += sqlite3_column_bytes16(select, c);
        ++read;
    }
    figures.read = Seconds(start);
    sqlite3_finalize(select);
    sqlite3_close(db);
    if (read != count || bytes == 0)
        Fail("reading back every row");
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    char pattern[] = "/tmp/volume-bench-XXXXXX";
    if (!mkdtemp(pattern))
        Fail("mkdtemp");
    fs::path dir = fs::path(pattern) / "device";
    device::Create(dir, device::Profile{}, true, kStart);
    device::Attach(dir);

    long before = process_memory::Kb("VmRSS:");
    Figures volume = ThroughVolume(count);
    Figures direct = Direct(fs::path(pattern) / "direct.db", count);
    std::printf("%d records of 8 properties, each committed on its own\n", count);
    std::printf("%-22s %10s %10s %18s %18s\n", "", "write s", "read s", "RSS at 1/10 (KB)", "RSS at end (KB)");
    std::printf("%-22s %10.2f %10.2f %18ld %18ld\n", "volume calls", volume.write, volume.read, volume.rssAfterTenth,
                volume.rssAfterAll);
    std::printf("%-22s %10.2f %10.2f %18ld %18ld\n", "direct SQLCipher", direct.write, direct.read,
                direct.rssAfterTenth, direct.rssAfterAll);
    std::printf("ratio volume/direct: write %.2f, read %.2f\n", volume.write / direct.write, volume.read / direct.read);
    std::printf("memory: %ld KB before, peak %ld KB\n", before, process_memory::Kb("VmHWM:"));
    fs::remove_all(pattern);
    return 0;
}
