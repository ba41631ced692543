// phone alarms and phone wake: the pending run-at-time registrations.
#include "../Command.h"
#include "../PrintedText.h"
#include "../TimeText.h"

#include "process/RunAtTime.h"

#include <cstdio>

namespace phone {

namespace {

std::string Application(const device::RunAtTimeEntry& entry)
{
    return Utf8(entry.application);
}

int List(Args& args)
{
    args.ExpectEnd();
    for (const device::RunAtTimeEntry& entry : device::RunAtTimeEntries())
        std::printf("%s %s\n", FormatLocalTime(entry.dueLocal).c_str(), Application(entry).c_str());
    return 0;
}

int Wake(Args& args)
{
    args.ExpectEnd();
    std::vector<pid_t> started = device::RunDue();
    if (started.empty()) {
        auto entries = device::RunAtTimeEntries();
        if (entries.empty())
            throw Failure("nothing is due: no registrations");
        throw Failure("nothing is due: the next is " + FormatLocalTime(entries.front().dueLocal) + " " +
                      Application(entries.front()));
    }
    for (pid_t pid : started)
        std::printf("started %d\n", static_cast<int>(pid));
    return 0;
}

} // namespace

extern const Command kAlarms{
    "alarms", "", "list the pending run-at-time registrations",
    "One line each, earliest first: YYYY-MM-DD HH:MM:SS APPLICATION (local time).", true, &List,
};

extern const Command kWake{
    "wake", "", "start the applications whose registrations are due now",
    "Each starts with the command line AppRunAtTime and its registration is used up. Fails when\n"
    "nothing is due (the clock has not reached any registration).",
    true, &Wake,
};

} // namespace phone
