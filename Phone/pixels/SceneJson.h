// The scene read back from the JSON a device process answers with (automation's SceneJson).
#pragma once

#include "automation/Scene.h"

#include <string_view>

namespace pixels {

// Throws std::runtime_error when the text is not such a scene.
device::automation::Scene SceneFromJson(std::string_view json);

} // namespace pixels
