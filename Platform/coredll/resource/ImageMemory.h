// A file's bytes in read-only memory. On x86-64 the memory lies below 2 GB: the device hands pointers
// into a resource file back in an int (LoadString without a buffer), and such a pointer must survive.
#pragma once

#include <windef.h>

#include <filesystem>
#include <memory>
#include <span>

namespace device {

class ImageMemory {
public:
    // Reads the whole file. Null with a Win32 error in *error when it can't be opened or read.
    static std::unique_ptr<ImageMemory> Read(const std::filesystem::path& path, DWORD* error);

    ~ImageMemory();
    ImageMemory(const ImageMemory&) = delete;
    ImageMemory& operator=(const ImageMemory&) = delete;

    std::span<const BYTE> Bytes() const { return {m_base, m_size}; }

private:
    ImageMemory(BYTE* base, size_t mapped, size_t size) : m_base(base), m_mapped(mapped), m_size(size) {}

    BYTE* m_base;
    size_t m_mapped;
    size_t m_size;
};

} // namespace device
