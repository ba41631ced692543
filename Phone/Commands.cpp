#include "Command.h"

namespace phone {

extern const Command kInit, kLaunch, kClock, kReg, kCall, kAlarms, kWake, kPs, kKill, kWait;

const std::vector<const Command*>& Commands()
{
    static const std::vector<const Command*> commands = {&kInit,   &kLaunch, &kClock, &kReg,  &kCall,
                                                         &kAlarms, &kWake,   &kPs,    &kKill, &kWait};
    return commands;
}

} // namespace phone
