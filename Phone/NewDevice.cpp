#include "NewDevice.h"

#include "Command.h"
#include "TimeText.h"

#include "device/Clock.h"

#include <cstdlib>
#include <unistd.h>

namespace phone {

namespace fs = std::filesystem;

namespace {

// The build's device image: $PHONE_IMAGE, else the image folder beside the tool's own folder.
fs::path ImageDir()
{
    if (const char* image = std::getenv("PHONE_IMAGE"); image && *image)
        return image;
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).parent_path().parent_path() / "image";
}

} // namespace

int InstallImage(bool onlyMissing)
{
    fs::path fsRoot = device::FsRoot();
    fs::path image = ImageDir();
    if (!fs::is_directory(image))
        throw Failure("no device image at " + image.string() + " (build first, or set PHONE_IMAGE)");
    fs::path target = fsRoot / "Program Files" / "Zelkova";
    fs::create_directories(target);
    int installed = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(image)) {
        if (!entry.is_regular_file())
            continue;
        std::string name = entry.path().filename().string();
        if (!entry.path().has_extension() && access(entry.path().c_str(), X_OK) == 0)
            name += ".exe";
        if (onlyMissing && fs::exists(fs::symlink_status(target / name)))
            continue;
        fs::create_symlink(fs::absolute(entry.path()), target / name);
        ++installed;
    }
    return installed;
}

int CreateDevice(const fs::path& dir, const device::Profile& profile, bool manual, std::optional<int64_t> localStart,
                 const std::function<void()>& fill)
{
    bool dirExisted = fs::exists(dir);
    try {
        device::Create(dir, profile, manual, localStart.value_or(device::HostNowTicks()));
        device::Attach(dir);
        if (localStart) // the time was given as local time: now that the zone is known, move there
            device::SetClock(UtcFromLocal(*localStart));
        int installed = InstallImage(false);
        if (fill)
            fill();
        return installed;
    } catch (...) {
        // Nothing is left of a device that could not be made whole.
        std::error_code ignored;
        if (dirExisted) {
            for (const char* made : {"device.db", "device.db-wal", "device.db-shm", "fs", "run"})
                fs::remove_all(dir / made, ignored);
        } else {
            fs::remove_all(dir, ignored);
        }
        throw;
    }
}

} // namespace phone
