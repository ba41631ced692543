// Device text as the tool prints it.
#pragma once

#include "device/Text.h"

#include <string>
#include <string_view>

namespace phone {

// The text in UTF-8; "?" for text that is not valid UTF-16.
inline std::string Utf8(std::u16string_view text)
{
    return device::Utf8FromUtf16(text).value_or("?");
}

} // namespace phone
