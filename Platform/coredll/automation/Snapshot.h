// One picture of the foreground screen: the visible window tree with each control's state, list rows
// with what was drawn for them, the soft keys, an open menu and a message box. Tests, `phone screen` and
// `phone attach` all read this.
#pragma once

#include <windows.h>

#include "device/Json.h"

#include <optional>
#include <string>
#include <vector>

namespace device::automation {

struct Row {
    int index = 0;
    std::u16string text;
    LONG_PTR data = 0;
    bool selected = false;
    std::vector<std::u16string> drawn; // texts drawn for the row, in drawing order
    bool dimmed = false;               // drawn with a struck-out font
};

// Where a progress bar stands within its range (WindowNode::progress).
struct ProgressState {
    int low = 0;
    int high = 0;
    int position = 0;
};

// A stretch of a control's text: where it starts and how many characters it has.
struct TextRange {
    size_t start = 0;
    size_t length = 0;
};

struct WindowNode {
    HWND hwnd = nullptr;
    std::u16string className;
    int id = 0;
    std::u16string text;
    RECT rect{}; // screen pixels
    bool visible = true;
    bool enabled = true;
    bool focused = false;
    std::optional<bool> checked;  // check boxes and radio buttons
    std::optional<bool> readonly; // edits
    std::optional<std::vector<Row>> rows; // list views and list boxes
    std::optional<TextRange> field;       // a focused date-time picker: the part being edited, highlighted
    std::optional<ProgressState> progress;
    std::vector<WindowNode> children;
};

struct SoftKey {
    std::u16string label;
    bool enabled = true;
};

struct MenuEntry {
    std::u16string text;
    UINT id = 0;
    bool enabled = true;
    bool checked = false;
    bool separator = false;
};

struct MessageBoxView {
    std::u16string text;
    std::u16string caption;
    std::string icon;
    std::vector<std::u16string> buttons;
};

struct Snapshot {
    std::u16string title;
    std::vector<WindowNode> windows; // the foreground window and what it owns on top
    std::vector<SoftKey> softKeys;
    std::optional<std::vector<MenuEntry>> menu;
    std::optional<MessageBoxView> messageBox;
    bool waitCursor = false;
};

// Builds the snapshot of this process's foreground window. Call it from any thread but the one that
// owns the window, while that thread waits in its message loop (see WaitIdle): rows are read with
// the controls' own messages.
Snapshot TakeSnapshot();

std::string ToJson(const Snapshot& snapshot);
// The parts of the snapshot's JSON that the scene's JSON shares.
Json SoftKeysJson(const std::vector<SoftKey>& keys);
Json MenuItemsJson(const std::vector<MenuEntry>& items);
// The screen as a phone user would read it, one control a line, in layout order.
std::u16string RenderText(const Snapshot& snapshot);

} // namespace device::automation
