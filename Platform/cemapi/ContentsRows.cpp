#include "ContentsRows.h"

#include "Storage.h"

#include "device/Device.h"

#include <algorithm>

namespace device::mapi
{

std::vector<ULONG> ContentsRows::DefaultColumns() const
{
    return {PR_ENTRYID, PR_MESSAGE_DELIVERY_TIME, PR_SENDER_NAME,  PR_SENDER_EMAIL_ADDRESS,
            PR_SUBJECT, PR_MESSAGE_FLAGS,         PR_MESSAGE_CLASS};
}

namespace
{

constexpr size_t kReadAhead = 16;

} // namespace

std::vector<std::vector<Value>> ContentsRows::Next(size_t count)
{
    Database& db = Db();
    auto lock = db.Lock();
    if (m_aheadIn == 0 || m_aheadIn != db.SnapshotId() || m_ahead.size() < count) {
        m_ahead.clear();
        m_aheadIn = 0;
        // The cursor and the values read one snapshot: every message the cursor names is there.
        auto listed = m_cursor.Peek(db, db.KeepsSnapshots() ? std::max(count, kReadAhead) : count);
        std::vector<MessageRow> messages;
        for (const auto& one : listed)
            messages.push_back(one.message);
        auto values = MessageValues(db, messages, &m_wanted);
        for (size_t i = 0; i < listed.size(); ++i)
            m_ahead.push_back({listed[i], std::move(values[i])});
        m_aheadIn = db.SnapshotId();
    }
    std::vector<std::vector<Value>> rows;
    while (rows.size() < count && !m_ahead.empty()) {
        m_cursor.MovePast(m_ahead.front().listed);
        rows.push_back(std::move(m_ahead.front().values));
        m_ahead.pop_front();
    }
    return rows;
}

HRESULT ContentsRows::Sort(const SSortOrderSet& order)
{
    if (order.cSorts == 0) {
        m_cursor.Order(true);
        m_ahead.clear();
        return S_OK;
    }
    const SSortOrder& key = order.aSort[0];
    if (key.ulOrder != TABLE_SORT_ASCEND && key.ulOrder != TABLE_SORT_DESCEND)
        return MAPI_E_INVALID_PARAMETER;
    if (key.ulPropTag != PR_MESSAGE_DELIVERY_TIME) return MAPI_E_NO_SUPPORT;
    m_cursor.Order(key.ulOrder == TABLE_SORT_DESCEND);
    m_ahead.clear();
    return S_OK;
}

} // namespace device::mapi
