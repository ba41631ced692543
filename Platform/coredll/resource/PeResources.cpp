#include "resource/PeResources.h"

#include <winerror.h>

#include <unicode/uchar.h>

#include <cstdint>
#include <set>

namespace device {
namespace {

constexpr DWORD kHighBit = 0x80000000;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;
constexpr int kLanguageLevel = 2; // type 0, name 1, language 2

std::u16string Folded(const std::u16string& name)
{
    std::u16string folded = name;
    for (char16_t& c : folded)
        c = char16_t(u_toupper(c));
    return folded;
}

// Walks the three directory levels below the root of the resource section.
class DirectoryReader {
public:
    DirectoryReader(const PeImage& image, ImageBytes root, std::vector<ResourceEntry>& entries)
        : m_image(image), m_root(root), m_entries(entries)
    {
    }

    void Read(DWORD offset, int level, const ResourceKey* type, const ResourceKey* name)
    {
        // Each directory is read once: shared or circular directories are not what a compiler writes.
        if (!m_visited.insert(offset).second)
            throw BadImage{};
        size_t count = size_t(m_root.U16(offset + 12)) + m_root.U16(offset + 14);
        for (size_t i = 0; i < count; ++i) {
            size_t at = offset + kDirectoryHeaderSize + kDirectoryEntrySize * i;
            ResourceKey key = Key(m_root.U32(at));
            DWORD target = m_root.U32(at + 4);
            bool isDirectory = (target & kHighBit) != 0;
            if (isDirectory != (level < kLanguageLevel))
                throw BadImage{};
            if (level == 0)
                Read(target & ~kHighBit, 1, &key, nullptr);
            else if (level == 1)
                Read(target & ~kHighBit, 2, type, &key);
            else
                AddLeaf(target, *type, *name, key);
        }
    }

private:
    ResourceKey Key(DWORD field) const
    {
        if ((field & kHighBit) == 0) {
            if (field > 0xFFFF)
                throw BadImage{};
            return ResourceKey(WORD(field));
        }
        // A counted UTF-16 name.
        size_t at = field & ~kHighBit;
        WORD length = m_root.U16(at);
        auto bytes = m_root.Span(at + 2, size_t(length) * 2);
        std::u16string name(length, u'\0');
        for (size_t i = 0; i < length; ++i)
            name[i] = char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
        return ResourceKey(std::move(name));
    }

    void AddLeaf(DWORD offset, const ResourceKey& type, const ResourceKey& name, const ResourceKey& language)
    {
        if (!language.IsId())
            throw BadImage{};
        DWORD rva = m_root.U32(offset);
        DWORD size = m_root.U32(offset + 4);
        m_entries.push_back({type, name, language.Id(), m_image.Bytes(rva, size)});
    }

    const PeImage& m_image;
    ImageBytes m_root;
    std::vector<ResourceEntry>& m_entries;
    std::set<DWORD> m_visited;
};

} // namespace

ResourceKey::ResourceKey(std::u16string name)
    : m_isName(true), m_name(std::move(name)), m_folded(Folded(m_name))
{
}

std::optional<ResourceKey> ResourceKey::FromArgument(LPCWSTR argument)
{
    if (IS_INTRESOURCE(argument))
        return ResourceKey(LOWORD(argument));
    std::u16string text(argument);
    if (text.empty() || text[0] != u'#')
        return ResourceKey(std::move(text));
    if (text.size() < 2 || text.size() > 6)
        return std::nullopt;
    DWORD id = 0;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        id = id * 10 + (text[i] - u'0');
    }
    if (id > 0xFFFF)
        return std::nullopt;
    return ResourceKey(WORD(id));
}

bool ResourceKey::operator==(const ResourceKey& other) const
{
    if (m_isName != other.m_isName)
        return false;
    return m_isName ? m_folded == other.m_folded : m_id == other.m_id;
}

PeResources::PeResources(const PeImage& image)
{
    PeImage::Directory directory = image.DataDirectory(kResourceDirectory);
    DirectoryReader(image, image.At(directory.rva), m_entries).Read(0, 0, nullptr, nullptr);
}

const ResourceEntry* PeResources::Find(const ResourceKey& type, const ResourceKey& name, DWORD* error) const
{
    const ResourceEntry* found = nullptr;
    bool typeSeen = false;
    for (const ResourceEntry& entry : m_entries) {
        if (!(entry.type == type))
            continue;
        typeSeen = true;
        if (!(entry.name == name))
            continue;
        if (entry.language == 0)
            return &entry;
        if (!found)
            found = &entry;
    }
    if (!found)
        *error = typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
    return found;
}

bool PeResources::Contains(const ResourceEntry* entry) const
{
    // Compared as addresses: a handle from elsewhere is any pointer at all.
    auto first = reinterpret_cast<uintptr_t>(m_entries.data());
    auto at = reinterpret_cast<uintptr_t>(entry);
    return at >= first && at - first < m_entries.size() * sizeof(ResourceEntry) &&
           (at - first) % sizeof(ResourceEntry) == 0;
}

} // namespace device
