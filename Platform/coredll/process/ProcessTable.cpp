#include "process/ProcessTable.h"

#include "device/Database.h"
#include "device/Device.h"
#include "process/EndpointPath.h"
#include "process/HostProcess.h"
#include "registry/Names.h"
#include "user/Window.h"

#include <filesystem>
#include <map>

namespace device {

namespace {

int64_t HandleValue(HWND hwnd) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(hwnd)); }
HWND HandleFrom(int64_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

std::string Stored(const std::u16string& text) { return registry::StoredText(text); }
std::u16string FromStored(const std::string& text) { return registry::NameFromStored(text); }

// Tells running processes from ended ones once per query, removing the ended ones afterwards (outside the
// caller's statement).
class Liveness {
public:
    bool Running(pid_t pid, int64_t hostStart)
    {
        auto [it, fresh] = m_known.try_emplace(pid, false);
        if (fresh)
            it->second = IsRunning(pid, hostStart);
        return it->second;
    }
    ~Liveness()
    {
        for (auto& [pid, running] : m_known)
            if (!running) {
                try {
                    ForgetProcess(pid);
                } catch (const DatabaseError&) {
                }
            }
    }

private:
    std::map<pid_t, bool> m_known;
};

WindowEntry WindowFrom(const Statement& row)
{
    WindowEntry entry;
    entry.hwnd = HandleFrom(row.Int(0));
    entry.pid = static_cast<pid_t>(row.Int(1));
    entry.thread = static_cast<DWORD>(row.Int(2));
    entry.className = FromStored(row.Text(3));
    entry.title = FromStored(row.Text(4));
    entry.visible = row.Int(5) != 0;
    return entry;
}

const char kWindowColumns[] = "SELECT w.hwnd, w.pid, w.thread, w.class, w.title, w.visible, p.host_start "
                              "FROM windows w JOIN processes p ON p.pid = w.pid ";

} // namespace

void PutProcess(const ProcessEntry& entry)
{
    Database& db = Db();
    Transaction tx(db);
    // The same process again (listed by whoever started it, now joining by itself) keeps what was left
    // for it; an ended one under the same pid goes with all it left.
    Statement listed(db, "SELECT host_start FROM processes WHERE pid = ?");
    bool same = listed.Bind(1, static_cast<int64_t>(entry.pid)).Step() && listed.Int(0) == entry.hostStart;
    listed.Reset();
    if (!same)
        ForgetProcess(entry.pid);
    Statement put(db, same ? "UPDATE processes SET host_start = ?2, started = ?3, program = ?4, command_line = ?5 "
                             "WHERE pid = ?1"
                           : "INSERT INTO processes (pid, host_start, started, program, command_line) "
                             "VALUES (?1, ?2, ?3, ?4, ?5)");
    put.Bind(1, static_cast<int64_t>(entry.pid))
        .Bind(2, entry.hostStart)
        .Bind(3, entry.started)
        .Bind(4, entry.program)
        .Bind(5, Stored(entry.commandLine))
        .Execute();
    tx.Commit();
}

void ForgetProcess(pid_t pid)
{
    Database& db = Db();
    Transaction tx(db);
    auto remove = [&](const char* sql) {
        Statement statement(db, sql);
        statement.Bind(1, static_cast<int64_t>(pid)).Execute();
    };
    remove("DELETE FROM processes WHERE pid = ?"); // its windows go with it
    remove("DELETE FROM pending_deliveries WHERE pid = ?");
    remove("DELETE FROM reg_watches WHERE owner_pid = ?");
    std::error_code ignored;
    std::filesystem::remove(EndpointPath(pid), ignored);
    tx.Commit();
}

std::vector<ProcessEntry> RunningProcesses()
{
    Database& db = Db();
    Liveness liveness;
    std::vector<ProcessEntry> result;
    auto lock = db.Lock();
    Statement rows(db, "SELECT pid, host_start, started, program, command_line FROM processes ORDER BY started, pid");
    while (rows.Step()) {
        ProcessEntry entry{static_cast<pid_t>(rows.Int(0)), rows.Int(1), rows.Int(2), rows.Text(3),
                           FromStored(rows.Text(4))};
        if (liveness.Running(entry.pid, entry.hostStart))
            result.push_back(std::move(entry));
    }
    return result;
}

