// The local heap: blocks from the C heap, every one zero-filled, tracked so a bad handle fails cleanly.
// LMEM_MOVEABLE blocks are fixed too (the handle is the address; there is no LocalLock); no LMEM_MODIFY.
#include <windows.h>

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

constexpr UINT kKnownFlags = LMEM_MOVEABLE | LMEM_ZEROINIT;

struct Heap {
    std::mutex lock;
    std::unordered_map<void*, UINT> sizes; // live block -> size the caller asked for
};

// Never destroyed: other libraries may free blocks while the process shuts down.
Heap& TheHeap()
{
    static Heap* heap = new Heap;
    return *heap;
}

// Zero-byte requests still get a unique address, as handles must differ.
size_t Storage(UINT bytes)
{
    return std::max<size_t>(bytes, 1);
}

} // namespace

HLOCAL WINAPI LocalAlloc(UINT uFlags, UINT uBytes)
{
    if (uFlags & ~kKnownFlags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* block = std::calloc(1, Storage(uBytes));
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    heap.sizes[block] = uBytes;
    return block;
}

HLOCAL WINAPI LocalReAlloc(HLOCAL hMem, UINT uBytes, UINT uFlags)
{
    if (uFlags & ~kKnownFlags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    auto it = heap.sizes.find(hMem);
    if (it == heap.sizes.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    UINT oldSize = it->second;
    void* block = hMem;
    if (Storage(uBytes) > malloc_usable_size(block)) {
        // It cannot grow in place; only a block the caller lets move may be moved.
        void* moved = (uFlags & LMEM_MOVEABLE) ? std::realloc(block, Storage(uBytes)) : nullptr;
        if (!moved) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        heap.sizes.erase(it);
        block = moved;
    }
    if (uBytes > oldSize) std::memset(static_cast<char*>(block) + oldSize, 0, uBytes - oldSize);
    heap.sizes[block] = uBytes;
    return block;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem)
{
    if (!hMem) return nullptr;
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    if (heap.sizes.erase(hMem) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    std::free(hMem);
    return nullptr;
}

UINT WINAPI LocalSize(HLOCAL hMem)
{
    Heap& heap = TheHeap();
    std::lock_guard<std::mutex> guard(heap.lock);
    auto it = heap.sizes.find(hMem);
    if (it == heap.sizes.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return it->second;
}
