// Owners of what the platform hands out: one reference on an interface, a MAPI buffer, a row set, a BSTR,
// a local-heap block. Each frees what it holds when it goes, so every early return closes what was opened.
#pragma once

#include <mapiutil.h>
#include <mapix.h>
#include <oleauto.h>

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

class Bstr
{
  public:
    Bstr() = default;
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR* Out()
    {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }
    BSTR Get() const { return m_text; }
    // The text, or "" for none.
    LPCWSTR Text() const { return m_text ? m_text : TEXT(""); }

  private:
    BSTR m_text = nullptr;
};

template <typename T> class LocalPtr
{
  public:
    LocalPtr() = default;
    explicit LocalPtr(T* block) : m_ptr(block) {}
    ~LocalPtr() { Clear(); }
    LocalPtr(const LocalPtr&) = delete;
    LocalPtr& operator=(const LocalPtr&) = delete;

    T** Out()
    {
        Clear();
        return &m_ptr;
    }
    T* Get() const { return m_ptr; }
    // Hands the block over to the caller.
    T* Detach()
    {
        T* block = m_ptr;
        m_ptr = nullptr;
        return block;
    }
    void Clear()
    {
        if (m_ptr) LocalFree(m_ptr);
        m_ptr = nullptr;
    }

  private:
    T* m_ptr = nullptr;
};

// A local-heap copy of a string (or of count characters and a terminator), null when out of memory.
inline LPWSTR LocalCopy(LPCWSTR text, size_t count)
{
    auto copy = static_cast<LPWSTR>(LocalAlloc(LMEM_FIXED, static_cast<UINT>((count + 1) * sizeof(WCHAR))));
    if (!copy) return nullptr;
    for (size_t i = 0; i < count; ++i)
        copy[i] = text[i];
    copy[count] = 0;
    return copy;
}
inline LPWSTR LocalCopy(LPCWSTR text)
{
    return LocalCopy(text, static_cast<size_t>(lstrlenW(text)));
}
