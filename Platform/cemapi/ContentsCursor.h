// The read position in a folder's messages ordered by delivery time. Each read resumes after the last
// message read (its delivery time and identifier), so it walks the delivery-time index from there: the
// cost of a read does not depend on the folder's size, nothing of the folder is held in memory, and
// messages deleted or added between reads don't disturb the walk.
#pragma once

#include "device/Database.h"

#include <cstdint>
#include <vector>

namespace device::mapi
{

class ContentsCursor
{
  public:
    // Newest first until Order says otherwise.
    explicit ContentsCursor(int64_t folder) : m_folder(folder) {}

    // Orders by delivery time, ascending or descending, and goes back to the first message.
    void Order(bool descending);

    // The identifiers of up to `count` messages after the position; moves the position past them.
    std::vector<int64_t> Next(Database& db, size_t count);

  private:
    int64_t m_folder;
    bool m_descending = true;
    bool m_started = false;
    int64_t m_lastTime = 0;
    int64_t m_lastId = 0;
};

} // namespace device::mapi
