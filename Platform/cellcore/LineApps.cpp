#include "LineApps.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace device::telephony {
namespace {

struct Sessions {
    std::mutex lock;
    std::map<uintptr_t, std::shared_ptr<LineApp>> apps;
    uintptr_t next = 1;
};

// Never destroyed: a session may be shut down while the process ends.
Sessions& AllSessions()
{
    static Sessions* sessions = new Sessions;
    return *sessions;
}

} // namespace

LineApp::~LineApp()
{
    if (event) CloseHandle(event);
}

HLINEAPP AddLineApp(std::unique_ptr<LineApp> app)
{
    Sessions& sessions = AllSessions();
    std::lock_guard guard(sessions.lock);
    uintptr_t id = sessions.next++;
    sessions.apps.emplace(id, std::move(app));
    return reinterpret_cast<HLINEAPP>(id);
}

std::shared_ptr<const LineApp> FindLineApp(HLINEAPP handle)
{
    Sessions& sessions = AllSessions();
    std::lock_guard guard(sessions.lock);
    auto it = sessions.apps.find(reinterpret_cast<uintptr_t>(handle));
    return it == sessions.apps.end() ? nullptr : it->second;
}

std::shared_ptr<LineApp> RemoveLineApp(HLINEAPP handle)
{
    Sessions& sessions = AllSessions();
    std::lock_guard guard(sessions.lock);
    auto it = sessions.apps.find(reinterpret_cast<uintptr_t>(handle));
    if (it == sessions.apps.end()) return nullptr;
    std::shared_ptr<LineApp> app = std::move(it->second);
    sessions.apps.erase(it);
    return app;
}

} // namespace device::telephony
