// A request frame read off an endpoint connection as its bytes arrive, and the checks it passes before this
// process does anything with it: only requests that carry values, of a known kind, within their sizes, for a
// window handle of this process.
#pragma once

#include "process/EndpointProtocol.h"

#include <windef.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace device {

class FrameReader {
public:
    enum class Status { More, Complete, Invalid };

    // How many bytes the reader takes next; 0 once the frame is complete or invalid.
    size_t Wanted() const;
    // Takes at most Wanted() bytes (the rest is left to the caller). The header is checked as soon as it is
    // whole, so a frame that announces too much is refused before its payload is read.
    Status Take(const uint8_t* data, size_t size);

    Status Current() const { return m_status; }
    const RequestHeader& Header() const { return m_header; }
    const std::vector<uint8_t>& Payload() const { return m_payload; }
    DWORD Error() const { return m_error; } // why the frame is invalid, as a Win32 error code

private:
    RequestHeader m_header{};
    size_t m_headerBytes = 0;
    std::vector<uint8_t> m_payload;
    size_t m_payloadBytes = 0;
    Status m_status = Status::More;
    DWORD m_error = 0;
};

// Whether a message may go to another process's window. Only values travel: messages whose parameters
// point into the sender's memory, or name its timers, fonts or device contexts, are refused.
bool MessageTravels(UINT msg);

// ERROR_SUCCESS for a header this process may carry out, else why not.
DWORD CheckRequest(const RequestHeader& header);

} // namespace device
