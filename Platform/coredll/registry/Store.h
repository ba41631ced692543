// The device registry as stored in the device database: keys by id, values by key and name. The Reg*
// functions and device tools share it; every function returns ERROR_SUCCESS or a Win32 error code and
// never throws.
#pragma once

#include <windef.h>
#include <winreg.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace device::registry {

// The hives' root keys.
constexpr int64_t kCurrentUser = 1;
constexpr int64_t kLocalMachine = 2;

// The device's documented limits, in characters without the terminator for names. Going past one is
// ERROR_INVALID_PARAMETER, never a cut.
constexpr size_t kMaxKeyName = MAX_REG_KEY_NAME; // each name of a path
constexpr size_t kMaxValueName = MAX_REG_VALUE_NAME;
constexpr size_t kMaxClassName = 255;
constexpr size_t kMaxValueData = 4096; // bytes
constexpr int kMaxDepth = 16;          // levels of keys below a hive's root

struct Value {
    std::u16string name;
    DWORD type = 0;
    std::vector<uint8_t> data;
};

struct Subkey {
    std::u16string name;
    std::u16string className;
    int64_t written = 0; // UTC FILETIME ticks
};

struct KeySummary {
    std::u16string className;
    DWORD subkeys = 0;
    DWORD longestSubkeyName = 0; // characters, without the terminator
    DWORD longestClassName = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD largestValueData = 0; // bytes
    int64_t written = 0;
};

// ERROR_KEY_DELETED once the key is gone.
LONG CheckKey(int64_t key);

// A subkey path below `from`; an empty path names `from` itself.
LONG OpenKey(int64_t from, std::u16string_view subKey, int64_t* key);
// Creates the subkey and any missing keys on the way, in one transaction.
LONG CreateKey(int64_t from, std::u16string_view subKey, std::u16string_view className, int64_t* key,
               bool* created);
// Removes the subkey with everything below it. The path must name a key below `from`.
LONG DeleteKey(int64_t from, std::u16string_view subKey);

// An empty name is the key's default (unnamed) value.
LONG QueryValue(int64_t key, std::u16string_view name, Value* value);
// The one place a value is written, so whatever must follow a write (telling those who watch the value)
// has a single home. Data is kept byte for byte whatever the type says.
LONG WriteValue(int64_t key, std::u16string_view name, DWORD type, const uint8_t* data, size_t size);
LONG DeleteValue(int64_t key, std::u16string_view name);

// The key's path from its hive's root with every name case-folded, as stored ("hkey_current_user\software\x"),
// for matching keys by path whether they exist or not.
LONG FoldedPath(int64_t key, std::string* path);

// Enumeration in creation order; ERROR_NO_MORE_ITEMS past the end.
LONG EnumSubkey(int64_t key, DWORD index, Subkey* subkey);
LONG EnumValue(int64_t key, DWORD index, Value* value);
LONG Summarize(int64_t key, KeySummary* summary);

// Whole paths for tools: "HKCU\Software\x" or "HKEY_LOCAL_MACHINE\System\State" (hive names in any case).
LONG OpenPath(std::u16string_view path, int64_t* key);
LONG CreatePath(std::u16string_view path, int64_t* key);
LONG DeletePath(std::u16string_view path);
LONG ListValues(int64_t key, std::vector<Value>* values);
LONG ListSubkeys(int64_t key, std::vector<Subkey>* subkeys);

} // namespace device::registry
