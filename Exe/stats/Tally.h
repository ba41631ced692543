// Counting texts: the entries of a statistics table and the pick of the busiest one.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct TallyEntry {
    std::u16string text;
    DWORD count = 0;
};

// The busiest entry of a table: its text and count, or no text and 0 when nothing was counted.
struct TallyTop {
    std::optional<std::u16string> text;
    DWORD count = 0;
};

// What CountText keeps beside a table: the sort key of each entry (in the user locale, ignoring case), in
// entry order, as texts compare equal exactly when their keys do; and every text counted so far with its
// entry, so a text met again is counted without a key or a walk over the table.
struct TallyKeys {
    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>()(text); }
    };

    std::vector<std::string> sortKeys;
    std::unordered_map<std::u16string, size_t, TextHash, std::equal_to<>> entryOf;
};

// Raises the count of the first entry whose text equals `text` in the user locale, ignoring case, or
// appends {text, 1}. A missing or empty text, or one the locale can't key, is refused with E_FAIL.
HRESULT CountText(std::vector<TallyEntry>& table, TallyKeys& keys, LPCWSTR text);

// The first entry with the greatest non-zero count, so among equal counts the earliest wins. On a failed
// copy the top stays empty and E_OUTOFMEMORY is returned.
HRESULT PickTop(std::span<const TallyEntry> table, TallyTop& top);
