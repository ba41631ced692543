// A device context as a drawing call sees it: its state, the area its drawing may touch, and the
// window whose drawing it adds to.
#pragma once

#include <windows.h>

#include "gdi/Drawing.h"
#include "gdi/Fonts.h"
#include "gdi/Objects.h"

#include <memory>
#include <optional>

namespace device {

struct Canvas {
    HDC hdc = nullptr;
    DeviceContext state;
    RECT clip{}; // the window's client area, narrowed to the update rectangle while painting
};

// The canvas of a context; nullopt (with ERROR_INVALID_HANDLE) for a handle that names none.
std::optional<Canvas> CanvasOf(HDC hdc);

// Adds an operation to the canvas's window with its bounds (and a fill's rectangle) clipped to the
// canvas; an operation that falls wholly outside, or onto a window that is gone, leaves no trace.
void Paint(const Canvas& canvas, Drawing drawing);

struct SelectedFont {
    LOGFONTW description{};
    std::shared_ptr<const FontMetrics> metrics;
};
SelectedFont FontOf(const DeviceContext& context);
DrawnFont Describe(const SelectedFont& font);

} // namespace device
