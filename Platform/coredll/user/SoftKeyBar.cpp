#include "user/SoftKeyBar.h"

#include "user/Window.h"

#include <mutex>
#include <unordered_map>

namespace device {

namespace {

std::mutex g_mutex;
std::unordered_map<HWND, HWND> g_bars; // by owner

// Key presses and releases only: the character TranslateMessage makes of Back then follows to the bar.
bool IsBarKey(const MSG& msg)
{
    bool keyMessage = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
    return keyMessage && (msg.wParam == VK_TSOFT1 || msg.wParam == VK_TSOFT2 || msg.wParam == VK_TBACK);
}

} // namespace

void SetSoftKeyBar(HWND owner, HWND bar)
{
    std::lock_guard guard(g_mutex);
    if (bar)
        g_bars[owner] = bar;
    else
        g_bars.erase(owner);
}

HWND SoftKeyBarOf(HWND owner)
{
    std::lock_guard guard(g_mutex);
    auto found = g_bars.find(owner);
    return found == g_bars.end() ? nullptr : found->second;
}

void RouteToSoftKeyBar(MSG& msg)
{
    if (!msg.hwnd || !IsBarKey(msg))
        return;
    auto& table = WindowTable::Instance();
    for (HWND hwnd = msg.hwnd; hwnd;) {
        if (HWND bar = SoftKeyBarOf(hwnd)) {
            if (IsWindow(bar))
                msg.hwnd = bar;
            return;
        }
        auto window = table.Find(hwnd);
        hwnd = window ? window->parent : nullptr;
    }
}

} // namespace device
