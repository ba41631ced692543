// Conversion between UTF-16 and the device's narrow code pages: CP_ACP (Windows-1252, the code page of
// the device's Western locales) and CP_UTF8. No other code page, and no conversion flags, are supported.
#include <windows.h>

#include "kernel/codepage.h"

#include <cstring>

namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr UINT kWindows1252 = 1252;

// Bytes 0x80-0x9F of Windows-1252; 0 marks the five unassigned bytes.
constexpr char16_t kAnsiHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (cp >> 10));
        out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    }
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code points of a UTF-16 text, an unpaired surrogate read as U+FFFD.
template <typename Visit> void ForEachCodePoint(std::u16string_view text, Visit visit)
{
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            visit(0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            visit(kReplacement);
        } else {
            visit(c);
        }
    }
}

bool IsAnsi(UINT codePage)
{
    return codePage == CP_ACP || codePage == kWindows1252;
}

// The input of a conversion: a count of -1 means "up to and including the terminator".
template <typename Char> std::basic_string_view<Char> InputOf(const Char* text, int count)
{
    if (count == -1) return {text, std::char_traits<Char>::length(text) + 1};
    return {text, static_cast<size_t>(count)};
}

// Hands a converted text to the caller's buffer, or reports the size when the buffer's size is 0.
template <typename Char> int Deliver(const std::basic_string<Char>& converted, Char* out, int room)
{
    if (room == 0) return static_cast<int>(converted.size());
    if (converted.size() > static_cast<size_t>(room)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(out, converted.data(), converted.size() * sizeof(Char));
    return static_cast<int>(converted.size());
}

} // namespace

namespace device {

WCHAR WideFromAnsi(unsigned char c)
{
    if (c < 0x80 || c > 0x9F) return c;
    char16_t mapped = kAnsiHighControls[c - 0x80];
    return mapped ? mapped : c;
}

std::u16string WideFromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = text[i];
        if (lead < 0x80) {
            out += lead;
            ++i;
            continue;
        }
        size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        // The first continuation byte's range excludes overlong forms, surrogates and values past U+10FFFF.
        unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        char32_t cp = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        size_t used = 1;
        for (; length && used < length && i + used < text.size(); ++used) {
            unsigned char next = text[i + used];
            if (next < low || next > high) break;
            cp = (cp << 6) | (next & 0x3F);
            low = 0x80;
            high = 0xBF;
        }
        // An ill-formed sequence is replaced once, up to the byte that broke it.
        AppendCodePoint(out, length && used == length ? cp : kReplacement);
        i += used;
    }
    return out;
}

std::string Utf8FromWide(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) { AppendUtf8(out, cp); });
    return out;
}

std::string AnsiFromWide(std::u16string_view text, char fallback, bool& usedFallback)
{
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&](char32_t cp) {
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            return;
        }
        for (unsigned char c = 0x80; c <= 0x9F; ++c) {
            if (WideFromAnsi(c) == cp) {
                out += static_cast<char>(c);
                return;
            }
        }
        out += fallback;
        usedFallback = true;
    });
    return out;
}

} // namespace device

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar)
{
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr) || (!IsAnsi(CodePage) && CodePage != CP_UTF8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwFlags != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    std::string_view in = InputOf(lpMultiByteStr, cbMultiByte);
    std::u16string converted;
    if (CodePage == CP_UTF8) {
        converted = device::WideFromUtf8(in);
    } else {
        converted.reserve(in.size());
        for (unsigned char c : in)
            converted += device::WideFromAnsi(c);
    }
    return Deliver(converted, lpWideCharStr, cchWideChar);
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar)
{
    // UTF-8 represents every character, so it takes no default character.
    bool utf8 = CodePage == CP_UTF8;
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr) || (!IsAnsi(CodePage) && !utf8) ||
        (utf8 && (lpDefaultChar || lpUsedDefaultChar))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (dwFlags != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    std::u16string_view in = InputOf(lpWideCharStr, cchWideChar);
    bool usedDefault = false;
    std::string converted = utf8
                                ? device::Utf8FromWide(in)
                                : device::AnsiFromWide(in, lpDefaultChar ? *lpDefaultChar : '?', usedDefault);
    if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault;
    return Deliver(converted, lpMultiByteStr, cbMultiByte);
}
