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
    bool opensMenu = false; // the key opens a popup menu rather than sending a command
};

struct ShellView {
    std::vector<SoftKeyView> softKeys; // left, then right
    bool doneButton = false;
};

using ShellViewProvider = std::optional<ShellView> (*)(HWND owner);

void SetShellViewProvider(ShellViewProvider provider);
// Null when no shell is loaded or the window has nothing from the shell.
std::optional<ShellView> QueryShellView(HWND owner);
// The view of the window or, when the shell shows nothing for it (a message box), of the nearest window that
// owns it and has one.
std::optional<ShellView> QueryShellViewOver(HWND window);

// A soft-key bar of two commands for a window of the platform's own (the file dialogs), made by the shell as
// its menu bars are, so the keys route and show as any application's. Null when no shell is loaded.
struct SoftKeyCommand {
    std::u16string label;
    UINT command = 0;
};
using SoftKeyBarMaker = HWND (*)(HWND owner, const SoftKeyCommand& left, const SoftKeyCommand& right);

void SetSoftKeyBarMaker(SoftKeyBarMaker maker);
HWND MakeSoftKeyBar(HWND owner, const SoftKeyCommand& left, const SoftKeyCommand& right);

} // namespace device
