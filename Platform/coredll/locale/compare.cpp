// CompareStringW, lstrcmpW and lstrcmpiW: comparison by the rules of a locale, through ICU's collators; and
// LCMapStringW's sort keys, which compare (bytewise) as CompareStringW does. LCMapStringW's other mappings
// (case, width, kana) are left out and fail with ERROR_INVALID_FLAGS.
#include <windows.h>

#include "locale/LocaleData.h"

#include <unicode/coll.h>
#include <unicode/normalizer2.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace
{

constexpr DWORD kCollatorFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS;
constexpr DWORD kKnownFlags = kCollatorFlags | NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH | SORT_STRINGSORT;

std::mutex g_mutex;
std::map<std::pair<std::string, DWORD>, std::unique_ptr<icu::Collator>> g_collators;

std::unique_ptr<icu::Collator> MakeCollator(const std::string& id, DWORD flags)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(icu::Locale(id.c_str()), status));
    if (U_FAILURE(status)) return nullptr;
    if (flags & NORM_IGNORENONSPACE) {
        // Accents are secondary differences; case, when it still counts, gets a level of its own.
        collator->setStrength(icu::Collator::PRIMARY);
        if (!(flags & NORM_IGNORECASE)) collator->setAttribute(UCOL_CASE_LEVEL, UCOL_ON, status);
    } else if (flags & NORM_IGNORECASE) {
        collator->setStrength(icu::Collator::SECONDARY);
    }
    if (flags & NORM_IGNORESYMBOLS) {
        collator->setAttribute(UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED, status);
        collator->setMaxVariable(UCOL_REORDER_CODE_SYMBOL, status);
    }
    return U_SUCCESS(status) ? std::move(collator) : nullptr;
}

// One collator per locale and flag set, kept for the process; comparing through one is thread-safe.
const icu::Collator* CollatorFor(const std::string& id, DWORD flags)
{
    const auto key = std::make_pair(id, flags & kCollatorFlags);
    std::lock_guard guard(g_mutex);
    auto found = g_collators.find(key);
    if (found == g_collators.end()) found = g_collators.emplace(key, MakeCollator(id, key.second)).first;
    return found->second.get();
}

// Width and kana type are folded before collation: compatibility forms to their plain ones, katakana
// to hiragana.
std::u16string Folded(std::u16string text, DWORD flags)
{
    if (flags & NORM_IGNOREWIDTH) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* nfkc = icu::Normalizer2::getNFKCInstance(status);
        if (U_SUCCESS(status)) {
            icu::UnicodeString folded = nfkc->normalize(icu::UnicodeString(text.data(), text.size()), status);
            if (U_SUCCESS(status)) text.assign(folded.getBuffer(), folded.length());
        }
    }
    if (flags & NORM_IGNOREKANATYPE) {
        for (char16_t& c : text) {
            if (c >= 0x30A1 && c <= 0x30F6) c -= 0x60;
        }
    }
    return text;
}

// The word sort ranks hyphens and apostrophes last, so "co-op" stays beside "coop".
std::u16string WithoutHyphensAndApostrophes(std::u16string text)
{
    std::erase_if(text, [](char16_t c) { return c == u'-' || c == u'\''; });
    return text;
}

UCollationResult Collate(const icu::Collator& collator, const std::u16string& a, const std::u16string& b)
{
    UErrorCode status = U_ZERO_ERROR;
    return collator.compare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                            static_cast<int32_t>(b.size()), status);
}

std::u16string Text(LPCWSTR s, int cch)
{
    return cch < 0 ? std::u16string(s) : std::u16string(s, static_cast<size_t>(cch));
}

// The locale's collator for the flags; null (with the error set) for unknown flags or locale.
const icu::Collator* CollatorForCall(LCID locale, DWORD flags)
{
    if (flags & ~kKnownFlags) {
        SetLastError(ERROR_INVALID_FLAGS);
        return nullptr;
    }
    const std::string id = device::IcuLocaleFor(locale);
    const icu::Collator* collator = id.empty() ? nullptr : CollatorFor(id, flags);
    if (!collator) SetLastError(ERROR_INVALID_PARAMETER);
    return collator;
}

// Appends the text's ICU sort key, its terminating zero included: keys laid end to end compare bytewise
// one after the other, as the passes of CompareStringW do.
void AppendSortKey(const icu::Collator& collator, const std::u16string& text, std::string* key)
{
    const auto length = static_cast<int32_t>(text.size());
    const size_t at = key->size();
    key->resize(at + 64);
    int32_t size = collator.getSortKey(text.data(), length, reinterpret_cast<uint8_t*>(key->data() + at), 64);
    key->resize(at + static_cast<size_t>(size));
    if (size > 64) collator.getSortKey(text.data(), length, reinterpret_cast<uint8_t*>(key->data() + at), size);
}

} // namespace

int WINAPI CompareStringW(LCID Locale, DWORD dwCmpFlags, LPCWSTR lpString1, int cchCount1, LPCWSTR lpString2,
                          int cchCount2)
{
    if (!lpString1 || !lpString2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const icu::Collator* collator = CollatorForCall(Locale, dwCmpFlags);
    if (!collator) return 0;
    const std::u16string a = Folded(Text(lpString1, cchCount1), dwCmpFlags);
    const std::u16string b = Folded(Text(lpString2, cchCount2), dwCmpFlags);
    UCollationResult result = UCOL_EQUAL;
    if (!(dwCmpFlags & SORT_STRINGSORT))
        result = Collate(*collator, WithoutHyphensAndApostrophes(a), WithoutHyphensAndApostrophes(b));
    if (result == UCOL_EQUAL) result = Collate(*collator, a, b);
    return result == UCOL_LESS ? CSTR_LESS_THAN : result == UCOL_EQUAL ? CSTR_EQUAL : CSTR_GREATER_THAN;
}

int WINAPI LCMapStringW(LCID Locale, DWORD dwMapFlags, LPCWSTR lpSrcStr, int cchSrc, LPWSTR lpDestStr, int cchDest)
{
    if (!lpSrcStr || cchSrc == 0 || cchDest < 0 || (cchDest > 0 && !lpDestStr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!(dwMapFlags & LCMAP_SORTKEY)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const DWORD flags = dwMapFlags & ~LCMAP_SORTKEY;
    const icu::Collator* collator = CollatorForCall(Locale, flags);
    if (!collator) return 0;
    const std::u16string text = Folded(Text(lpSrcStr, cchSrc), flags);
    std::string key;
    if (!(flags & SORT_STRINGSORT)) AppendSortKey(*collator, WithoutHyphensAndApostrophes(text), &key);
    AppendSortKey(*collator, text, &key);
    const auto size = static_cast<int>(key.size());
    if (cchDest == 0) return size; // the size in bytes, as sort keys are counted
    if (cchDest < size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpDestStr, key.data(), key.size());
    return size;
}

namespace
{

// As documented, lstrcmp and lstrcmpi are CompareString in the user's locale; a null pointer ranks
// before every string.
int CompareInUserLocale(LPCWSTR a, LPCWSTR b, DWORD flags)
{
    if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
    const int result = CompareStringW(LOCALE_USER_DEFAULT, flags, a, -1, b, -1);
    return result == 0 ? 0 : result - CSTR_EQUAL;
}

} // namespace

int WINAPI lstrcmpW(LPCWSTR lpString1, LPCWSTR lpString2)
{
    return CompareInUserLocale(lpString1, lpString2, 0);
}

int WINAPI lstrcmpiW(LPCWSTR lpString1, LPCWSTR lpString2)
{
    return CompareInUserLocale(lpString1, lpString2, NORM_IGNORECASE);
}
