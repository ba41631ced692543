#include "device/Modules.h"

#include "device/ExportTable.h"
#include "device/Text.h"

#include <windows.h>

#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <link.h>
#include <memory>
#include <mutex>
#include <vector>

namespace device {
namespace fs = std::filesystem;

namespace {

struct Module {
    void* library = nullptr; // from dlopen
    link_map* map = nullptr; // the library's own entry in the loader's list
    const ExportTable* exports = nullptr;
    fs::path file;
    int references = 0;
    bool linked = false; // mapped by the host loader as the program's dependency: stays loaded
};

struct ModuleList {
    std::mutex mutex;
    std::vector<std::unique_ptr<Module>> libraries;
    Module program;
    fs::path programPath; // set by SetProgramPath
};

// Never destroyed: threads may still resolve exports while the process exits.
ModuleList& Modules()
{
    static ModuleList* modules = [] {
        auto* list = new ModuleList;
        list->program.library = dlopen(nullptr, RTLD_NOW);
        dlinfo(list->program.library, RTLD_DI_LINKMAP, &list->program.map);
        return list;
    }();
    return *modules;
}

// A module's name as the device compares it: no folder, no extension.
std::u16string_view BareName(std::u16string_view name)
{
    size_t slash = name.find_last_of(u"\\/");
    if (slash != std::u16string_view::npos) name.remove_prefix(slash + 1);
    size_t dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? name : name.substr(0, dot);
}

std::u16string FileBareName(const fs::path& file)
{
    return Utf16FromUtf8(file.stem().string());
}

// Whether a symbol found by dlsym lies in the module itself: dlsym also searches the libraries it
// depends on, the device only the module's own exports.
bool IsOwnSymbol(const Module& module, const void* symbol)
{
    Dl_info info;
    link_map* owner = nullptr;
    return dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) && owner == module.map;
}

// The module's own export table, if it carries one.
const ExportTable* OwnExportTable(const Module& module)
{
    auto* table = reinterpret_cast<ExportTableFunction>(dlsym(module.library, kExportTableSymbol));
    return table && IsOwnSymbol(module, reinterpret_cast<const void*>(table)) ? table() : nullptr;
}

Module* Find(ModuleList& list, HMODULE handle)
{
    auto* module = reinterpret_cast<Module*>(handle);
    if (module == &list.program) return module;
    for (auto& library : list.libraries) {
        if (library.get() == module) return module;
    }
    return nullptr;
}

Module* FindByName(ModuleList& list, std::u16string_view bare)
{
    for (auto& library : list.libraries) {
        if (SameNameIgnoringCase(bare, FileBareName(library->file))) return library.get();
    }
    return nullptr;
}

bool IsDeviceLibraryFile(const fs::path& file)
{
    return SameNameIgnoringCase(Utf16FromUtf8(file.extension().string()), u".dll");
}

// A device library the program was linked against is mapped by the host loader before the program runs;
// as on the device, loading it by name then finds that one copy instead of mapping the file again.
Module* AdoptLinked(ModuleList& list, std::u16string_view bare)
{
    link_map* entry = list.program.map;
    while (entry && entry->l_prev) entry = entry->l_prev;
    for (; entry; entry = entry->l_next) {
        if (!entry->l_name || !*entry->l_name) continue;
        fs::path file(entry->l_name);
        if (!IsDeviceLibraryFile(file) || !SameNameIgnoringCase(bare, FileBareName(file))) continue;
        void* library = dlopen(entry->l_name, RTLD_NOW | RTLD_NOLOAD);
        if (!library) return nullptr;
        auto module = std::make_unique<Module>();
        module->library = library;
        module->map = entry;
        module->exports = OwnExportTable(*module);
        module->file = file;
        module->linked = true;
        list.libraries.push_back(std::move(module));
        return list.libraries.back().get();
    }
    return nullptr;
}

Module* FindLoaded(ModuleList& list, std::u16string_view bare)
{
    Module* module = FindByName(list, bare);
    return module ? module : AdoptLinked(list, bare);
}

bool IsElf(const fs::path& file)
{
    constexpr char kElfMagic[4] = {0x7f, 'E', 'L', 'F'};
    char magic[4] = {};
    std::ifstream(file, std::ios::binary).read(magic, sizeof magic);
    return std::memcmp(magic, kElfMagic, sizeof magic) == 0;
}

// The running executable, under the name it was started by when that names the same file.
fs::path RunningExecutable()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    std::string started;
    std::getline(std::ifstream("/proc/self/cmdline"), started, '\0');
    if (!started.empty() && started.front() == '/' && fs::equivalent(started, executable, error))
        return fs::path(started).lexically_normal();
    return executable;
}

} // namespace

