// The read position in a folder's messages ordered by delivery time. Each read resumes after the last
// message read (its delivery time and identifier), so it walks the delivery-time index from there: the
// cost of a read does not depend on the folder's size, nothing of the folder is held in memory, and
// messages deleted or added between reads don't disturb the walk.
#pragma once

#include "Storage.h"

#include "device/Database.h"

#include <cstdint>
#include <vector>

namespace device::mapi
{

class ContentsCursor
{
  public:
    // Newest first until Order says otherwise.
    ContentsCursor(int64_t folder, int64_t store) : m_folder(folder), m_store(store) {}

    // Orders by delivery time, ascending or descending, and goes back to the first message.
    void Order(bool descending);

    struct Listed {
        MessageRow message;
        int64_t deliveryTime;
    };

    // Up to `count` messages after the position, which stays where it is.
    std::vector<Listed> Peek(Database& db, size_t count);
    // Moves the position past a message Peek gave.
    void MovePast(const Listed& listed);

  private:
    int64_t m_folder;
    int64_t m_store;
    bool m_descending = true;
    bool m_started = false;
    int64_t m_lastTime = 0;
    int64_t m_lastId = 0;
};

} // namespace device::mapi
