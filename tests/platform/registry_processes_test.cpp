// Two device processes writing the registry at the same time, each with its own database connection.
#include <windows.h>

#include "device/Device.h"
#include "platform/RegistryTesting.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>

using namespace registry_testing;

namespace {

constexpr DWORD kValues = 150;
constexpr DWORD kOwnKeyEvery = 10; // a subkey only this process makes
constexpr DWORD kCommonEvery = 5;  // a value and a subkey both processes make under the same name

std::u16string Name(const std::u16string& tag, DWORD i)
{
    std::u16string digits;
    for (DWORD n = i + 1000; n > 1; n /= 10) // fixed width: always three digits
        digits.insert(digits.begin(), char16_t(u'0' + n % 10));
    return tag + u"-" + digits;
}

// Every step opens the shared key afresh (both processes create it), so creations race as well as writes.
bool WriteBatch(const std::u16string& tag)
{
    for (DWORD i = 0; i < kValues; ++i) {
        Key shared, own, common;
        if (Create(HKEY_CURRENT_USER, u"Software\\Race\\Shared", &shared) != ERROR_SUCCESS)
            return false;
        std::u16string name = Name(tag, i);
        if (SetDword(shared, name.c_str(), i) != ERROR_SUCCESS)
            return false;
        if (i % kOwnKeyEvery == 0 &&
            (Create(shared, name.c_str(), &own) != ERROR_SUCCESS || SetDword(own, u"i", i) != ERROR_SUCCESS))
            return false;
        std::u16string both = Name(u"common", i);
        if (i % kCommonEvery == 0 && (SetDword(shared, both.c_str(), i) != ERROR_SUCCESS ||
                                      Create(shared, both.c_str(), &common) != ERROR_SUCCESS))
            return false;
    }
    return true;
}

void ExpectBatch(HKEY shared, const std::u16string& tag)
{
    for (DWORD i = 0; i < kValues; ++i) {
        std::u16string name = Name(tag, i);
        Stored stored = Read(shared, name.c_str());
        ASSERT_EQ(stored.rc, ERROR_SUCCESS) << i;
        EXPECT_EQ(stored.data, (std::vector<uint8_t>{uint8_t(i), uint8_t(i >> 8), 0, 0})) << i;
        if (i % kOwnKeyEvery == 0) {
            Key own;
            ASSERT_EQ(Open(shared, name.c_str(), &own), ERROR_SUCCESS) << i;
            EXPECT_EQ(Read(own, u"i").rc, ERROR_SUCCESS) << i;
        }
    }
}

} // namespace

TEST(RegistryAcrossProcesses, TwoProcessesWritingAtOnceLoseNothing)
{
    testing_support::TempDevice device;
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Its own connection, as a separately started device process has; opened before the start so both
        // processes begin writing together.
        device::Attach(device.Dir());
        char signal = 0;
        bool ok = RegFlushKey(HKEY_CURRENT_USER) == ERROR_SUCCESS && write(ready[1], "r", 1) == 1 &&
                  read(go[0], &signal, 1) == 1 && WriteBatch(u"child");
        _exit(ok ? 0 : 1);
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    ASSERT_EQ(write(go[1], "g", 1), 1);
    bool parentOk = WriteBatch(u"parent");
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    for (int fd : {ready[0], ready[1], go[0], go[1]})
        close(fd);
    ASSERT_TRUE(parentOk);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    Key shared;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Race\\Shared", &shared), ERROR_SUCCESS);
    ExpectBatch(shared, u"parent");
    ExpectBatch(shared, u"child");
    DWORD values = 0, subkeys = 0;
    ASSERT_EQ(RegQueryInfoKeyW(shared, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(values, 2 * kValues + kValues / kCommonEvery);
    EXPECT_EQ(subkeys, 2 * kValues / kOwnKeyEvery + kValues / kCommonEvery);
    Key race;
    ASSERT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Race", &race), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(race), std::vector<std::u16string>{u"Shared"});
}
