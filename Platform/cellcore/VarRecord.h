// Filling a caller's variably sized record: the fixed part whenever dwTotalSize holds it, the variable
// parts only when the whole record fits; dwNeededSize always tells the caller what the whole record takes.
#pragma once

#include <tapi.h>

#include <cstring>
#include <initializer_list>
#include <string_view>

namespace device::telephony {

template <class Record>
struct TextPart {
    std::u16string_view text; // written with its terminator; an empty text is left out (size and offset 0)
    DWORD Record::*size;
    DWORD Record::*offset;
};

inline DWORD TextBytes(std::u16string_view text)
{
    return text.empty() ? 0 : static_cast<DWORD>((text.size() + 1) * sizeof(char16_t));
}

// fixedSize is the fixed part of the negotiated version, which may end before the last field of Record.
template <class Record>
LONG FillRecord(Record* out, DWORD fixedSize, Record fixed, std::initializer_list<TextPart<Record>> parts)
{
    DWORD total = out->dwTotalSize;
    if (total < fixedSize) return LINEERR_STRUCTURETOOSMALL;
    DWORD needed = fixedSize;
    for (const TextPart<Record>& part : parts)
        needed += TextBytes(part.text);
    bool fits = total >= needed;
    if (fits) {
        DWORD offset = fixedSize;
        for (const TextPart<Record>& part : parts) {
            DWORD bytes = TextBytes(part.text);
            fixed.*part.size = bytes;
            fixed.*part.offset = bytes ? offset : 0;
            offset += bytes;
        }
    }
    fixed.dwTotalSize = total;
    fixed.dwNeededSize = needed;
    fixed.dwUsedSize = fits ? needed : fixedSize;
    std::memcpy(out, &fixed, fixedSize);
    if (fits) {
        auto* base = reinterpret_cast<unsigned char*>(out);
        for (const TextPart<Record>& part : parts) {
            if (part.text.empty()) continue;
            std::memcpy(base + fixed.*part.offset, part.text.data(), part.text.size() * sizeof(char16_t));
            std::memset(base + fixed.*part.offset + part.text.size() * sizeof(char16_t), 0, sizeof(char16_t));
        }
    }
    return 0;
}

} // namespace device::telephony
