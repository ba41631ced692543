// Owners of what the messaging and contact stores hand out: one reference on an interface, a MAPI buffer,
// a row set. Each frees what it holds when it goes, so every early return closes what was opened.
#pragma once

#include <mapiutil.h>
#include <mapix.h>

template <typename T> class ComPtr
{
  public:
    ComPtr() = default;
    ~ComPtr() { Clear(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T** Out()
    {
        Clear();
        return &m_ptr;
    }
    T* operator->() const { return m_ptr; }
    T* Get() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    void Clear()
    {
        if (m_ptr) m_ptr->Release();
        m_ptr = nullptr;
    }

  private:
    T* m_ptr = nullptr;
};

template <typename T> class MapiBuffer
{
  public:
    MapiBuffer() = default;
    ~MapiBuffer() { Clear(); }
    MapiBuffer(const MapiBuffer&) = delete;
    MapiBuffer& operator=(const MapiBuffer&) = delete;

    T** Out()
    {
        Clear();
        return &m_ptr;
    }
    T* operator->() const { return m_ptr; }
    T* Get() const { return m_ptr; }
    void Clear()
    {
        if (m_ptr) MAPIFreeBuffer(m_ptr);
        m_ptr = nullptr;
    }

  private:
    T* m_ptr = nullptr;
};

class RowSet
{
  public:
    RowSet() = default;
    ~RowSet() { Clear(); }
    RowSet(const RowSet&) = delete;
    RowSet& operator=(const RowSet&) = delete;

    LPSRowSet* Out()
    {
        Clear();
        return &m_rows;
    }
    bool Empty() const { return !m_rows || m_rows->cRows == 0; }
    const SRow& First() const { return m_rows->aRow[0]; }
    void Clear()
    {
        if (m_rows) FreeProws(m_rows);
        m_rows = nullptr;
    }

  private:
    LPSRowSet m_rows = nullptr;
};
