#include "stats/Tally.h"

#include <new>

HRESULT CountText(std::vector<TallyEntry>& table, LPCWSTR text)
{
    if (!text || !*text) return E_FAIL;
    for (TallyEntry& entry : table) {
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, entry.text.c_str(), -1, text, -1) ==
            CSTR_EQUAL) {
            ++entry.count;
            return S_OK;
        }
    }
    try {
        table.push_back({text, 1});
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
