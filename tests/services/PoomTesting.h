// Owners for what the contact store hands out, so a failed assertion does not leak it.
#pragma once

#include <pimstore.h>

#include <memory>
#include <string>

namespace poom_testing {

struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface>
using Owned = std::unique_ptr<Interface, ReleaseInterface>;

struct FreeBstr {
    void operator()(OLECHAR* text) const { SysFreeString(text); }
};
using OwnedBstr = std::unique_ptr<OLECHAR, FreeBstr>;

inline std::u16string Text(const OwnedBstr& text) { return std::u16string(text.get(), SysStringLen(text.get())); }

inline Owned<IPOutlookApp> CreateApplication()
{
    IPOutlookApp* app = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                                  reinterpret_cast<void**>(&app));
    return SUCCEEDED(hr) ? Owned<IPOutlookApp>(app) : nullptr;
}

} // namespace poom_testing
