// The device database's own mechanisms: statements kept for reuse, and the read snapshot kept between
// calls.
#include <windows.h>

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

using device::Statement;

namespace {

constexpr const char* kNames = "SELECT name FROM profile ORDER BY name";

// Writes to the device database from a process of its own (its own connection), then runs a passive
// checkpoint, as any device process's commits do now and then; true when the checkpoint copied every
// frame of the log into the database, which no reader's snapshot then held back.
bool WriteAndCheckpointElsewhere(const std::filesystem::path& dir,
                                 const char* sql = "UPDATE clock SET offset_ticks = offset_ticks + 1")
{
    pid_t child = fork();
    if (child == 0) {
        sqlite3* db = nullptr;
        int log = -1, copied = -2;
        bool ok = sqlite3_open_v2((dir / "device.db").c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
                  sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK &&
                  sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_PASSIVE, &log, &copied) == SQLITE_OK;
        sqlite3_close(db);
        _exit(ok && log == copied ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(DeviceDatabase, AQueryInsideAnotherOfTheSameTextGetsAStatementOfItsOwn)
{
    testing_support::TempDevice device;
    device::Database& db = device::Db();
    std::vector<std::string> all;
    {
        Statement rows(db, kNames);
        while (rows.Step())
            all.push_back(rows.Text(0));
    }
    ASSERT_GT(all.size(), 2u);

    // Were the inner query handed the outer's statement, the outer would start over after each row.
    std::vector<std::string> outerSaw;
    Statement outer(db, kNames);
    while (outer.Step() && outerSaw.size() <= all.size()) {
        outerSaw.push_back(outer.Text(0));
        Statement inner(db, kNames);
        size_t innerRows = 0;
        while (inner.Step())
            ++innerRows;
        EXPECT_EQ(innerRows, all.size());
    }
    EXPECT_EQ(outerSaw, all);

    // A statement that failed goes back reset, and serves the next user.
    constexpr const char* kInsert = "INSERT INTO profile (name, value) VALUES (?, 'x')";
    {
        device::Transaction tx(db);
        EXPECT_THROW(Statement(db, kInsert).Bind(1, all[0]).Execute(), device::DatabaseError);
        Statement(db, kInsert).Bind(1, std::string_view("added")).Execute();
        tx.Commit();
    }
    Statement again(db, "SELECT value FROM profile WHERE name = 'added'");
    ASSERT_TRUE(again.Step());
    EXPECT_EQ(again.Text(0), "x");
}

TEST(DeviceDatabase, ASnapshotHoldsBackNoCheckpointOnceItsThreadWaits)
{
    testing_support::TempDevice device;
    DWORD type = 0, data = 0, size = sizeof data;
    RegQueryValueExW(HKEY_LOCAL_MACHINE, u"Nothing", nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // The read left its snapshot open for the next call: another process's checkpoint stops short of it.
    EXPECT_FALSE(WriteAndCheckpointElsewhere(device.Dir()));

    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 1), WAIT_TIMEOUT);
    CloseHandle(event);
    EXPECT_TRUE(WriteAndCheckpointElsewhere(device.Dir()));
}

TEST(DeviceDatabase, TheClockAnotherProcessSetsIsReadAtTheNextCall)
{
    testing_support::TempDevice device;
    const int64_t before = device::NowTicks();
    ASSERT_EQ(device::NowTicks(), before); // read twice in one snapshot, kept from the first read
    WriteAndCheckpointElsewhere(device.Dir(), "UPDATE clock SET now_ticks = now_ticks + 10000000");
    EXPECT_EQ(device::NowTicks(), before + device::kTicksPerSecond);

    // This process's own write is read back at once, with no other process in between.
    device::SetClock(before);
    EXPECT_EQ(device::NowTicks(), before);
}
