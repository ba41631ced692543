#include "ContentsCursor.h"

#include <limits>

namespace device::mapi
{

void ContentsCursor::Order(bool descending)
{
    m_descending = descending;
    m_started = false;
}

std::vector<ContentsCursor::Listed> ContentsCursor::Peek(Database& db, size_t count)
{
    // The range on delivery_time keeps the walk on the index; the OR only skips rows of the same time
    // already read. Whether a message has recipients comes along, as opening its recipient table asks it.
    static constexpr const char* kDescending =
        "SELECT m.id, m.delivery_time, m.submitted, "
        "EXISTS (SELECT 1 FROM mapi_recipients r WHERE r.message = m.id) "
        "FROM mapi_messages m WHERE m.folder = ?1 AND m.delivery_time <= ?2 "
        "AND (m.delivery_time < ?2 OR m.id < ?3) ORDER BY m.delivery_time DESC, m.id DESC LIMIT ?4";
    static constexpr const char* kAscending =
        "SELECT m.id, m.delivery_time, m.submitted, "
        "EXISTS (SELECT 1 FROM mapi_recipients r WHERE r.message = m.id) "
        "FROM mapi_messages m WHERE m.folder = ?1 AND m.delivery_time >= ?2 "
        "AND (m.delivery_time > ?2 OR m.id > ?3) ORDER BY m.delivery_time, m.id LIMIT ?4";
    if (!m_started) {
        auto edge = m_descending ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
        m_lastTime = edge;
        m_lastId = edge;
        m_started = true;
    }
    Statement rows(db, m_descending ? kDescending : kAscending);
    rows.Bind(1, m_folder).Bind(2, m_lastTime).Bind(3, m_lastId).Bind(4, static_cast<int64_t>(count));
    std::vector<Listed> messages;
    while (rows.Step()) {
        messages.push_back({{rows.Int(0), m_folder, m_store, rows.Int(2) != 0}, rows.Int(1)});
        RememberMessage(db, messages.back().message, rows.Int(3) != 0);
    }
    return messages;
}

void ContentsCursor::MovePast(const Listed& listed)
{
    m_lastId = listed.message.id;
    m_lastTime = listed.deliveryTime;
}

} // namespace device::mapi
