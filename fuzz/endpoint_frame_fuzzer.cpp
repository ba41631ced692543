// Arbitrary bytes as what arrives on a process's endpoint: read by the frame reader twice, in one go and in
// pieces of the size the first byte chooses, as a connection may deliver them. Both readings must agree, and
// a frame read whole must be one the process may carry out. A refused frame is fine; a reading that depends
// on how the bytes arrived, a crash or a sanitizer report is not.
// Build and run (see README): build/fuzz/bin/endpoint_frame_fuzzer -max_total_time=600 WORKDIR fuzz/corpus/frames
#include "process/Frames.h"

#include <winerror.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

device::FrameReader Read(const uint8_t* data, size_t size, size_t piece)
{
    device::FrameReader frame;
    for (size_t at = 0; at < size && frame.Wanted() > 0;) {
        size_t taken = std::min({piece, size - at, frame.Wanted()});
        frame.Take(data + at, taken);
        at += taken;
    }
    return frame;
}

void Expect(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    size_t piece = data[0] + 1u;
    device::FrameReader whole = Read(data + 1, size - 1, size);
    device::FrameReader pieces = Read(data + 1, size - 1, piece);

    Expect(whole.Current() == pieces.Current());
    Expect(whole.Error() == pieces.Error());
    Expect(std::memcmp(&whole.Header(), &pieces.Header(), sizeof(device::RequestHeader)) == 0);
    Expect(whole.Payload() == pieces.Payload());
    if (whole.Current() == device::FrameReader::Status::Complete) {
        const device::RequestHeader& header = whole.Header();
        Expect(device::CheckRequest(header) == ERROR_SUCCESS);
        Expect(whole.Payload().size() == header.payloadSize && header.payloadSize <= device::kMaxPayload);
        auto kind = static_cast<device::RequestKind>(header.kind);
        if (kind == device::RequestKind::Post || kind == device::RequestKind::Send)
            Expect(device::MessageTravels(header.message));
    }
    return 0;
}
