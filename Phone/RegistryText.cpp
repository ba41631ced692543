#include "RegistryText.h"

#include "Command.h"
#include "PrintedText.h"

#include "device/Text.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace phone {

namespace {

struct TypeEntry {
    DWORD type;
    const char* name;
};

const TypeEntry kTypes[] = {{REG_NONE, "REG_NONE"},   {REG_SZ, "REG_SZ"},       {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
                            {REG_BINARY, "REG_BINARY"}, {REG_DWORD, "REG_DWORD"}, {REG_MULTI_SZ, "REG_MULTI_SZ"}};

std::u16string Utf16(const std::vector<uint8_t>& data)
{
    std::u16string text(data.size() / 2, u'\0');
    if (!text.empty())
        std::memcpy(text.data(), data.data(), text.size() * 2);
    return text;
}

std::vector<uint8_t> Bytes(const std::u16string& text)
{
    std::vector<uint8_t> bytes(text.size() * 2);
    if (!bytes.empty())
        std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

std::string Hex(const std::vector<uint8_t>& data)
{
    std::string text;
    for (size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        text += (i ? " " : "") + std::string(byte);
    }
    return text;
}

std::vector<uint8_t> ParseHex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1])) || (i + 2 < text.size() && text[i + 2] != ' '))
            throw UsageError("'" + text + "' is not hex bytes separated by blanks (such as 01 0a ff)");
        bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return bytes;
}

DWORD ParseDword(const std::string& text)
{
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::string digits = hex ? text.substr(2) : text;
    bool valid = !digits.empty() && digits.size() <= (hex ? 8u : 10u);
    for (char c : digits)
        valid = valid && (hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c)));
    unsigned long long value = valid ? std::stoull(digits, nullptr, hex ? 16 : 10) : 0;
    if (!valid || value > 0xFFFFFFFFull)
        throw UsageError("'" + text + "' is not a 32-bit number (decimal, or hex as 0x1f)");
    return static_cast<DWORD>(value);
}

} // namespace

std::string TypeName(DWORD type)
{
    for (const TypeEntry& entry : kTypes)
        if (entry.type == type)
            return entry.name;
    return "REG_" + std::to_string(type);
}

DWORD TypeFromName(const std::string& name)
{
    for (const TypeEntry& entry : kTypes)
        if (name == entry.name)
            return entry.type;
    throw UsageError("'" + name + "' is not a value type (REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY, "
                     "REG_MULTI_SZ, REG_NONE)");
}

std::string FormatData(const device::registry::Value& value)
{
    switch (value.type) {
    case REG_DWORD:
        if (value.data.size() == sizeof(DWORD)) {
            DWORD number;
            std::memcpy(&number, value.data.data(), sizeof number);
            return std::to_string(number);
        }
        break;
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::u16string text = Utf16(value.data);
        while (!text.empty() && text.back() == u'\0')
            text.pop_back();
        return Utf8(text);
    }
    case REG_MULTI_SZ: {
        std::u16string all = Utf16(value.data), joined;
        while (!all.empty() && all.back() == u'\0')
            all.pop_back();
        for (char16_t c : all)
            joined += c == u'\0' ? u'|' : c;
        return Utf8(joined);
    }
    }
    return Hex(value.data);
}

std::vector<uint8_t> ParseData(DWORD type, const std::string& text)
{
    switch (type) {
    case REG_DWORD: {
        DWORD number = ParseDword(text);
        std::vector<uint8_t> bytes(sizeof number);
        std::memcpy(bytes.data(), &number, sizeof number);
        return bytes;
    }
    case REG_SZ:
    case REG_EXPAND_SZ: return text.empty() ? std::vector<uint8_t>() : Bytes(device::Utf16FromUtf8(text) + u'\0');
    case REG_MULTI_SZ: {
        if (text.empty())
            return {};
        std::u16string list = device::Utf16FromUtf8(text);
        for (char16_t& c : list)
            if (c == u'|')
                c = u'\0';
        return Bytes(list + u'\0' + u'\0');
    }
    }
    return ParseHex(text);
}

std::u16string ValueName(const std::string& argument)
{
    return argument == "@" ? std::u16string() : device::Utf16FromUtf8(argument);
}

std::string ShownName(const std::u16string& name) { return name.empty() ? "@" : Utf8(name); }

} // namespace phone
