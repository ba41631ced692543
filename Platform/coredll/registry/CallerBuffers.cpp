#include "registry/CallerBuffers.h"

#include <winerror.h>

#include <cstring>

namespace device::registry {

LONG CopyName(const std::u16string& name, WCHAR* buffer, DWORD* chars)
{
    if (*chars < name.size() + 1)
        return ERROR_MORE_DATA;
    std::memcpy(buffer, name.data(), name.size() * sizeof(WCHAR));
    buffer[name.size()] = u'\0';
    *chars = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

LONG CopyData(const std::vector<uint8_t>& data, BYTE* buffer, DWORD* bytes)
{
    DWORD room = *bytes;
    *bytes = static_cast<DWORD>(data.size());
    if (!buffer)
        return ERROR_SUCCESS;
    if (room < data.size())
        return ERROR_MORE_DATA;
    if (!data.empty())
        std::memcpy(buffer, data.data(), data.size());
    return ERROR_SUCCESS;
}

} // namespace device::registry
