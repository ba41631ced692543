// Libraries loaded as data files: one shared, counted copy of each file, whatever path named it.
#include "device/DataFile.h"

#include "device/Modules.h"

#include "resource/ImageMemory.h"
#include "resource/PeResources.h"

#include <winerror.h>

#include <map>
#include <mutex>

namespace device {
namespace {

struct DataModule {
    std::filesystem::path key;
    std::unique_ptr<ImageMemory> memory;
    std::unique_ptr<PeImage> image;
    std::unique_ptr<PeResources> resources; // null when the image has no resource directory
    int references = 1;
};

class DataModules {
public:
    HMODULE Open(const std::filesystem::path& hostPath, DWORD* error);
    bool Release(HMODULE module);
    bool Contains(HMODULE module);
    const PeResources* Resources(HMODULE module);

private:
    std::mutex m_mutex;
    std::map<std::filesystem::path, HMODULE> m_byPath;
    std::map<HMODULE, std::unique_ptr<DataModule>> m_byHandle;
};

DataModules& Modules()
{
    static DataModules modules;
    return modules;
}

std::filesystem::path KeyOf(const std::filesystem::path& path)
{
    std::error_code ignored;
    std::filesystem::path key = std::filesystem::weakly_canonical(path, ignored);
    return key.empty() ? path.lexically_normal() : key;
}

std::unique_ptr<DataModule> Load(const std::filesystem::path& key, DWORD* error)
{
    auto module = std::make_unique<DataModule>();
    module->key = key;
    module->memory = ImageMemory::Read(key, error);
    if (!module->memory)
        return nullptr;
    try {
        module->image = std::make_unique<PeImage>(module->memory->Bytes());
        PeImage::Directory directory = module->image->DataDirectory(kResourceDirectory);
        if (directory.rva != 0 && directory.size != 0)
            module->resources = std::make_unique<PeResources>(*module->image);
    } catch (const BadImage&) {
        *error = ERROR_BAD_FORMAT;
        return nullptr;
    }
    return module;
}

HMODULE DataModules::Open(const std::filesystem::path& hostPath, DWORD* error)
{
    std::filesystem::path key = KeyOf(hostPath);
    std::lock_guard lock(m_mutex);
    if (auto it = m_byPath.find(key); it != m_byPath.end()) {
        ++m_byHandle.at(it->second)->references;
        return it->second;
    }
    std::unique_ptr<DataModule> module = Load(key, error);
    if (!module)
        return nullptr;
    // The image's address with the low bit set: unique while the image lives, and never the (aligned)
    // handle of a library loaded to run.
    auto handle = reinterpret_cast<HMODULE>(reinterpret_cast<uintptr_t>(module->memory->Bytes().data()) | 1);
    m_byPath.emplace(key, handle);
    m_byHandle.emplace(handle, std::move(module));
    return handle;
}

bool DataModules::Release(HMODULE module)
{
    std::lock_guard lock(m_mutex);
    auto it = m_byHandle.find(module);
    if (it == m_byHandle.end())
        return false;
    if (--it->second->references == 0) {
        m_byPath.erase(it->second->key);
        m_byHandle.erase(it);
    }
    return true;
}

bool DataModules::Contains(HMODULE module)
{
    std::lock_guard lock(m_mutex);
    return m_byHandle.count(module) != 0;
}

const PeResources* DataModules::Resources(HMODULE module)
{
    std::lock_guard lock(m_mutex);
    auto it = m_byHandle.find(module);
    return it == m_byHandle.end() ? nullptr : it->second->resources.get();
}

} // namespace

HMODULE OpenDataFile(const std::filesystem::path& hostPath, DWORD* error)
{
    DWORD ignored = 0;
    return Modules().Open(hostPath, error ? error : &ignored);
}

bool ReleaseDataFile(HMODULE module)
{
    return Modules().Release(module);
}

bool IsDataFile(HMODULE module)
{
    return Modules().Contains(module);
}

namespace {

// A host program file carries no PE resources; a device program's own (its icon) come from a
// resource-only file beside it with the program's name and the extension ".rsrc". It is opened on first
// use and kept while the program path names it; a missing file is looked for again next time.
const PeResources* ProgramResources()
{
    static std::mutex mutex;
    static std::filesystem::path opened;
    static HMODULE companion = nullptr;
    std::filesystem::path path = ProgramPath();
    path.replace_extension(".rsrc");
    std::lock_guard lock(mutex);
    if (path != opened || !companion) {
        if (companion)
            Modules().Release(companion);
        DWORD ignored = 0;
        companion = Modules().Open(path, &ignored);
        opened = path;
    }
    return companion ? Modules().Resources(companion) : nullptr;
}

} // namespace

const PeResources* ResourcesOf(HMODULE module)
{
    if (module && module == ProgramModule())
        return ProgramResources();
    return Modules().Resources(module);
}

} // namespace device
