// The COM runtime of a process: apartments counted per thread, the table of in-process classes that
// CoCreateInstance serves, and the task allocator. No out-of-process servers, no marshalling.
#include <objbase.h>

#include "device/InprocServer.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kKnownInitFlags =
    COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

struct Apartment {
    ULONG initCount = 0;
    DWORD model = COINIT_MULTITHREADED;
};
thread_local Apartment t_apartment;

struct ClassTable {
    std::mutex lock;
    std::vector<std::pair<CLSID, device::CreateInstanceFn>> classes;

    auto Find(REFCLSID clsid)
    {
        return std::find_if(classes.begin(), classes.end(),
                            [&](const auto& entry) { return entry.first == clsid; });
    }
};

// Never destroyed: libraries register and unregister while the process starts and ends.
ClassTable& Classes()
{
    static ClassTable* table = new ClassTable;
    return *table;
}

device::CreateInstanceFn CreatorOf(REFCLSID clsid)
{
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.Find(clsid);
    return it == table.classes.end() ? nullptr : it->second;
}

} // namespace

namespace device {

void RegisterInprocClass(REFCLSID clsid, CreateInstanceFn create)
{
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.Find(clsid);
    if (it != table.classes.end())
        it->second = create;
    else
        table.classes.emplace_back(clsid, create);
}

void UnregisterInprocClass(REFCLSID clsid)
{
    ClassTable& table = Classes();
    std::lock_guard<std::mutex> guard(table.lock);
    auto it = table.Find(clsid);
    if (it != table.classes.end()) table.classes.erase(it);
}

} // namespace device

HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit)
{
    if (pvReserved || (dwCoInit & ~kKnownInitFlags)) return E_INVALIDARG;
    DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    if (t_apartment.initCount > 0) {
        if (model != t_apartment.model) return RPC_E_CHANGED_MODE;
        ++t_apartment.initCount;
        return S_FALSE;
    }
    t_apartment = {1, model};
    return S_OK;
}

void WINAPI CoUninitialize(void)
{
    if (t_apartment.initCount > 0) --t_apartment.initCount;
}

// Whether the thread called CoInitializeEx is not checked: the device's documentation names no error for it.
HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                                LPVOID* ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    // The device runs in-process servers only and answers any other context with E_NOTIMPL.
    if (dwClsContext != CLSCTX_INPROC_SERVER) return E_NOTIMPL;
    device::CreateInstanceFn create = CreatorOf(rclsid);
    if (!create) return REGDB_E_CLASSNOTREG;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    HRESULT hr = create(riid, ppv);
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

LPVOID WINAPI CoTaskMemAlloc(SIZE_T cb)
{
    // A request for zero bytes still gets a valid, distinct block.
    return std::malloc(cb ? cb : 1);
}

void WINAPI CoTaskMemFree(LPVOID pv)
{
    std::free(pv);
}
