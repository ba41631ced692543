// Arbitrary text as the DATA of `phone reg set` for each value type, as the tool parses it: refused with a
// usage error, or turned into the bytes to store. Numbers and bytes must read back as they were written (the
// tool prints what it stored, and scripts set it again). A crash, another exception or a sanitizer report
// is a finding.
// Build and run (see README): build/fuzz/bin/reg_data_fuzzer -max_total_time=600 WORKDIR fuzz/corpus/reg_data
#include "Command.h"
#include "RegistryText.h"

#include <cstdlib>
#include <string>

namespace {

void Expect(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    for (DWORD type : {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ}) {
        std::vector<uint8_t> bytes;
        try {
            bytes = phone::ParseData(type, text);
        } catch (const phone::UsageError&) {
            continue;
        }
        device::registry::Value value{u"v", type, bytes};
        std::string shown = phone::FormatData(value);
        if (type == REG_DWORD || type == REG_BINARY || type == REG_NONE)
            Expect(phone::ParseData(type, shown) == bytes);
        if (type == REG_DWORD)
            Expect(bytes.size() == sizeof(DWORD));
    }
    return 0;
}
