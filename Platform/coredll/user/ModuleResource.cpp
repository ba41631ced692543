#include "user/ModuleResource.h"

namespace device {

ResourceBytes FindModuleResource(HINSTANCE module, LPCWSTR name, LPCWSTR type)
{
    HRSRC info = FindResourceW(module, name, type);
    if (!info)
        return {};
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return {};
    return ResourceBytes{data, SizeofResource(module, info)};
}

} // namespace device
