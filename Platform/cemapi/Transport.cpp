// The accounts' transport. MailSyncMessages sends what was submitted: each message in the account's
// Outbox moves to its Sent Items folder, with PR_MESSAGE_DELIVERY_TIME set to the device clock's now;
// in PR_MESSAGE_FLAGS MSGFLAG_READ is set and MSGFLAG_UNSENT and MSGFLAG_SUBMIT are cleared, and in
// PR_MSG_STATUS the recipient-type bits (MSGSTATUS_RECTYPE_SMS, MSGSTATUS_RECTYPE_SMTP), which mark what a
// transport still has to send, are cleared. The device sends before the call returns; nothing arrives.
#include <cemapi.h>

#include "Accounts.h"
#include "Guarded.h"

#include "device/Clock.h"
#include "device/Device.h"

namespace device::mapi
{

namespace
{

uint32_t LongOr(const std::vector<Value>& values, ULONG tag, uint32_t fallback)
{
    const Value* value = Find(values, PROP_ID(tag));
    return value && PROP_TYPE(value->tag) == PT_LONG ? LongOf(*value) : fallback;
}

void SendWaiting(Database& db, const StoreRow& account, int64_t now)
{
    int64_t sent = FolderOf(db, account.id, FolderRole::Sent);
    for (int64_t id : SubmittedMessages(db, FolderOf(db, account.id, FolderRole::Outbox))) {
        auto message = MessageById(db, id);
        auto values = MessageValues(db, *message);
        uint32_t flags =
            (LongOr(values, PR_MESSAGE_FLAGS, 0) | MSGFLAG_READ) & ~(MSGFLAG_UNSENT | MSGFLAG_SUBMIT);
        uint32_t status = LongOr(values, PR_MSG_STATUS, 0) & ~MSGSTATUS_RECTYPE_ALLTYPES;
        PutValues(db, id,
                  {TimeValue(PR_MESSAGE_DELIVERY_TIME, now), LongValue(PR_MESSAGE_FLAGS, flags),
                   LongValue(PR_MSG_STATUS, status)});
        MoveMessage(db, id, sent, false);
    }
}

} // namespace

} // namespace device::mapi

using namespace device::mapi;

STDAPI MailSyncMessages(LPCTSTR pszAccount, DWORD dwFlags)
{
    if (dwFlags & ~kAccountCallFlags) return E_INVALIDARG;
    return Guarded([&] {
        int64_t now = device::NowTicks(); // the clock before the database, as every writer does
        device::Database& db = device::Db();
        device::Transaction tx(db);
        StoreRow account;
        if (pszAccount) {
            HRESULT hr = FindAccount(db, pszAccount, dwFlags, &account);
            if (FAILED(hr)) return hr;
        } else {
            account = CurrentAccount(db);
        }
        SendWaiting(db, account, now);
        tx.Commit();
        return S_OK;
    });
}
