#include "gdi/Icons.h"

#include "gdi/Objects.h"

#include <cstdlib>
#include <tuple>

namespace device {

namespace {

// An icon group: a header of three words (0, 1, count), then 14 bytes per image.
constexpr size_t kGroupHeader = 6;
constexpr size_t kGroupEntry = 14;

WORD Word(std::span<const BYTE> data, size_t at) { return WORD(data[at] | data[at + 1] << 8); }

// The system's standard icons, which the device draws itself.
bool IsStandardIcon(LPCWSTR name)
{
    if (!IS_INTRESOURCE(name))
        return false;
    auto id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    return id >= 32512 && id <= 32516;
}

} // namespace

std::optional<std::vector<IconGroupEntry>> ReadIconGroup(std::span<const BYTE> data)
{
    if (data.size() < kGroupHeader || Word(data, 0) != 0 || Word(data, 2) != 1)
        return std::nullopt;
    size_t count = Word(data, 4);
    if (count == 0 || data.size() < kGroupHeader + count * kGroupEntry)
        return std::nullopt;
    std::vector<IconGroupEntry> entries;
    for (size_t i = 0; i < count; ++i) {
        auto entry = data.subspan(kGroupHeader + i * kGroupEntry, kGroupEntry);
        IconGroupEntry image;
        image.width = entry[0] ? entry[0] : 256; // a byte holds up to 255: 0 stands for 256
        image.height = entry[1] ? entry[1] : 256;
        image.bitCount = Word(entry, 6);
        if (image.bitCount == 0) { // older groups give only the number of colours
            int colours = entry[2];
            image.bitCount = colours == 0 ? 8 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
        }
        image.id = Word(entry, 12);
        entries.push_back(image);
    }
    return entries;
}

size_t BestIcon(const std::vector<IconGroupEntry>& entries, int cx, int cy, int displayBits, bool monochrome)
{
    auto rank = [&](const IconGroupEntry& e) {
        int distance = std::abs(e.width - cx) + std::abs(e.height - cy);
        bool smaller = e.width < cx || e.height < cy;
        int depth = monochrome              ? e.bitCount
                    : e.bitCount <= displayBits ? displayBits - e.bitCount
                                                : 1000 + e.bitCount - displayBits;
        return std::tuple(distance, smaller, depth);
    };
    size_t best = 0;
    for (size_t i = 1; i < entries.size(); ++i)
        if (rank(entries[i]) < rank(entries[best]))
            best = i;
    return best;
}

std::optional<IconImage> LoadIconImage(HMODULE module, LPCWSTR name, int cx, int cy, bool monochrome)
{
    IconImage image;
    image.module = module;
    if (IS_INTRESOURCE(name))
        image.id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    else
        image.name = name;
    image.width = image.imageWidth = cx;
    image.height = image.imageHeight = cy;
    if (!module) {
        if (!IsStandardIcon(name)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return std::nullopt;
        }
        return image;
    }

    HRSRC groupInfo = FindResourceW(module, name, RT_GROUP_ICON);
    if (!groupInfo)
        return std::nullopt;
    auto groupData = static_cast<const BYTE*>(LockResource(LoadResource(module, groupInfo)));
    auto entries = ReadIconGroup(std::span(groupData, groupData ? SizeofResource(module, groupInfo) : 0));
    if (!entries) {
        SetLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
    HDC screen = GetDC(nullptr);
    int displayBits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    const IconGroupEntry& chosen = (*entries)[BestIcon(*entries, cx, cy, displayBits, monochrome)];

    HRSRC imageInfo = FindResourceW(module, MAKEINTRESOURCE(chosen.id), RT_ICON);
    if (!imageInfo)
        return std::nullopt;
    auto bits = static_cast<const BYTE*>(LockResource(LoadResource(module, imageInfo)));
    if (!bits)
        return std::nullopt;
    image.bits.assign(bits, bits + SizeofResource(module, imageInfo));
    image.imageWidth = chosen.width;
    image.imageHeight = chosen.height;
    image.bitCount = chosen.bitCount;
    return image;
}

HICON AddIcon(IconImage image, bool shared)
{
    auto object = IconObject{std::make_shared<const IconImage>(std::move(image)), shared};
    return static_cast<HICON>(GdiTable::Instance().Add(std::move(object)));
}

std::shared_ptr<const IconImage> IconOf(HICON icon)
{
    auto object = GdiTable::Instance().FindAs<IconObject>(icon);
    return object ? object->image : nullptr;
}

} // namespace device
