// IMAPITable over a source of rows: the stores table, a folder's contents, a message's recipients. The
// table chooses the columns; the source supplies each row's values and, where it can, an order.
#pragma once

#include "Object.h"
#include "Value.h"

#include <memory>
#include <vector>

namespace device::mapi
{

class RowSource
{
  public:
    virtual ~RowSource() = default;
    // The columns before SetColumns chooses others.
    virtual std::vector<ULONG> DefaultColumns() const = 0;
    // The columns the table will take from each row: a source may leave out the other values.
    virtual void Want(const std::vector<ULONG>&) {}
    // Up to `count` rows from the position on, each as all its values; moves the position past them.
    virtual std::vector<std::vector<Value>> Next(size_t count) = 0;
    // Orders the rows and goes back to the first; MAPI_E_NO_SUPPORT where this table can't.
    virtual HRESULT Sort(const SSortOrderSet& order);
};

// Rows known when the table opens (stores, recipients).
class FixedRows final : public RowSource
{
  public:
    FixedRows(std::vector<std::vector<Value>> rows, std::vector<ULONG> columns)
        : m_rows(std::move(rows)), m_columns(std::move(columns))
    {
    }
    std::vector<ULONG> DefaultColumns() const override { return m_columns; }
    std::vector<std::vector<Value>> Next(size_t count) override;

  private:
    std::vector<std::vector<Value>> m_rows;
    std::vector<ULONG> m_columns;
    size_t m_position = 0;
};

class Table final : public Object<IMAPITable>
{
  public:
    explicit Table(std::unique_ptr<RowSource> source);

    STDMETHODIMP GetLastError(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) override;
    STDMETHODIMP Advise(ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink, ULONG_PTR* lpulConnection) override;
    STDMETHODIMP Unadvise(ULONG_PTR ulConnection) override;
    STDMETHODIMP GetStatus(ULONG* lpulTableStatus, ULONG* lpulTableType) override;
    STDMETHODIMP SetColumns(LPSPropTagArray lpPropTagArray, ULONG ulFlags) override;
    STDMETHODIMP QueryColumns(ULONG ulFlags, LPSPropTagArray* lpPropTagArray) override;
    STDMETHODIMP GetRowCount(ULONG ulFlags, ULONG* lpulCount) override;
    STDMETHODIMP SeekRow(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) override;
    STDMETHODIMP SeekRowApprox(ULONG ulNumerator, ULONG ulDenominator) override;
    STDMETHODIMP QueryPosition(ULONG* lpulRow, ULONG* lpulNumerator, ULONG* lpulDenominator) override;
    STDMETHODIMP FindRow(LPSRestriction lpRestriction, BOOKMARK bkOrigin, ULONG ulFlags) override;
    STDMETHODIMP Restrict(LPSRestriction lpRestriction, ULONG ulFlags) override;
    STDMETHODIMP CreateBookmark(BOOKMARK* lpbkPosition) override;
    STDMETHODIMP FreeBookmark(BOOKMARK bkPosition) override;
    STDMETHODIMP SortTable(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) override;
    STDMETHODIMP QuerySortOrder(LPSSortOrderSet* lppSortCriteria) override;
    STDMETHODIMP QueryRows(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) override;
    STDMETHODIMP Abort() override;
    STDMETHODIMP ExpandRow(ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulRowCount, ULONG ulFlags,
                           LPSRowSet* lppRows, ULONG* lpulMoreRows) override;
    STDMETHODIMP CollapseRow(ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulFlags,
                             ULONG* lpulRowCount) override;
    STDMETHODIMP WaitForCompletion(ULONG ulFlags, ULONG ulTimeout, ULONG* lpulTableStatus) override;
    STDMETHODIMP GetCollapseState(ULONG ulFlags, ULONG cbInstanceKey, LPBYTE lpbInstanceKey,
                                  ULONG* lpcbCollapseState, LPBYTE* lppbCollapseState) override;
    STDMETHODIMP SetCollapseState(ULONG ulFlags, ULONG cbCollapseState, LPBYTE pbCollapseState,
                                  BOOKMARK* lpbkLocation) override;

  protected:
    bool Implements(REFIID riid) const override { return riid == IID_IMAPITable; }

  private:
    std::unique_ptr<RowSource> m_source;
    std::vector<ULONG> m_columns;
};

} // namespace device::mapi
