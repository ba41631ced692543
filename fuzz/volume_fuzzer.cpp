// Arbitrary bytes as a database volume file: mounted, every database opened and its records read in each
// of its orders and turned into the CEPROPVALs a read hands back. A refused file is fine; a crash or a
// sanitizer report is not. The file is mounted without a password, so the bytes reach the volume's own
// reading; a keyed mount spends a key derivation on each input (a few inputs a second) only to find that
// noise does not decrypt, which the volume tests show.
// Build and run (see README): cmake --preset fuzz && cmake --build --preset fuzz &&
//   build/fuzz/fuzz/volume_fuzzer -max_total_time=600 fuzz/corpus
#include "edb/Volume.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path& VolumeFile()
{
    static const fs::path file = [] {
        // In memory-backed /dev/shm, where syncing the log costs nothing.
        char pattern[] = "/dev/shm/volume-fuzz-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        return fs::path(pattern) / "fuzzed.qvb";
    }();
    return file;
}

void ReadEverything(device::edb::Volume& volume)
{
    std::vector<BYTE> reply;
    for (const device::edb::DatabaseDefinition& db : volume.Databases()) {
        volume.RecordCount(db.oid);
        for (int order = device::edb::kByOid; order < static_cast<int>(db.sortOrders.size()); ++order) {
            int visited = 0;
            for (auto at = volume.Next(db, order, nullptr); at && visited < 200; at = volume.Next(db, order, &*at)) {
                ++visited;
                for (const auto& sort : db.sortOrders)
                    device::edb::SortKey(sort, *at->record);
                reply.resize(device::edb::ReplySize(*at->record, nullptr));
                device::edb::WriteReply(*at->record, nullptr, reply.data());
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fs::path& file = VolumeFile();
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(file.string() + suffix);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        bool existed = false;
        auto volume = device::edb::Volume::Open(file, "", OPEN_EXISTING, &existed);
        ReadEverything(*volume);
    } catch (const device::edb::Failure&) {
    }
    return 0;
}
