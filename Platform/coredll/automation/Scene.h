// The foreground screen as drawn, for a pixel renderer: every visible window of the foreground window's
// family with its recorded drawing and where that lies on the screen, in painting order, and what the shell
// shows without drawing it (the title bar's text, the soft keys' labels, an open menu, where the focus is).
#pragma once

#include <windows.h>

#include "automation/Snapshot.h"
#include "gdi/Drawing.h"

#include <optional>
#include <string>
#include <vector>

namespace device::automation {

struct ScenePane {
    RECT client{};  // the window's client area in screen pixels: the origin of its drawing
    RECT visible{}; // the part of the screen its drawing may cover: the client area within its parents'
    std::vector<Drawing> drawing;
};

struct SceneMenu {
    std::vector<MenuEntry> items;
    int highlighted = -1; // the item the up and down keys are on
};

struct Scene {
    int width = 0; // the screen, in pixels
    int height = 0;
    int dpi = 96;
    int titleHeight = 0;   // the shell's title bar across the top
    int softKeyHeight = 0; // the soft-key bar across the foot
    std::u16string title;
    std::vector<ScenePane> panes; // back to front
    std::vector<SoftKey> softKeys;
    std::optional<SceneMenu> menu;
    std::optional<RECT> focus; // the focused control, which paints no mark of its own (lists show their selection)
    bool waitCursor = false;
};

// The screen with no window on it: its size, resolution and the shell's bars.
Scene BareScene();

// Builds the scene of this process's foreground window (an empty one without it). Call it as TakeSnapshot
// is called: from another thread while the window's thread waits in its message loop.
Scene TakeScene();

// The scene as JSON: the screen's numbers, "title", "softkeys", "menu", "focus", "cursor", "icons" (each icon image
// drawn, once, with its bits in hex) and "panes" (each with "client", "visible" and its "drawing").
std::string SceneJson(const Scene& scene);

} // namespace device::automation
