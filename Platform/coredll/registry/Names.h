// Registry names: how they are stored, compared and split into path components.
#pragma once

#include <windef.h>

#include <string>
#include <string_view>
#include <vector>

namespace device::registry {

// Stored form of a name: UTF-8, with any unpaired surrogate kept as its own three-byte unit, so that every
// UTF-16 name the device accepts comes back unchanged.
std::string StoredText(std::u16string_view name);
std::u16string NameFromStored(std::string_view stored);

// The stored form of the case-folded name: two names that differ only in case fold alike.
std::string Folded(std::u16string_view name);

// Splits a subkey path ("Software\Vendor\App", one trailing backslash allowed) into its key names.
// An empty path gives no names. ERROR_BAD_PATHNAME for a leading backslash or an empty name inside the
// path; ERROR_INVALID_PARAMETER for a key name longer than the device allows.
LONG SplitSubKey(std::u16string_view path, std::vector<std::u16string_view>* names);

// A caller's string, or an empty one for null.
std::u16string_view View(const char16_t* text);

} // namespace device::registry
