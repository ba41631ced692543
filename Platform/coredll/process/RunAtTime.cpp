#include "process/RunAtTime.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"
#include "process/StartProgram.h"
#include "registry/Names.h"
#include "user/Window.h"

#include <notify.h>

#include <cstdio>

namespace device {

namespace {

std::string Stored(std::u16string_view text) { return registry::StoredText(text); }

// Registrations are told apart by the program they start, named in any case, quoted or not.
std::string ApplicationKey(std::u16string_view application)
{
    std::u16string program, arguments;
    SplitApplication(application, &program, &arguments);
    return Stored(FoldCase(program));
}

int64_t UtcOf(int64_t local) { return local - LocalOffsetAtLocal(local); }

} // namespace

void SetRunAtTime(std::u16string_view application, int64_t dueLocal)
{
    Database& db = Db();
    Transaction tx(db);
    Statement put(db, "INSERT OR REPLACE INTO run_at_time (app_folded, application, due_local) VALUES (?, ?, ?)");
    put.Bind(1, ApplicationKey(application)).Bind(2, Stored(application)).Bind(3, dueLocal).Execute();
    tx.Commit();
}

bool ClearRunAtTime(std::u16string_view application)
{
    Database& db = Db();
    Transaction tx(db);
    Statement remove(db, "DELETE FROM run_at_time WHERE app_folded = ?");
    remove.Bind(1, ApplicationKey(application)).Execute();
    bool removed = db.Changes() > 0;
    tx.Commit();
    return removed;
}

std::vector<RunAtTimeEntry> RunAtTimeEntries()
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement rows(db, "SELECT application, due_local FROM run_at_time ORDER BY due_local, application");
    std::vector<RunAtTimeEntry> entries;
    while (rows.Step())
        entries.push_back(RunAtTimeEntry{registry::NameFromStored(rows.Text(0)), rows.Int(1)});
    return entries;
}

int64_t NextRunAtTime(int64_t afterUtc, int64_t beforeUtc)
{
    int64_t next = 0;
    for (const RunAtTimeEntry& entry : RunAtTimeEntries()) {
        int64_t due = UtcOf(entry.dueLocal);
        if (due > afterUtc && due < beforeUtc && (next == 0 || due < next))
            next = due;
    }
    return next;
}

std::vector<pid_t> RunDue()
{
    Database& db = Db();
    std::vector<std::u16string> due;
    int64_t now = NowTicks();
    int64_t localNow = now + LocalOffsetAt(now);
    {
        Transaction tx(db);
        Statement rows(db, "SELECT application FROM run_at_time WHERE due_local <= ? ORDER BY due_local, application");
        rows.Bind(1, localNow);
        while (rows.Step())
            due.push_back(registry::NameFromStored(rows.Text(0)));
        rows.Reset();
        if (due.empty())
            return {};
        Statement claim(db, "DELETE FROM run_at_time WHERE due_local <= ?");
        claim.Bind(1, localNow).Execute();
        tx.Commit();
    }
    std::vector<pid_t> started;
    for (const std::u16string& application : due) {
        DWORD error = 0;
        if (pid_t pid = StartDeviceProgram(application, APP_RUN_AT_TIME, &error))
            started.push_back(pid);
        else
            std::fprintf(stderr, "run-at-time: cannot start %s (error %u)\n",
                         Utf8FromUtf16(application).value_or("?").c_str(), static_cast<unsigned>(error));
    }
    return started;
}

} // namespace device
