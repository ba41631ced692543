#include "Message.h"

#include "Attachment.h"
#include "Table.h"

#include "device/Device.h"

#include <algorithm>

namespace device::mapi
{

namespace
{

// A recipient's values as given: each identifier once, a later value replacing an earlier one.
HRESULT RecipientFrom(const ADRENTRY& entry, std::vector<Value>* values)
{
    if (entry.cValues && !entry.rgPropVals) return MAPI_E_INVALID_PARAMETER;
    for (ULONG i = 0; i < entry.cValues; ++i) {
        Value value;
        HRESULT hr = FromPropValue(entry.rgPropVals[i], &value);
        if (FAILED(hr)) return hr;
        if (hr != S_OK) continue;
        auto same = std::find_if(values->begin(), values->end(),
                                 [&](const Value& v) { return PROP_ID(v.tag) == PROP_ID(value.tag); });
        if (same != values->end())
            *same = std::move(value);
        else
            values->push_back(std::move(value));
    }
    return S_OK;
}

uint32_t FlagsOf(const std::vector<Value>& values)
{
    const Value* flags = Find(values, PROP_ID(PR_MESSAGE_FLAGS));
    return flags ? LongOf(*flags) : 0;
}

} // namespace

HRESULT Message::Current(Database& db, MessageRow* row) const
{
    if (m_submitted) return MAPI_E_INVALID_OBJECT;
    auto message = MessageById(db, m_id);
    if (!message) return MAPI_E_OBJECT_DELETED;
    *row = *message;
    return S_OK;
}

template <class Work> HRESULT Message::ReadCurrent(Work work) const
{
    return Guarded([&] {
        Database& db = Db();
        auto lock = db.Lock();
        MessageRow row;
        HRESULT hr = Current(db, &row);
        return FAILED(hr) ? hr : work(db);
    });
}

HRESULT Message::ReadValues(std::vector<Value>* values)
{
    Database& db = Db();
    auto lock = db.Lock();
    MessageRow row;
    HRESULT hr = Current(db, &row);
    if (FAILED(hr)) return hr;
    *values = MessageValues(db, row);
    return S_OK;
}

HRESULT Message::WriteValues(const std::vector<Value>& values)
{
    for (const Value& value : values) {
        if (IsComputed(PROP_ID(value.tag))) return MAPI_E_COMPUTED;
    }
    Database& db = Db();
    Transaction tx(db);
    MessageRow row;
    HRESULT hr = Current(db, &row);
    if (FAILED(hr)) return hr;
    PutValues(db, m_id, values);
    tx.Commit();
    return S_OK;
}

STDMETHODIMP Message::GetRecipientTable(ULONG, LPMAPITABLE* lppTable)
{
    if (!lppTable) return MAPI_E_INVALID_PARAMETER;
    *lppTable = nullptr;
    return ReadCurrent([&](Database& db) {
        auto recipients = RecipientRows(db, m_id);
        if (recipients.empty()) return MAPI_E_NO_RECIPIENTS;
        std::vector<ULONG> columns = {PR_DISPLAY_NAME, PR_EMAIL_ADDRESS, PR_ADDRTYPE, PR_RECIPIENT_TYPE,
                                      PR_ROWID};
        *lppTable = new Table(std::make_unique<FixedRows>(std::move(recipients), std::move(columns)));
        return S_OK;
    });
}

// On the device MODRECIP_ADD is required and the list given replaces the message's recipients; the other
// flags are ignored. An entry without values stands for no recipient.
STDMETHODIMP Message::ModifyRecipients(ULONG ulFlags, LPADRLIST lpMods)
{
    if (!lpMods || !(ulFlags & MODRECIP_ADD)) return MAPI_E_INVALID_PARAMETER;
    return Guarded([&] {
        std::vector<std::vector<Value>> recipients;
        for (ULONG i = 0; i < lpMods->cEntries; ++i) {
            std::vector<Value> values;
            HRESULT hr = RecipientFrom(lpMods->aEntries[i], &values);
            if (FAILED(hr)) return hr;
            if (!values.empty()) recipients.push_back(std::move(values));
        }
        Database& db = Db();
        Transaction tx(db);
        MessageRow row;
        HRESULT hr = Current(db, &row);
        if (FAILED(hr)) return hr;
        ReplaceRecipients(db, m_id, recipients);
        tx.Commit();
        return S_OK;
    });
}

// Marks the message for sending and moves it to its store's Outbox, where the account's transport takes it
// on the next MailSyncMessages.
STDMETHODIMP Message::SubmitMessage(ULONG)
{
    return Guarded([&] {
        Database& db = Db();
        Transaction tx(db);
        MessageRow row;
        HRESULT hr = Current(db, &row);
        if (FAILED(hr)) return hr;
        if (RecipientRows(db, m_id).empty()) return MAPI_E_NO_RECIPIENTS;
        uint32_t flags = FlagsOf(MessageValues(db, row)) | MSGFLAG_SUBMIT | MSGFLAG_UNSENT;
        PutValues(db, m_id, {LongValue(PR_MESSAGE_FLAGS, flags)});
        MoveMessage(db, m_id, FolderOf(db, row.store, FolderRole::Outbox), true);
        tx.Commit();
        m_submitted = true;
        return S_OK;
    });
}

STDMETHODIMP Message::GetAttachmentTable(ULONG, LPMAPITABLE* lppTable)
{
    if (!lppTable) return MAPI_E_INVALID_PARAMETER;
    *lppTable = nullptr;
    return ReadCurrent([&](Database& db) {
        std::vector<ULONG> columns = {PR_ATTACH_NUM, PR_ATTACH_METHOD, PR_ATTACH_LONG_FILENAME, PR_ATTACH_SIZE};
        *lppTable = new Table(std::make_unique<FixedRows>(AttachmentRows(db, m_id), std::move(columns)));
        return S_OK;
    });
}

STDMETHODIMP Message::OpenAttach(ULONG ulAttachmentNum, LPCIID, ULONG, LPATTACH* lppAttach)
{
    if (!lppAttach) return MAPI_E_INVALID_PARAMETER;
    *lppAttach = nullptr;
    return ReadCurrent([&](Database& db) {
        if (!AttachmentValues(db, m_id, ulAttachmentNum)) return MAPI_E_NOT_FOUND;
        *lppAttach = new Attachment(m_id, ulAttachmentNum);
        return S_OK;
    });
}

// The new attachment's method is NO_ATTACHMENT until the caller sets one.
STDMETHODIMP Message::CreateAttach(LPCIID, ULONG, ULONG* lpulAttachmentNum, LPATTACH* lppAttach)
{
    if (!lppAttach) return MAPI_E_INVALID_PARAMETER;
    *lppAttach = nullptr;
    return Guarded([&] {
        Database& db = Db();
        Transaction tx(db);
        MessageRow row;
        HRESULT hr = Current(db, &row);
        if (FAILED(hr)) return hr;
        uint32_t num = AddAttachment(db, m_id);
        PutAttachmentValues(db, m_id, num, {LongValue(PR_ATTACH_METHOD, NO_ATTACHMENT)});
        tx.Commit();
        if (lpulAttachmentNum) *lpulAttachmentNum = num;
        *lppAttach = new Attachment(m_id, num);
        return S_OK;
    });
}

} // namespace device::mapi
