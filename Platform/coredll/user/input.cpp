// Key state as the thread's message retrieval last saw it, and the cursor shape.
#include <windows.h>

#include "user/Input.h"

#include <array>
#include <atomic>

namespace {

std::array<std::atomic<bool>, 256> g_down{};

// Stock cursors: the device has the arrow and the wait cursor; handles are addresses of these records.
struct StockCursor {
    int id;
};
const StockCursor kArrow{32512};
const StockCursor kWait{32514};
std::atomic<HCURSOR> g_cursor{reinterpret_cast<HCURSOR>(const_cast<StockCursor*>(&kArrow))};

} // namespace

namespace device {

void NoteKey(UINT msg, WPARAM vk)
{
    if (vk < g_down.size() && (msg == WM_KEYDOWN || msg == WM_KEYUP))
        g_down[vk] = msg == WM_KEYDOWN;
}

bool IsWaitCursor() { return g_cursor.load() == reinterpret_cast<HCURSOR>(const_cast<StockCursor*>(&kWait)); }

} // namespace device

SHORT WINAPI GetKeyState(int nVirtKey)
{
    return nVirtKey >= 0 && nVirtKey < 256 && g_down[nVirtKey] ? static_cast<SHORT>(0x8000) : 0;
}

SHORT WINAPI GetAsyncKeyState(int vKey) { return GetKeyState(vKey); }

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName)
{
    if (hInstance == nullptr && lpCursorName == IDC_WAIT)
        return reinterpret_cast<HCURSOR>(const_cast<StockCursor*>(&kWait));
    if (hInstance == nullptr && lpCursorName == IDC_ARROW)
        return reinterpret_cast<HCURSOR>(const_cast<StockCursor*>(&kArrow));
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND); // the device carries no other cursors
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) { return g_cursor.exchange(hCursor); }

HCURSOR WINAPI GetCursor(void) { return g_cursor.load(); }
