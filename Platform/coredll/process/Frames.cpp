#include "process/Frames.h"

#include "process/Remote.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <unistd.h>

namespace device {

size_t FrameReader::Wanted() const
{
    if (m_status != Status::More)
        return 0;
    if (m_headerBytes < sizeof m_header)
        return sizeof m_header - m_headerBytes;
    return m_payload.size() - m_payloadBytes;
}

FrameReader::Status FrameReader::Take(const uint8_t* data, size_t size)
{
    size = std::min(size, Wanted());
    if (size == 0)
        return m_status;
    if (m_headerBytes < sizeof m_header) {
        std::memcpy(reinterpret_cast<uint8_t*>(&m_header) + m_headerBytes, data, size);
        m_headerBytes += size;
        if (m_headerBytes < sizeof m_header)
            return m_status;
        m_error = CheckRequest(m_header);
        if (m_error != ERROR_SUCCESS)
            return m_status = Status::Invalid;
        m_payload.resize(m_header.payloadSize);
    } else {
        std::memcpy(m_payload.data() + m_payloadBytes, data, size);
        m_payloadBytes += size;
    }
    if (m_payloadBytes == m_payload.size())
        m_status = Status::Complete;
    return m_status;
}

bool MessageTravels(UINT msg)
{
    switch (msg) {
    case WM_NULL:
    case WM_CLOSE:
    case WM_QUIT:
    case WM_CANCELMODE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_COMMAND:
    case WM_HOTKEY: return true;
    }
    // The programs' own messages, private, application and registered ones, are theirs to read.
    return msg >= WM_USER && msg <= 0xFFFF;
}

DWORD CheckRequest(const RequestHeader& header)
{
    if (header.reserved != 0 || header.payloadSize > kMaxPayload)
        return ERROR_INVALID_PARAMETER;
    bool noPayload = header.payloadSize == 0;
    bool onlyKind = header.message == 0 && header.target == 0 && header.wParam == 0 && header.lParam == 0;
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(header.target));
    bool ownWindow = header.target != 0 && ProcessOfWindow(window) == getpid();
    switch (static_cast<RequestKind>(header.kind)) {
    case RequestKind::Post:
    case RequestKind::Send:
        if (!noPayload)
            return ERROR_INVALID_PARAMETER;
        if (!ownWindow)
            return ERROR_INVALID_WINDOW_HANDLE;
        return MessageTravels(header.message) ? ERROR_SUCCESS : ERROR_NOT_SUPPORTED;
    case RequestKind::Activate:
        if (!noPayload || header.message || header.wParam || header.lParam)
            return ERROR_INVALID_PARAMETER;
        return ownWindow ? ERROR_SUCCESS : ERROR_INVALID_WINDOW_HANDLE;
    case RequestKind::Callback: {
        bool deleted = header.wParam == 1;
        bool valid = header.target != 0 && header.message == 0 && header.lParam == 0 && header.wParam <= 1 &&
                     (!deleted || noPayload);
        return valid ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    case RequestKind::Idle: // wParam: how long the answer may wait, in milliseconds
        return header.message == 0 && header.target == 0 && header.lParam == 0 && header.wParam <= kMaxIdleWaitMs &&
                       noPayload
                   ? ERROR_SUCCESS
                   : ERROR_INVALID_PARAMETER;
    case RequestKind::ClockMoved: return onlyKind && noPayload ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    case RequestKind::Automation:
        return header.target == 0 && header.lParam == 0 && header.payloadSize % sizeof(char16_t) == 0
                   ? ERROR_SUCCESS
                   : ERROR_INVALID_PARAMETER;
    }
    return ERROR_INVALID_PARAMETER;
}

} // namespace device