void PutWindow(const WindowEntry& entry)
{
    Database& db = Db();
    Transaction tx(db);
    Statement put(db, "INSERT OR REPLACE INTO windows (hwnd, pid, thread, class, class_folded, title, visible, activated) "
                      "VALUES (?, ?, ?, ?, ?, ?, ?, COALESCE((SELECT activated FROM windows WHERE hwnd = ?), 0))");
    put.Bind(1, HandleValue(entry.hwnd))
        .Bind(2, static_cast<int64_t>(entry.pid))
        .Bind(3, static_cast<int64_t>(entry.thread))
        .Bind(4, Stored(entry.className))
        .Bind(5, Stored(FoldCase(entry.className)))
        .Bind(6, Stored(entry.title))
        .Bind(7, entry.visible ? 1 : 0)
        .Bind(8, HandleValue(entry.hwnd))
        .Execute();
    tx.Commit();
}

void SetWindowTitle(HWND hwnd, const std::u16string& title)
{
    Database& db = Db();
    Transaction tx(db);
    Statement set(db, "UPDATE windows SET title = ? WHERE hwnd = ?");
    set.Bind(1, Stored(title)).Bind(2, HandleValue(hwnd)).Execute();
    tx.Commit();
}

void SetWindowVisible(HWND hwnd, bool visible)
{
    Database& db = Db();
    Transaction tx(db);
    Statement set(db, "UPDATE windows SET visible = ? WHERE hwnd = ?");
    set.Bind(1, visible ? 1 : 0).Bind(2, HandleValue(hwnd)).Execute();
    tx.Commit();
}

void MarkWindowActivated(HWND hwnd)
{
    Database& db = Db();
    Transaction tx(db);
    Statement set(db, "UPDATE windows SET activated = (SELECT COALESCE(MAX(activated), 0) + 1 FROM windows) "
                      "WHERE hwnd = ?");
    set.Bind(1, HandleValue(hwnd)).Execute();
    tx.Commit();
}

void RemoveWindow(HWND hwnd)
{
    Database& db = Db();
    Transaction tx(db);
    Statement window(db, "DELETE FROM windows WHERE hwnd = ?");
    window.Bind(1, HandleValue(hwnd)).Execute();
    Statement watches(db, "DELETE FROM reg_watches WHERE hwnd = ?");
    watches.Bind(1, HandleValue(hwnd)).Execute();
    tx.Commit();
}

std::optional<WindowEntry> FindWindowEntry(HWND hwnd)
{
    Database& db = Db();
    Liveness liveness;
    auto lock = db.Lock();
    Statement row(db, std::string(kWindowColumns) + "WHERE w.hwnd = ?");
    if (!row.Bind(1, HandleValue(hwnd)).Step())
        return std::nullopt;
    WindowEntry entry = WindowFrom(row);
    if (!liveness.Running(entry.pid, row.Int(6)))
        return std::nullopt;
    return entry;
}

HWND FindWindowEntryBy(const std::u16string* className, const std::u16string* title, pid_t except)
{
    Database& db = Db();
    Liveness liveness;
    auto lock = db.Lock();
    Statement rows(db, std::string(kWindowColumns) +
                           "WHERE w.pid <> ? AND (?2 IS NULL OR w.class_folded = ?2) AND (?3 IS NULL OR w.title = ?3) "
                           "ORDER BY w.activated DESC, w.hwnd");
    rows.Bind(1, static_cast<int64_t>(except));
    if (className)
        rows.Bind(2, Stored(FoldCase(*className)));
    if (title)
        rows.Bind(3, Stored(*title));
    while (rows.Step()) {
        WindowEntry entry = WindowFrom(rows);
        if (liveness.Running(entry.pid, rows.Int(6)))
            return entry.hwnd;
    }
    return nullptr;
}

HWND MostRecentVisibleWindow()
{
    Database& db = Db();
    Liveness liveness;
    auto lock = db.Lock();
    Statement rows(db, std::string(kWindowColumns) + "WHERE w.visible = 1 ORDER BY w.activated DESC, w.hwnd DESC");
    while (rows.Step()) {
        WindowEntry entry = WindowFrom(rows);
        if (liveness.Running(entry.pid, rows.Int(6)))
            return entry.hwnd;
    }
    return nullptr;
}

std::vector<WindowEntry> WindowEntries()
{
    Database& db = Db();
    Liveness liveness;
    std::vector<WindowEntry> result;
    auto lock = db.Lock();
    Statement rows(db, std::string(kWindowColumns) + "ORDER BY w.activated DESC, w.hwnd");
    while (rows.Step()) {
        WindowEntry entry = WindowFrom(rows);
        if (liveness.Running(entry.pid, rows.Int(6)))
            result.push_back(std::move(entry));
    }
    return result;
}

} // namespace device
