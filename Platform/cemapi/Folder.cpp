#include "Folder.h"

#include "ContentsRows.h"
#include "EntryId.h"
#include "Message.h"
#include "Open.h"
#include "Storage.h"

#include "device/Device.h"

namespace device::mapi
{

STDMETHODIMP Folder::GetContentsTable(ULONG, LPMAPITABLE* lppTable)
{
    if (!lppTable) return MAPI_E_INVALID_PARAMETER;
    *lppTable = nullptr;
    return Guarded([&] {
        *lppTable = new Table(std::make_unique<ContentsRows>(m_id, m_store));
        return S_OK;
    });
}

STDMETHODIMP Folder::OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID, ULONG, ULONG* lpulObjType,
                               LPUNKNOWN* lppUnk)
{
    return mapi::OpenEntry(cbEntryID, lpEntryID, m_store, lpulObjType, lppUnk);
}

STDMETHODIMP Folder::CreateMessage(LPCIID lpInterface, ULONG ulFlags, LPMESSAGE* lppMessage)
{
    if (!lppMessage) return MAPI_E_INVALID_PARAMETER;
    *lppMessage = nullptr;
    if (lpInterface || ulFlags != 0) return MAPI_E_INVALID_PARAMETER;
    return Guarded([&] {
        Database& db = Db();
        Transaction tx(db);
        int64_t id = AddMessage(db, m_id);
        tx.Commit();
        *lppMessage = new Message(id);
        return S_OK;
    });
}

STDMETHODIMP Folder::DeleteMessages(LPENTRYLIST lpMsgList, ULONG_PTR, LPMAPIPROGRESS, ULONG)
{
    if (!lpMsgList || (lpMsgList->cValues && !lpMsgList->lpbin)) return MAPI_E_INVALID_PARAMETER;
    return Guarded([&] {
        Database& db = Db();
        Transaction tx(db);
        bool all = true;
        for (ULONG i = 0; i < lpMsgList->cValues; ++i) {
            const SBinary& entry = lpMsgList->lpbin[i];
            EntryRef ref;
            bool deleted = SUCCEEDED(ParseEntryId(entry.cb, entry.lpb, &ref)) &&
                           ref.kind == EntryKind::Message && RemoveMessage(db, ref.id, m_id);
            all &= deleted;
        }
        tx.Commit();
        return all ? S_OK : MAPI_W_PARTIAL_COMPLETION;
    });
}

STDMETHODIMP Folder::EmptyFolder(ULONG_PTR, LPMAPIPROGRESS, ULONG)
{
    return Guarded([&] {
        // A transaction per batch: emptying a large folder never holds a write (and the memory it takes) the
        // size of the folder. Stopped part way, the folder is left partly emptied, as EmptyFolder may be.
        constexpr int kBatch = 500;
        Database& db = Db();
        for (;;) {
            Transaction tx(db);
            int removed = RemoveSomeMessages(db, m_id, kBatch);
            tx.Commit();
            if (removed < kBatch)
                return S_OK;
        }
    });
}

HRESULT Folder::ReadValues(std::vector<Value>* values)
{
    Database& db = Db();
    auto lock = db.Lock();
    auto folder = FolderById(db, m_id);
    if (!folder) return MAPI_E_NOT_FOUND;
    *values = FolderValues(*folder);
    return S_OK;
}

// A folder's properties are the device's: its name and what it holds.
HRESULT Folder::WriteValues(const std::vector<Value>&)
{
    return MAPI_E_NO_ACCESS;
}

} // namespace device::mapi
