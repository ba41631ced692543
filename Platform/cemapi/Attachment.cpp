#include "Attachment.h"

#include "Storage.h"

#include "device/Device.h"

namespace device::mapi
{

namespace
{

bool IsComputedHere(ULONG propId)
{
    return propId == PROP_ID(PR_ATTACH_NUM) || propId == PROP_ID(PR_OBJECT_TYPE);
}

} // namespace

HRESULT Attachment::ReadValues(std::vector<Value>* values)
{
    Database& db = Db();
    auto lock = db.Lock();
    auto stored = AttachmentValues(db, m_message, m_num);
    if (!stored) return MAPI_E_OBJECT_DELETED;
    *values = std::move(*stored);
    values->push_back(LongValue(PR_OBJECT_TYPE, MAPI_ATTACH));
    return S_OK;
}

// A submitted message belongs to the transport: its attachments no longer change.
HRESULT Attachment::WriteValues(const std::vector<Value>& values)
{
    for (const Value& value : values) {
        if (IsComputedHere(PROP_ID(value.tag))) return MAPI_E_COMPUTED;
    }
    Database& db = Db();
    Transaction tx(db);
    auto message = MessageById(db, m_message);
    if (!message || !AttachmentValues(db, m_message, m_num)) return MAPI_E_OBJECT_DELETED;
    if (message->submitted) return MAPI_E_INVALID_OBJECT;
    PutAttachmentValues(db, m_message, m_num, values);
    tx.Commit();
    return S_OK;
}

} // namespace device::mapi
