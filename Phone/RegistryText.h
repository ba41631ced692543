// Registry values as the device tool shows and takes them: "REG_DWORD 7", "REG_SZ text",
// "REG_BINARY 01 0a ff", "REG_MULTI_SZ a|b"; the default value is named "@".
#pragma once

#include "registry/Store.h"

#include <cstdint>
#include <string>
#include <vector>

namespace phone {

std::string TypeName(DWORD type);
// Throws UsageError for a type the tool does not take.
DWORD TypeFromName(const std::string& name);

std::string FormatData(const device::registry::Value& value);
// The bytes to store for DATA of that type; throws UsageError for DATA the type cannot hold.
std::vector<uint8_t> ParseData(DWORD type, const std::string& text);

std::u16string ValueName(const std::string& argument); // "@" is the default value
std::string ShownName(const std::u16string& name);

} // namespace phone
