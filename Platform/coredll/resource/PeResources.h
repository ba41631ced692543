// The resource directory of a PE image: every resource with its type, name, language and data, read
// once and checked throughout, so a damaged file is refused when it is opened rather than when used.
#pragma once

#include "resource/PeImage.h"

#include <optional>
#include <string>
#include <vector>

namespace device {

// A resource type or name: an integer id, or a name that matches without regard to case.
class ResourceKey {
public:
    explicit ResourceKey(WORD id) : m_id(id) {}
    explicit ResourceKey(std::u16string name);

    // An argument of the API: MAKEINTRESOURCE(id), "#id" in decimal, or a name. Nullopt for a "#"
    // that is not followed by a number up to 65535.
    static std::optional<ResourceKey> FromArgument(LPCWSTR argument);

    bool IsId() const { return !m_isName; }
    WORD Id() const { return m_id; }
    const std::u16string& Name() const { return m_name; }

    bool operator==(const ResourceKey& other) const;

private:
    bool m_isName = false;
    WORD m_id = 0;
    std::u16string m_name;
    std::u16string m_folded; // the name in capitals, for comparing
};

struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    WORD language;
    std::span<const BYTE> data;
};

class PeResources {
public:
    // Reads the resource directory of image. Throws BadImage when it, or the data it points to, lies
    // outside the image or is not the three levels of type, name and language.
    explicit PeResources(const PeImage& image);

    PeResources(const PeResources&) = delete;
    PeResources& operator=(const PeResources&) = delete;

    // The resource of that type and name, in the neutral language if it has one, else in the first it
    // has. Null with ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND in *error.
    const ResourceEntry* Find(const ResourceKey& type, const ResourceKey& name, DWORD* error) const;

    // Whether entry is one of this directory's (handles given back by callers are checked with it).
    bool Contains(const ResourceEntry* entry) const;

    const std::vector<ResourceEntry>& Entries() const { return m_entries; }

private:
    std::vector<ResourceEntry> m_entries;
};

} // namespace device
