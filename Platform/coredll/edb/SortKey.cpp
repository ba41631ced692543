#include "edb/SortKey.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstring>

namespace device::edb {

namespace {

// Where a record without the property goes: before (UNKNOWNFIRST) or after every record with it.
constexpr char kMissingFirst = 0x00;
constexpr char kPresent = 0x01;
constexpr char kMissingLast = 0x02;

void PutBigEndian(std::string& out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (i * 8)) & 0xFF);
}

template <class T> T Load(const std::string& bytes)
{
    T value{};
    std::memcpy(&value, bytes.data(), std::min(sizeof value, bytes.size()));
    return value;
}

// Code points as UTF-8 (whose byte order is code point order) ending in a zero byte, which no character
// yields; an unpaired surrogate is kept as its own three bytes.
void PutString(std::string& out, const std::string& bytes, bool foldCase)
{
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    int32_t length = static_cast<int32_t>(units.size());
    for (int32_t i = 0; i < length;) {
        UChar32 c;
        U16_NEXT(units.data(), i, length, c);
        if (foldCase)
            c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        if (c == 0)
            break;
        uint8_t encoded[U8_MAX_LENGTH];
        int32_t size = 0;
        U8_APPEND_UNSAFE(encoded, size, c);
        out.append(reinterpret_cast<const char*>(encoded), static_cast<size_t>(size));
    }
    out += '\0';
}

// The value's bytes in ascending order. Signed numbers have their sign bit flipped; a double becomes its
// bits with the sign flipped, or all bits flipped when negative.
void PutValue(std::string& out, const Property& property, DWORD flags)
{
    switch (TypeFromPropID(property.id)) {
    case CEVT_I2: PutBigEndian(out, static_cast<uint16_t>(Load<int16_t>(property.bytes)) ^ 0x8000u, 2); break;
    case CEVT_UI2: PutBigEndian(out, Load<uint16_t>(property.bytes), 2); break;
    case CEVT_I4: PutBigEndian(out, static_cast<uint32_t>(Load<int32_t>(property.bytes)) ^ 0x80000000u, 4); break;
    case CEVT_UI4: PutBigEndian(out, Load<uint32_t>(property.bytes), 4); break;
    case CEVT_BOOL: out += static_cast<char>(Load<int32_t>(property.bytes) != 0); break;
    case CEVT_R8: {
        uint64_t bits = Load<uint64_t>(property.bytes);
        PutBigEndian(out, (bits >> 63) ? ~bits : bits ^ (1ull << 63), 8);
        break;
    }
    case CEVT_FILETIME: {
        FILETIME time = Load<FILETIME>(property.bytes);
        PutBigEndian(out, (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime, 8);
        break;
    }
    case CEVT_LPWSTR: PutString(out, property.bytes, flags & CEDB_SORT_CASEINSENSITIVE); break;
    }
}

} // namespace

std::string SortKey(const SortOrder& order, const Record& record, size_t count)
{
    std::string key;
    for (size_t i = 0; i < order.properties.size() && i < count; ++i) {
        const SortProperty& sort = order.properties[i];
        const Property* property = Find(record, sort.id);
        if (!property) {
            key += (sort.flags & CEDB_SORT_UNKNOWNFIRST) ? kMissingFirst : kMissingLast;
            continue;
        }
        key += kPresent;
        size_t start = key.size();
        PutValue(key, *property, sort.flags);
        if (sort.flags & CEDB_SORT_DESCENDING)
            for (size_t j = start; j < key.size(); ++j)
                key[j] = static_cast<char>(~key[j]);
    }
    return key;
}

std::string PrefixEnd(std::string prefix)
{
    while (!prefix.empty() && static_cast<unsigned char>(prefix.back()) == 0xFF)
        prefix.pop_back();
    if (!prefix.empty())
        prefix.back() = static_cast<char>(prefix.back() + 1);
    return prefix;
}

} // namespace device::edb
