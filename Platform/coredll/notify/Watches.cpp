#include "notify/Watches.h"

#include "device/Database.h"
#include "device/Device.h"
#include "process/HostProcess.h"
#include "registry/Names.h"

#include <unistd.h>

namespace device::notify {

namespace {

int64_t HandleValue(HWND hwnd) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(hwnd)); }

std::string Stored(const std::u16string& text) { return registry::StoredText(text); }

void BindOptional(Statement& statement, int index, const std::optional<std::u16string>& text)
{
    if (text)
        statement.Bind(index, Stored(*text));
    else
        statement.BindNull(index);
}

std::optional<std::u16string> OptionalText(const Statement& row, int column)
{
    if (row.IsNull(column))
        return std::nullopt;
    return registry::NameFromStored(row.Text(column));
}

const char kInsert[] = "INSERT INTO reg_watches (kind, name, key_path, value_name, comparison, mask, target_dword, "
                       "target_text, message, program, window_class, window_title, flags, owner_pid, owner_start, "
                       "hwnd, user_data) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

void Insert(Database& db, const WatchedValue& value, const Watch& watch, bool persistent)
{
    Statement insert(db, kInsert);
    insert.Bind(1, static_cast<int64_t>(watch.kind));
    if (persistent)
        insert.Bind(2, Stored(watch.name));
    insert.Bind(3, value.keyPath)
        .Bind(4, value.valueName)
        .Bind(5, static_cast<int64_t>(watch.condition.comparison))
        .Bind(6, static_cast<int64_t>(watch.condition.mask))
        .Bind(7, static_cast<int64_t>(watch.condition.dword))
        .Bind(8, Stored(watch.condition.text))
        .Bind(9, static_cast<int64_t>(watch.message))
        .Bind(13, static_cast<int64_t>(watch.flags))
        .Bind(17, static_cast<int64_t>(watch.userData));
    if (persistent) {
        insert.Bind(10, Stored(watch.program));
        BindOptional(insert, 11, watch.windowClass);
        BindOptional(insert, 12, watch.windowTitle);
    } else {
        insert.Bind(14, static_cast<int64_t>(getpid()))
            .Bind(15, HostStartTime(getpid()))
            .Bind(16, HandleValue(watch.hwnd));
    }
    insert.Execute();
}

Watch WatchFrom(const Statement& row)
{
    Watch watch;
    watch.id = row.Int(0);
    watch.kind = static_cast<WatchKind>(row.Int(1));
    watch.name = registry::NameFromStored(row.Text(2));
    watch.condition.comparison = static_cast<DWORD>(row.Int(3));
    watch.condition.mask = static_cast<DWORD>(row.Int(4));
    watch.condition.dword = static_cast<DWORD>(row.Int(5));
    watch.condition.text = registry::NameFromStored(row.Text(6));
    watch.message = static_cast<UINT>(row.Int(7));
    watch.program = registry::NameFromStored(row.Text(8));
    watch.windowClass = OptionalText(row, 9);
    watch.windowTitle = OptionalText(row, 10);
    watch.flags = static_cast<DWORD>(row.Int(11));
    watch.ownerPid = static_cast<pid_t>(row.Int(12));
    watch.hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(row.Int(13)));
    watch.userData = static_cast<DWORD>(row.Int(14));
    return watch;
}

} // namespace

bool AddPersistent(const WatchedValue& value, const Watch& watch)
{
    Database& db = Db();
    Transaction tx(db);
    Statement existing(db, "SELECT 1 FROM reg_watches WHERE name = ?");
    if (existing.Bind(1, Stored(watch.name)).Step())
        return false;
    Insert(db, value, watch, true);
    tx.Commit();
    return true;
}

bool RemovePersistent(const std::u16string& name)
{
    Database& db = Db();
    Transaction tx(db);
    Statement remove(db, "DELETE FROM reg_watches WHERE name = ?");
    remove.Bind(1, Stored(name)).Execute();
    bool removed = db.Changes() > 0;
    tx.Commit();
    return removed;
}

int64_t AddTransient(const WatchedValue& value, const Watch& watch)
{
    Database& db = Db();
    Transaction tx(db);
    Insert(db, value, watch, false);
    int64_t id = db.LastInsertId();
    tx.Commit();
    return id;
}

bool RemoveTransient(int64_t id)
{
    Database& db = Db();
    Transaction tx(db);
    Statement remove(db, "DELETE FROM reg_watches WHERE id = ? AND name IS NULL AND owner_pid = ?");
    remove.Bind(1, id).Bind(2, static_cast<int64_t>(getpid())).Execute();
    bool removed = db.Changes() > 0;
    tx.Commit();
    return removed;
}

void RemoveWatch(int64_t id)
{
    Database& db = Db();
    Transaction tx(db);
    Statement remove(db, "DELETE FROM reg_watches WHERE id = ?");
    remove.Bind(1, id).Execute();
    tx.Commit();
}

bool AnyWatchOn(const std::string& valueName)
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement any(db, "SELECT 1 FROM reg_watches WHERE value_name = ? LIMIT 1");
    return any.Bind(1, valueName).Step();
}

std::vector<Watch> WatchesOn(const WatchedValue& value)
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement rows(db, "SELECT id, kind, COALESCE(name, ''), comparison, mask, target_dword, target_text, message, "
                       "COALESCE(program, ''), window_class, window_title, flags, COALESCE(owner_pid, 0), "
                       "COALESCE(hwnd, 0), user_data FROM reg_watches WHERE value_name = ? AND key_path = ? ORDER BY id");
    rows.Bind(1, value.valueName).Bind(2, value.keyPath);
    std::vector<Watch> result;
    while (rows.Step())
        result.push_back(WatchFrom(rows));
    return result;
}

} // namespace device::notify
