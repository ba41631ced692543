#include <windows.h>

#include "device/Clock.h"
#include "device/Device.h"
#include "platform/RegistryTesting.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace registry_testing;
using testing_support::TempDevice;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Utf16Bytes(std::u16string_view text)
{
    auto first = reinterpret_cast<const uint8_t*>(text.data());
    return Bytes(first, first + text.size() * sizeof(char16_t));
}

class Registry : public ::testing::Test {
protected:
    TempDevice m_device;
};

} // namespace

TEST_F(Registry, ValuesOfEveryTypeReadBackByteForByteEvenWhenMalformed)
{
    const std::vector<std::pair<DWORD, Bytes>> cases = {
        {REG_SZ, Utf16Bytes(std::u16string_view(u"text", 5))},       // with its terminator
        {REG_SZ, {'a', 0, 'b'}},                                     // odd length, no terminator
        {REG_EXPAND_SZ, Utf16Bytes(u"%TEMP%")},                      // no terminator
        {REG_MULTI_SZ, Utf16Bytes(std::u16string_view(u"a\0b", 3))}, // no final double terminator
        {REG_DWORD, {1, 2, 3}},                                      // three bytes
        {REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
        {REG_BINARY, {0, 0xFF, 0, 0x80}},
        {REG_BINARY, {}},
        {REG_NONE, {9}},
        {0x12345678, {1, 2, 3, 4, 5}}, // a type the device does not name
        {REG_BINARY, Bytes(4096, 0xA5)},
    };
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Types", &key), ERROR_SUCCESS);
    for (size_t i = 0; i < cases.size(); ++i) {
        std::u16string name = u"v" + std::u16string(1, char16_t(u'a' + i));
        ASSERT_EQ(Set(key, name.c_str(), cases[i].first, cases[i].second), ERROR_SUCCESS) << i;
    }

    // A new connection, as another process would have, sees what was committed.
    key.Close();
    device::Attach(m_device.Dir());
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Types", &key), ERROR_SUCCESS);
    for (size_t i = 0; i < cases.size(); ++i) {
        std::u16string name = u"v" + std::u16string(1, char16_t(u'a' + i));
        Stored stored = Read(key, name.c_str());
        ASSERT_EQ(stored.rc, ERROR_SUCCESS) << i;
        EXPECT_EQ(stored.type, cases[i].first) << i;
        EXPECT_EQ(stored.data, cases[i].second) << i;
    }
}

TEST_F(Registry, ASizeQueryAndAShortBufferReportTheNeededSize)
{
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Sizes", &key), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, u"Data", REG_BINARY, Bytes(10, 7)), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Data", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(type, DWORD(REG_BINARY));

    BYTE small[9];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, u"Data", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);

    BYTE buffer[10];
    EXPECT_EQ(RegQueryValueExW(key, u"Data", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Data", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Data", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, NamesMatchInAnyCaseAndKeepTheCaseTheyWereCreatedWith)
{
    Key created, opened, software;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\MixedCase\\Ärger", &created), ERROR_SUCCESS);
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"SOFTWARE\\mixedcase\\äRGER", &opened), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(created, u"ValueName", 1), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(opened, u"VALUENAME", 2), ERROR_SUCCESS); // the same value

    EXPECT_EQ(ValueNames(created), std::vector<std::u16string>{u"ValueName"});
    EXPECT_EQ(Read(created, u"valuename").data, (Bytes{2, 0, 0, 0}));
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"software", &software), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(software), std::vector<std::u16string>{u"MixedCase"});

    // Another hive is another tree.
    Key machine;
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"Software\\MixedCase", &machine), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, NamesOutsideTheBasicPlaneAndLoneSurrogatesComeBackUnchanged)
{
    const std::u16string keyName = u"k\xD800x";            // an unpaired high surrogate
    const std::u16string valueName = u"v\U0001F600\xDC01"; // a pair, then an unpaired low surrogate
    Key parent, child;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Odd", &parent), ERROR_SUCCESS);
    ASSERT_EQ(Create(parent, keyName.c_str(), &child), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(child, valueName.c_str(), 5), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(parent), std::vector<std::u16string>{keyName});
    EXPECT_EQ(ValueNames(child), std::vector<std::u16string>{valueName});
    EXPECT_EQ(Read(child, valueName.c_str()).rc, ERROR_SUCCESS);
}

