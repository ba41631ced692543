#include "device/ShellHooks.h"

#include <atomic>

namespace device {

namespace {
std::atomic<ShellViewProvider> g_provider{nullptr};
}

void SetShellViewProvider(ShellViewProvider provider) { g_provider = provider; }

std::optional<ShellView> QueryShellView(HWND owner)
{
    ShellViewProvider provider = g_provider.load();
    return provider ? provider(owner) : std::nullopt;
}

} // namespace device
