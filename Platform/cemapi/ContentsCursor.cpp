#include "ContentsCursor.h"

#include <limits>

namespace device::mapi
{

void ContentsCursor::Order(bool descending)
{
    m_descending = descending;
    m_started = false;
}

std::vector<int64_t> ContentsCursor::Next(Database& db, size_t count)
{
    // The range on delivery_time keeps the walk on the index; the OR only skips rows of the same time
    // already read.
    static constexpr const char* kDescending =
        "SELECT id, delivery_time FROM mapi_messages WHERE folder = ?1 AND delivery_time <= ?2 "
        "AND (delivery_time < ?2 OR id < ?3) ORDER BY delivery_time DESC, id DESC LIMIT ?4";
    static constexpr const char* kAscending =
        "SELECT id, delivery_time FROM mapi_messages WHERE folder = ?1 AND delivery_time >= ?2 "
        "AND (delivery_time > ?2 OR id > ?3) ORDER BY delivery_time, id LIMIT ?4";
    if (!m_started) {
        auto edge = m_descending ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
        m_lastTime = edge;
        m_lastId = edge;
        m_started = true;
    }
    Statement rows(db, m_descending ? kDescending : kAscending);
    rows.Bind(1, m_folder).Bind(2, m_lastTime).Bind(3, m_lastId).Bind(4, static_cast<int64_t>(count));
    std::vector<int64_t> messages;
    while (rows.Step()) {
        m_lastId = rows.Int(0);
        m_lastTime = rows.Int(1);
        messages.push_back(m_lastId);
    }
    return messages;
}

} // namespace device::mapi
