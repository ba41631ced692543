// The phone's own number, read over telephony from the line named "Cellular Line".
#include "utils/UtilsLibrary.h"

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <string>

using namespace utils_exports;
using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

DeviceOptions WithLine(const char* lineName, const char* number)
{
    DeviceOptions options;
    options.profile.lineName = lineName;
    options.profile.ownNumber = number;
    return options;
}

} // namespace

TEST(OwnNumber, TheCellularLinesFirstAddressIsTheNumberCutToTheCallersCapacity)
{
    TempDevice device(WithLine("Cellular Line", "+491701234567"));
    utils_testing::UtilsLibrary utils;
    auto ownNumber = utils.Export<GetOwnNumberFn>(kGetOwnNumber);

    WCHAR number[256] = u"old";
    ASSERT_EQ(ownNumber(number, 256, 1), S_OK);
    EXPECT_EQ(std::u16string(number), u"+491701234567");

    WCHAR small[6];
    EXPECT_EQ(ownNumber(small, 6, 1), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(small), u"+4917");

    // The line has one address only.
    EXPECT_EQ(ownNumber(number, 256, 2), E_FAIL);
    EXPECT_EQ(std::u16string(number), u"");
    EXPECT_EQ(ownNumber(number, 0, 1), E_INVALIDARG);
}

TEST(OwnNumber, ALineNamedOtherwiseIsNoCellularLineAndGivesNothing)
{
    TempDevice device(WithLine("Mobile Line", "+15550100"));
    utils_testing::UtilsLibrary utils;
    WCHAR number[256] = u"old";
    EXPECT_EQ(utils.Export<GetOwnNumberFn>(kGetOwnNumber)(number, 256, 1), E_FAIL);
    EXPECT_EQ(std::u16string(number), u"");
}

TEST(OwnNumber, ACellularLineWithoutANumberGivesNothing)
{
    TempDevice device(WithLine("Cellular Line", ""));
    utils_testing::UtilsLibrary utils;
    WCHAR number[256] = u"old";
    EXPECT_EQ(utils.Export<GetOwnNumberFn>(kGetOwnNumber)(number, 256, 1), E_FAIL);
    EXPECT_EQ(std::u16string(number), u"");
}

TEST(OwnNumber, ANumberLongerThanTheFirstBlockIsReadWhole)
{
    std::string digits(300, '7'); // the address record then needs more than the first 512 bytes
    TempDevice device(WithLine("Cellular Line", digits.c_str()));
    utils_testing::UtilsLibrary utils;
    WCHAR number[512] = {};
    ASSERT_EQ(utils.Export<GetOwnNumberFn>(kGetOwnNumber)(number, 512, 1), S_OK);
    EXPECT_EQ(std::u16string(number), std::u16string(300, u'7'));
}
