// JSON written as it goes, for what the device shows to tools: the screen snapshot, and the phone tool's
// lists. Texts are UTF-16 or UTF-8; members and elements are separated as they come.
#pragma once

#include "device/Text.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace device {

class JsonWriter {
public:
    std::string Take() { return std::move(m_out); }

    void String(std::u16string_view text) { String(Utf8FromUtf16(text).value_or("\xEF\xBF\xBD")); }
    void String(std::string_view text)
    {
        Quoted(text);
        m_fresh = false;
    }
    void Number(long long value) { m_out += std::to_string(value), m_fresh = false; }
    void Bool(bool value) { m_out += value ? "true" : "false", m_fresh = false; }
    void Null() { m_out += "null", m_fresh = false; }

    // "name": — with the comma that separates it from the previous member.
    void Key(std::string_view name)
    {
        Separate();
        Quoted(name);
        m_out += ':';
        m_fresh = true;
    }
    void Open(char bracket)
    {
        Separate();
        m_out += bracket;
        m_fresh = true;
    }
    void Close(char bracket)
    {
        m_out += bracket;
        m_fresh = false;
    }
    // Before a value that is an element of an array.
    void Element() { Separate(); }

private:
    void Separate()
    {
        if (!m_fresh)
            m_out += ',';
        m_fresh = false;
    }

    void Quoted(std::string_view text)
    {
        m_out += '"';
        for (unsigned char c : text) {
            switch (c) {
            case '"': m_out += "\\\""; break;
            case '\\': m_out += "\\\\"; break;
            case '\n': m_out += "\\n"; break;
            case '\r': m_out += "\\r"; break;
            case '\t': m_out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    m_out += escaped;
                } else {
                    m_out += static_cast<char>(c);
                }
            }
        }
        m_out += '"';
    }

    std::string m_out;
    bool m_fresh = true;
};

} // namespace device
