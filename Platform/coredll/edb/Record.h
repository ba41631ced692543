// A record of a volume as it is kept: its properties in the order written, each the identifier (whose low
// word is the value type) and the value's bytes. The same form travels between the file, the sort keys and
// the callers' CEPROPVALs.
#pragma once

#include <windbase.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace device::edb {

struct Property {
    CEPROPID id = 0;
    std::string bytes; // little-endian numbers; a string's UTF-16 code units without terminator; a blob as is
};

using Record = std::vector<Property>;

bool IsKnownType(WORD type);

// A caller's value in kept form; nullopt when the value cannot be taken (a null string or blob pointer).
std::optional<Property> FromPropVal(const CEPROPVAL& value);

// The record as stored in the file, and back; nullopt for bytes that are no record.
std::string Serialize(const Record& record);
std::optional<Record> Parse(std::string_view bytes);

const Property* Find(const Record& record, CEPROPID id);

// The bytes of a read reply: one CEPROPVAL per wanted identifier (all of the record's when `wanted` is
// null), followed by the strings and blobs they point to. A wanted property the record lacks comes back
// flagged CEDB_PROPNOTFOUND. `base` is where the reply will lie: the pointers are made for that address.
size_t ReplySize(const Record& record, const std::vector<CEPROPID>* wanted);
void WriteReply(const Record& record, const std::vector<CEPROPID>* wanted, BYTE* base);

} // namespace device::edb
