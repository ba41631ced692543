#include "user/MessageQueue.h"

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "user/Window.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <thread>

namespace device {

struct SentMessage {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    ThreadQueue* sender;
    LRESULT result = 0;
    bool done = false;
};

namespace {

std::mutex g_registryMutex;
std::map<DWORD, std::weak_ptr<ThreadQueue>>& Registry()
{
    static auto* registry = new std::map<DWORD, std::weak_ptr<ThreadQueue>>;
    return *registry;
}

bool InRange(UINT msg, UINT first, UINT last) { return (first == 0 && last == 0) || (msg >= first && msg <= last); }

// True when hwnd is the filter window or one of its descendants (a null filter takes every window).
bool MatchesWindow(HWND hwnd, HWND filter)
{
    if (!filter)
        return true;
    for (HWND h = hwnd; h;) {
        if (h == filter)
            return true;
        auto window = WindowTable::Instance().Find(h);
        h = window ? window->parent : nullptr;
    }
    return false;
}

int64_t ClockNow()
{
    try {
        return NowTicks();
    } catch (const DatabaseError&) {
        return HostNowTicks();
    }
}

bool ClockIsManual()
{
    try {
        return ReadClock().manual;
    } catch (const DatabaseError&) {
        return false;
    }
}

constexpr int64_t kCatchUpPeriods = 1000;

// When a timer that fired at now is next due. A manual clock moved over several periods is time that
// passed while the thread waited, so each period gives its own tick, as a waiting thread would have had;
// past a bound the rest coalesce into one, as they do for a thread that fell behind.
int64_t NextTimerDue(int64_t due, UINT elapse, int64_t now)
{
    int64_t period = static_cast<int64_t>(elapse) * kTicksPerMs;
    if (period > 0 && (now - due) / period < kCatchUpPeriods && ClockIsManual())
        return due + period;
    return now + period;
}

} // namespace

DWORD CurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

// Owns the thread's queue; its destruction at thread exit answers whatever is still waiting.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder()
    {
        if (queue)
            queue->End();
    }
};

ThreadQueue& ThreadQueue::Current()
{
    thread_local QueueHolder holder;
    if (!holder.queue) {
        holder.queue.reset(new ThreadQueue(CurrentThreadId()));
        std::lock_guard guard(g_registryMutex);
        Registry()[holder.queue->m_threadId] = holder.queue;
    }
    return *holder.queue;
}

std::shared_ptr<ThreadQueue> ThreadQueue::ForThread(DWORD threadId)
{
    if (threadId == CurrentThreadId())
        Current(); // the calling thread's queue exists as soon as anyone asks for it
    std::lock_guard guard(g_registryMutex);
    auto it = Registry().find(threadId);
    return it == Registry().end() ? nullptr : it->second.lock();
}

void ThreadQueue::WakeAll()
{
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    {
        std::lock_guard guard(g_registryMutex);
        for (auto& [id, weak] : Registry())
            if (auto queue = weak.lock())
                queues.push_back(queue);
    }
    for (auto& queue : queues) {
        std::lock_guard guard(queue->m_mutex);
        ++queue->m_generation;
        queue->m_wake.notify_all();
    }
}

ThreadQueue::~ThreadQueue() = default;

void ThreadQueue::End()
{
    std::deque<std::shared_ptr<SentMessage>> unanswered;
    {
        std::lock_guard guard(m_mutex);
        m_ended = true;
        unanswered.swap(m_sent);
        m_idle.notify_all();
    }
    for (auto& sent : unanswered)
        Answer(*sent, 0);
    std::lock_guard guard(g_registryMutex);
    Registry().erase(m_threadId);
}

void ThreadQueue::Answer(SentMessage& sent, LRESULT result)
{
    std::lock_guard guard(sent.sender->m_mutex);
    sent.result = result;
    sent.done = true;
    ++sent.sender->m_generation;
    sent.sender->m_wake.notify_all();
}

void ThreadQueue::Post(const MSG& msg)
{
    std::lock_guard guard(m_mutex);
    m_posted.push_back(msg);
    ++m_generation;
    m_wake.notify_all();
}

void ThreadQueue::Wake()
{
    std::lock_guard guard(m_mutex);
    ++m_generation;
    m_wake.notify_all();
}

void WakeQueueOf(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (window && window->threadId != CurrentThreadId())
        if (auto queue = ThreadQueue::ForThread(window->threadId))
            queue->Wake();
}

void ThreadQueue::PostQuit(int exitCode)
{
    std::lock_guard guard(m_mutex);
    m_quit = true;
    m_quitCode = exitCode;
    ++m_generation;
    m_wake.notify_all();
}

LRESULT ThreadQueue::Send(ThreadQueue& sender, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto sent = std::make_shared<SentMessage>(SentMessage{hwnd, msg, wp, lp, &sender});
    {
        std::lock_guard guard(m_mutex);
        if (m_ended)
            return 0;
        m_sent.push_back(sent);
        ++m_generation;
        m_wake.notify_all();
    }
    return sender.AwaitAnswer(*sent);
}

LRESULT ThreadQueue::WaitFor(std::function<LRESULT()> work)
{
    auto sent = std::make_shared<SentMessage>(SentMessage{nullptr, 0, 0, 0, this});
    std::thread helper([sent, work = std::move(work)] { Answer(*sent, work()); });
    LRESULT result = AwaitAnswer(*sent);
    helper.join();
    return result;
}

LRESULT ThreadQueue::AwaitAnswer(SentMessage& sent)
{
    std::unique_lock lock(m_mutex);
    while (!sent.done) {
        // A thread blocked in a send still answers what is sent to it, or two threads sending to
        // each other would wait forever.
        if (!m_sent.empty()) {
            DispatchOneSent(lock);
            continue;
        }
        ReleaseReadSnapshot();
        m_wake.wait(lock);
    }
    return sent.result;
}

