#include "edb/Mounts.h"

#include <unistd.h>

namespace device::edb {

namespace {

struct Mounted {
    CEGUID guid;
    std::shared_ptr<Volume> volume;
    std::string password; // a second mount must give it too
    int count = 0;
};

std::mutex g_mutex;
std::vector<Mounted> g_mounted;
DWORD g_serial = 0;

bool SameGuid(const CEGUID& a, const CEGUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && a.Data4 == b.Data4;
}

std::filesystem::path Canonical(const std::filesystem::path& file)
{
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(file, error);
    return error ? file : canonical;
}

} // namespace

CEGUID Mount(const std::filesystem::path& file, const std::string& password, DWORD disposition, bool* existed)
{
    std::filesystem::path path = Canonical(file);
    std::lock_guard guard(g_mutex);
    for (Mounted& mounted : g_mounted) {
        if (mounted.volume->File() != path)
            continue;
        *existed = true;
        if (disposition == CREATE_NEW)
            throw Failure(ERROR_FILE_EXISTS);
        if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING)
            throw Failure(ERROR_ACCESS_DENIED);
        if (password != mounted.password)
            throw Failure(ERROR_INVALID_PASSWORD);
        ++mounted.count;
        return mounted.guid;
    }
    std::shared_ptr<Volume> volume = Volume::Open(path, password, disposition, existed);
    // Neither all zeros (the object store) nor all ones (no volume).
    CEGUID guid{++g_serial, static_cast<DWORD>(getpid()), 0x45444256, 0};
    g_mounted.push_back({guid, std::move(volume), password, 1});
    return guid;
}

bool Unmount(const CEGUID& guid)
{
    std::lock_guard guard(g_mutex);
    for (auto it = g_mounted.begin(); it != g_mounted.end(); ++it) {
        if (!SameGuid(it->guid, guid))
            continue;
        if (--it->count == 0)
            g_mounted.erase(it);
        return true;
    }
    return false;
}

std::shared_ptr<Volume> MountedVolume(const CEGUID& guid)
{
    std::lock_guard guard(g_mutex);
    for (const Mounted& mounted : g_mounted)
        if (SameGuid(mounted.guid, guid))
            return mounted.volume;
    return nullptr;
}

std::vector<std::pair<CEGUID, std::shared_ptr<Volume>>> MountedVolumes()
{
    std::lock_guard guard(g_mutex);
    std::vector<std::pair<CEGUID, std::shared_ptr<Volume>>> all;
    for (const Mounted& mounted : g_mounted)
        all.emplace_back(mounted.guid, mounted.volume);
    return all;
}

} // namespace device::edb