void SetProgramPath(const fs::path& hostPath)
{
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    list.programPath = hostPath;
}

fs::path ProgramPath()
{
    ModuleList& list = Modules();
    {
        std::lock_guard guard(list.mutex);
        if (!list.programPath.empty()) return list.programPath;
    }
    return RunningExecutable();
}

HMODULE ProgramModule()
{
    return reinterpret_cast<HMODULE>(&Modules().program);
}

HMODULE FindModule(std::u16string_view name)
{
    std::u16string_view bare = BareName(name);
    if (SameNameIgnoringCase(bare, FileBareName(ProgramPath()))) return ProgramModule();
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    return reinterpret_cast<HMODULE>(FindLoaded(list, bare));
}

HMODULE AddModuleReference(std::u16string_view name)
{
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    Module* module = FindLoaded(list, BareName(name));
    if (module) ++module->references;
    return reinterpret_cast<HMODULE>(module);
}

HMODULE LoadModule(const fs::path& hostPath, DWORD* error)
{
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    if (Module* loaded = FindLoaded(list, FileBareName(hostPath))) {
        ++loaded->references;
        return reinterpret_cast<HMODULE>(loaded);
    }
    auto module = std::make_unique<Module>();
    module->library = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->library) {
        // Not a shared object at all, or one whose own dependencies are missing.
        *error = IsElf(hostPath) ? ERROR_MOD_NOT_FOUND : ERROR_BAD_FORMAT;
        return nullptr;
    }
    dlinfo(module->library, RTLD_DI_LINKMAP, &module->map);
    module->exports = OwnExportTable(*module);
    module->file = hostPath;
    module->references = 1;
    list.libraries.push_back(std::move(module));
    return reinterpret_cast<HMODULE>(list.libraries.back().get());
}

bool ReleaseModule(HMODULE handle)
{
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    for (auto it = list.libraries.begin(); it != list.libraries.end(); ++it) {
        if (reinterpret_cast<HMODULE>(it->get()) != handle) continue;
        if ((*it)->references > 0) --(*it)->references;
        if ((*it)->references == 0 && !(*it)->linked) {
            dlclose((*it)->library);
            list.libraries.erase(it);
        }
        return true;
    }
    return false;
}

std::optional<fs::path> ModuleFile(HMODULE handle)
{
    if (handle == ProgramModule()) return ProgramPath();
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    Module* module = Find(list, handle);
    if (!module) return std::nullopt;
    return module->file;
}

FARPROC FindExport(HMODULE handle, const char* name, DWORD* error)
{
    ModuleList& list = Modules();
    std::lock_guard guard(list.mutex);
    Module* module = Find(list, handle);
    if (!module) {
        *error = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    bool byOrdinal = IS_INTRESOURCE(name);
    WORD ordinal = LOWORD(reinterpret_cast<ULONG_PTR>(name));
    const void* address = nullptr;
    if (module->exports) {
        for (uint32_t i = 0; i < module->exports->count && !address; ++i) {
            const ExportEntry& entry = module->exports->entries[i];
            if (byOrdinal ? entry.ordinal == ordinal : entry.name && std::strcmp(entry.name, name) == 0)
                address = entry.address;
        }
    } else if (!byOrdinal) {
        void* symbol = dlsym(module->library, name);
        if (symbol && IsOwnSymbol(*module, symbol)) address = symbol;
    }
    if (!address) *error = ERROR_PROC_NOT_FOUND;
    return reinterpret_cast<FARPROC>(const_cast<void*>(address));
}

} // namespace device
