#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Widen(UINT codePage, const std::string& text)
{
    int needed = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(needed, u'#');
    EXPECT_EQ(
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), needed),
        needed);
    return out;
}

std::string Narrow(UINT codePage, const std::u16string& text)
{
    int needed = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(needed, '#');
    EXPECT_EQ(WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), needed,
                                  nullptr, nullptr),
              needed);
    return out;
}

} // namespace

TEST(WideStrings, CopyNCountsTheTerminatorInItsLimit)
{
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(lstrcpynW(buffer, u"abcdef", 4), buffer);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(buffer[4], u'#'); // nothing past the terminator

    EXPECT_EQ(lstrcpynW(buffer, u"xy", 8), buffer);
    EXPECT_EQ(std::u16string(buffer), u"xy");

    EXPECT_EQ(lstrcpynW(buffer, u"abc", 1), buffer);
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = u'#';
    EXPECT_EQ(lstrcpynW(buffer, u"abc", 0), buffer);
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(lstrcpynW(nullptr, u"abc", 4), nullptr);
}

TEST(WideStrings, CopyConcatenateAndMeasure)
{
    WCHAR buffer[16];
    EXPECT_EQ(lstrcpyW(buffer, u"Sun"), buffer);
    EXPECT_EQ(lstrcatW(buffer, u"flower"), buffer);
    EXPECT_EQ(std::u16string(buffer), u"Sunflower");
    EXPECT_EQ(lstrlenW(buffer), 9);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrcpyW(buffer, nullptr), nullptr);
    EXPECT_EQ(lstrcatW(nullptr, u"x"), nullptr);
}

TEST(CodePages, Utf8RoundTripsAndATerminatedInputCountsItsTerminator)
{
    const char* utf8 = "Gr\xC3\xBC\xC3\x9F"
                       "e \xE2\x82\xAC\xF0\x9F\x98\x80";
    const std::u16string wide = u"Grüße €😀";
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), int(wide.size()) + 1);
    EXPECT_EQ(Widen(CP_UTF8, utf8), wide);
    EXPECT_EQ(Narrow(CP_UTF8, wide), utf8);

    WCHAR buffer[16];
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, buffer, 16), int(wide.size()) + 1);
    EXPECT_EQ(std::u16string(buffer), wide);
}

TEST(CodePages, ABufferTooSmallFailsWithInsufficientBuffer)
{
    WCHAR wide[3];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "hello", -1, wide, 3), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    char narrow[4];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"€", -1, narrow, 3, nullptr, nullptr),
              0); // 3 bytes + terminator
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"€", -1, narrow, 4, nullptr, nullptr), 4);
}

TEST(CodePages, IllFormedTextBecomesReplacementCharacters)
{
    EXPECT_EQ(Widen(CP_UTF8, "a\xC3(b"), u"a\uFFFD(b");               // a lead byte without its continuation
    EXPECT_EQ(Widen(CP_UTF8, "\xE2\x82"), u"\uFFFD");                 // cut short: replaced once
    EXPECT_EQ(Widen(CP_UTF8, "\xC0\xAF"), u"\uFFFD\uFFFD");           // an overlong form is no character
    EXPECT_EQ(Widen(CP_UTF8, "\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // an encoded surrogate neither
    EXPECT_EQ(Narrow(CP_UTF8, std::u16string(1, char16_t(0xD83D)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(CodePages, AnsiIsWindows1252AndMarksWhatItCannotHold)
{
    EXPECT_EQ(Widen(CP_ACP, "\x80 caf\xE9 \x9F"), u"€ café Ÿ");
    EXPECT_EQ(Narrow(CP_ACP, u"€ café Ÿ"), "\x80 caf\xE9 \x9F");

    char narrow[8];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"a中", -1, narrow, 8, nullptr, &usedDefault), 3);
    EXPECT_STREQ(narrow, "a?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"b😀", -1, narrow, 8, "*", &usedDefault), 3);
    EXPECT_STREQ(narrow, "b*"); // one character, one default, though it takes two UTF-16 units
}

TEST(CodePages, UnsupportedRequestsFailWithTheDocumentedErrors)
{
    WCHAR wide[8];
    char narrow[8];
    BOOL usedDefault;
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(437, 0, "x", -1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "x", 0, wide, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"x", -1, narrow, 8, nullptr, &usedDefault), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0x8, "x", -1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
}
