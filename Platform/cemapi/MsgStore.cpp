#include "MsgStore.h"

#include "Open.h"
#include "Storage.h"

#include "device/Device.h"

namespace device::mapi
{

STDMETHODIMP MsgStore::OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID, ULONG, ULONG* lpulObjType,
                                 LPUNKNOWN* lppUnk)
{
    return mapi::OpenEntry(cbEntryID, lpEntryID, m_id, lpulObjType, lppUnk);
}

HRESULT MsgStore::ReadValues(std::vector<Value>* values)
{
    Database& db = Db();
    auto lock = db.Lock();
    auto store = StoreById(db, m_id);
    if (!store) return MAPI_E_NOT_FOUND;
    *values = StoreValues(db, *store);
    return S_OK;
}

// The store's own properties are the device's: its name and its folders.
HRESULT MsgStore::WriteValues(const std::vector<Value>&)
{
    return MAPI_E_NO_ACCESS;
}

} // namespace device::mapi
