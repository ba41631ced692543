// What the file dialogs show of a folder of the device's file system, and how they read a typed name.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace device::commdlg {

struct Entry {
    std::u16string name;
    bool folder = false;
};

// The folder's subfolders, then its files that match one of the patterns ("*.qvb;*.txt", * and ? as
// wildcards, without regard to case), each group in name order. nullopt when the folder is missing.
std::optional<std::vector<Entry>> ListFolder(const std::u16string& folder, const std::u16string& patterns);

// The pattern list of the filter's chosen pair (index counted from 1; 0 means the first); "*" without one.
std::u16string FilterPatterns(LPCWSTR filter, DWORD index);

// A name typed in `folder` as a full device path: "\x" stands for itself, anything else lies in the folder.
// The default extension (with or without its dot) is added to a name whose last part has none.
std::u16string FullPath(const std::u16string& folder, const std::u16string& name, LPCWSTR defaultExtension);

std::u16string ParentFolder(const std::u16string& path);
std::u16string LastPart(const std::u16string& path);

enum class Kind { Missing, File, Folder, Invalid };
Kind KindOf(const std::u16string& path);

} // namespace device::commdlg
