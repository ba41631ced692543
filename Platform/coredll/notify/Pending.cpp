#include "notify/Pending.h"

#include "device/Database.h"
#include "device/Device.h"
#include "process/HostProcess.h"
#include "registry/Names.h"
#include "user/Window.h"

namespace device::notify {

namespace {

std::string Stored(const std::u16string& text) { return registry::StoredText(text); }

} // namespace

std::vector<MSG> TakePendingDeliveries(HWND hwnd, const std::u16string& className, const std::u16string& title)
{
    Database& db = Db();
    Transaction tx(db);
    const char* match = "(window_class IS NULL OR window_class = ?1) AND (window_title IS NULL OR window_title = ?2)";
    Statement rows(db, std::string("SELECT message, wparam, lparam FROM pending_deliveries WHERE ") + match +
                           " ORDER BY id");
    std::string folded = Stored(FoldCase(className)), stored = Stored(title);
    rows.Bind(1, folded).Bind(2, stored);
    std::vector<MSG> messages;
    while (rows.Step())
        messages.push_back(MSG{hwnd, static_cast<UINT>(rows.Int(0)), static_cast<WPARAM>(rows.Int(1)),
                               static_cast<LPARAM>(rows.Int(2)), 0, {}});
    rows.Reset();
    if (!messages.empty()) {
        Statement remove(db, std::string("DELETE FROM pending_deliveries WHERE ") + match);
        remove.Bind(1, folded).Bind(2, stored).Execute();
    }
    tx.Commit();
    return messages;
}

pid_t WaitingProgram(int64_t watch)
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement rows(db, "SELECT pid, host_start FROM pending_deliveries WHERE watch = ? ORDER BY id DESC");
    rows.Bind(1, watch);
    while (rows.Step())
        if (IsRunning(static_cast<pid_t>(rows.Int(0)), rows.Int(1)))
            return static_cast<pid_t>(rows.Int(0));
    return 0;
}

void AddPendingDelivery(const Watch& watch, pid_t pid, WPARAM wParam)
{
    Database& db = Db();
    Transaction tx(db);
    Statement insert(db, "INSERT INTO pending_deliveries (watch, pid, host_start, window_class, window_title, "
                         "message, wparam, lparam) VALUES (?, ?, ?, ?, ?, ?, ?, 0)");
    insert.Bind(1, watch.id).Bind(2, static_cast<int64_t>(pid)).Bind(3, HostStartTime(pid));
    if (watch.windowClass)
        insert.Bind(4, Stored(FoldCase(*watch.windowClass)));
    if (watch.windowTitle)
        insert.Bind(5, Stored(*watch.windowTitle));
    insert.Bind(6, static_cast<int64_t>(watch.message)).Bind(7, static_cast<int64_t>(wParam)).Execute();
    tx.Commit();
}

} // namespace device::notify
