// Entry identifiers of this device's stores, folders and messages: the ENTRYID flags, the provider's
// identifier, then what the identifier names.
#pragma once

#include <mapidefs.h>

#include <cstdint>
#include <vector>

namespace device::mapi
{

enum class EntryKind : uint32_t { Store = 1, Folder = 2, Message = 3 };

struct EntryRef {
    EntryKind kind;
    int64_t id;
};

std::vector<uint8_t> MakeEntryId(EntryKind kind, int64_t id);

// E_INVALIDARG for no identifier at all; MAPI_E_UNKNOWN_ENTRYID for bytes that are not one of this
// device's identifiers. Whether the object still exists is the caller's question.
HRESULT ParseEntryId(ULONG size, const void* bytes, EntryRef* out);

} // namespace device::mapi
