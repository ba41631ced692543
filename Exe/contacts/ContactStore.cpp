#include "contacts/ContactStore.h"

#include "app/WaitCursor.h"
#include "store/Owners.h"

#include <pimstore.h>

HRESULT OpenContactStore(IPOutlookApp** connection, HWND window)
{
    WaitCursor wait;
    if (*connection) return S_OK;
    HRESULT hr = CoCreateInstance(CLSID_Application, nullptr, CLSCTX_INPROC_SERVER, IID_IPOutlookApp,
                                  reinterpret_cast<void**>(connection));
    if (FAILED(hr)) {
        *connection = nullptr;
        return hr;
    }
    // The store takes the owner window as a 32-bit value, as on the device.
    return (*connection)->Logon(static_cast<long>(reinterpret_cast<intptr_t>(window)));
}

void CloseContactStore(IPOutlookApp** connection)
{
    if (!*connection) return;
    (*connection)->Logoff();
    (*connection)->Release();
    *connection = nullptr;
}

HRESULT GetContactItem(IPOutlookApp* connection, CEOID id, IContact** item)
{
    *item = nullptr;
    if (!connection) return E_FAIL;
    ComPtr<IDispatch> found;
    HRESULT hr = connection->GetItemFromOid(static_cast<long>(id), found.Out());
    if (FAILED(hr)) return hr;
    return found->QueryInterface(IID_IContact, reinterpret_cast<void**>(item));
}

HRESULT GetContactName(IPOutlookApp* connection, CEOID id, BSTR* name)
{
    ComPtr<IContact> item;
    HRESULT hr = GetContactItem(connection, id, item.Out());
    if (FAILED(hr)) return hr;
    return ReadDisplayName(item.Get(), name);
}

HRESULT ReadDisplayName(IContact* item, BSTR* name)
{
    return item->get_FileAs(name);
}

HRESULT ReadMobileNumber(IContact* item, BSTR* number)
{
    return item->get_MobileTelephoneNumber(number);
}
