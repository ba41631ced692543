#include "process/WindowRecords.h"

#include "device/Database.h"
#include "device/Device.h"
#include "notify/Pending.h"
#include "process/Remote.h"
#include "process/ThisProcess.h"
#include "user/MessageQueue.h"

#include <functional>
#include <unistd.h>

namespace device {

namespace {

// Runs a change of the list; a device that is missing or failing leaves the window manager working alone.
template <class Change>
void Record(Change change)
{
    try {
        if (EnsureJoined())
            change();
    } catch (const DatabaseError&) {
    }
}

// Lists the window and takes the messages of persistent notifications that started a program and waited for
// this window to appear, in one transaction: a notification arriving meanwhile either finds the window or
// leaves its message for it.
void ListAndDeliver(HWND hwnd, const std::function<void()>& list, const std::u16string& className,
                    const std::u16string& title)
{
    std::vector<MSG> pending;
    {
        Transaction tx(Db());
        list();
        pending = notify::TakePendingDeliveries(hwnd, className, title);
        tx.Commit();
    }
    for (const MSG& msg : pending)
        PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

} // namespace

void RecordWindowCreated(HWND hwnd, const std::u16string& className, const std::u16string& title, bool visible)
{
    ThreadQueue::Current(); // other processes may post to the window before its thread first waits
    Record([&] {
        ListAndDeliver(
            hwnd, [&] { PutWindow(WindowEntry{hwnd, getpid(), CurrentThreadId(), className, title, visible}); },
            className, title);
    });
}

void RecordWindowTitle(HWND hwnd, const std::u16string& title)
{
    Record([&] {
        auto entry = FindWindowEntry(hwnd);
        if (entry)
            ListAndDeliver(hwnd, [&] { SetWindowTitle(hwnd, title); }, entry->className, title);
    });
}

void RecordWindowVisible(HWND hwnd, bool visible)
{
    Record([&] { SetWindowVisible(hwnd, visible); });
}

void RecordWindowActivated(HWND hwnd)
{
    Record([&] { MarkWindowActivated(hwnd); });
}

void RecordWindowDestroyed(HWND hwnd)
{
    Record([&] { RemoveWindow(hwnd); });
}

bool IsForeignHandle(HWND hwnd) { return hwnd && ProcessOfWindow(hwnd) != getpid(); }

std::optional<WindowEntry> ForeignWindow(HWND hwnd)
{
    if (!IsForeignHandle(hwnd))
        return std::nullopt;
    try {
        return FindWindowEntry(hwnd);
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
}

HWND FindForeignWindow(const std::u16string* className, const std::u16string* title)
{
    try {
        return FindWindowEntryBy(className, title, getpid());
    } catch (const DatabaseError&) {
        return nullptr;
    }
}

std::vector<HWND> ForeignTopLevelWindows()
{
    std::vector<HWND> result;
    try {
        for (const WindowEntry& entry : WindowEntries())
            if (entry.pid != getpid())
                result.push_back(entry.hwnd);
    } catch (const DatabaseError&) {
    }
    return result;
}

std::optional<HWND> DeviceForegroundWindow()
{
    try {
        return MostRecentVisibleWindow();
    } catch (const DatabaseError&) {
        return std::nullopt;
    }
}

} // namespace device
