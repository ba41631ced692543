// Icons: choosing the image of an icon group that suits a size, loading it from a module's resources,
// and the icon objects handed to the program.
#pragma once

#include <windows.h>

#include "gdi/Drawing.h"

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace device {

// One image of an RT_GROUP_ICON resource: its size, depth and the id of its RT_ICON resource.
struct IconGroupEntry {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    WORD id = 0;
};

// The images of an icon group; nullopt for data that is no icon group.
std::optional<std::vector<IconGroupEntry>> ReadIconGroup(std::span<const BYTE> data);

// The image that best suits a size on a display of that depth: the nearest in size (a larger one
// before a smaller one), then the deepest that the display shows (the shallowest when monochrome).
size_t BestIcon(const std::vector<IconGroupEntry>& entries, int cx, int cy, int displayBits, bool monochrome);

// Loads an icon of a module at a size; a null module means the system's standard icons (IDI_*).
// Nullopt with the last error set when the module has no such icon.
std::optional<IconImage> LoadIconImage(HMODULE module, LPCWSTR name, int cx, int cy, bool monochrome);

HICON AddIcon(IconImage image, bool shared);
std::shared_ptr<const IconImage> IconOf(HICON icon); // null for a handle that names no icon

} // namespace device
