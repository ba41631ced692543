#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// wsprintfW into a buffer larger than its limit; checks that the count returned is what was stored.
std::u16string Format(const WCHAR* format, ...)
{
    WCHAR buffer[1100];
    va_list args;
    va_start(args, format);
    int written = wvsprintfW(buffer, format, args);
    va_end(args);
    std::u16string result(buffer);
    EXPECT_EQ(written, int(result.size()));
    return result;
}

} // namespace

TEST(Wsprintf, PercentSIsAWideStringAndPercentHsANarrowOne)
{
    EXPECT_EQ(Format(u"%s|%hs|%S|%ls|%ws", u"wide", "narrow", "capital", u"ls", u"ws"),
              u"wide|narrow|capital|ls|ws");
    EXPECT_EQ(Format(u"%hs", "caf\xE9 \x80"), u"café €"); // narrow text is in the ANSI code page
    EXPECT_EQ(Format(u"[%s][%hs]", nullptr, nullptr), u"[(null)][(null)]");
}

TEST(Wsprintf, CharactersAreWideUnlessMarkedNarrowAndZeroPrintsNothing)
{
    EXPECT_EQ(Format(u"%c%hc%C%lc", u'€', 'a', 'b', u'ß'), u"€abß");
    EXPECT_EQ(Format(u"[%c]", 0), u"[]");
    EXPECT_EQ(Format(u"[%3c]", u'x'), u"[  x]");
}

TEST(Wsprintf, StringPrecisionIsAMaximumAndWidthAMinimum)
{
    EXPECT_EQ(Format(u"[%.3s]", u"abcdef"), u"[abc]");
    EXPECT_EQ(Format(u"[%6s][%-6s]", u"ab", u"cd"), u"[    ab][cd    ]");
    EXPECT_EQ(Format(u"[%.2hs]", "xyz"), u"[xy]");
    EXPECT_EQ(Format(u"[%*.*s]", 5, 2, u"abc"), u"[   ab]");
    const WCHAR unterminated[3] = {'a', 'b', 'c'};
    EXPECT_EQ(Format(u"[%.3s]", unterminated), u"[abc]"); // read no further than the precision
}

TEST(Wsprintf, IntegersHonourSignWidthPrecisionAndFlags)
{
    EXPECT_EQ(Format(u"%d %i %u", -42, 17, 42u), u"-42 17 42");
    EXPECT_EQ(Format(u"[%5d][%-5d][%05d]", 42, 42, -42), u"[   42][42   ][-0042]");
    EXPECT_EQ(Format(u"[%.4d][%8.3d]", 7, -7), u"[0007][    -007]");
    EXPECT_EQ(Format(u"[%+d][% d][%+d]", 5, 5, -5), u"[+5][ 5][-5]");
    EXPECT_EQ(Format(u"[%*d][%*d]", 6, 42, -4, 42), u"[    42][42  ]");
    EXPECT_EQ(Format(u"%x %X %#x %#X %#x", 255u, 255u, 255u, 255u, 0u), u"ff FF 0xff 0XFF 0");
    EXPECT_EQ(Format(u"%u", -1), u"4294967295");
    EXPECT_EQ(Format(u"[%.0d]", 0), u"[0]"); // a precision of 0 means 1 here
}

TEST(Wsprintf, LongIsTheDevicesThirtyTwoBitsAndShortIsSixteen)
{
    LONG minimum = -2147483647 - 1;
    DWORD all = 0xFFFFFFFF;
    EXPECT_EQ(Format(u"%ld %li %lu %lx %lX", minimum, LONG(-1), all, DWORD(0xDEADBEEF), all),
              u"-2147483648 -1 4294967295 deadbeef FFFFFFFF");
    EXPECT_EQ(Format(u"%hd %hu", 70000, 65537), u"4464 1");
    EXPECT_EQ(Format(u"%I64d %lld", -5000000000LL, 1LL << 40), u"-5000000000 1099511627776");
}

TEST(Wsprintf, PercentSignsAndConversionsWithoutMeaningAreCopied)
{
    EXPECT_EQ(Format(u"100%% of %d", 3), u"100% of 3");
    // No floating point: %f is not a conversion, so it takes no argument and the 7 goes to %d.
    EXPECT_EQ(Format(u"%f %d", 7), u"f 7");
    EXPECT_EQ(Format(u"trailing %"), u"trailing ");
}

TEST(Wsprintf, WritesAtMost1024CharactersIncludingTheTerminator)
{
    std::u16string fits(1023, u'a'), tooLong(2000, u'b');
    WCHAR buffer[1100];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(wsprintfW(buffer, u"%s", fits.c_str()), 1023);
    EXPECT_EQ(std::u16string(buffer), fits);

    std::fill(std::begin(buffer), std::end(buffer), u'#');
    SetLastError(0);
    EXPECT_EQ(wsprintfW(buffer, u"%s", tooLong.c_str()), 1023); // less than the expected 2000
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer[1022], u'b');
    EXPECT_EQ(buffer[1023], 0);
    EXPECT_EQ(buffer[1024], u'#');
}
