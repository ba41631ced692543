// Helpers for the scheduled-message tests: messages stored in the registry as the program stores them,
// local times as the program keeps them, the resource library loaded as the program loads it, and the
// clock moved as the phone moves it.
#pragma once

#include "RegistryTesting.h"
#include "UtilsOnDevice.h"

#include "app/Program.h"
#include "schedule/ScheduledMessage.h"
#include "support/TempDevice.h"

#include "device/Clock.h"
#include "device/DataFile.h"
#include "device/Device.h"
#include "device/Modules.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace schedule_testing
{

using program_testing::Bytes;

const std::u16string kScheduled = u"Software\\Orvane\\Zelkova\\Scheduled SMS\\";

// The OLE date of a local time, as the program computes it.
inline double At(int year, int month, int day, int hour, int minute, int second = 0)
{
    DateTime time;
    EXPECT_EQ(time.FromParts(year, month, day, hour, minute, second), DateTimeValid);
    return time.Value();
}

inline Bytes BytesOf(double value)
{
    Bytes bytes(sizeof(value));
    std::memcpy(bytes.data(), &value, sizeof(value));
    return bytes;
}

inline void StoreMessage(const std::u16string& keyName, const std::u16string& body, double time,
                         const Bytes& contacts)
{
    program_testing::SetString(kScheduled + keyName, u"Body", body);
    program_testing::SetBinary(kScheduled + keyName, u"Time", BytesOf(time));
    program_testing::SetBinary(kScheduled + keyName, u"Contacts", contacts);
}

// Moves the manual clock to a local time ("YYYY-MM-DD HH:MM:SS") of the test device, whose zone is UTC.
inline void SetClock(const std::string& local)
{
    device::SetClock(testing_support::CivilTicks(local));
}

// A fresh device in a locale, with the resource library loaded as the program's resources and the
// run-time binding unbound; both are put back afterwards, as other tests share the program state.
class ScheduleDevice
{
  public:
    explicit ScheduleDevice(const char* locale = "en_US", const char* start = "2008-06-15 09:30:00")
        : m_device(Options(locale, start))
    {
        g_program.binding = {};
        const char* image = std::getenv("DEVICE_IMAGE_DIR");
        EXPECT_NE(image, nullptr) << "DEVICE_IMAGE_DIR is not set";
        DWORD error = 0;
        if (image)
            g_program.resources = device::OpenDataFile(std::filesystem::path(image) / "ZelkovaRes.dll", &error);
        EXPECT_NE(g_program.resources, nullptr) << "error " << error;
    }
    ~ScheduleDevice()
    {
        if (g_program.resources) device::ReleaseDataFile(g_program.resources);
        g_program.resources = nullptr;
        if (g_program.binding.utils) FreeLibrary(g_program.binding.utils);
        g_program.binding = {};
    }
    ScheduleDevice(const ScheduleDevice&) = delete;
    ScheduleDevice& operator=(const ScheduleDevice&) = delete;

  private:
    static testing_support::DeviceOptions Options(const char* locale, const char* start)
    {
        testing_support::DeviceOptions options;
        options.profile.locale = locale;
        options.start = start;
        return options;
    }

    testing_support::TempDevice m_device;
};

// This process as the installed program, \Program Files\Zelkova\Zelkova.exe, with the helper library on
// the device. No program file is put there, so a wake-up that came due by mistake would start nothing.
class InstalledProgram
{
  public:
    InstalledProgram() { device::SetProgramPath(device::FsRoot() / "Program Files" / "Zelkova" / "Zelkova.exe"); }
    ~InstalledProgram() { device::SetProgramPath({}); }
    InstalledProgram(const InstalledProgram&) = delete;
    InstalledProgram& operator=(const InstalledProgram&) = delete;

  private:
    program_testing::UtilsOnDevice m_utils;
};

} // namespace schedule_testing
