#include "locale/Picture.h"

#include "device/Calendar.h"

namespace device
{
namespace
{

bool IsField(char16_t c, PictureKind kind)
{
    if (kind == PictureKind::Date) return c == u'd' || c == u'M' || c == u'y' || c == u'g';
    return c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u't';
}

std::u16string Number(int value, int minDigits)
{
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
    return std::u16string(digits.begin(), digits.end());
}

// Numbers for one or two letters, the abbreviated name for three, the full name for more.
std::u16string NumberOrName(int number, int count, const std::u16string& abbreviated,
                            const std::u16string& full)
{
    if (count <= 2) return Number(number, count);
    return count == 3 ? abbreviated : full;
}

std::u16string FormatField(const PictureToken& token, const SYSTEMTIME& st, const LocaleData& locale)
{
    const int count = token.count;
    switch (token.field) {
    case u'd': {
        const int sundayBased = DayOfWeek(DaysFromCivil(st.wYear, st.wMonth, st.wDay));
        const int mondayBased = (sundayBased + 6) % 7;
        return NumberOrName(st.wDay, count, locale.abbrevDayNames[mondayBased], locale.dayNames[mondayBased]);
    }
    case u'M':
        return NumberOrName(st.wMonth, count, locale.abbrevMonthNames[st.wMonth - 1],
                            locale.monthNames[st.wMonth - 1]);
    case u'y': return count <= 2 ? Number(st.wYear % 100, count) : Number(st.wYear, 4);
    case u'g': return locale.era;
    case u'h': return Number(st.wHour % 12 == 0 ? 12 : st.wHour % 12, std::min(count, 2));
    case u'H': return Number(st.wHour, std::min(count, 2));
    case u'm': return Number(st.wMinute, std::min(count, 2));
    case u's': return Number(st.wSecond, std::min(count, 2));
    case u't': {
        const std::u16string& marker = st.wHour < 12 ? locale.am : locale.pm;
        return count == 1 ? marker.substr(0, 1) : marker;
    }
    }
    return {};
}

} // namespace

Picture ParsePicture(std::u16string_view p, PictureKind kind)
{
    Picture tokens;
    auto literal = [&](char16_t c) {
        if (tokens.empty() || tokens.back().field != 0) tokens.emplace_back();
        tokens.back().text += c;
    };
    size_t i = 0;
    while (i < p.size()) {
        const char16_t c = p[i];
        if (c == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {
                literal(u'\'');
                i += 2;
                continue;
            }
            // Quoted text runs to the next lone quote, or to the end when none follows.
            for (++i; i < p.size(); ++i) {
                if (p[i] != u'\'') {
                    literal(p[i]);
                } else if (i + 1 < p.size() && p[i + 1] == u'\'') {
                    literal(u'\'');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        if (IsField(c, kind)) {
            size_t end = i;
            while (end < p.size() && p[end] == c)
                ++end;
            tokens.push_back({c, static_cast<int>(end - i), {}});
            i = end;
            continue;
        }
        literal(c);
        ++i;
    }
    return tokens;
}

void DropFields(Picture& picture, const std::function<bool(const PictureToken&)>& drop)
{
    Picture kept;
    bool fieldKept = false;
    for (size_t i = 0; i < picture.size(); ++i) {
        const PictureToken& token = picture[i];
        if (token.field == 0 || !drop(token)) {
            fieldKept = fieldKept || token.field != 0;
            kept.push_back(token);
            continue;
        }
        if (fieldKept) {
            while (kept.back().field == 0)
                kept.pop_back();
        } else {
            while (i + 1 < picture.size() && picture[i + 1].field == 0)
                ++i;
        }
    }
    picture = std::move(kept);
}

std::u16string SeparatorOf(const Picture& picture)
{
    for (size_t i = 0; i + 2 < picture.size(); ++i) {
        if (picture[i].field != 0 && picture[i + 1].field == 0 && picture[i + 2].field != 0)
            return picture[i + 1].text;
    }
    return {};
}

std::u16string FormatPicture(const Picture& picture, const SYSTEMTIME& st, const LocaleData& locale)
{
    std::u16string out;
    for (const PictureToken& token : picture)
        out += token.field == 0 ? token.text : FormatField(token, st, locale);
    return out;
}

} // namespace device
