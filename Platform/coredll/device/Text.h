// UTF-16 (the device's text) to and from UTF-8 (the host's and the database's).
#pragma once

#include <string>
#include <string_view>

namespace device {

std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

} // namespace device
