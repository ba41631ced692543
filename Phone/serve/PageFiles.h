// The page's files (Phone/serve/page), built into the tool.
#pragma once

#include <string_view>
#include <vector>

namespace phone {

struct PageFile {
    std::string_view name; // index.html, page.js, ...
    std::string_view bytes;
};

const std::vector<PageFile>& PageFiles();

} // namespace phone
