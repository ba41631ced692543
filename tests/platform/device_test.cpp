// Opening a device: only a database that holds a device is one, and an open that fails leaves nothing open.
#include "device/Database.h"
#include "device/Device.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Descriptors of this process open on the file.
int OpenOn(const fs::path& file)
{
    int count = 0;
    std::error_code ignored;
    for (const auto& fd : fs::directory_iterator("/proc/self/fd"))
        if (fs::read_symlink(fd.path(), ignored) == fs::absolute(file))
            ++count;
    return count;
}

// The message the device's open fails with, or "opened".
std::string OpenFailure(const fs::path& dir)
{
    device::Attach(dir);
    try {
        device::Db();
    } catch (const device::DatabaseError& e) {
        return e.what();
    }
    return "opened";
}

} // namespace

TEST(DeviceOpen, ADatabaseWithoutTheDeviceIsRefusedAndLeftAsItWas)
{
    testing_support::TempDevice scratch;
    fs::path empty = scratch.Dir().parent_path() / "empty";
    fs::create_directories(empty);
    std::ofstream(empty / "device.db").close();
    EXPECT_NE(OpenFailure(empty).find("holds no device"), std::string::npos);
    EXPECT_EQ(fs::file_size(empty / "device.db"), 0u);

    // One whose making stopped before its profile was written.
    fs::path unfinished = scratch.Dir().parent_path() / "unfinished";
    device::Create(unfinished, device::Profile{}, true, testing_support::CivilTicks("2008-06-15 09:30:00"));
    device::Attach(unfinished);
    device::Db().Exec("DELETE FROM profile");
    EXPECT_NE(OpenFailure(unfinished).find("has no profile"), std::string::npos);
}

TEST(DeviceOpen, AFailedOpenClosesWhatItOpened)
{
    testing_support::TempDevice scratch;
    fs::path corrupt = scratch.Dir().parent_path() / "corrupt";
    fs::create_directories(corrupt);
    std::ofstream(corrupt / "device.db") << std::string(8192, 'x');
    for (int attempt = 0; attempt < 5; ++attempt)
        EXPECT_EQ(OpenFailure(corrupt).find("opened"), std::string::npos);
    EXPECT_EQ(OpenOn(corrupt / "device.db"), 0);
}
