#include "Lines.h"

#include "device/Device.h"
#include "device/Text.h"

#include <tapi.h>

namespace device::telephony {

std::vector<Line> DeviceLines()
{
    const Profile& profile = CurrentProfile();
    return {
        {u"Voice over IP", u"VoIP Telephony Provider", 1, LINEBEARERMODE_VOICE, LINEMEDIAMODE_INTERACTIVEVOICE,
         {u""}},
        {Utf16FromUtf8(profile.lineName), u"Cellular Telephony Provider", 2,
         LINEBEARERMODE_VOICE | LINEBEARERMODE_DATA, LINEMEDIAMODE_INTERACTIVEVOICE | LINEMEDIAMODE_DATAMODEM,
         {Utf16FromUtf8(profile.ownNumber)}},
    };
}

} // namespace device::telephony
