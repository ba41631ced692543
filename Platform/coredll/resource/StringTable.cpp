#include "resource/StringTable.h"

#include <windows.h>

namespace device {

std::optional<std::u16string_view> FindString(const PeResources& resources, UINT id, DWORD* error)
{
    if (id > 0xFFFF) {
        *error = ERROR_RESOURCE_NAME_NOT_FOUND;
        return std::nullopt;
    }
    const ResourceEntry* block =
        resources.Find(ResourceKey(LOWORD(RT_STRING)), ResourceKey(WORD(id / 16 + 1)), error);
    if (!block) {
        *error = ERROR_RESOURCE_NAME_NOT_FOUND;
        return std::nullopt;
    }
    // The strings are handed out in place, so they must sit on character boundaries.
    if (reinterpret_cast<uintptr_t>(block->data.data()) % alignof(char16_t) != 0) {
        *error = ERROR_BAD_FORMAT;
        return std::nullopt;
    }
    try {
        ImageBytes bytes(block->data);
        size_t at = 0;
        for (UINT slot = 0; slot < id % 16; ++slot)
            at += 2 + size_t(bytes.U16(at)) * 2;
        WORD length = bytes.U16(at);
        auto text = bytes.Span(at + 2, size_t(length) * 2);
        if (length == 0) {
            *error = ERROR_RESOURCE_NAME_NOT_FOUND;
            return std::nullopt;
        }
        return std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), length);
    } catch (const BadImage&) {
        *error = ERROR_BAD_FORMAT;
        return std::nullopt;
    }
}

} // namespace device
