// Strings of a module's string table. String id n lives in RT_STRING block n / 16 + 1, which holds the
// sixteen ids from (n / 16) * 16 as counted UTF-16 strings, an empty slot having length 0.
#pragma once

#include "resource/PeResources.h"

#include <string_view>

namespace device {

// The characters of string id in the image (not terminated: the length word precedes them). Nullopt
// with ERROR_RESOURCE_NAME_NOT_FOUND in *error when the id has no string (or an empty one), and with
// ERROR_BAD_FORMAT when its block runs out before the string does.
std::optional<std::u16string_view> FindString(const PeResources& resources, UINT id, DWORD* error);

} // namespace device
