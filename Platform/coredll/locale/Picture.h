// Windows-style date and time pictures ("dddd, MMMM d, yyyy", "h:mm:ss tt"): parsed into fields and
// literal text, trimmed as the time flags ask, and filled in from a SYSTEMTIME.
#pragma once

#include "locale/LocaleData.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace device
{

struct PictureToken {
    char16_t field = 0;  // the picture letter, 0 for literal text
    int count = 0;       // how often the letter repeats
    std::u16string text; // the literal text, quotes removed
};

using Picture = std::vector<PictureToken>;

// Date pictures know d M y g; time pictures h H m s t. Any other character is literal, as is text in
// single quotes ('' stands for one quote).
enum class PictureKind { Date, Time };

Picture ParsePicture(std::u16string_view picture, PictureKind kind);

// Removes the fields drop selects, each with the literal text that ties it to the field before it
// (or, for the first field, to the field after it): "h:mm:ss tt" without seconds is "h:mm tt".
void DropFields(Picture& picture, const std::function<bool(const PictureToken&)>& drop);

// The first literal text between two fields: the date or time separator of a locale's picture.
std::u16string SeparatorOf(const Picture& picture);

std::u16string FormatPicture(const Picture& picture, const SYSTEMTIME& st, const LocaleData& locale);

} // namespace device
