// Posting, sending, retrieving and dispatching messages; registered messages; window timers.
#include <windows.h>

#include "device/Clock.h"
#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"
#include "process/Frames.h"
#include "process/Remote.h"
#include "process/WindowRecords.h"
#include "user/Input.h"
#include "user/MessageQueue.h"
#include "user/SoftKeyBar.h"
#include "user/Window.h"

using device::ThreadQueue;
using device::WindowTable;

namespace {

thread_local MSG t_lastMessage{};

// Clock changes made in this process wake its message loops, so manual-clock timers fire at once.
[[maybe_unused]] const bool g_clockHooked = (device::AddClockListener(&ThreadQueue::WakeAll), true);

std::shared_ptr<ThreadQueue> QueueOfWindow(HWND hwnd)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return ThreadQueue::ForThread(window->threadId);
}

// Every top-level window of the device: this process's, then the others'.
std::vector<HWND> DeviceTopLevelWindows()
{
    std::vector<HWND> windows = WindowTable::Instance().TopLevelWindows();
    for (HWND foreign : device::ForeignTopLevelWindows())
        windows.push_back(foreign);
    return windows;
}

bool Retrieve(LPMSG msg, HWND hwnd, UINT first, UINT last, bool remove, bool wait)
{
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!ThreadQueue::Current().Get(msg, hwnd, first, last, remove, wait))
        return false;
    device::RouteToSoftKeyBar(*msg);
    t_lastMessage = *msg;
    if (remove)
        device::NoteKey(msg->message, msg->wParam);
    return true;
}

} // namespace

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    if (hWnd && !IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    if (!Retrieve(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true, true))
        return -1;
    return lpMsg->message != WM_QUIT;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    return Retrieve(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0, false);
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg)
{
    if (!lpMsg || lpMsg->message != WM_KEYDOWN)
        return FALSE;
    WPARAM vk = lpMsg->wParam;
    WCHAR ch = 0;
    if ((vk >= '0' && vk <= '9') || vk == VK_SPACE)
        ch = static_cast<WCHAR>(vk);
    else if (vk >= 'A' && vk <= 'Z')
        ch = static_cast<WCHAR>(GetKeyState(VK_SHIFT) < 0 ? vk : vk - 'A' + 'a');
    else if (vk == VK_BACK || vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_TAB)
        ch = static_cast<WCHAR>(vk);
    if (!ch)
        return FALSE;
    MSG chr = *lpMsg;
    chr.message = WM_CHAR;
    chr.wParam = ch;
    ThreadQueue::Current().Post(chr);
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg)
{
    if (!lpMsg)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (!lpMsg->hwnd)
        return 0;
    auto window = WindowTable::Instance().Find(lpMsg->hwnd);
    if (!window || window->threadId != device::CurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return device::CallProcedure(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!hWnd)
        return PostThreadMessageW(device::CurrentThreadId(), Msg, wParam, lParam);
    if (hWnd == HWND_BROADCAST) {
        for (HWND top : DeviceTopLevelWindows())
            PostMessageW(top, Msg, wParam, lParam);
        return TRUE;
    }
    if (device::IsForeignHandle(hWnd)) {
        DWORD error = ERROR_NOT_SUPPORTED;
        if (device::MessageTravels(Msg) && device::RemotePost(hWnd, Msg, wParam, lParam, &error))
            return TRUE;
        SetLastError(error);
        return FALSE;
    }
    auto queue = QueueOfWindow(hWnd);
    if (!queue)
        return FALSE;
    queue->Post(MSG{hWnd, Msg, wParam, lParam, GetTickCount(), {}});
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd == HWND_BROADCAST) {
        for (HWND top : DeviceTopLevelWindows())
            SendMessageW(top, Msg, wParam, lParam);
        return 0;
    }
    if (device::IsForeignHandle(hWnd)) {
        if (!device::MessageTravels(Msg)) {
            SetLastError(ERROR_NOT_SUPPORTED);
            return 0;
        }
        DWORD error = 0;
        LRESULT result = device::RemoteSend(hWnd, Msg, wParam, lParam, &error);
        if (error)
            SetLastError(error);
        return result;
    }
    auto window = WindowTable::Instance().Find(hWnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    // A window of this thread is called at once; another thread's answers through its own loop.
    if (window->threadId == device::CurrentThreadId())
        return device::CallProcedure(hWnd, Msg, wParam, lParam);
    auto queue = ThreadQueue::ForThread(window->threadId);
    if (!queue)
        return 0;
    return queue->Send(ThreadQueue::Current(), hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    auto queue = ThreadQueue::ForThread(idThread);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    queue->Post(MSG{nullptr, Msg, wParam, lParam, GetTickCount(), {}});
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) { ThreadQueue::Current().PostQuit(nExitCode); }

BOOL WINAPI InSendMessage(void) { return ThreadQueue::Current().InSend(); }

DWORD WINAPI GetMessagePos(void) { return MAKELONG(t_lastMessage.pt.x, t_lastMessage.pt.y); }

LONG WINAPI GetMessageTime(void) { return static_cast<LONG>(t_lastMessage.time); }

UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString)
{
    if (!lpString || !*lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Numbers are kept in the device database, so every process gets the same one for a name.
    try {
        device::Database& db = device::Db();
        device::Transaction tx(db);
        auto folded = device::Utf8FromUtf16(device::FoldCase(lpString)); // names compare without case
        if (!folded) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        const std::string& name = *folded;
        device::Statement find(db, "SELECT number FROM window_messages WHERE name = ?");
        find.Bind(1, name);
        if (find.Step())
            return static_cast<UINT>(find.Int(0));
        find.Reset();
        device::Statement next(db, "SELECT COALESCE(MAX(number) + 1, 49152) FROM window_messages");
        next.Step();
        UINT number = static_cast<UINT>(next.Int(0));
        next.Reset();
        if (number > 0xFFFF) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return 0;
        }
        device::Statement add(db, "INSERT INTO window_messages (name, number) VALUES (?, ?)");
        add.Bind(1, name).Bind(2, number).Execute();
        tx.Commit();
        return number;
    } catch (const device::DatabaseError&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    if (!hWnd)
        return ThreadQueue::Current().SetTimer(nullptr, 0, uElapse, lpTimerFunc);
    auto window = WindowTable::Instance().Find(hWnd);
    if (!window || window->threadId != device::CurrentThreadId()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    ThreadQueue::Current().SetTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
    return nIDEvent ? nIDEvent : 1;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    if (!ThreadQueue::Current().KillTimer(hWnd, uIDEvent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}
