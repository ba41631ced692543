// Bounds-checked little-endian reads from the bytes of a file image. A read that falls outside them
// throws BadImage, so parsers can read straight ahead and reject a damaged file in one place.
#pragma once

#include <windef.h>

#include <cstddef>
#include <span>

namespace device {

struct BadImage {};

class ImageBytes {
public:
    ImageBytes() = default;
    explicit ImageBytes(std::span<const BYTE> bytes) : m_bytes(bytes) {}

    size_t Size() const { return m_bytes.size(); }

    std::span<const BYTE> Span(size_t offset, size_t count) const
    {
        if (offset > m_bytes.size() || count > m_bytes.size() - offset)
            throw BadImage{};
        return m_bytes.subspan(offset, count);
    }

    WORD U16(size_t offset) const
    {
        auto b = Span(offset, 2);
        return WORD(b[0] | b[1] << 8);
    }

    DWORD U32(size_t offset) const
    {
        auto b = Span(offset, 4);
        return DWORD(b[0]) | DWORD(b[1]) << 8 | DWORD(b[2]) << 16 | DWORD(b[3]) << 24;
    }

private:
    std::span<const BYTE> m_bytes;
};

} // namespace device
