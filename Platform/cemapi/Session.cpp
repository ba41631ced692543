#include "Session.h"

#include "EntryId.h"
#include "Guarded.h"
#include "MsgStore.h"
#include "Open.h"
#include "Storage.h"
#include "Table.h"

#include "device/Device.h"

namespace device::mapi
{

STDMETHODIMP Session::GetMsgStoresTable(ULONG, LPMAPITABLE* lppTable)
{
    if (!lppTable) return MAPI_E_INVALID_PARAMETER;
    *lppTable = nullptr;
    if (m_ended) return MAPI_E_END_OF_SESSION;
    return Guarded([&] {
        Database& db = Db();
        auto lock = db.Lock();
        std::vector<std::vector<Value>> rows;
        for (const StoreRow& store : AllStores(db)) {
            rows.push_back({BinaryValue(PR_ENTRYID, MakeEntryId(EntryKind::Store, store.id)),
                            TextValue(PR_DISPLAY_NAME, store.name), LongValue(PR_OBJECT_TYPE, MAPI_STORE)});
        }
        *lppTable = new Table(
            std::make_unique<FixedRows>(std::move(rows), std::vector<ULONG>{PR_ENTRYID, PR_DISPLAY_NAME}));
        return S_OK;
    });
}

STDMETHODIMP Session::OpenMsgStore(ULONG_PTR, ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID, ULONG,
                                   LPMDB* lppMDB)
{
    if (!lppMDB) return MAPI_E_INVALID_PARAMETER;
    *lppMDB = nullptr;
    if (m_ended) return MAPI_E_END_OF_SESSION;
    EntryRef ref;
    HRESULT hr = ParseEntryId(cbEntryID, lpEntryID, &ref);
    if (FAILED(hr)) return hr;
    return Guarded([&] {
        Database& db = Db();
        auto lock = db.Lock();
        if (ref.kind != EntryKind::Store || !StoreById(db, ref.id)) return MAPI_E_NOT_FOUND;
        *lppMDB = new MsgStore(ref.id);
        return S_OK;
    });
}

STDMETHODIMP Session::OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID, ULONG, ULONG* lpulObjType,
                                LPUNKNOWN* lppUnk)
{
    if (m_ended) {
        if (lppUnk) *lppUnk = nullptr;
        return MAPI_E_END_OF_SESSION;
    }
    return mapi::OpenEntry(cbEntryID, lpEntryID, 0, lpulObjType, lppUnk);
}

// Objects opened through the session stay usable until released; only the session itself ends.
STDMETHODIMP Session::Logoff(ULONG_PTR, ULONG, ULONG)
{
    return m_ended.exchange(true) ? MAPI_E_END_OF_SESSION : S_OK;
}

} // namespace device::mapi
