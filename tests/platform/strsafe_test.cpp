#include <strsafe.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

template <size_t N> void Fill(WCHAR (&buffer)[N])
{
    std::fill(buffer, buffer + N, u'#');
}

} // namespace

TEST(SafeCopy, TruncatesTerminatesAndSaysSo)
{
    WCHAR buffer[6];
    Fill(buffer);
    EXPECT_EQ(StringCchCopyW(buffer, 5, u"abcdefgh"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_EQ(buffer[5], u'#');
    EXPECT_EQ(StringCchCopyW(buffer, 5, u"abcd"), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_EQ(StringCbCopyW(buffer, 3 * sizeof(WCHAR), u"xyz"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"xy");
}

TEST(SafeCopy, RejectsZeroAndOversizedBuffersWithoutWriting)
{
    WCHAR buffer[4];
    Fill(buffer);
    EXPECT_EQ(StringCchCopyW(buffer, 0, u"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchCopyW(buffer, size_t(STRSAFE_MAX_CCH) + 1, u"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCbCopyW(buffer, 1, u"a"), STRSAFE_E_INVALID_PARAMETER); // less than one character
    EXPECT_EQ(StringCchPrintfW(buffer, 0, u"%d", 1), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buffer[0], u'#');
}

TEST(SafeCopyN, CopiesAtMostTheCountAndNeedsNoTerminatorWithinIt)
{
    WCHAR buffer[10];
    EXPECT_EQ(StringCchCopyNW(buffer, 10, u"abcdef", 3), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    const WCHAR unterminated[3] = {'x', 'y', 'z'};
    EXPECT_EQ(StringCchCopyNW(buffer, 10, unterminated, 2), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"xy");
    EXPECT_EQ(StringCchCopyNW(buffer, 3, u"abcdef", 5), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"ab");
}

TEST(SafeCat, AppendsTruncatesAndRefusesAnUnterminatedDestination)
{
    WCHAR buffer[8] = u"abc";
    EXPECT_EQ(StringCchCatW(buffer, 8, u"de"), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    EXPECT_EQ(StringCchCatW(buffer, 8, u"fghij"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abcdefg");
    EXPECT_EQ(StringCchCatW(buffer, 8, u""), S_OK); // full, but nothing to add

    EXPECT_EQ(StringCchCopyW(buffer, 8, u"abc"), S_OK);
    EXPECT_EQ(StringCchCatNW(buffer, 8, u"defgh", 2), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"abcde");
    EXPECT_EQ(StringCbCatW(buffer, sizeof buffer, u"XYZ"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abcdeXY");

    Fill(buffer);
    EXPECT_EQ(StringCchCatW(buffer, 8, u"q"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_TRUE(std::all_of(std::begin(buffer), std::end(buffer), [](WCHAR c) { return c == u'#'; }));
}

TEST(SafePrintf, FollowsTheRuntimesRulesWithWideStrings)
{
    WCHAR buffer[64];
    EXPECT_EQ(StringCchPrintfW(buffer, 64, u"%s=%d|%hs", u"n", -3, "x"), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"n=-3|x");
    EXPECT_EQ(StringCchPrintfW(buffer, 64, u"%.2f|%8.3f|%-6.1f|%e|%g", 3.14159, 2.5, -1.26, 1500.0, 0.5),
              S_OK);
    EXPECT_EQ(std::u16string(buffer), u"3.14|   2.500|-1.3  |1.500000e+03|0.5");
    EXPECT_EQ(StringCchPrintfW(buffer, 64, u"%o|%#o|[%.0d]|%%", 8u, 8u, 0), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"10|010|[]|%"); // unlike wsprintf, precision 0 prints no zero
    EXPECT_EQ(StringCbPrintfW(buffer, sizeof buffer, u"%05.1f", 2.26), S_OK);
    EXPECT_EQ(std::u16string(buffer), u"002.3");
}

TEST(SafePrintf, TruncatesTerminatesAndSaysSo)
{
    WCHAR buffer[8];
    Fill(buffer);
    EXPECT_EQ(StringCchPrintfW(buffer, 6, u"%s-%d", u"abcd", 12), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"abcd-");
    EXPECT_EQ(buffer[6], u'#');
    EXPECT_EQ(StringCchPrintfW(buffer, 6, u"%s", u"abcde"), S_OK); // exactly fills it
    EXPECT_EQ(StringCbPrintfW(buffer, 4 * sizeof(WCHAR), u"%d", 123456), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buffer), u"123");
}

TEST(SafeLength, NeedsTheTerminatorWithinTheLimit)
{
    size_t length = 99;
    EXPECT_EQ(StringCchLengthW(u"abc", 4, &length), S_OK);
    EXPECT_EQ(length, 3u);
    length = 99;
    EXPECT_EQ(StringCchLengthW(u"abc", 3, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(length, 0u);
    length = 99;
    EXPECT_EQ(StringCchLengthW(nullptr, 10, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(StringCchLengthW(u"abc", size_t(STRSAFE_MAX_CCH) + 1, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchLengthW(u"abc", 4, nullptr), S_OK);

    EXPECT_EQ(StringCbLengthW(u"abc", 8, &length), S_OK);
    EXPECT_EQ(length, 6u); // bytes
    EXPECT_EQ(StringCbLengthW(u"abc", 7, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(length, 0u);
}
