// The table of in-process COM classes that CoCreateInstance serves. Platform libraries register their
// classes when they load.
#pragma once

#include <objbase.h>

namespace device {

using CreateInstanceFn = HRESULT (*)(REFIID riid, void** ppv);

void RegisterInprocClass(REFCLSID clsid, CreateInstanceFn create);
void UnregisterInprocClass(REFCLSID clsid);

} // namespace device
