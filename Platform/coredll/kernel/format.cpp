// The device's printf engine (see format.h). Floating point goes through the C library, which formats the
// number alone; everything else is done here so that widths count UTF-16 characters.
#include "kernel/format.h"

#include "kernel/codepage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using device::FormatRules;

// Counts the whole result and keeps what fits.
class Output {
public:
    Output(WCHAR* dest, size_t cchDest)
        : m_dest(dest), m_room(cchDest ? cchDest - 1 : 0), m_terminate(cchDest > 0)
    {
    }

    void Put(WCHAR c)
    {
        if (m_length < m_room) m_dest[m_length] = c;
        ++m_length;
    }

    void Repeat(WCHAR c, size_t count)
    {
        if (m_length < m_room)
            std::fill_n(m_dest + m_length, std::min(count, m_room - m_length), c);
        m_length += count;
    }

    size_t Finish()
    {
        if (m_terminate) m_dest[std::min(m_length, m_room)] = 0;
        return m_length;
    }

private:
    WCHAR* m_dest;
    size_t m_room;
    bool m_terminate;
    size_t m_length = 0;
};

enum class Size { Default, Short, Long, LongLong };

struct Field {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    size_t width = 0;
    int precision = -1; // none given
    Size size = Size::Default;
    WCHAR type = 0;
};

WCHAR Widen(WCHAR c)
{
    return c;
}

WCHAR Widen(char c)
{
    return device::WideFromAnsi(static_cast<unsigned char>(c));
}

bool IsDigit(WCHAR c)
{
    return c >= '0' && c <= '9';
}

// Reads a decimal field, held below INT_MAX so that absurd widths cannot overflow.
int ReadNumber(const WCHAR*& p)
{
    long long value = 0;
    for (; IsDigit(*p); ++p)
        value = std::min<long long>(value * 10 + (*p - '0'), INT_MAX / 2);
    return static_cast<int>(value);
}

