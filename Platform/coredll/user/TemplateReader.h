// Reads resource templates (dialogs, menus, accelerator tables): little-endian fields, strings and
// names-or-numbers, with alignment to addresses, as templates are laid out for the memory they are
// loaded at. A read past the end marks the reader failed instead of reading on.
#pragma once

#include <windows.h>

#include "user/DialogTemplate.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace device {

class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}

    bool Ok() const { return m_ok; }

    WORD Word() { return static_cast<WORD>(Take(2)); }
    DWORD Dword() { return static_cast<DWORD>(Take(4)); }
    BYTE Byte() { return static_cast<BYTE>(Take(1)); }
    short Short() { return static_cast<short>(Word()); }

    void Align(size_t boundary)
    {
        auto address = reinterpret_cast<uintptr_t>(m_data + m_offset);
        size_t pad = (boundary - address % boundary) % boundary;
        if (!Fits(pad))
            return;
        m_offset += pad;
    }

    std::u16string String()
    {
        std::u16string text;
        for (;;) {
            WORD ch = Word();
            if (!m_ok || ch == 0)
                return text;
            text.push_back(static_cast<char16_t>(ch));
        }
    }

    // sz_Or_Ord: 0x0000 for nothing, 0xFFFF and a number, or a string.
    NameOrOrdinal NameOrNumber()
    {
        NameOrOrdinal result;
        WORD first = Word();
        if (!m_ok || first == 0)
            return result;
        if (first == 0xFFFF) {
            result.ordinal = Word();
            return result;
        }
        result.name.push_back(static_cast<char16_t>(first));
        result.name += String();
        return result;
    }

    std::vector<BYTE> Bytes(size_t count)
    {
        if (!Fits(count))
            return {};
        std::vector<BYTE> bytes(m_data + m_offset, m_data + m_offset + count);
        m_offset += count;
        return bytes;
    }

private:
    bool Fits(size_t count)
    {
        if (!m_ok || count > m_size - m_offset) {
            m_ok = false;
            return false;
        }
        return true;
    }

    uint32_t Take(size_t count)
    {
        if (!Fits(count))
            return 0;
        uint32_t value = 0;
        for (size_t i = 0; i < count; ++i)
            value |= static_cast<uint32_t>(m_data[m_offset + i]) << (8 * i);
        m_offset += count;
        return value;
    }

    const BYTE* m_data;
    size_t m_size;
    size_t m_offset = 0;
    bool m_ok = true;
};
} // namespace device
