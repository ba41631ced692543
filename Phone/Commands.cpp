#include "Command.h"

namespace phone {

extern const Command kInit, kUp, kLaunch, kScreen, kPress, kType, kMenu, kRow, kAnswer, kWait, kAttach, kClock,
    kReg, kContacts, kSms, kCall, kAlarms, kWake, kComposed, kPs, kKill, kVolume,
    kScreenshot, kServe;

const std::vector<const Command*>& Commands()
{
    static const std::vector<const Command*> commands = {
        &kInit, &kUp,  &kLaunch,   &kScreen, &kPress, &kType, &kMenu,     &kRow, &kAnswer, &kWait, &kAttach,
        &kClock, &kReg, &kContacts, &kSms,    &kCall,  &kAlarms, &kWake, &kComposed, &kPs,  &kKill, &kVolume,
        &kScreenshot, &kServe};
    return commands;
}

} // namespace phone
