// The device's line devices, as TAPI numbers them: an internet telephony line first, then the radio's
// line, named by the device profile, whose one address is the phone's own number.
#pragma once

#include <windef.h>

#include <string>
#include <vector>

namespace device::telephony {

struct Line {
    std::u16string name;
    std::u16string provider;
    DWORD permanentId = 0;
    DWORD bearerModes = 0;
    DWORD mediaModes = 0;
    std::vector<std::u16string> addresses; // an empty text: an address without a number
};

// Reads the profile; throws DatabaseError when there is no device.
std::vector<Line> DeviceLines();

} // namespace device::telephony
