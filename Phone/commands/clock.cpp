// phone clock: show or move the device clock; what falls due on the way happens in order.
#include "../Command.h"
#include "../TimeText.h"

#include "device/Clock.h"
#include "process/DeviceTime.h"

#include <cstdio>

namespace phone {

namespace {

void Show()
{
    std::printf("%s (%s)\n", FormatLocalTime(DeviceLocalNow()).c_str(), device::ReadClock().manual ? "manual" : "real");
}

int Run(Args& args)
{
    if (args.Empty()) {
        Show();
        return 0;
    }
    std::string verb = args.Take("what to do");
    // Programs that registrations start on the way settle before the clock moves on.
    device::SetWaitForStartedPrograms(true);
    if (verb == "set") {
        int64_t local = ParseLocalTime(args.Take("the time"));
        args.ExpectEnd();
        device::SetClock(UtcFromLocal(local));
    } else if (verb == "advance") {
        int64_t ticks = ParseDuration(args.Take("the duration"));
        args.ExpectEnd();
        device::AdvanceClock(ticks);
    } else if (verb == "mode") {
        std::string mode = args.Take("the mode");
        args.ExpectEnd();
        if (mode != "manual" && mode != "real")
            throw UsageError("the mode is manual or real, not '" + mode + "'");
        device::SetClockMode(mode == "manual");
    } else {
        throw UsageError("'" + verb + "' is not set, advance or mode");
    }
    Show();
    return 0;
}

} // namespace

extern const Command kClock{
    "clock",
    "[set \"YYYY-MM-DD HH:MM:SS\" | advance DURATION | mode manual|real]",
    "show or move the device clock",
    "Without arguments, shows the clock as YYYY-MM-DD HH:MM:SS (manual|real), in local time.\n"
    "set moves it to a local time (also backwards); advance moves it on by a duration such as 90, 45s,\n"
    "5m, 1h30m or 2d. Run-at-time registrations and timers that fall due on the way fire in order, and\n"
    "programs they start settle before the clock moves on. mode switches between the manual clock and\n"
    "the real one (host time plus an offset).",
    true,
    &Run,
};

} // namespace phone
