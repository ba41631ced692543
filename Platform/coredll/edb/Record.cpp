#include "edb/Record.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace device::edb {

namespace {

// Fixed sizes of the value types that carry no pointer.
size_t FixedSize(WORD type)
{
    switch (type) {
    case CEVT_I2:
    case CEVT_UI2: return 2;
    case CEVT_I4:
    case CEVT_UI4:
    case CEVT_BOOL: return 4;
    case CEVT_R8:
    case CEVT_FILETIME: return 8;
    }
    return 0;
}

bool HasFixedSize(WORD type)
{
    return FixedSize(type) != 0;
}

template <class T> std::string Bytes(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutU32(std::string& out, uint32_t value)
{
    out.append(reinterpret_cast<const char*>(&value), 4);
}

bool GetU32(std::string_view& in, uint32_t* value)
{
    if (in.size() < 4)
        return false;
    std::memcpy(value, in.data(), 4);
    in.remove_prefix(4);
    return true;
}

constexpr size_t kAlign = alignof(std::max_align_t);
size_t Aligned(size_t size)
{
    return (size + kAlign - 1) / kAlign * kAlign;
}

// The bytes a value carries behind its CEPROPVAL in a reply.
size_t TrailingSize(const Property& property)
{
    WORD type = TypeFromPropID(property.id);
    if (type == CEVT_LPWSTR)
        return Aligned(property.bytes.size() + sizeof(WCHAR));
    if (type == CEVT_BLOB)
        return Aligned(property.bytes.size());
    return 0;
}

template <class Each> void ForEachWanted(const Record& record, const std::vector<CEPROPID>* wanted, Each each)
{
    if (!wanted) {
        for (const Property& property : record)
            each(property.id, &property);
        return;
    }
    for (CEPROPID id : *wanted)
        each(id, Find(record, id));
}

} // namespace

bool IsKnownType(WORD type)
{
    return HasFixedSize(type) || type == CEVT_LPWSTR || type == CEVT_BLOB;
}

std::optional<Property> FromPropVal(const CEPROPVAL& value)
{
    Property property{value.propid, {}};
    switch (TypeFromPropID(value.propid)) {
    case CEVT_I2: property.bytes = Bytes(value.val.iVal); break;
    case CEVT_UI2: property.bytes = Bytes(value.val.uiVal); break;
    case CEVT_I4: property.bytes = Bytes(value.val.lVal); break;
    case CEVT_UI4: property.bytes = Bytes(value.val.ulVal); break;
    case CEVT_BOOL: property.bytes = Bytes(static_cast<int32_t>(value.val.boolVal != 0)); break;
    case CEVT_R8: property.bytes = Bytes(value.val.dblVal); break;
    case CEVT_FILETIME: property.bytes = Bytes(value.val.filetime); break;
    case CEVT_LPWSTR:
        if (!value.val.lpwstr)
            return std::nullopt;
        property.bytes.assign(reinterpret_cast<const char*>(value.val.lpwstr),
                              std::char_traits<char16_t>::length(value.val.lpwstr) * sizeof(WCHAR));
        break;
    case CEVT_BLOB:
        if (!value.val.blob.lpb && value.val.blob.dwCount)
            return std::nullopt;
        property.bytes.assign(reinterpret_cast<const char*>(value.val.blob.lpb), value.val.blob.dwCount);
        break;
    default: return std::nullopt;
    }
    return property;
}

std::string Serialize(const Record& record)
{
    std::string out;
    for (const Property& property : record) {
        PutU32(out, property.id);
        PutU32(out, static_cast<uint32_t>(property.bytes.size()));
        out += property.bytes;
    }
    return out;
}

std::optional<Record> Parse(std::string_view bytes)
{
    Record record;
    while (!bytes.empty()) {
        uint32_t id = 0, size = 0;
        if (!GetU32(bytes, &id) || !GetU32(bytes, &size) || size > bytes.size())
            return std::nullopt;
        WORD type = TypeFromPropID(id);
        bool fits =
            HasFixedSize(type) ? size == FixedSize(type) : type == CEVT_BLOB || (type == CEVT_LPWSTR && size % 2 == 0);
        if (!fits || Find(record, id))
            return std::nullopt;
        record.push_back({id, std::string(bytes.substr(0, size))});
        bytes.remove_prefix(size);
    }
    return record;
}

const Property* Find(const Record& record, CEPROPID id)
{
    for (const Property& property : record)
        if (property.id == id)
            return &property;
    return nullptr;
}

size_t ReplySize(const Record& record, const std::vector<CEPROPID>* wanted)
{
    size_t count = 0, trailing = 0;
    ForEachWanted(record, wanted, [&](CEPROPID, const Property* property) {
        ++count;
        if (property)
            trailing += TrailingSize(*property);
    });
    return Aligned(count * sizeof(CEPROPVAL)) + trailing;
}

void WriteReply(const Record& record, const std::vector<CEPROPID>* wanted, BYTE* base)
{
    size_t count = 0;
    ForEachWanted(record, wanted, [&](CEPROPID, const Property*) { ++count; });
    auto* values = reinterpret_cast<CEPROPVAL*>(base);
    BYTE* trailing = base + Aligned(count * sizeof(CEPROPVAL));
    size_t index = 0;
    ForEachWanted(record, wanted, [&](CEPROPID id, const Property* property) {
        CEPROPVAL& value = values[index++];
        std::memset(&value, 0, sizeof value);
        value.propid = id;
        if (!property) {
            value.wFlags = CEDB_PROPNOTFOUND;
            return;
        }
        WORD type = TypeFromPropID(id);
        if (HasFixedSize(type)) {
            std::memcpy(&value.val, property->bytes.data(), property->bytes.size());
            return;
        }
        std::memcpy(trailing, property->bytes.data(), property->bytes.size());
        if (type == CEVT_LPWSTR) {
            std::memset(trailing + property->bytes.size(), 0, sizeof(WCHAR));
            value.val.lpwstr = reinterpret_cast<LPWSTR>(trailing);
            value.wLenData = static_cast<WORD>(std::min<size_t>(property->bytes.size() + sizeof(WCHAR), 0xFFFF));
        } else {
            value.val.blob.dwCount = static_cast<DWORD>(property->bytes.size());
            value.val.blob.lpb = trailing;
            value.wLenData = static_cast<WORD>(std::min<size_t>(property->bytes.size(), 0xFFFF));
        }
        trailing += TrailingSize(*property);
    });
}

} // namespace device::edb
