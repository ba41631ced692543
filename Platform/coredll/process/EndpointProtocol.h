// What travels between a device process and another's endpoint: one request per connection, then one reply,
// each followed by its payload.
#pragma once

#include <cstdint>

namespace device {

enum class RequestKind : uint32_t {
    Post = 1,     // post a message to a window of the process
    Send = 2,     // send it and reply with the window procedure's result
    Activate = 3, // make a window of the process the active one
    Callback = 4, // run a registry notification callback of the process: the payload is the new value, or
                  // wParam is 1 when the value was deleted
    Idle = 5,     // are the process's window threads all waiting for input? The answer waits up to wParam
                  // milliseconds for them to be
    Automation = 6, // look at or drive the process's screen (automation/Requests.h): message is the request,
                    // wParam its argument, the payload a UTF-16 text; the reply's payload is UTF-8, the
                    // answer or why there is none
    ClockMoved = 7, // another process moved the device clock: timers that fell due fire
};

struct RequestHeader {
    uint32_t kind;
    uint32_t message;
    uint64_t target;  // a window handle, or for a callback the notification
    uint64_t wParam;
    int64_t lParam;
    uint32_t payloadSize;
    uint32_t reserved;
};

struct Reply {
    int64_t result;
    uint32_t done;  // 0 when the request could not be carried out
    uint32_t error; // then a Win32 error code
    uint32_t payloadSize;
    uint32_t reserved;
};

constexpr uint32_t kMaxPayload = 64 * 1024;
constexpr uint64_t kMaxIdleWaitMs = 60 * 1000;
constexpr uint32_t kMaxAnswer = 16 * 1024 * 1024; // a reply's payload: a screen of long lists

} // namespace device
