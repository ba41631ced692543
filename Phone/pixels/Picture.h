// A picture of the screen in memory: pixels that can be read one by one, written as PNG, or read from a
// PNG file. It owns its Cairo image surface.
#pragma once

#include <windows.h>

#include <cairo.h>

#include <filesystem>
#include <string>

namespace pixels {

class Picture {
public:
    Picture(int width, int height); // opaque black
    // Throws std::runtime_error when the file is not a PNG that can be read.
    static Picture FromPng(const std::filesystem::path& file);

    Picture(Picture&& other) noexcept : m_surface(other.m_surface) { other.m_surface = nullptr; }
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    ~Picture();

    int Width() const { return cairo_image_surface_get_width(m_surface); }
    int Height() const { return cairo_image_surface_get_height(m_surface); }
    // The colour at a pixel, as RGB() gives it.
    COLORREF Pixel(int x, int y) const;

    std::string Png() const;
    // Throws std::runtime_error with the reason when the file cannot be written.
    void SavePng(const std::filesystem::path& file) const;

    cairo_surface_t* Surface() const { return m_surface; }

private:
    explicit Picture(cairo_surface_t* surface) : m_surface(surface) {}
    cairo_surface_t* m_surface;
};

} // namespace pixels
