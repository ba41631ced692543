// Whether anyone has committed to a WAL database since a moment: the header of its wal-index (the shared
// "-shm" file every connection maps) changes with each commit, whoever makes it, and reading it costs no
// system call. The header's layout is SQLite's documented wal-index format (version 3007000).
#pragma once

#include <sqlcipher/sqlite3.h>

#include <array>
#include <cstdint>

namespace device {

class WalIndex {
public:
    // Both copies of the header (48 bytes each), as they stood when read.
    using Header = std::array<uint64_t, 12>;

    // Maps the connection's wal-index; false (and Read always false) when the database is not in WAL mode,
    // its wal-index is not there yet, or its format is not the one known here.
    bool Attach(sqlite3* db);
    bool Attached() const { return m_region != nullptr; }

    // The header now; false when it can't be trusted (a writer is between its two copies, or not attached).
    bool Read(Header* header) const;

private:
    const volatile uint64_t* m_region = nullptr; // the mapping is page-aligned
};

} // namespace device
