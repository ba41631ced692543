// What the shell library shows beside an application's windows (soft keys, the title's OK button), as
// automation reads it. The shell fills this in when it loads; coredll itself knows no menu bars.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace device {

struct SoftKeyView {
    std::u16string label;
    bool enabled = true;
};

struct ShellView {
    std::vector<SoftKeyView> softKeys; // left, then right
    bool doneButton = false;
};

using ShellViewProvider = std::optional<ShellView> (*)(HWND owner);

void SetShellViewProvider(ShellViewProvider provider);
// Null when no shell is loaded or the window has nothing from the shell.
std::optional<ShellView> QueryShellView(HWND owner);

} // namespace device
