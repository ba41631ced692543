#include "notify/Watches.h"

#include "registry/KeyHandles.h"
#include "registry/Names.h"
#include "registry/Store.h"

namespace device::notify {

LONG WatchedValueOf(HKEY key, LPCWSTR subKey, LPCWSTR valueName, WatchedValue* out)
{
    int64_t id = 0;
    if (!registry::KeyOf(key, &id))
        return ERROR_INVALID_HANDLE;
    std::u16string_view name = registry::View(valueName);
    if (name.size() > registry::kMaxValueName)
        return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string_view> names;
    if (LONG rc = registry::SplitSubKey(registry::View(subKey), &names))
        return rc;
    std::string path;
    if (LONG rc = registry::FoldedPath(id, &path))
        return rc;
    // The key need not exist yet: the notification comes when the value is first written.
    for (std::u16string_view part : names)
        path += "\\" + registry::Folded(part);
    out->keyPath = std::move(path);
    out->valueName = registry::Folded(name);
    return ERROR_SUCCESS;
}

} // namespace device::notify
