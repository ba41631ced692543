// Text between the host (UTF-8 file names, command lines and the database) and the device (UTF-16),
// and the device's way of comparing names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace device {

// Unpaired surrogates become U+FFFD: stored text always round-trips to something.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

// Ill-formed bytes become U+FFFD, so a command line always arrives.
std::u16string Utf16FromUtf8(std::string_view text);

// nullopt for an unpaired surrogate, which no host file name can carry.
std::optional<std::string> Utf8FromUtf16(std::u16string_view text);

// File and module names compare without regard to case.
bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b);

} // namespace device
