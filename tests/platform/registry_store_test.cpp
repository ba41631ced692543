// The registry by whole paths, as device tools reach it, seen through the program's API.
#include <windows.h>

#include "platform/RegistryTesting.h"
#include "registry/Store.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

using namespace registry_testing;
namespace reg = device::registry;

TEST(RegistryPaths, AValueWrittenByPathIsTheOneTheProgramReads)
{
    testing_support::TempDevice device;
    int64_t tool = 0;
    ASSERT_EQ(reg::CreatePath(u"HKCU\\Software\\Tool\\", &tool), ERROR_SUCCESS);
    const uint8_t data[] = {7, 0, 0, 0};
    ASSERT_EQ(reg::WriteValue(tool, u"Count", REG_DWORD, data, sizeof data), ERROR_SUCCESS);

    Key key;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"software\\TOOL", &key), ERROR_SUCCESS);
    Stored stored = Read(key, u"count");
    EXPECT_EQ(stored.type, DWORD(REG_DWORD));
    EXPECT_EQ(stored.data, std::vector<uint8_t>(data, data + 4));

    ASSERT_EQ(SetDword(key, u"Second", 2), ERROR_SUCCESS);
    int64_t same = 0;
    ASSERT_EQ(reg::OpenPath(u"HKEY_CURRENT_USER\\Software\\Tool", &same), ERROR_SUCCESS);
    EXPECT_EQ(same, tool);
    std::vector<reg::Value> values;
    ASSERT_EQ(reg::ListValues(same, &values), ERROR_SUCCESS);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].name, u"Count");
    EXPECT_EQ(values[1].name, u"Second");
    EXPECT_EQ(values[1].data, (std::vector<uint8_t>{2, 0, 0, 0}));

    int64_t software = 0;
    std::vector<reg::Subkey> subkeys;
    ASSERT_EQ(reg::OpenPath(u"hkcu\\Software", &software), ERROR_SUCCESS);
    ASSERT_EQ(reg::ListSubkeys(software, &subkeys), ERROR_SUCCESS);
    ASSERT_EQ(subkeys.size(), 1u);
    EXPECT_EQ(subkeys[0].name, u"Tool");
}

TEST(RegistryPaths, OnlyTheTwoHivesAreKnownAndAHiveCannotBeDeleted)
{
    testing_support::TempDevice device;
    int64_t key = 0;
    EXPECT_EQ(reg::OpenPath(u"HKLM", &key), ERROR_SUCCESS);
    EXPECT_EQ(key, reg::kLocalMachine);
    EXPECT_EQ(reg::OpenPath(u"HKCR\\Software", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(reg::CreatePath(u"HKLMX\\Software", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(reg::DeletePath(u"HKCU"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(reg::OpenPath(u"HKCU", &key), ERROR_SUCCESS);

    ASSERT_EQ(reg::CreatePath(u"HKLM\\System\\State\\Phone", &key), ERROR_SUCCESS);
    ASSERT_EQ(reg::DeletePath(u"HKLM\\System\\State"), ERROR_SUCCESS);
    EXPECT_EQ(reg::OpenPath(u"HKLM\\System\\State\\Phone", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(reg::OpenPath(u"HKLM\\System", &key), ERROR_SUCCESS);
}
