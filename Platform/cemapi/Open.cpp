#include "Open.h"

#include "EntryId.h"
#include "Folder.h"
#include "Guarded.h"
#include "Message.h"
#include "MsgStore.h"
#include "Storage.h"

#include "device/Device.h"

namespace device::mapi
{

HRESULT OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, int64_t store, ULONG* lpulObjType, LPUNKNOWN* lppUnk)
{
    if (!lppUnk) return MAPI_E_INVALID_PARAMETER;
    *lppUnk = nullptr;
    EntryRef ref;
    HRESULT hr = ParseEntryId(cbEntryID, lpEntryID, &ref);
    if (FAILED(hr)) return hr;
    return Guarded([&]() -> HRESULT {
        Database& db = Db();
        auto lock = db.Lock();
        LPUNKNOWN object = nullptr;
        ULONG type = 0;
        switch (ref.kind) {
        case EntryKind::Store:
            if (store != 0 || !StoreById(db, ref.id)) return MAPI_E_NOT_FOUND;
            object = new MsgStore(ref.id);
            type = MAPI_STORE;
            break;
        case EntryKind::Folder: {
            auto folder = FolderById(db, ref.id);
            if (!folder || (store != 0 && folder->store != store)) return MAPI_E_NOT_FOUND;
            object = new Folder(folder->id, folder->store);
            type = MAPI_FOLDER;
            break;
        }
        case EntryKind::Message: {
            auto message = MessageById(db, ref.id);
            if (!message || (store != 0 && message->store != store)) return MAPI_E_NOT_FOUND;
            object = new Message(message->id);
            type = MAPI_MESSAGE;
            break;
        }
        }
        if (lpulObjType) *lpulObjType = type;
        *lppUnk = object;
        return S_OK;
    });
}

} // namespace device::mapi
