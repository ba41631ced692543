// The library's export table, the GUID strings, the program's quoted path and the Unicode files.
#include "utils/UtilsLibrary.h"

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

using namespace utils_exports;
using namespace utils_testing;

namespace {

class Exports : public ::testing::Test {
protected:
    testing_support::TempDevice m_device;
    UtilsLibrary m_utils;
};

bool IsRegistryForm(const std::u16string& text)
{
    if (text.size() != 38 || text.front() != u'{' || text.back() != u'}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        char16_t c = text[i];
        bool hex = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
        if (dash ? c != u'-' : !hex)
            return false;
    }
    return true;
}

} // namespace

TEST_F(Exports, TheSixteenExportsAreReachedByNumberAndNoneByName)
{
    for (WORD ordinal = 1; ordinal <= kExportCount; ++ordinal)
        EXPECT_NE(GetProcAddressW(m_utils.Module(), MAKEINTRESOURCEW(ordinal)), nullptr) << ordinal;
    EXPECT_EQ(GetProcAddressW(m_utils.Module(), MAKEINTRESOURCEW(kExportCount + 1)), nullptr);
    for (const char16_t* name : {u"MakeGuidString", u"GetOwnNumber", u"SetCounterText"}) {
        EXPECT_EQ(GetProcAddressW(m_utils.Module(), name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
}

TEST_F(Exports, AGuidStringIsANewGuidInRegistryFormAndNeedsThirtyNineCharacters)
{
    auto makeGuid = m_utils.Export<MakeGuidStringFn>(kMakeGuidString);
    WCHAR first[39], second[39];
    ASSERT_EQ(makeGuid(first, 39), S_OK);
    ASSERT_EQ(makeGuid(second, 39), S_OK);
    EXPECT_TRUE(IsRegistryForm(first)) << std::string(first, first + 38);
    EXPECT_TRUE(IsRegistryForm(second));
    EXPECT_NE(std::u16string(first), std::u16string(second));

    WCHAR small[38] = u"untouched";
    EXPECT_EQ(makeGuid(small, 38), E_OUTOFMEMORY);
    EXPECT_EQ(std::u16string(small), u"untouched");
    EXPECT_EQ(makeGuid(nullptr, 39), E_OUTOFMEMORY);
}

TEST_F(Exports, TheModulePathIsTheProgramsDevicePathInQuotesCutToTheCallersCapacity)
{
    auto quotedPath = m_utils.Export<GetQuotedModulePathFn>(kGetQuotedModulePath);
    WCHAR path[MAX_PATH];
    ASSERT_EQ(quotedPath(path, MAX_PATH), S_OK);
    EXPECT_EQ(std::u16string(path), u"\"" + std::u16string(kProgram) + u"\"");

    WCHAR small[8];
    EXPECT_EQ(quotedPath(small, 8), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(small), u"\"\\Progr");
    EXPECT_EQ(quotedPath(path, -1), STRSAFE_E_INVALID_PARAMETER); // never read as a huge capacity
}

TEST_F(Exports, AUnicodeFileStartsWithItsByteOrderMarkAndReplacesAnOldOne)
{
    auto createFile = m_utils.Export<CreateUnicodeFileFn>(kCreateUnicodeFile);
    ASSERT_TRUE(CreateDirectoryW(u"\\My Documents", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const char16_t* path = u"\\My Documents\\messages.csv";
    {
        std::ofstream old(HostPath(path), std::ios::binary);
        old << "an older, longer export";
    }
    HANDLE file = nullptr;
    ASSERT_EQ(createFile(path, &file), S_OK);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const WCHAR line[] = u"Hi";
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, line, 4, &written, nullptr));
    EXPECT_TRUE(CloseHandle(file));

    std::ifstream in(HostPath(path), std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes, (std::vector<unsigned char>{0xFF, 0xFE, 'H', 0, 'i', 0}));

    file = nullptr;
    EXPECT_EQ(createFile(u"\\No Such Folder\\messages.csv", &file), E_FAIL);
    EXPECT_EQ(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(createFile(path, nullptr), E_INVALIDARG);
}
