// A message queue per thread: posted messages, messages sent from other threads, the quit request,
// window timers on the device clock, and the idle state that automation waits for.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace device {

struct SentMessage;

class ThreadQueue {
public:
    // The calling thread's queue, made on first use and dropped when the thread ends.
    static ThreadQueue& Current();
    static std::shared_ptr<ThreadQueue> ForThread(DWORD threadId);
    static void WakeAll(); // the clock moved: every queue re-checks its timers

    DWORD ThreadId() const { return m_threadId; }

    void Post(const MSG& msg);
    void Wake(); // something changed that Get should look at again (a window needs painting)
    void PostQuit(int exitCode);

    // Sends from the calling thread (which owns `sender`) to this queue's thread and waits for the
    // result, dispatching messages sent to the caller meanwhile. 0 when this thread ends first.
    LRESULT Send(ThreadQueue& sender, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    // Runs `work` (a call that blocks, such as a send to another process) on a helper thread while the
    // calling thread, which must own this queue, waits for its result and still dispatches what is sent to it.
    LRESULT WaitFor(std::function<LRESULT()> work);

    // The next message for the calling thread (which must own this queue). Sent messages are
    // dispatched on the way. With wait, blocks until one arrives; otherwise false when none is ready.
    bool Get(MSG* msg, HWND filter, UINT first, UINT last, bool remove, bool wait);

    UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
    bool KillTimer(HWND hwnd, UINT_PTR id);
    void KillTimersOf(HWND hwnd);
    TIMERPROC TimerProc(HWND hwnd, UINT_PTR id);

    bool InSend() const { return m_inSend > 0; }
    bool IsIdle();
    // Blocks until the thread waits with nothing to do (or the time-out in host milliseconds passes).
    bool WaitIdle(DWORD timeoutMs);

    ~ThreadQueue();

private:
    struct Timer {
        HWND hwnd;
        UINT_PTR id;
        UINT elapse;
        int64_t due; // device clock ticks
        TIMERPROC proc;
    };

    explicit ThreadQueue(DWORD threadId) : m_threadId(threadId) {}
    bool DispatchOneSent(std::unique_lock<std::mutex>& lock);
    LRESULT AwaitAnswer(SentMessage& sent);
    bool TakePosted(MSG* msg, HWND filter, UINT first, UINT last, bool remove);
    bool TakePaint(MSG* msg, HWND filter, UINT first, UINT last);
    bool TakeTimer(MSG* msg, HWND filter, UINT first, UINT last, bool remove, int64_t* nextDue);
    static void Answer(SentMessage& sent, LRESULT result);
    void End();
    // Idle: waiting, and nothing has arrived since (a clock step or a new timer wakes it before it is idle again).
    bool IdleLocked() const
    {
        return m_waiting && m_waitGeneration == m_generation && m_posted.empty() && m_sent.empty();
    }

    friend struct QueueHolder;

    const DWORD m_threadId;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<MSG> m_posted;
    std::deque<std::shared_ptr<SentMessage>> m_sent;
    std::vector<Timer> m_timers;
    bool m_quit = false;
    int m_quitCode = 0;
    uint64_t m_generation = 0; // bumped by every arrival, so a waiter never sleeps through one
    bool m_waiting = false;
    uint64_t m_waitGeneration = 0; // the generation the waiter went to sleep on
    bool m_ended = false;
    int m_inSend = 0;
    UINT_PTR m_nextTimerId = 1;
};

DWORD CurrentThreadId();
void WakeQueueOf(HWND hwnd);

} // namespace device
