// The rows of a folder's contents table: its messages by delivery time, newest first unless sorted
// otherwise. SortTable accepts the delivery time, ascending or descending; the device's other sort keys
// (sender, subject, size) are left out and answer MAPI_E_NO_SUPPORT.
#pragma once

#include "ContentsCursor.h"
#include "Table.h"

namespace device::mapi
{

class ContentsRows final : public RowSource
{
  public:
    ContentsRows(int64_t folder, int64_t store) : m_cursor(folder), m_folder(folder), m_store(store) {}

    std::vector<ULONG> DefaultColumns() const override;
    std::vector<std::vector<Value>> Next(size_t count) override;
    HRESULT Sort(const SSortOrderSet& order) override;

  private:
    ContentsCursor m_cursor;
    int64_t m_folder;
    int64_t m_store;
};

} // namespace device::mapi
