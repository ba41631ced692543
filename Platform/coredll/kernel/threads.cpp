// Threads: host threads whose handle is signalled when they end. Left out: suspended creation (there is no
// ResumeThread here) and thread priorities; the stack size is the host's, as the device ignores it too.
#include <windows.h>

#include "device/Waitable.h"

#include <condition_variable>
#include <thread>
#include <unistd.h>

namespace {

class ThreadObject : public device::Waitable {
public:
    bool IsSignalled() const override { return m_ended; }

    // Called with device::SyncLock() held.
    DWORD ExitCode() const { return m_ended ? m_exitCode : STILL_ACTIVE; }

    void Run(LPTHREAD_START_ROUTINE start, LPVOID parameter)
    {
        DWORD code = start(parameter);
        {
            std::lock_guard guard(device::SyncLock());
            m_exitCode = code;
            m_ended = true;
        }
        device::NotifySignalled();
    }

private:
    bool m_ended = false;
    DWORD m_exitCode = 0;
};

// The new thread reports its id before CreateThread returns it.
struct Started {
    std::mutex mutex;
    std::condition_variable known;
    DWORD id = 0;
};

} // namespace

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, DWORD dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                           LPDWORD lpThreadId)
{
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (dwCreationFlags & CREATE_SUSPENDED) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>();
    auto started = std::make_shared<Started>();
    try {
        std::thread([thread, started, lpStartAddress, lpParameter] {
            {
                std::lock_guard guard(started->mutex);
                started->id = GetCurrentThreadId();
            }
            started->known.notify_one();
            thread->Run(lpStartAddress, lpParameter);
        }).detach();
    } catch (const std::system_error&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::unique_lock lock(started->mutex);
    started->known.wait(lock, [&] { return started->id != 0; });
    if (lpThreadId) *lpThreadId = started->id;
    return device::AddHandle(thread);
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    auto thread = device::FindHandleOf<ThreadObject>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(device::SyncLock());
    *lpExitCode = thread->ExitCode();
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void)
{
    return static_cast<DWORD>(gettid());
}

DWORD WINAPI GetCurrentProcessId(void)
{
    return static_cast<DWORD>(getpid());
}
