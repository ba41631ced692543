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
    // No two entries are equal, so an entry with this very text is the only one equal to it: most messages
    // are counted without a key.
    for (TallyEntry& entry : table) {
        if (entry.text == text) {
            ++entry.count;
            return S_OK;
        }
    }
    try {
        std::string key;
        if (!SortKey(text, &key)) return E_FAIL;
        for (size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] == key) {
                ++table[i].count;
                return S_OK;
            }
        }
        keys.push_back(std::move(key));
        try {
            table.push_back({text, 1});
        } catch (const std::bad_alloc&) {
            keys.pop_back();
            throw;
        }
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
