#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

bool AllZero(const void* block, size_t from, size_t to)
{
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (size_t i = from; i < to; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

} // namespace

TEST(LocalHeap, BlocksComeZeroedEvenWhenTheMemoryWasUsedBefore)
{
    for (int round = 0; round < 3; ++round) {
        auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 200));
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(AllZero(block, 0, 200));
        EXPECT_EQ(LocalSize(block), 200u);
        std::memset(block, 0xAB, 200); // the next round is likely to get this memory back
        EXPECT_EQ(LocalFree(block), nullptr);
    }
    HLOCAL empty1 = LocalAlloc(LMEM_FIXED, 0), empty2 = LocalAlloc(LMEM_FIXED, 0);
    ASSERT_NE(empty1, nullptr);
    EXPECT_NE(empty1, empty2);
    EXPECT_EQ(LocalSize(empty1), 0u);
    LocalFree(empty1);
    LocalFree(empty2);
}

TEST(LocalHeap, GrowingKeepsTheContentAndZeroesTheNewTail)
{
    auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 16));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 16; ++i)
        block[i] = static_cast<unsigned char>(i + 1);

    // Shrink in place, then grow back: the bytes given up and taken back must read as zero.
    ASSERT_EQ(LocalReAlloc(block, 8, LMEM_ZEROINIT), block);
    EXPECT_EQ(LocalSize(block), 8u);
    ASSERT_EQ(LocalReAlloc(block, 16, LMEM_ZEROINIT), block);
    EXPECT_EQ(block[7], 8);
    EXPECT_TRUE(AllZero(block, 8, 16));

    auto* grown = static_cast<unsigned char*>(LocalReAlloc(block, 64 * 1024, LMEM_MOVEABLE | LMEM_ZEROINIT));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(LocalSize(grown), 64u * 1024);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(grown[i], i + 1);
    EXPECT_TRUE(AllZero(grown, 8, 64 * 1024));
    EXPECT_EQ(LocalFree(grown), nullptr);
}

TEST(LocalHeap, AFixedBlockThatCannotGrowInPlaceFailsAndStaysIntact)
{
    auto* block = static_cast<char*>(LocalAlloc(LPTR, 16));
    ASSERT_NE(block, nullptr);
    std::strcpy(block, "keep me");
    SetLastError(0);
    EXPECT_EQ(LocalReAlloc(block, 1 << 20, LMEM_ZEROINIT), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(LocalSize(block), 16u);
    EXPECT_STREQ(block, "keep me");
    EXPECT_EQ(LocalFree(block), nullptr);
}

TEST(LocalHeap, BadHandlesAndFlagsFailWithTheDocumentedErrors)
{
    EXPECT_EQ(LocalFree(nullptr), nullptr);

    HLOCAL block = LocalAlloc(LMEM_FIXED, 8);
    ASSERT_EQ(LocalFree(block), nullptr);
    SetLastError(0);
    EXPECT_EQ(LocalFree(block), block); // already freed: the handle comes back
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    int onTheStack = 0;
    EXPECT_EQ(LocalSize(&onTheStack), 0u);
    EXPECT_EQ(LocalReAlloc(&onTheStack, 8, LMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    SetLastError(0);
    EXPECT_EQ(LocalAlloc(0x80, 8), nullptr); // LMEM_MODIFY is not an allocation flag
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    HLOCAL moveable = LocalAlloc(LHND, 4);
    ASSERT_NE(moveable, nullptr);
    EXPECT_EQ(*static_cast<int*>(moveable), 0); // the handle is the address
    LocalFree(moveable);
}
