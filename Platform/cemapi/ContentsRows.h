// The rows of a folder's contents table: its messages by delivery time, newest first unless sorted
// otherwise. SortTable accepts the delivery time, ascending or descending; the device's other sort keys
// (sender, subject, size) are left out and answer MAPI_E_NO_SUPPORT.
//
// Rows are read a few at a time and handed out while the database snapshot they were read in is current,
// so a row comes out as a read at that moment would give it, at a fraction of the cost.
#pragma once

#include "ContentsCursor.h"
#include "Table.h"

#include <deque>

namespace device::mapi
{

class ContentsRows final : public RowSource
{
  public:
    ContentsRows(int64_t folder, int64_t store) : m_cursor(folder, store) {}

    std::vector<ULONG> DefaultColumns() const override;
    void Want(const std::vector<ULONG>& columns) override
    {
        m_wanted = columns;
        m_ahead.clear();
    }
    std::vector<std::vector<Value>> Next(size_t count) override;
    HRESULT Sort(const SSortOrderSet& order) override;

  private:
    struct AheadRow {
        ContentsCursor::Listed listed;
        std::vector<Value> values;
    };

    ContentsCursor m_cursor; // past the last row handed out
    std::vector<ULONG> m_wanted;
    std::deque<AheadRow> m_ahead; // the rows after it, read in snapshot m_aheadIn
    uint64_t m_aheadIn = 0;
};

} // namespace device::mapi
