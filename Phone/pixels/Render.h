// The foreground screen in pixels: the windows' recorded drawing back to front, then what the shell shows
// over them (the title bar, an open menu).
#pragma once

#include "Picture.h"

#include "automation/Scene.h"

namespace pixels {

constexpr int kLargestScale = 8;

// At `scale` times the screen's size in each direction (1 to kLargestScale; std::invalid_argument else).
Picture Render(const device::automation::Scene& scene, int scale = 1);

} // namespace pixels
