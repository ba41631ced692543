#include "locale/IcuPattern.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <string_view>

namespace device
{
namespace
{

bool IsAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Letters and quotes stay literal in a Windows picture only inside quotes.
void AppendLiteral(std::u16string& out, std::u16string_view text)
{
    if (std::none_of(text.begin(), text.end(), [](char16_t c) { return IsAsciiLetter(c) || c == u'\''; })) {
        out += text;
        return;
    }
    out += u'\'';
    for (char16_t c : text) {
        if (c == u'\'')
            out += u"''";
        else
            out += c;
    }
    out += u'\'';
}

std::u16string Repeat(char16_t letter, int count, int most)
{
    return std::u16string(std::min(count, most), letter);
}

// The Windows picture field nearest to an ICU field; empty when Windows has none.
std::u16string WindowsField(char16_t letter, int count, bool widenYears)
{
    switch (letter) {
    case u'd': return Repeat(u'd', count, 2);
    case u'E':
    case u'c':
    case u'e': return count >= 4 ? u"dddd" : u"ddd";
    case u'M':
    case u'L': return Repeat(u'M', count, 4);
    case u'y':
    case u'u':
    case u'Y': return count == 2 && !widenYears ? u"yy" : u"yyyy";
    case u'G': return u"gg";
    case u'h':
    case u'K': return Repeat(u'h', count, 2);
    case u'H':
    case u'k': return Repeat(u'H', count, 2);
    case u'm': return Repeat(u'm', count, 2);
    case u's': return Repeat(u's', count, 2);
    case u'a':
    case u'b':
    case u'B': return u"tt";
    default: return {};
    }
}

} // namespace

std::u16string PictureFromIcuPattern(const icu::UnicodeString& pattern, bool widenYears)
{
    const std::u16string_view p(pattern.getBuffer(), static_cast<size_t>(pattern.length()));
    std::u16string out, literal;
    auto flushLiteral = [&] {
        AppendLiteral(out, literal);
        literal.clear();
    };
    size_t i = 0;
    while (i < p.size()) {
        const char16_t c = p[i];
        if (c == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {
                literal += u'\'';
                i += 2;
                continue;
            }
            for (++i; i < p.size(); ++i) {
                if (p[i] != u'\'') {
                    literal += p[i];
                } else if (i + 1 < p.size() && p[i + 1] == u'\'') {
                    literal += u'\'';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        if (IsAsciiLetter(c)) {
            size_t end = i;
            while (end < p.size() && p[end] == c)
                ++end;
            std::u16string field = WindowsField(c, static_cast<int>(end - i), widenYears);
            if (!field.empty()) {
                flushLiteral();
                out += field;
            }
            i = end;
            continue;
        }
        // Recent CLDR data puts narrow no-break spaces before the day period; the device's pictures
        // use plain spaces.
        literal += u_isUWhiteSpace(c) ? u' ' : c;
        ++i;
    }
    flushLiteral();
    // A field left out may leave its separator at either end.
    const size_t first = out.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    return out.substr(first, out.find_last_not_of(u' ') - first + 1);
}

} // namespace device
