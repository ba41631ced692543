// The volumes this process has mounted, by the CEGUID each mount handed out. Mounting a mounted file again
// shares its volume and counts one more mount; the volume is closed when the last is unmounted (open
// database handles keep it until they are closed).
#pragma once

#include "edb/Volume.h"

namespace device::edb {

// Throws Failure. *existed tells whether the file was there before.
CEGUID Mount(const std::filesystem::path& file, const std::string& password, DWORD disposition, bool* existed);
bool Unmount(const CEGUID& guid);
std::shared_ptr<Volume> MountedVolume(const CEGUID& guid);
std::vector<std::pair<CEGUID, std::shared_ptr<Volume>>> MountedVolumes();

} // namespace device::edb
