#include "EntryId.h"

#include <cstring>

namespace device::mapi
{

namespace
{

// Names this message store provider in the identifiers it hands out.
constexpr MAPIUID kProvider = {
    {0x5A, 0x65, 0x9C, 0x21, 0x7E, 0x0B, 0x44, 0x3D, 0x91, 0xC6, 0x2F, 0x58, 0xA3, 0x10, 0xE4, 0x6B}};

struct Layout {
    BYTE flags[4];
    MAPIUID provider;
    uint32_t kind;
    int64_t id;
} __attribute__((packed));

} // namespace

std::vector<uint8_t> MakeEntryId(EntryKind kind, int64_t id)
{
    Layout layout{};
    layout.provider = kProvider;
    layout.kind = static_cast<uint32_t>(kind);
    layout.id = id;
    auto bytes = reinterpret_cast<const uint8_t*>(&layout);
    return std::vector<uint8_t>(bytes, bytes + sizeof layout);
}

HRESULT ParseEntryId(ULONG size, const void* bytes, EntryRef* out)
{
    if (!bytes) return E_INVALIDARG;
    Layout layout;
    if (size != sizeof layout) return MAPI_E_UNKNOWN_ENTRYID;
    std::memcpy(&layout, bytes, sizeof layout);
    static const BYTE noFlags[4] = {};
    if (std::memcmp(layout.flags, noFlags, sizeof noFlags) != 0 ||
        std::memcmp(&layout.provider, &kProvider, sizeof kProvider) != 0 || layout.kind < 1 ||
        layout.kind > 3 || layout.id <= 0)
        return MAPI_E_UNKNOWN_ENTRYID;
    *out = {static_cast<EntryKind>(layout.kind), layout.id};
    return S_OK;
}

} // namespace device::mapi