TEST_F(Registry, ANullOrEmptyNameIsTheDefaultValue)
{
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Default", &key), ERROR_SUCCESS);
    EXPECT_EQ(Read(key, nullptr).rc, ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Set(key, nullptr, REG_SZ, Utf16Bytes(std::u16string_view(u"group", 6))), ERROR_SUCCESS);
    EXPECT_EQ(Read(key, u"").data, Utf16Bytes(std::u16string_view(u"group", 6)));
    EXPECT_EQ(ValueNames(key), std::vector<std::u16string>{u""});
    EXPECT_EQ(RegDeleteValueW(key, u""), ERROR_SUCCESS);
    EXPECT_EQ(Read(key, nullptr).rc, ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, MissingKeysAndValuesAreFileNotFound)
{
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Here", &key), ERROR_SUCCESS);
    HKEY missing = HKEY_CURRENT_USER; // must be cleared by the failed open
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Here\\Not", 0, 0, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(Read(key, u"Absent").rc, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, u"Absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(key, u"Absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Absent\\Deeper"), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, CreatingMakesTheWholePathAndTellsWhetherTheKeyIsNew)
{
    Key first, again, middle, self;
    DWORD disposition = 0;
    WCHAR cls[] = u"Folder";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\A\\B\\C", 0, cls, 0, KEY_ALL_ACCESS, nullptr,
                              first.Out(), &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"software\\a\\b\\c\\", &again, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software\\A\\B", &middle), ERROR_SUCCESS);
    ASSERT_EQ(Create(middle, nullptr, &self, &disposition), ERROR_SUCCESS); // a new handle to the same key
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));

    // The class goes to the named key only.
    WCHAR name[16], keyClass[16];
    DWORD nameChars = 16, classChars = 16;
    ASSERT_EQ(RegEnumKeyExW(self, 0, name, &nameChars, nullptr, keyClass, &classChars, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name, nameChars), u"C");
    EXPECT_EQ(std::u16string(keyClass, classChars), u"Folder");
    classChars = 16;
    EXPECT_EQ(RegQueryInfoKeyW(middle, keyClass, &classChars, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(classChars, 0u);
}

TEST_F(Registry, EnumerationFollowsCreationOrderAndRewritingKeepsAValuesPlace)
{
    Key key, child;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Order", &key), ERROR_SUCCESS);
    for (const char16_t* name : {u"Zulu", u"alpha", u"Mike"})
        ASSERT_EQ(Create(key, name, &child), ERROR_SUCCESS);
    for (const char16_t* name : {u"b", u"a", u"c"})
        ASSERT_EQ(SetDword(key, name, 1), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(key), (std::vector<std::u16string>{u"Zulu", u"alpha", u"Mike"}));

    ASSERT_EQ(SetDword(key, u"A", 2), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"b", u"a", u"c"}));
    ASSERT_EQ(RegDeleteValueW(key, u"b"), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, u"b", 3), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"a", u"c", u"b"}));

    WCHAR name[8];
    DWORD chars = 8;
    EXPECT_EQ(RegEnumValueW(key, 3, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyExW(key, 3, name, &chars, nullptr, nullptr, nullptr, nullptr), 259);
}

TEST_F(Registry, EnumerationCountsNamesInCharactersAndShortBuffersGetMoreData)
{
    Key key, child;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Buffers", &key), ERROR_SUCCESS);
    ASSERT_EQ(Create(key, u"Child", &child), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, u"Value", REG_BINARY, Bytes(6, 1)), ERROR_SUCCESS);

    WCHAR name[8] = {};
    DWORD chars = 5; // no room for the terminator
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    chars = 6;
    ASSERT_EQ(RegEnumKeyExW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(chars, 5u);
    EXPECT_EQ(std::u16string(name), u"Child");

    chars = 5;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    BYTE data[5];
    DWORD type = 0, size = sizeof data;
    chars = 6;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &chars, nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::u16string(name, chars), u"Value");
    EXPECT_EQ(type, DWORD(REG_BINARY));
}

