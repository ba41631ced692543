// The screen of the device profile and the areas the shell leaves to applications.
#pragma once

#include <windows.h>

namespace device {

int ScreenDpi();
RECT ScreenBounds();
// Pixels at the device's resolution for a size given at 96 dots per inch.
int Scale(int pixelsAt96);
// The screen less the title bar at the top: where top-level windows open by default.
RECT WorkArea();

} // namespace device
