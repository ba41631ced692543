// Small helpers for the registry tests: the key owner, and writers and readers that go through the public API only.
#pragma once

#include <windows.h>

#include "support/RegistryKey.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace registry_testing {

using Key = testing_support::RegistryKey;

inline LONG Create(HKEY from, const char16_t* path, Key* key, DWORD* disposition = nullptr)
{
    return RegCreateKeyExW(from, path, 0, nullptr, 0, 0, nullptr, key->Out(), disposition);
}

inline LONG Open(HKEY from, const char16_t* path, Key* key)
{
    return RegOpenKeyExW(from, path, 0, 0, key->Out());
}

inline LONG Set(HKEY key, const char16_t* name, DWORD type, const std::vector<uint8_t>& data)
{
    return RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
}

inline LONG SetDword(HKEY key, const char16_t* name, DWORD value)
{
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

struct Stored {
    LONG rc = ERROR_SUCCESS;
    DWORD type = 0;
    std::vector<uint8_t> data;
};

// Asks for the size first, then reads into a buffer of exactly that size followed by guard bytes that must
// stay untouched.
inline Stored Read(HKEY key, const char16_t* name)
{
    Stored out;
    DWORD size = 0;
    out.rc = RegQueryValueExW(key, name, nullptr, &out.type, nullptr, &size);
    if (out.rc != ERROR_SUCCESS)
        return out;
    std::vector<uint8_t> buffer(size + 8, 0xCC);
    DWORD room = size;
    out.rc = RegQueryValueExW(key, name, nullptr, &out.type, buffer.data(), &room);
    EXPECT_EQ(room, size);
    for (size_t i = size; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], 0xCC) << "written past the value's size";
    out.data.assign(buffer.begin(), buffer.begin() + size);
    return out;
}

inline std::vector<std::u16string> SubkeyNames(HKEY key)
{
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
        WCHAR name[MAX_REG_KEY_NAME + 1];
        DWORD chars = ARRAYSIZE(name);
        LONG rc = RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
            return names;
        }
        names.emplace_back(name, chars);
    }
}

inline std::vector<std::u16string> ValueNames(HKEY key)
{
    std::vector<std::u16string> names;
    for (DWORD i = 0;; ++i) {
        WCHAR name[MAX_REG_VALUE_NAME + 1];
        DWORD chars = ARRAYSIZE(name);
        LONG rc = RegEnumValueW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
            return names;
        }
        names.emplace_back(name, chars);
    }
}

} // namespace registry_testing
