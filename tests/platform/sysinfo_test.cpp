#include <windows.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

DeviceOptions Profile(const char* platform, int major, int minor, int build)
{
    DeviceOptions options;
    options.profile.platform = platform;
    options.profile.osMajor = major;
    options.profile.osMinor = minor;
    options.profile.osBuild = build;
    return options;
}

} // namespace

TEST(SystemInformation, TheVersionComesFromTheProfileOnceTheSizeIsSet)
{
    TempDevice device(Profile("PocketPC", 5, 2, 1235));
    OSVERSIONINFOW info = {};
    EXPECT_FALSE(GetVersionExW(&info));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(GetVersionExW(nullptr));

    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(info.dwMajorVersion, 5u);
    EXPECT_EQ(info.dwMinorVersion, 2u);
    EXPECT_EQ(info.dwBuildNumber, 1235u);
    EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_CE));
}

TEST(SystemInformation, ThePlatformTypeNamesTheProfileAndMustFitWithItsTerminator)
{
    TempDevice smartphone(Profile("SmartPhone", 5, 1, 1700));
    WCHAR buffer[32];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 32, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"SmartPhone");
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 11, buffer, 0));
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 10, buffer, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETOEMINFO, 32, buffer, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 32, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SystemInformation, APocketPcProfileReportsPocketPc)
{
    TempDevice pocketPc(Profile("PocketPC", 5, 1, 1700));
    WCHAR buffer[32];
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, 32, buffer, 0));
    EXPECT_EQ(std::u16string(buffer), u"PocketPC");
}
