#include "Table.h"

#include "Guarded.h"

#include <algorithm>
#include <cstring>

namespace device::mapi
{

namespace
{

// The device returns at most this many rows per QueryRows.
constexpr LONG kMaxRowsPerQuery = 10;

// Frees the rows laid out so far when a later one fails.
void FreeRows(LPSRowSet rows, ULONG filled)
{
    for (ULONG i = 0; i < filled; ++i)
        MAPIFreeBuffer(rows->aRow[i].lpProps);
    MAPIFreeBuffer(rows);
}

} // namespace

HRESULT RowSource::Sort(const SSortOrderSet&)
{
    return MAPI_E_NO_SUPPORT;
}

std::vector<std::vector<Value>> FixedRows::Next(size_t count)
{
    size_t end = std::min(m_rows.size(), m_position + count);
    std::vector<std::vector<Value>> rows(m_rows.begin() + m_position, m_rows.begin() + end);
    m_position = end;
    return rows;
}

Table::Table(std::unique_ptr<RowSource> source)
    : m_source(std::move(source)), m_columns(m_source->DefaultColumns())
{
    m_source->Want(m_columns);
}

STDMETHODIMP Table::SetColumns(LPSPropTagArray lpPropTagArray, ULONG)
{
    if (!lpPropTagArray || lpPropTagArray->cValues == 0) return MAPI_E_INVALID_PARAMETER;
    return Guarded([&] {
        m_columns.assign(lpPropTagArray->aulPropTag, lpPropTagArray->aulPropTag + lpPropTagArray->cValues);
        m_source->Want(m_columns);
        return S_OK;
    });
}

STDMETHODIMP Table::SortTable(LPSSortOrderSet lpSortCriteria, ULONG ulFlags)
{
    if (!lpSortCriteria || ulFlags != 0) return MAPI_E_INVALID_PARAMETER;
    if (lpSortCriteria->cSorts > 1 || lpSortCriteria->cCategories != 0 || lpSortCriteria->cExpanded != 0)
        return MAPI_E_INVALID_PARAMETER;
    return Guarded([&] { return m_source->Sort(*lpSortCriteria); });
}

STDMETHODIMP Table::QueryRows(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows)
{
    if (!lppRows) return MAPI_E_INVALID_PARAMETER;
    *lppRows = nullptr;
    if (lRowCount <= 0 || ulFlags != 0) return MAPI_E_INVALID_PARAMETER;
    return Guarded([&] {
        auto rows = m_source->Next(static_cast<size_t>(std::min(lRowCount, kMaxRowsPerQuery)));
        LPSRowSet set = nullptr;
        SCODE sc = MAPIAllocateBuffer(static_cast<ULONG>(CbNewSRowSet(std::max<size_t>(rows.size(), 1))),
                                      reinterpret_cast<LPVOID*>(&set));
        if (FAILED(sc)) return sc;
        set->cRows = 0;
        for (ULONG i = 0; i < rows.size(); ++i) {
            SRow& out = set->aRow[i];
            out.ulAdrEntryPad = 0;
            out.cValues = static_cast<ULONG>(m_columns.size());
            HRESULT hr = ToPropArray(m_columns, rows[i], &out.lpProps);
            if (FAILED(hr)) {
                FreeRows(set, i);
                return hr;
            }
        }
        set->cRows = static_cast<ULONG>(rows.size());
        *lppRows = set;
        return S_OK;
    });
}

// What the device leaves out of its tables.
STDMETHODIMP Table::GetLastError(HRESULT, ULONG, LPMAPIERROR*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::Advise(ULONG, LPMAPIADVISESINK, ULONG_PTR*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::Unadvise(ULONG_PTR)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::GetStatus(ULONG*, ULONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::QueryColumns(ULONG, LPSPropTagArray*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::GetRowCount(ULONG, ULONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::SeekRow(BOOKMARK, LONG, LONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::SeekRowApprox(ULONG, ULONG)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::QueryPosition(ULONG*, ULONG*, ULONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::FindRow(LPSRestriction, BOOKMARK, ULONG)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::Restrict(LPSRestriction, ULONG)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::CreateBookmark(BOOKMARK*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::FreeBookmark(BOOKMARK)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::QuerySortOrder(LPSSortOrderSet*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::Abort()
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::CollapseRow(ULONG, LPBYTE, ULONG, ULONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::WaitForCompletion(ULONG, ULONG, ULONG*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*)
{
    return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Table::SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*)
{
    return MAPI_E_NO_SUPPORT;
}

} // namespace device::mapi