TEST_F(Registry, KeyInformationCountsSubkeysValuesAndTheLongestOfEach)
{
    Key key, child;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Info", &key), ERROR_SUCCESS);
    ASSERT_EQ(Create(key, u"Short", &child), ERROR_SUCCESS);
    ASSERT_EQ(Create(key, u"LongerName\\Below", &child), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, u"x", REG_BINARY, Bytes(100, 0)), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, u"Named\U0001F600", REG_BINARY, Bytes(3, 0)), ERROR_SUCCESS);
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValueName = 0, largestValue = 0;
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values,
                               &longestValueName, &largestValue, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subkeys, 2u); // "Below" is not a child of this key
    EXPECT_EQ(longestSubkey, 10u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(longestValueName, 7u); // characters as the device counts them: the pair is two
    EXPECT_EQ(largestValue, 100u);
}

TEST_F(Registry, WritingAValueStampsTheKeyWithTheDeviceClock)
{
    Key key;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Stamp", &key), ERROR_SUCCESS);
    int64_t later = device::AdvanceClock(3600 * device::kTicksPerSecond);
    ASSERT_EQ(SetDword(key, u"v", 1), ERROR_SUCCESS);
    FILETIME written{};
    ASSERT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, &written),
              ERROR_SUCCESS);
    EXPECT_EQ((int64_t(written.dwHighDateTime) << 32) | written.dwLowDateTime, later);
}

TEST_F(Registry, DeletingAKeyRemovesItsWholeTreeAndNothingElse)
{
    Key a, b, c, sibling;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Tree\\A", &a), ERROR_SUCCESS);
    ASSERT_EQ(Create(a, u"B", &b), ERROR_SUCCESS);
    ASSERT_EQ(Create(b, u"C", &c), ERROR_SUCCESS);
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Tree\\A2", &sibling), ERROR_SUCCESS);
    for (HKEY key : {HKEY(a), HKEY(b), HKEY(c), HKEY(sibling)})
        ASSERT_EQ(SetDword(key, u"v", 1), ERROR_SUCCESS);
    a.Close();
    b.Close();
    c.Close();

    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"software\\tree\\a"), ERROR_SUCCESS);
    Key probe;
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Tree\\A", &probe), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Tree\\A\\B\\C", &probe), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(sibling, u"v").rc, ERROR_SUCCESS);

    // Made again, the keys start empty: nothing of the old tree survived.
    DWORD disposition = 0, values = 1, subkeys = 1;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Tree\\A\\B\\C", &c, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    ASSERT_EQ(RegQueryInfoKeyW(c, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 0u);
    EXPECT_EQ(subkeys, 0u);
}

