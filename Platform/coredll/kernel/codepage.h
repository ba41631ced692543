// The device's narrow character sets: its ANSI code page (Windows-1252) and UTF-8.
#pragma once

#include <windef.h>

#include <string>
#include <string_view>

namespace device {

// One byte of the ANSI code page as UTF-16; bytes the code page leaves unassigned map to the same value.
WCHAR WideFromAnsi(unsigned char c);

// UTF-8 to UTF-16; each ill-formed sequence becomes U+FFFD.
std::u16string WideFromUtf8(std::string_view text);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::u16string_view text);

// UTF-16 to the ANSI code page; a character it lacks becomes `fallback` and sets `usedFallback`.
std::string AnsiFromWide(std::u16string_view text, char fallback, bool& usedFallback);

} // namespace device
