#include "IconBitmap.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace pixels {

namespace {

struct Reader {
    const BYTE* data;
    size_t size;
    size_t offset = 0;
};

cairo_status_t ReadPng(void* closure, unsigned char* out, unsigned int length)
{
    auto& reader = *static_cast<Reader*>(closure);
    if (reader.size - reader.offset < length)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, reader.data + reader.offset, length);
    reader.offset += length;
    return CAIRO_STATUS_SUCCESS;
}

uint32_t Little(const BYTE* p, int bytes)
{
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

uint32_t Premultiplied(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return (a << 24) | ((r * a / 255) << 16) | ((g * a / 255) << 8) | (b * a / 255);
}

cairo_surface_t* FromPng(const std::vector<BYTE>& bits)
{
    Reader reader{bits.data(), bits.size()};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadPng, &reader);
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS)
        return surface;
    cairo_surface_destroy(surface);
    return nullptr;
}

// The header, the colour table, the colour rows and the mask rows, all bottom row first.
cairo_surface_t* FromBitmap(const std::vector<BYTE>& bits)
{
    if (bits.size() < 40)
        return nullptr;
    const BYTE* p = bits.data();
    uint32_t headerSize = Little(p, 4);
    int width = static_cast<int32_t>(Little(p + 4, 4));
    int height = static_cast<int32_t>(Little(p + 8, 4)) / 2; // the colour rows and the mask rows
    int bitCount = static_cast<int>(Little(p + 14, 2));
    uint32_t compression = Little(p + 16, 4);
    uint32_t colours = Little(p + 32, 4);
    if (headerSize < 40 || headerSize > bits.size() || width <= 0 || height <= 0 || width > 1024 || height > 1024 ||
        compression != 0 /* BI_RGB */)
        return nullptr;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return nullptr;
    size_t paletteSize = bitCount <= 8 ? (colours ? colours : 1u << bitCount) : 0;
    size_t colourStride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
    size_t maskStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    size_t paletteAt = headerSize;
    size_t colourAt = paletteAt + paletteSize * 4;
    size_t maskAt = colourAt + colourStride * height;
    if (maskAt > bits.size())
        return nullptr;
    bool hasMask = maskAt + maskStride * height <= bits.size();

    bool alpha = false;
    if (bitCount == 32)
        for (int y = 0; y < height && !alpha; ++y)
            for (int x = 0; x < width && !alpha; ++x)
                alpha = p[colourAt + y * colourStride + x * 4 + 3] != 0;

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(surface);
    unsigned char* out = cairo_image_surface_get_data(surface);
    int outStride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const BYTE* row = p + colourAt + (height - 1 - y) * colourStride;
        const BYTE* maskRow = p + maskAt + (height - 1 - y) * maskStride;
        auto* pixel = reinterpret_cast<uint32_t*>(out + y * outStride);
        for (int x = 0; x < width; ++x) {
            uint32_t r, g, b, a = 255;
            if (bitCount <= 8) {
                int perByte = 8 / bitCount;
                int shift = (perByte - 1 - x % perByte) * bitCount;
                size_t index = (row[x / perByte] >> shift) & ((1u << bitCount) - 1);
                const BYTE* entry = index < paletteSize ? p + paletteAt + index * 4 : nullptr;
                b = entry ? entry[0] : 0, g = entry ? entry[1] : 0, r = entry ? entry[2] : 0;
            } else {
                const BYTE* source = row + x * (bitCount / 8);
                b = source[0], g = source[1], r = source[2];
                if (alpha)
                    a = source[3];
            }
            if (!alpha && hasMask && (maskRow[x / 8] >> (7 - x % 8)) & 1)
                a = 0;
            pixel[x] = Premultiplied(r, g, b, a);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

} // namespace

cairo_surface_t* IconSurface(const device::IconImage& icon)
{
    static constexpr BYTE kPngSignature[] = {0x89, 'P', 'N', 'G'};
    if (icon.bits.size() >= 4 && std::memcmp(icon.bits.data(), kPngSignature, 4) == 0)
        return FromPng(icon.bits);
    return FromBitmap(icon.bits);
}

} // namespace pixels
