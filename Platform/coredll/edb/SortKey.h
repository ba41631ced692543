// Sort orders as byte strings: a record's key under a sort order compares, byte by byte, as the records
// compare under it, so the file's indexes keep each sort order and a seek is a range look-up.
// Left out: the locale's string order. Strings sort by code point (after simple case folding with
// CEDB_SORT_CASEINSENSITIVE), the same on every device; the ignore-flags of CompareString are refused.
#pragma once

#include "edb/Record.h"

#include <string>
#include <vector>

namespace device::edb {

struct SortProperty {
    CEPROPID id = 0;
    DWORD flags = 0; // CEDB_SORT_DESCENDING, CEDB_SORT_CASEINSENSITIVE, CEDB_SORT_UNKNOWNFIRST
};

struct SortOrder {
    WORD keyFlags = 0; // CEDB_SORT_UNIQUE, CEDB_SORT_PRIMARYKEY
    std::vector<SortProperty> properties;

    bool Unique() const { return keyFlags & (CEDB_SORT_UNIQUE | CEDB_SORT_PRIMARYKEY); }
};

constexpr DWORD kSupportedSortFlags = CEDB_SORT_DESCENDING | CEDB_SORT_CASEINSENSITIVE | CEDB_SORT_UNKNOWNFIRST;
constexpr WORD kSupportedKeyFlags = CEDB_SORT_UNIQUE | CEDB_SORT_PRIMARYKEY;

// The key of a record. With `count` below the number of the order's properties, the key of the first
// `count` of them: a prefix of the keys of every record that has those values.
std::string SortKey(const SortOrder& order, const Record& record, size_t count = SIZE_MAX);

// The smallest byte string above every key that starts with `prefix`; empty when there is none.
std::string PrefixEnd(std::string prefix);

} // namespace device::edb
