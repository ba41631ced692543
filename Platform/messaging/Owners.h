// Owners of what MAPI hands out: an interface reference, a buffer, a row set. Each frees what it holds when
// it goes, so an early return leaves nothing open.
#pragma once

#include <mapiutil.h>
#include <mapix.h>

#include <utility>

namespace messaging {

template <class T, class Free> class Owned {
public:
    Owned() = default;
    ~Owned() { Clear(); }
    Owned(Owned&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept
    {
        std::swap(m_ptr, other.m_ptr);
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    // For an out-parameter: whatever was held is freed first.
    T** Out()
    {
        Clear();
        return &m_ptr;
    }
    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    void Clear()
    {
        if (m_ptr)
            Free()(m_ptr);
        m_ptr = nullptr;
    }

private:
    T* m_ptr = nullptr;
};

struct ReleaseInterface {
    void operator()(IUnknown* object) const { object->Release(); }
};
struct FreeMapiBuffer {
    void operator()(void* buffer) const { MAPIFreeBuffer(buffer); }
};
struct FreeRows {
    void operator()(SRowSet* rows) const { FreeProws(rows); }
};

template <class Interface> using Held = Owned<Interface, ReleaseInterface>;
template <class T> using MapiMemory = Owned<T, FreeMapiBuffer>;
using Rows = Owned<SRowSet, FreeRows>;

} // namespace messaging
