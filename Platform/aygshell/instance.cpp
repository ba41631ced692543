// The instance lookup (ordinal 209). A claim names its host process with the process's start time, so a
// claim whose process has ended (or whose process id now belongs to another program) counts as free.
// The window is found with FindWindowW, which sees the windows the window manager lists.
#include <windows.h>

#include "Instance.h"

#include "device/Database.h"
#include "device/Device.h"
#include "device/Handles.h"
#include "device/Text.h"
#include "user/Window.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace device::shell {

namespace {

// A host process's start time (clock ticks since boot); none once it has ended, also while it waits as a
// zombie for its parent.
std::optional<int64_t> StartTime(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(file, text);
    size_t name = text.rfind(')'); // the command name may hold blanks and parentheses
    if (name == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(name + 1));
    std::string state, skipped;
    fields >> state;
    if (state == "Z" || state == "X")
        return std::nullopt;
    for (int field = 4; field < 22; ++field) // from the parent's id up to the start time, field 22
        fields >> skipped;
    int64_t started = 0;
    if (!(fields >> started))
        return std::nullopt;
    return started;
}

std::atomic<int64_t> g_nextClaim{1};

// The handle a lookup gives out. Closing the claimant's handle releases the claim; the others hold none.
class InstanceHandle : public KernelObject {
public:
    InstanceHandle(std::string className, int64_t claim) : m_className(std::move(className)), m_claim(claim) {}
    ~InstanceHandle() override
    {
        if (!m_claim)
            return;
        try {
            Statement release(Db(), "DELETE FROM shell_instance_claims WHERE class = ? AND pid = ? AND claim = ?");
            release.Bind(1, m_className).Bind(2, getpid()).Bind(3, m_claim).Execute();
        } catch (const DatabaseError&) {
            // the device is gone; so is every claim on it
        }
    }

private:
    std::string m_className;
    int64_t m_claim;
};

// The claim for this process, or 0 when a live process holds the class already.
int64_t Claim(const std::string& className)
{
    std::optional<int64_t> started = StartTime(getpid());
    if (!started)
        throw DatabaseError(SQLITE_ERROR, "the process's own start time is unreadable");
    Database& db = Db();
    Transaction tx(db);
    Statement holder(db, "SELECT pid, started FROM shell_instance_claims WHERE class = ?");
    holder.Bind(1, className);
    if (holder.Step() && StartTime(static_cast<pid_t>(holder.Int(0))) == holder.Int(1))
        return 0;
    holder.Reset();
    int64_t claim = g_nextClaim++;
    Statement take(db, "INSERT OR REPLACE INTO shell_instance_claims (class, pid, started, claim) VALUES (?, ?, ?, ?)");
    take.Bind(1, className).Bind(2, getpid()).Bind(3, *started).Bind(4, claim).Execute();
    tx.Commit();
    return claim;
}

} // namespace

HRESULT LookUpInstance(LPCWSTR className, LPCWSTR windowName, InstanceAnswer* answer)
{
    if (!className || !*className || !answer)
        return E_INVALIDARG;
    std::optional<std::string> folded = Utf8FromUtf16(FoldCase(className)); // class names ignore case
    if (!folded)
        return E_INVALIDARG;
    int64_t claim;
    try {
        claim = Claim(*folded);
    } catch (const DatabaseError&) {
        return E_FAIL;
    }
    *answer = InstanceAnswer{};
    answer->handle = AddHandle(std::make_shared<InstanceHandle>(*folded, claim));
    answer->found = claim == 0;
    if (answer->found)
        answer->window = FindWindowW(className, windowName);
    return S_OK;
}

} // namespace device::shell

// Ordinal 209: (class name, window name or null, handle out, window out, found flag out). The running
// instance is not brought to the front: a program that finds one decides what to tell it.
extern "C" HRESULT WINAPI ShellInstanceLookup(LPCWSTR className, LPCWSTR windowName, HANDLE* handle, HWND* window,
                                              BOOL* found)
{
    if (!handle || !window || !found)
        return E_INVALIDARG;
    *handle = nullptr;
    *window = nullptr;
    *found = FALSE;
    device::shell::InstanceAnswer answer;
    HRESULT hr = device::shell::LookUpInstance(className, windowName, &answer);
    if (FAILED(hr))
        return hr;
    *handle = answer.handle;
    *window = answer.window;
    *found = answer.found;
    return hr;
}
