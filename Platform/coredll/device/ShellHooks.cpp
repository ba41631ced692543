#include "device/ShellHooks.h"

#include <atomic>

namespace device {

namespace {
std::atomic<ShellViewProvider> g_provider{nullptr};
std::atomic<SoftKeyBarMaker> g_barMaker{nullptr};
} // namespace

void SetShellViewProvider(ShellViewProvider provider) { g_provider = provider; }

std::optional<ShellView> QueryShellView(HWND owner)
{
    ShellViewProvider provider = g_provider.load();
    return provider ? provider(owner) : std::nullopt;
}

std::optional<ShellView> QueryShellViewOver(HWND window)
{
    for (HWND hwnd = window; hwnd; hwnd = GetWindow(hwnd, GW_OWNER))
        if (auto view = QueryShellView(hwnd))
            return view;
    return std::nullopt;
}

void SetSoftKeyBarMaker(SoftKeyBarMaker maker) { g_barMaker = maker; }

HWND MakeSoftKeyBar(HWND owner, const SoftKeyCommand& left, const SoftKeyCommand& right)
{
    SoftKeyBarMaker maker = g_barMaker.load();
    return maker ? maker(owner, left, right) : nullptr;
}

} // namespace device