bool ThreadQueue::DispatchOneSent(std::unique_lock<std::mutex>& lock)
{
    if (m_sent.empty())
        return false;
    auto sent = m_sent.front();
    m_sent.pop_front();
    lock.unlock();
    ++m_inSend;
    LRESULT result = CallProcedure(sent->hwnd, sent->msg, sent->wp, sent->lp);
    --m_inSend;
    Answer(*sent, result);
    lock.lock();
    return true;
}

bool ThreadQueue::TakePosted(MSG* msg, HWND filter, UINT first, UINT last, bool remove)
{
    for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
        if (!InRange(it->message, first, last))
            continue;
        if (filter && (!it->hwnd || !MatchesWindow(it->hwnd, filter)))
            continue;
        *msg = *it;
        if (remove)
            m_posted.erase(it);
        return true;
    }
    return false;
}

bool ThreadQueue::TakePaint(MSG* msg, HWND filter, UINT first, UINT last)
{
    if (!InRange(WM_PAINT, first, last))
        return false;
    auto& table = WindowTable::Instance();
    for (HWND hwnd : table.TopLevelWindows()) {
        // Parents paint before their children, as the device draws back to front.
        std::vector<HWND> pending{hwnd};
        while (!pending.empty()) {
            HWND h = pending.front();
            pending.erase(pending.begin());
            auto window = table.Find(h);
            if (!window || window->threadId != m_threadId)
                continue;
            if (window->needsPaint && MatchesWindow(h, filter)) {
                *msg = MSG{h, WM_PAINT, 0, 0, GetTickCount(), {}};
                return true;
            }
            pending.insert(pending.end(), window->children.begin(), window->children.end());
        }
    }
    return false;
}

bool ThreadQueue::TakeTimer(MSG* msg, HWND filter, UINT first, UINT last, bool remove, int64_t* nextDue)
{
    *nextDue = INT64_MAX;
    if (m_timers.empty() || !InRange(WM_TIMER, first, last))
        return false;
    int64_t now = ClockNow();
    for (auto& timer : m_timers) {
        if (!MatchesWindow(timer.hwnd, filter) || (filter && !timer.hwnd))
            continue;
        if (timer.due <= now) {
            *msg = MSG{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), GetTickCount(), {}};
            if (remove)
                timer.due = NextTimerDue(timer.due, timer.elapse, now);
            return true;
        }
        *nextDue = std::min(*nextDue, timer.due);
    }
    return false;
}

bool ThreadQueue::Get(MSG* msg, HWND filter, UINT first, UINT last, bool remove, bool wait)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (DispatchOneSent(lock))
            continue;
        if (TakePosted(msg, filter, first, last, remove))
            return true;
        if (m_quit && !filter && InRange(WM_QUIT, first, last)) {
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0, GetTickCount(), {}};
            if (remove)
                m_quit = false;
            return true;
        }
        uint64_t generation = m_generation;
        lock.unlock();
        bool painted = TakePaint(msg, filter, first, last);
        lock.lock();
        if (painted)
            return true;
        int64_t nextDue;
        if (TakeTimer(msg, filter, first, last, remove, &nextDue))
            return true;
        if (!wait)
            return false;
        if (generation != m_generation || !m_sent.empty() || !m_posted.empty())
            continue;
        ReleaseReadSnapshot();
        m_waiting = true;
        m_waitGeneration = generation;
        m_idle.notify_all();
        // A manual clock moves only when told (WakeAll); a real one is waited for in host time.
        if (nextDue == INT64_MAX || ClockIsManual()) {
            m_wake.wait(lock, [&] { return generation != m_generation; });
        } else {
            auto ms = std::max<int64_t>(1, (nextDue - ClockNow()) / kTicksPerMs);
            m_wake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return generation != m_generation; });
        }
        m_waiting = false;
    }
}

UINT_PTR ThreadQueue::SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    std::lock_guard guard(m_mutex);
    if (!hwnd)
        id = m_nextTimerId++;
    int64_t due = ClockNow() + static_cast<int64_t>(elapse) * kTicksPerMs;
    for (auto& timer : m_timers) {
        if (timer.hwnd == hwnd && timer.id == id) {
            timer = Timer{hwnd, id, elapse, due, proc};
            ++m_generation;
            m_wake.notify_all();
            return hwnd ? 1 : id;
        }
    }
    m_timers.push_back(Timer{hwnd, id, elapse, due, proc});
    ++m_generation;
    m_wake.notify_all();
    return hwnd ? 1 : id;
}

bool ThreadQueue::KillTimer(HWND hwnd, UINT_PTR id)
{
    std::lock_guard guard(m_mutex);
    return std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

void ThreadQueue::KillTimersOf(HWND hwnd)
{
    std::lock_guard guard(m_mutex);
    std::erase_if(m_timers, [&](const Timer& t) { return t.hwnd == hwnd; });
    std::erase_if(m_posted, [&](const MSG& m) { return m.hwnd == hwnd; });
}

TIMERPROC ThreadQueue::TimerProc(HWND hwnd, UINT_PTR id)
{
    std::lock_guard guard(m_mutex);
    for (auto& timer : m_timers)
        if (timer.hwnd == hwnd && timer.id == id)
            return timer.proc;
    return nullptr;
}

bool ThreadQueue::IsIdle()
{
    std::lock_guard guard(m_mutex);
    return IdleLocked();
}

bool ThreadQueue::WaitIdle(DWORD timeoutMs)
{
    std::unique_lock lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return IdleLocked() || m_ended; });
}

} // namespace device
