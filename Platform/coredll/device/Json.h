// JSON for what the device shows to tools: the screen snapshot, and the phone tool's lists. Members keep the
// order they were put in; texts are UTF-8, and what is not valid UTF-8 (or UTF-16) is written as U+FFFD.
#pragma once

#include "device/Text.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace device {

using Json = nlohmann::ordered_json;

inline Json JsonText(std::u16string_view text) { return Utf8FromUtf16(text).value_or("\xEF\xBF\xBD"); }

// On one line, without blanks.
inline std::string Dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

} // namespace device