TEST_F(Registry, HandlesToADeletedKeyReportKeyDeletedEvenAfterTheNameIsReused)
{
    HKEY gone = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Gone\\Inner", 0, nullptr, 0, 0, nullptr, &gone,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(SetDword(gone, u"v", 1), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Gone"), ERROR_SUCCESS);
    Key reused;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Gone\\Inner", &reused), ERROR_SUCCESS);

    WCHAR name[8];
    DWORD chars = 8;
    EXPECT_EQ(Read(gone, u"v").rc, ERROR_KEY_DELETED);
    EXPECT_EQ(SetDword(gone, u"v", 2), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteValueW(gone, u"v"), ERROR_KEY_DELETED);
    EXPECT_EQ(RegEnumValueW(gone, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    Key child;
    EXPECT_EQ(Create(gone, u"Child", &child), ERROR_KEY_DELETED);
    EXPECT_EQ(RegFlushKey(gone), ERROR_KEY_DELETED);
    EXPECT_EQ(Read(reused, u"v").rc, ERROR_FILE_NOT_FOUND); // the write through the stale handle went nowhere
    EXPECT_EQ(RegCloseKey(gone), ERROR_SUCCESS);
}

TEST_F(Registry, ClosedGarbageAndUnsupportedHandlesAreInvalid)
{
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Closed", 0, nullptr, 0, 0, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetDword(key, u"v", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegFlushKey(key), ERROR_INVALID_HANDLE);
    for (HKEY bad :
         {HKEY(nullptr), reinterpret_cast<HKEY>(uintptr_t(0x1234)), HKEY_CLASSES_ROOT, HKEY_USERS}) {
        Key out;
        EXPECT_EQ(Open(bad, u"Software", &out), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Read(bad, u"v").rc, ERROR_INVALID_HANDLE);
    }
    // The roots need no opening, and closing one leaves it usable.
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(HKEY_LOCAL_MACHINE, u"RootValue", 1), ERROR_SUCCESS);
    EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(Registry, BadArgumentsAndBadPathsAreRejected)
{
    Key key;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 0, 0, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software", 1, 0, key.Out()), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\V", 0, nullptr, REG_OPTION_VOLATILE, 0, nullptr,
                              key.Out(), nullptr),
              ERROR_NOT_SUPPORTED);
    EXPECT_EQ(Create(HKEY_CURRENT_USER, u"\\Software\\Lead", &key), ERROR_BAD_PATHNAME);
    EXPECT_EQ(Create(HKEY_CURRENT_USER, u"Software\\\\Gap", &key), ERROR_BAD_PATHNAME);
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Args", &key), ERROR_SUCCESS);
    DWORD value = 1;
    EXPECT_EQ(RegSetValueExW(key, u"v", 1, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, u"v", 0, REG_DWORD, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(key, u""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ValueNames(key), std::vector<std::u16string>{});
}

TEST_F(Registry, NamesDataAndDepthStopAtTheDeviceLimitsWithoutPartialWrites)
{
    const std::u16string longest(MAX_REG_KEY_NAME, u'k'), tooLong(MAX_REG_KEY_NAME + 1, u'k');
    Key key, child;
    ASSERT_EQ(Create(HKEY_CURRENT_USER, u"Software\\Limits", &key), ERROR_SUCCESS);
    EXPECT_EQ(Create(key, longest.c_str(), &child), ERROR_SUCCESS);
    EXPECT_EQ(Create(key, (u"New\\" + tooLong).c_str(), &child), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Open(key, tooLong.c_str(), &child), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SubkeyNames(key), std::vector<std::u16string>{longest});

    const std::u16string longestValue(MAX_REG_VALUE_NAME, u'v'), tooLongValue(MAX_REG_VALUE_NAME + 1, u'v');
    EXPECT_EQ(SetDword(key, longestValue.c_str(), 1), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(key, tooLongValue.c_str(), 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ValueNames(key), std::vector<std::u16string>{longestValue});

    ASSERT_EQ(Set(key, u"Data", REG_BINARY, Bytes(4096, 1)), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, u"Data", REG_BINARY, Bytes(4097, 2)), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Read(key, u"Data").data, Bytes(4096, 1)); // the old data stays

    WCHAR longClass[MAX_REG_KEY_NAME + 2];
    std::fill(std::begin(longClass), std::end(longClass), u'c');
    longClass[MAX_REG_KEY_NAME + 1] = 0;
    EXPECT_EQ(RegCreateKeyExW(key, u"Classy", 0, longClass, 0, 0, nullptr, child.Out(), nullptr),
              ERROR_INVALID_PARAMETER);

    // Sixteen levels below the root are allowed; a seventeenth fails and leaves none of the path behind.
    std::u16string sixteen = u"D1";
    for (int level = 2; level <= 16; ++level)
        sixteen += u"\\D" + std::u16string(1, char16_t(u'a' + level));
    Key deepest, deeper;
    EXPECT_EQ(Create(HKEY_CURRENT_USER, sixteen.c_str(), &deepest), ERROR_SUCCESS);
    EXPECT_EQ(Create(deepest, u"Deeper", &deeper), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Create(HKEY_CURRENT_USER, (u"E1\\" + sixteen).c_str(), &child), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"E1", &child), ERROR_FILE_NOT_FOUND);
}
