// Counting texts: the entries of a statistics table and the pick of the busiest one.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
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

// The sort keys of a table's texts (in the user locale, ignoring case), one per entry in entry order, kept
// beside the table by CountText: texts compare equal exactly when their keys do.
using TallyKeys = std::vector<std::string>;

// Raises the count of the first entry whose text equals `text` in the user locale, ignoring case, or
// appends {text, 1}. A missing or empty text, or one the locale can't key, is refused with E_FAIL.
HRESULT CountText(std::vector<TallyEntry>& table, TallyKeys& keys, LPCWSTR text);

// The first entry with the greatest non-zero count, so among equal counts the earliest wins. On a failed
// copy the top stays empty and E_OUTOFMEMORY is returned.
HRESULT PickTop(std::span<const TallyEntry> table, TallyTop& top);
