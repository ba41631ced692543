// The headers of a PE file (PE32 or PE32+) as far as they locate data: the data directories and the
// section table, and the mapping from a relative virtual address to the file bytes behind it.
#pragma once

#include "resource/ImageBytes.h"

#include <vector>

namespace device {

constexpr unsigned kResourceDirectory = 2;

class PeImage {
public:
    struct Directory {
        DWORD rva = 0;
        DWORD size = 0;
    };

    // Throws BadImage unless the file has a DOS header, a PE signature, a PE32 or PE32+ optional header
    // and a section table whose raw data lies inside the file.
    explicit PeImage(std::span<const BYTE> file);

    // A data directory; empty when the image has fewer directories than that.
    Directory DataDirectory(unsigned index) const;

    // The file bytes behind rva, up to the end of its section's data. Throws BadImage when no section
    // holds rva in its raw data (also for data the loader would only zero-fill).
    ImageBytes At(DWORD rva) const;

    // Exactly size bytes at rva, all in one section's raw data (an empty span may end a section).
    std::span<const BYTE> Bytes(DWORD rva, DWORD size) const;

private:
    struct Section {
        DWORD virtualAddress;
        DWORD size; // of the part backed by the file
        DWORD rawOffset;
    };

    ImageBytes m_file;
    std::vector<Directory> m_directories;
    std::vector<Section> m_sections;
};

} // namespace device
