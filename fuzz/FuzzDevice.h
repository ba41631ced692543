// A device for the fuzz targets that need one: made once per run in memory-backed /dev/shm, where syncing
// the database costs nothing, attached to the process, and removed when the run ends.
#pragma once

#include "device/Device.h"

#include <cstdlib>
#include <filesystem>

namespace fuzzing {

inline const std::filesystem::path& FuzzDevice()
{
    static const std::filesystem::path* dir = [] {
        static char root[] = "/dev/shm/zelkova-fuzz-XXXXXX";
        if (!mkdtemp(root))
            std::abort();
        auto made = new std::filesystem::path(std::filesystem::path(root) / "device"); // lives to the end
        device::Create(*made, device::Profile{}, true, 128000000000000000LL); // 2006-08-11, manual clock
        device::Attach(*made);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        });
        return made;
    }();
    return *dir;
}

} // namespace fuzzing
