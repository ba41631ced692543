#include "notify/Delivery.h"

#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"
#include "notify/Callbacks.h"
#include "notify/Pending.h"
#include "notify/Watches.h"
#include "process/Remote.h"
#include "process/StartProgram.h"
#include "registry/Names.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace device::notify {

namespace {

// The new value of a REG_DWORD travels in wParam; other types and deletions give 0.
WPARAM WParamOf(const registry::Value* value)
{
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
        return 0;
    DWORD number;
    std::memcpy(&number, value->data.data(), sizeof number);
    return number;
}

void TellWindow(const Watch& watch, const registry::Value* value)
{
    // The notification lives as long as its window; a process slow to take the message keeps it.
    if (!IsWindow(watch.hwnd) ||
        (!PostMessageW(watch.hwnd, watch.message, WParamOf(value), watch.userData) && GetLastError() != ERROR_TIMEOUT))
        RemoveWatch(watch.id);
}

void CallBack(const Watch& watch, const registry::Value* value)
{
    const std::vector<uint8_t>* data = value ? &value->data : nullptr;
    DWORD error = 0;
    bool called = watch.ownerPid == getpid() ? RunCallback(watch.id, data)
                                             : RemoteCallback(watch.ownerPid, watch.id, data, &error);
    if (!called && error != ERROR_TIMEOUT)
        RemoveWatch(watch.id); // its process has closed it or is gone
}

// The program's command line: what the registration gave after the program, then the notification's name
// unless the flags say otherwise.
std::u16string CommandLineFor(const Watch& watch, const std::u16string& arguments)
{
    if (watch.flags & RNAF_NONAMEONCMDLINE)
        return arguments;
    return arguments + (arguments.empty() ? u"" : u" ") + u"/notify \"" + watch.name + u"\"";
}

pid_t Start(const Watch& watch)
{
    std::u16string program, arguments;
    SplitApplication(watch.program, &program, &arguments);
    DWORD error = 0;
    pid_t pid = StartDeviceProgram(program, CommandLineFor(watch, arguments), &error);
    if (!pid)
        std::fprintf(stderr, "notification %s: cannot start %s (error %u)\n",
                     Utf8FromUtf16(watch.name).value_or("?").c_str(), Utf8FromUtf16(program).value_or("?").c_str(),
                     static_cast<unsigned>(error));
    return pid;
}

// The message goes to the named window when one exists in any process; otherwise the program is started
// and the message waits for its window. While a program started for this notification has not shown its
// window yet, later messages wait for that one instead of starting another.
void TellProgram(const Watch& watch, const registry::Value* value)
{
    WPARAM wParam = WParamOf(value);
    if (!watch.windowClass && !watch.windowTitle) {
        Start(watch);
        return;
    }
    HWND target = nullptr;
    {
        // Windows are listed in transactions too: one that appears now is either found here or takes the
        // waiting message when it is listed.
        Transaction tx(Db());
        target = FindWindowW(watch.windowClass ? watch.windowClass->c_str() : nullptr,
                             watch.windowTitle ? watch.windowTitle->c_str() : nullptr);
        if (!target) {
            pid_t waiting = WaitingProgram(watch.id);
            if (!waiting)
                waiting = Start(watch);
            if (waiting)
                AddPendingDelivery(watch, waiting, wParam);
        }
        tx.Commit();
    }
    if (target)
        PostMessageW(target, watch.message, wParam, 0);
}

} // namespace

void ValueChanged(int64_t key, std::u16string_view name, const registry::Value* value)
{
    try {
        WatchedValue watched{std::string(), registry::Folded(name)};
        if (!AnyWatchOn(watched.valueName) || registry::FoldedPath(key, &watched.keyPath) != ERROR_SUCCESS)
            return;
        for (const Watch& watch : WatchesOn(watched)) {
            if (!Passes(watch.condition, value))
                continue;
            switch (watch.kind) {
            case WatchKind::Program: TellProgram(watch, value); break;
            case WatchKind::Window: TellWindow(watch, value); break;
            case WatchKind::Callback: CallBack(watch, value); break;
            }
        }
    } catch (const std::exception&) {
        // The write stands; a notification that cannot be looked up is lost, as on a device short of memory.
    }
}

} // namespace device::notify
