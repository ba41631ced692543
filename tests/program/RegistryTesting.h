// Helpers for the program's tests: registry values written and read as the program stores them, and the
// contacts the device tool would add.
#pragma once

#include <windows.h>

#include "support/RegistryKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace program_testing {

using Bytes = std::vector<uint8_t>;

inline void SetValue(const std::u16string& path, const char16_t* name, DWORD type, const void* data, size_t size)
{
    testing_support::RegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Out(),
                              nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
              ERROR_SUCCESS);
}

// A string value with its terminator, as the program writes one.
inline void SetString(const std::u16string& path, const char16_t* name, const std::u16string& text)
{
    SetValue(path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

inline void SetBinary(const std::u16string& path, const char16_t* name, const Bytes& bytes)
{
    SetValue(path, name, REG_BINARY, bytes.data(), bytes.size());
}

struct Value {
    std::u16string name;
    DWORD type = 0;
    Bytes data;
};

// Every value of a key, in the registry's order; empty when the key doesn't exist.
inline std::vector<Value> ValuesOf(const std::u16string& path)
{
    std::vector<Value> values;
    testing_support::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        WCHAR name[256];
        DWORD nameLength = 256, type = 0, size = 4096;
        Bytes data(size);
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        data.resize(size);
        values.push_back({std::u16string(name, nameLength), type, data});
    }
    return values;
}

// Little-endian 4-byte identifiers, as the "Contacts" values hold them.
inline Bytes Ids(std::initializer_list<uint32_t> ids)
{
    Bytes bytes;
    for (uint32_t id : ids) {
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<uint8_t>(id >> (8 * b)));
    }
    return bytes;
}

inline std::u16string TakeLocal(LPWSTR text)
{
    std::u16string result = text ? std::u16string(text) : std::u16string(u"<null>");
    if (text)
        LocalFree(text);
    return result;
}

} // namespace program_testing