class Formatter {
public:
    Formatter(FormatRules rules, WCHAR* dest, size_t cchDest, va_list args)
        : m_rules(rules), m_out(dest, cchDest)
    {
        va_copy(m_args, args);
    }
    ~Formatter() { va_end(m_args); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    size_t Run(const WCHAR* format)
    {
        while (*format) {
            if (*format != '%') {
                m_out.Put(*format++);
                continue;
            }
            Field field;
            format = ParseField(format + 1, field);
            if (!field.type) break;
            Convert(field);
            ++format;
        }
        return m_out.Finish();
    }

private:
    // Reads flags, width, precision and size; returns the position of the conversion character.
    const WCHAR* ParseField(const WCHAR* p, Field& field)
    {
        for (;; ++p) {
            if (*p == '-')
                field.left = true;
            else if (*p == '+')
                field.plus = true;
            else if (*p == ' ')
                field.space = true;
            else if (*p == '#')
                field.alternate = true;
            else if (*p == '0')
                field.zero = true;
            else
                break;
        }
        if (*p == '*') {
            int width = va_arg(m_args, int);
            field.left |= width < 0;
            field.width = width < 0 ? -static_cast<long long>(width) : width;
            ++p;
        } else {
            field.width = ReadNumber(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                int precision = va_arg(m_args, int);
                field.precision = precision < 0 ? -1 : precision;
                ++p;
            } else {
                field.precision = ReadNumber(p);
            }
        }
        if (*p == 'h') {
            field.size = Size::Short;
            ++p;
        } else if (*p == 'l' && p[1] == 'l') {
            field.size = Size::LongLong;
            p += 2;
        } else if (*p == 'l' || *p == 'w') {
            field.size = Size::Long;
            ++p;
        } else if (*p == 'I' && p[1] == '6' && p[2] == '4') {
            field.size = Size::LongLong;
            p += 3;
        }
        field.type = *p;
        return p;
    }

    void Convert(const Field& field)
    {
        bool runtime = m_rules == FormatRules::Runtime;
        switch (field.type) {
        case 'c': Character(field, field.size != Size::Short); return;
        case 'C': Character(field, field.size == Size::Long); return;
        case 's': StringArgument(field, field.size != Size::Short); return;
        case 'S': StringArgument(field, field.size == Size::Long); return;
        case 'd':
        case 'i': Signed(field); return;
        case 'u': Unsigned(field, 10); return;
        case 'x':
        case 'X': Unsigned(field, 16); return;
        case 'p': Pointer(field); return;
        case 'o':
            if (runtime) {
                Unsigned(field, 8);
                return;
            }
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (runtime) {
                Floating(field);
                return;
            }
            break;
        }
        m_out.Put(field.type);
    }

    void PadBefore(const Field& field, size_t length)
    {
        if (!field.left && field.width > length) m_out.Repeat(' ', field.width - length);
    }

    void PadAfter(const Field& field, size_t length)
    {
        if (field.left && field.width > length) m_out.Repeat(' ', field.width - length);
    }

    void Character(const Field& field, bool wide)
    {
        int value = va_arg(m_args, int);
        WCHAR c = wide ? static_cast<WCHAR>(value) : Widen(static_cast<char>(value));
        size_t length = c ? 1 : 0;
        PadBefore(field, length);
        if (c) m_out.Put(c);
        PadAfter(field, length);
    }

    void StringArgument(const Field& field, bool wide)
    {
        if (wide)
            Text(field, va_arg(m_args, const WCHAR*));
        else
            Text(field, va_arg(m_args, const char*));
    }

    template <typename Char> void Text(const Field& field, const Char* text)
    {
        static constexpr Char kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
        if (!text) text = kNull;
        // The precision bounds the read too: the text need not be terminated within it.
        size_t limit = field.precision < 0 ? SIZE_MAX : static_cast<size_t>(field.precision);
        size_t length = 0;
        while (length < limit && text[length])
            ++length;
        PadBefore(field, length);
        for (size_t i = 0; i < length; ++i)
            m_out.Put(Widen(text[i]));
        PadAfter(field, length);
    }

    void Signed(const Field& field)
    {
        int64_t value = field.size == Size::Short      ? static_cast<int16_t>(va_arg(m_args, int))
                        : field.size == Size::LongLong ? va_arg(m_args, long long)
                                                       : static_cast<int32_t>(va_arg(m_args, int));
        uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        char sign = value < 0 ? '-' : field.plus ? '+' : field.space ? ' ' : 0;
        Integer(field, magnitude, sign, 10);
    }

    void Unsigned(const Field& field, unsigned base)
    {
        uint64_t value = field.size == Size::Short      ? static_cast<uint16_t>(va_arg(m_args, unsigned))
                         : field.size == Size::LongLong ? va_arg(m_args, unsigned long long)
                                                        : va_arg(m_args, unsigned);
        Integer(field, value, 0, base);
    }

    void Pointer(const Field& field)
    {
        Field asHex = field;
        asHex.type = 'X';
        asHex.precision = 2 * sizeof(void*);
        Integer(asHex, reinterpret_cast<uintptr_t>(va_arg(m_args, void*)), 0, 16);
    }

    void Integer(const Field& field, uint64_t magnitude, char sign, unsigned base)
    {
        const char* digitSet = field.type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
        char digits[64];
        size_t count = 0;
        for (uint64_t rest = magnitude; rest; rest /= base)
            digits[count++] = digitSet[rest % base];

        size_t precision = field.precision < 0 ? 1 : static_cast<size_t>(field.precision);
        if (precision == 0 && m_rules == FormatRules::User) precision = 1;
        size_t zeros = precision > count ? precision - count : 0;
        if (base == 8 && field.alternate && zeros == 0) zeros = 1;
        const char* prefix =
            base == 16 && field.alternate && magnitude ? (field.type == 'X' ? "0X" : "0x") : "";

        size_t length = (sign ? 1 : 0) + std::char_traits<char>::length(prefix) + zeros + count;
        if (field.zero && !field.left && field.precision < 0 && field.width > length) {
            zeros += field.width - length;
            length = field.width;
        }
        PadBefore(field, length);
        if (sign) m_out.Put(sign);
        for (; *prefix; ++prefix)
            m_out.Put(*prefix);
        m_out.Repeat('0', zeros);
        while (count)
            m_out.Put(digits[--count]);
        PadAfter(field, length);
    }

    void Floating(const Field& field)
    {
        double value = va_arg(m_args, double);
        std::string format = "%";
        format += field.left ? "-" : "";
        format += field.plus ? "+" : "";
        format += field.space ? " " : "";
        format += field.alternate ? "#" : "";
        format += field.zero ? "0" : "";
        if (field.width) format += std::to_string(field.width);
        if (field.precision >= 0) format += "." + std::to_string(field.precision);
        format += static_cast<char>(field.type);

        int length = std::snprintf(nullptr, 0, format.c_str(), value);
        std::vector<char> text(static_cast<size_t>(std::max(length, 0)) + 1);
        std::snprintf(text.data(), text.size(), format.c_str(), value);
        for (int i = 0; i < length; ++i)
            m_out.Put(static_cast<WCHAR>(text[i]));
    }

    FormatRules m_rules;
    Output m_out;
    va_list m_args;
};

} // namespace

namespace device {

size_t FormatWide(FormatRules rules, WCHAR* dest, size_t cchDest, const WCHAR* format, va_list args)
{
    return Formatter(rules, dest, cchDest, args).Run(format);
}

} // namespace device
