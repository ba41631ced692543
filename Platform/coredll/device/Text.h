// Text between the host (UTF-8 file names and command lines) and the device (UTF-16), and the device's
// way of comparing names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace device {

// Ill-formed bytes become U+FFFD, so a command line always arrives.
std::u16string Utf16FromUtf8(std::string_view text);

// nullopt for an unpaired surrogate, which no host file name can carry.
std::optional<std::string> Utf8FromUtf16(std::u16string_view text);

// File and module names compare without regard to case.
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace device
