#include "ContentsRows.h"

#include "Storage.h"

#include "device/Device.h"

namespace device::mapi
{

std::vector<ULONG> ContentsRows::DefaultColumns() const
{
    return {PR_ENTRYID, PR_MESSAGE_DELIVERY_TIME, PR_SENDER_NAME,  PR_SENDER_EMAIL_ADDRESS,
            PR_SUBJECT, PR_MESSAGE_FLAGS,         PR_MESSAGE_CLASS};
}

std::vector<std::vector<Value>> ContentsRows::Next(size_t count)
{
    Database& db = Db();
    auto lock = db.Lock();
    std::vector<std::vector<Value>> rows;
    // The cursor and the values read one snapshot: every message the cursor names is there.
    for (int64_t id : m_cursor.Next(db, count))
        rows.push_back(MessageValues(db, MessageRow{id, m_folder, m_store, false}));
    return rows;
}

HRESULT ContentsRows::Sort(const SSortOrderSet& order)
{
    if (order.cSorts == 0) {
        m_cursor.Order(true);
        return S_OK;
    }
    const SSortOrder& key = order.aSort[0];
    if (key.ulOrder != TABLE_SORT_ASCEND && key.ulOrder != TABLE_SORT_DESCEND)
        return MAPI_E_INVALID_PARAMETER;
    if (key.ulPropTag != PR_MESSAGE_DELIVERY_TIME) return MAPI_E_NO_SUPPORT;
    m_cursor.Order(key.ulOrder == TABLE_SORT_DESCEND);
    return S_OK;
}

} // namespace device::mapi
