#include "resource/PeImage.h"

#include <algorithm>

namespace device {
namespace {

constexpr WORD kDosMagic = 0x5A4D;         // "MZ"
constexpr DWORD kPeSignature = 0x00004550; // "PE\0\0"
constexpr WORD kPe32Magic = 0x10B;
constexpr WORD kPe32PlusMagic = 0x20B;

constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;

} // namespace

PeImage::PeImage(std::span<const BYTE> file) : m_file(file)
{
    if (m_file.U16(0) != kDosMagic)
        throw BadImage{};
    size_t pe = m_file.U32(0x3C);
    if (m_file.U32(pe) != kPeSignature)
        throw BadImage{};

    size_t fileHeader = pe + 4;
    WORD sectionCount = m_file.U16(fileHeader + 2);
    WORD optionalSize = m_file.U16(fileHeader + 16);

    // The optional header, and in it the count of data directories and where they start.
    size_t optional = fileHeader + kFileHeaderSize;
    ImageBytes header(m_file.Span(optional, optionalSize));
    size_t countOffset, directoriesOffset;
    switch (header.U16(0)) {
    case kPe32Magic:
        countOffset = 92;
        directoriesOffset = 96;
        break;
    case kPe32PlusMagic:
        countOffset = 108;
        directoriesOffset = 112;
        break;
    default: throw BadImage{};
    }
    DWORD count = header.U32(countOffset);
    if (count > (header.Size() - std::min(header.Size(), directoriesOffset)) / 8)
        throw BadImage{};
    for (DWORD i = 0; i < count; ++i)
        m_directories.push_back(
            {header.U32(directoriesOffset + 8 * i), header.U32(directoriesOffset + 8 * i + 4)});

    size_t table = optional + optionalSize;
    for (WORD i = 0; i < sectionCount; ++i) {
        size_t at = table + kSectionHeaderSize * i;
        DWORD virtualSize = m_file.U32(at + 8);
        DWORD virtualAddress = m_file.U32(at + 12);
        DWORD rawSize = m_file.U32(at + 16);
        DWORD rawOffset = m_file.U32(at + 20);
        m_file.Span(rawOffset, rawSize); // the raw data must be in the file
        // Raw data is padded to the file alignment; only the section's own size of it is the section.
        DWORD size = virtualSize != 0 ? std::min(virtualSize, rawSize) : rawSize;
        m_sections.push_back({virtualAddress, size, rawOffset});
    }
}

PeImage::Directory PeImage::DataDirectory(unsigned index) const
{
    return index < m_directories.size() ? m_directories[index] : Directory{};
}

ImageBytes PeImage::At(DWORD rva) const
{
    for (const Section& s : m_sections) {
        if (rva >= s.virtualAddress && rva - s.virtualAddress < s.size) {
            DWORD into = rva - s.virtualAddress;
            return ImageBytes(m_file.Span(size_t(s.rawOffset) + into, s.size - into));
        }
    }
    throw BadImage{};
}

std::span<const BYTE> PeImage::Bytes(DWORD rva, DWORD size) const
{
    for (const Section& s : m_sections) {
        if (rva >= s.virtualAddress && rva - s.virtualAddress <= s.size &&
            size <= s.size - (rva - s.virtualAddress))
            return m_file.Span(size_t(s.rawOffset) + (rva - s.virtualAddress), size);
    }
    throw BadImage{};
}

} // namespace device
