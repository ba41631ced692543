#include "stats/Tally.h"

#include <new>

namespace
{

bool SortKey(LPCWSTR text, std::string* key)
{
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    int size = LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text, -1, nullptr, 0);
    if (size <= 0) return false;
    key->resize(static_cast<size_t>(size));
    return LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text, -1, reinterpret_cast<LPWSTR>(key->data()), size) == size;
}

} // namespace

HRESULT CountText(std::vector<TallyEntry>& table, TallyKeys& keys, LPCWSTR text)
{
    if (!text || !*text) return E_FAIL;
    std::u16string_view exact(text);
    if (auto known = keys.entryOf.find(exact); known != keys.entryOf.end()) {
        ++table[known->second].count;
        return S_OK;
    }
    try {
        std::string key;
        if (!SortKey(text, &key)) return E_FAIL;
        size_t entry = 0;
        while (entry < keys.sortKeys.size() && keys.sortKeys[entry] != key)
            ++entry;
        if (entry == table.size()) {
            keys.sortKeys.push_back(std::move(key));
            try {
                table.push_back({std::u16string(exact), 0});
            } catch (const std::bad_alloc&) {
                keys.sortKeys.pop_back();
                throw;
            }
        }
        // Counted only once the text is known: a failure leaves the tally as it was.
        try {
            keys.entryOf.emplace(exact, entry);
        } catch (const std::bad_alloc&) {
            if (table[entry].count == 0) {
                table.pop_back();
                keys.sortKeys.pop_back();
            }
            throw;
        }
        ++table[entry].count;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT PickTop(std::span<const TallyEntry> table, TallyTop& top)
{
    top = {};
    const TallyEntry* best = nullptr;
    for (const TallyEntry& entry : table) {
        if (entry.count > (best ? best->count : 0)) best = &entry;
    }
    if (!best) return S_OK;
    try {
        top.text = best->text;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    top.count = best->count;
    return S_OK;
}
