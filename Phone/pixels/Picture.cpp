#include "Picture.h"

#include <cstdint>
#include <stdexcept>

namespace pixels {

namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

Picture::Picture(int width, int height) : m_surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height))
{
    if (cairo_surface_status(m_surface) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("cannot make a picture: ") +
                                 cairo_status_to_string(cairo_surface_status(m_surface)));
}

Picture Picture::FromPng(const std::filesystem::path& file)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(file.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        std::string why = cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        throw std::runtime_error("cannot read " + file.string() + ": " + why);
    }
    return Picture(surface);
}

Picture& Picture::operator=(Picture&& other) noexcept
{
    std::swap(m_surface, other.m_surface);
    return *this;
}

Picture::~Picture()
{
    if (m_surface)
        cairo_surface_destroy(m_surface);
}

COLORREF Picture::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        throw std::out_of_range("no pixel " + std::to_string(x) + "," + std::to_string(y) + " in the picture");
    cairo_surface_flush(m_surface);
    const unsigned char* row = cairo_image_surface_get_data(m_surface) + y * cairo_image_surface_get_stride(m_surface);
    uint32_t argb = reinterpret_cast<const uint32_t*>(row)[x];
    // Opaque pixels either way; a PNG read back with transparency has been premultiplied onto black.
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

std::string Picture::Png() const
{
    std::string png;
    cairo_status_t status = cairo_surface_write_to_png_stream(m_surface, Append, &png);
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("cannot encode the picture: ") + cairo_status_to_string(status));
    return png;
}

void Picture::SavePng(const std::filesystem::path& file) const
{
    cairo_status_t status = cairo_surface_write_to_png(m_surface, file.c_str());
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + file.string() + ": " + cairo_status_to_string(status));
}

} // namespace pixels
