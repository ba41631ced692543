#include "device/Paths.h"

#include "device/Device.h"
#include "device/Text.h"

#include <windows.h>

#include <climits>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace device {
namespace fs = std::filesystem;

namespace {

bool IsSeparator(char16_t c)
{
    return c == u'\\' || c == u'/';
}

bool IsValidName(std::u16string_view name)
{
    for (char16_t c : name) {
        if (c < 0x20 || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos) return false;
    }
    return true;
}

// The entry of a host folder that a device name denotes: the exact name if present, else the first (in
// byte order, so the choice is stable) that differs only in case; nullopt when there is none.
std::optional<std::string> FindEntry(const fs::path& folder, std::u16string_view name,
                                     const std::string& utf8)
{
    struct stat info;
    if (lstat((folder / utf8).c_str(), &info) == 0) return utf8;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) return std::nullopt;
    std::optional<std::string> found;
    for (const fs::directory_entry& entry : entries) {
        std::string candidate = entry.path().filename().string();
        if (SameNameIgnoringCase(Utf16FromUtf8(candidate), name) && (!found || candidate < *found))
            found = candidate;
    }
    return found;
}

// The components of a device path after "." and "..", or the error that rejects it.
std::optional<std::vector<std::u16string_view>> Components(std::u16string_view path, DWORD* error)
{
    auto fail = [&](DWORD code) {
        *error = code;
        return std::nullopt;
    };
    if (path.empty()) return fail(ERROR_PATH_NOT_FOUND);
    if (path.size() >= MAX_PATH) return fail(ERROR_FILENAME_EXCED_RANGE);
    if (!IsSeparator(path[0]) || (path.size() > 1 && IsSeparator(path[1]))) return fail(ERROR_INVALID_NAME);
    std::vector<std::u16string_view> components;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        std::u16string_view component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == u".") continue;
        if (component == u"..") {
            if (components.empty()) return fail(ERROR_PATH_NOT_FOUND);
            components.pop_back();
            continue;
        }
        if (!IsValidName(component)) return fail(ERROR_INVALID_NAME);
        components.push_back(component);
    }
    return components;
}

// The path below root when file lies inside it.
std::optional<fs::path> Below(const fs::path& file, const fs::path& root)
{
    fs::path relative = file.lexically_relative(root);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    return relative;
}

} // namespace

std::optional<fs::path> HostPath(LPCWSTR devicePath, DWORD* error)
{
    DWORD ignored;
    if (!error) error = &ignored;
    if (!devicePath) {
        *error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    auto components = Components(devicePath, error);
    if (!components) return std::nullopt;
    fs::path host = FsRoot();
    bool onHost = true; // every component so far exists, so the next one is looked up
    for (std::u16string_view component : *components) {
        std::optional<std::string> name = Utf8FromUtf16(component);
        if (!name) {
            *error = ERROR_INVALID_NAME;
            return std::nullopt;
        }
        if (name->size() > NAME_MAX) {
            *error = ERROR_FILENAME_EXCED_RANGE;
            return std::nullopt;
        }
        if (onHost) {
            std::optional<std::string> entry = FindEntry(host, component, *name);
            onHost = entry.has_value();
            if (entry) name = std::move(entry);
        }
        host /= *name;
    }
    return host;
}

std::optional<fs::path> FindInFolder(const fs::path& folder, std::u16string_view name)
{
    std::optional<std::string> utf8 = Utf8FromUtf16(name);
    if (!utf8 || utf8->empty()) return std::nullopt;
    std::optional<std::string> entry = FindEntry(folder, name, *utf8);
    if (!entry) return std::nullopt;
    return folder / *entry;
}

std::u16string DevicePath(const fs::path& hostPath)
{
    std::error_code error;
    fs::path root = fs::absolute(FsRoot(), error).lexically_normal();
    std::optional<fs::path> below = Below(fs::absolute(hostPath, error).lexically_normal(), root);
    if (!below) // the file may be reached through links, e.g. /proc/self/exe
        below = Below(fs::weakly_canonical(hostPath, error), fs::weakly_canonical(root, error));
    if (!below) return {};
    std::u16string path;
    for (const fs::path& component : *below) {
        if (component.empty() || component == ".") continue;
        path += u'\\';
        path += Utf16FromUtf8(component.string());
    }
    return path.empty() ? u"\\" : path;
}

} // namespace device
