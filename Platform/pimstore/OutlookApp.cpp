#include "OutlookApp.h"

#include "ContactItem.h"

#include "device/Database.h"
#include "device/Device.h"

#include <cstdint>
#include <new>
#include <optional>

namespace device::contacts {
namespace {

// Identifiers are 32 bits on the device, where long is too; a caller may hand one over sign-extended or not.
std::optional<uint32_t> OidFrom(long oid)
{
    if (oid < INT32_MIN || oid > static_cast<long>(UINT32_MAX) || oid == 0)
        return std::nullopt;
    return static_cast<uint32_t>(oid);
}

} // namespace

HRESULT OutlookApp::Create(REFIID riid, void** ppv)
{
    auto* app = new (std::nothrow) OutlookApp;
    if (!app) return E_OUTOFMEMORY;
    HRESULT hr = app->QueryInterface(riid, ppv);
    app->Release();
    return hr;
}

// The window only owns what the store would show (item cards, infrared transfers); none are shown here.
STDMETHODIMP OutlookApp::Logon(long)
{
    try {
        Db();
    } catch (const DatabaseError&) {
        return E_FAIL;
    }
    m_loggedOn = true;
    return S_OK;
}

STDMETHODIMP OutlookApp::Logoff()
{
    m_loggedOn = false;
    return S_OK;
}

STDMETHODIMP OutlookApp::GetItemFromOid(long oid, IDispatch** ppPOutlookItem)
{
    if (!ppPOutlookItem) return E_INVALIDARG;
    *ppPOutlookItem = nullptr;
    if (!m_loggedOn) return E_UNEXPECTED;
    std::optional<uint32_t> id = OidFrom(oid);
    if (!id) return E_INVALIDARG;
    try {
        std::optional<Contact> contact = Find(*id);
        if (!contact) return E_INVALIDARG;
        *ppPOutlookItem = new ContactItem(std::move(*contact));
        return S_OK;
    } catch (const DatabaseError&) {
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace device::contacts
