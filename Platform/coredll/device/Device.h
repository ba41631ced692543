// The device a process lives on: its directory, database and profile.
#pragma once

#include "device/Database.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace device {

struct Profile {
    std::string platform = "SmartPhone"; // or "PocketPC", as SPI_GETPLATFORMTYPE reports it
    int screenWidth = 240;
    int screenHeight = 320;
    int dpi = 96;
    std::string locale = "en_US";        // an ICU locale id
    std::string timeZone = "UTC";        // an IANA zone id
    int osMajor = 5;
    int osMinor = 1;
    int osBuild = 1700;
    std::string ownNumber = "+15550100";
    std::string lineName = "Cellular Line";
};

// Where the device lives: the directory given by Attach, else $PHONE_DEVICE, else DefaultDir().
std::filesystem::path DefaultDir();
std::filesystem::path Dir();
std::filesystem::path FsRoot();  // the device path "\" maps here
std::filesystem::path RunDir();  // processes' message endpoints

// Creates a device directory with its database, profile and clock; fails if one exists already.
// The clock starts at startUtcTicks (UTC FILETIME ticks), manual or real.
void Create(const std::filesystem::path& dir, const Profile& profile, bool manualClock, int64_t startUtcTicks);

// Points this process at a device (tests and `phone`); programs started on a device inherit it.
void Attach(const std::filesystem::path& dir);
bool Exists(const std::filesystem::path& dir);

// The process's connection to the device database, opened on first use. Throws DatabaseError when
// there is no device.
Database& Db();

// For a thread about to wait: lets go of the database's read snapshot if the database is open and no
// other thread is using it.
void ReleaseReadSnapshot();

const Profile& CurrentProfile();
void SaveProfile(const Profile& profile);

} // namespace device
