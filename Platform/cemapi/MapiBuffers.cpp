// The buffers MAPI hands to callers. A buffer from MAPIAllocateBuffer heads a chain: blocks that
// MAPIAllocateMore links to it are freed with it by one MAPIFreeBuffer.
#include <mapiutil.h>

#include <cstdlib>
#include <mutex>

namespace
{

// Kept in front of every block; 16 bytes aligned so the caller's part is as aligned as malloc's.
struct alignas(16) Block {
    Block* root; // the chain's head; null on the head itself
    Block* next; // the next block of the chain
};

std::mutex g_chains; // linking and freeing may happen on several threads

Block* BlockOf(void* buffer)
{
    return static_cast<Block*>(buffer) - 1;
}

void* NewBlock(ULONG size, Block* root)
{
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (!block) return nullptr;
    block->root = root;
    block->next = nullptr;
    return block + 1;
}

} // namespace

STDAPI_(SCODE) MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer)
{
    if (!lppBuffer) return MAPI_E_INVALID_PARAMETER;
    *lppBuffer = NewBlock(cbSize, nullptr);
    return *lppBuffer ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

STDAPI_(SCODE) MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer)
{
    if (!lppBuffer || !lpObject) return MAPI_E_INVALID_PARAMETER;
    Block* parent = BlockOf(lpObject);
    Block* root = parent->root ? parent->root : parent;
    void* buffer = NewBlock(cbSize, root);
    if (!buffer) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::lock_guard<std::mutex> guard(g_chains);
    Block* block = BlockOf(buffer);
    block->next = root->next;
    root->next = block;
    *lppBuffer = buffer;
    return S_OK;
}

STDAPI_(ULONG) MAPIFreeBuffer(LPVOID lpBuffer)
{
    if (!lpBuffer) return S_OK;
    Block* head = BlockOf(lpBuffer);
    if (head->root) return S_OK; // a linked block goes with the head of its chain
    Block* chain;
    {
        std::lock_guard<std::mutex> guard(g_chains);
        chain = head->next;
    }
    while (chain) {
        Block* next = chain->next;
        std::free(chain);
        chain = next;
    }
    std::free(head);
    return S_OK;
}

STDAPI_(void) FreeProws(LPSRowSet lpRows)
{
    if (!lpRows) return;
    for (ULONG i = 0; i < lpRows->cRows; ++i)
        MAPIFreeBuffer(lpRows->aRow[i].lpProps);
    MAPIFreeBuffer(lpRows);
}

STDAPI_(void) FreePadrlist(LPADRLIST lpAdrlist)
{
    if (!lpAdrlist) return;
    for (ULONG i = 0; i < lpAdrlist->cEntries; ++i)
        MAPIFreeBuffer(lpAdrlist->aEntries[i].rgPropVals);
    MAPIFreeBuffer(lpAdrlist);
}
