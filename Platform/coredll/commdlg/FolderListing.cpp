#include "commdlg/FolderListing.h"

#include "device/Paths.h"
#include "device/Text.h"

#include <algorithm>
#include <filesystem>

namespace device::commdlg {

namespace {

namespace fs = std::filesystem;

char16_t Folded(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

bool Matches(std::u16string_view pattern, std::u16string_view name)
{
    if (pattern.empty())
        return name.empty();
    if (pattern[0] == u'*')
        return Matches(pattern.substr(1), name) || (!name.empty() && Matches(pattern, name.substr(1)));
    return !name.empty() && (pattern[0] == u'?' || Folded(pattern[0]) == Folded(name[0])) &&
           Matches(pattern.substr(1), name.substr(1));
}

bool MatchesAny(const std::u16string& patterns, const std::u16string& name)
{
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = std::min(patterns.find(u';', start), patterns.size());
        std::u16string_view pattern(patterns.data() + start, end - start);
        while (!pattern.empty() && pattern.front() == u' ')
            pattern.remove_prefix(1);
        // "*.*" means every file, as on the device, whether its name has a dot or not.
        if (pattern == u"*.*" || Matches(pattern, name))
            return true;
        start = end + 1;
    }
    return false;
}

bool ByName(const Entry& a, const Entry& b)
{
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char16_t x, char16_t y) { return Folded(x) < Folded(y); });
}

} // namespace

std::optional<std::vector<Entry>> ListFolder(const std::u16string& folder, const std::u16string& patterns)
{
    DWORD error = 0;
    std::optional<fs::path> host = HostPath(folder.c_str(), &error);
    std::error_code failed;
    if (!host || !fs::is_directory(*host, failed))
        return std::nullopt;
    std::vector<Entry> folders, files;
    for (const fs::directory_entry& item : fs::directory_iterator(*host, failed)) {
        std::u16string name = Utf16FromUtf8(item.path().filename().string());
        if (item.is_directory(failed))
            folders.push_back({name, true});
        else if (MatchesAny(patterns, name))
            files.push_back({name, false});
    }
    std::sort(folders.begin(), folders.end(), ByName);
    std::sort(files.begin(), files.end(), ByName);
    folders.insert(folders.end(), files.begin(), files.end());
    return folders;
}

std::u16string FilterPatterns(LPCWSTR filter, DWORD index)
{
    for (DWORD pair = 1; filter && *filter; ++pair) {
        const char16_t* patterns = filter + std::char_traits<char16_t>::length(filter) + 1;
        if (pair == std::max<DWORD>(index, 1))
            return patterns;
        filter = patterns + std::char_traits<char16_t>::length(patterns) + 1;
    }
    return u"*";
}

std::u16string FullPath(const std::u16string& folder, const std::u16string& name, LPCWSTR defaultExtension)
{
    std::u16string path = !name.empty() && name[0] == u'\\' ? name : (folder == u"\\" ? u"" : folder) + u"\\" + name;
    if (defaultExtension && *defaultExtension && LastPart(path).find(u'.') == std::u16string::npos)
        path += (defaultExtension[0] == u'.' ? u"" : u".") + std::u16string(defaultExtension);
    return path;
}

std::u16string ParentFolder(const std::u16string& path)
{
    size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string::npos || slash == 0 ? u"\\" : path.substr(0, slash);
}

std::u16string LastPart(const std::u16string& path)
{
    size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

Kind KindOf(const std::u16string& path)
{
    DWORD error = 0;
    std::optional<fs::path> host = HostPath(path.c_str(), &error);
    if (!host)
        return error == ERROR_PATH_NOT_FOUND ? Kind::Missing : Kind::Invalid;
    std::error_code failed;
    fs::file_status status = fs::status(*host, failed);
    if (fs::is_directory(status))
        return Kind::Folder;
    return fs::exists(status) ? Kind::File : Kind::Missing;
}

} // namespace device::commdlg
