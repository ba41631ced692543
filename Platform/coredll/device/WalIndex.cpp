#include "device/WalIndex.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace device {

namespace {

constexpr int kRegionSize = 32768;       // the wal-index is mapped in regions of this size
constexpr uint32_t kFormat = 3007000;    // iVersion, the header's first field
constexpr size_t kCopyWords = 6;         // the header (48 bytes) is kept twice, one copy after the other
constexpr size_t kIsInitByte = 12;       // non-zero once the header has been written

} // namespace

bool WalIndex::Attach(sqlite3* db)
{
    m_region = nullptr;
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods || file->pMethods->iVersion < 2 || !file->pMethods->xShmMap)
        return false;
    volatile void* region = nullptr;
    // Not extending: only a wal-index that WAL mode has already made is looked at.
    if (file->pMethods->xShmMap(file, 0, kRegionSize, 0, &region) != SQLITE_OK || !region)
        return false;
    m_region = static_cast<const volatile uint64_t*>(region);
    Header header;
    uint8_t first[16] = {};
    uint32_t format = 0;
    if (Read(&header)) {
        std::memcpy(first, header.data(), sizeof first);
        std::memcpy(&format, first, sizeof format);
    }
    if (format != kFormat || first[kIsInitByte] == 0) {
        m_region = nullptr;
        return false;
    }
    return true;
}

bool WalIndex::Read(Header* header) const
{
    if (!m_region)
        return false;
    // Writers fill the second copy, then the first; reading them the other way round, two equal copies
    // are a header no writer was in the middle of.
    for (size_t i = 0; i < kCopyWords; ++i)
        (*header)[i] = m_region[i];
    std::atomic_thread_fence(std::memory_order_acquire);
    for (size_t i = kCopyWords; i < 2 * kCopyWords; ++i)
        (*header)[i] = m_region[i];
    return std::equal(header->begin(), header->begin() + kCopyWords, header->begin() + kCopyWords);
}

} // namespace device
