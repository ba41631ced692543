// phone attach and phone up: the phone in this terminal.
#include "../Attached.h"
#include "../Command.h"
#include "../Launch.h"
#include "../NewDevice.h"
#include "../SampleData.h"

#include "device/Device.h"

#include <cstdio>
#include <filesystem>

namespace phone {

namespace {

namespace fs = std::filesystem;

int Attach(Args& args)
{
    args.ExpectEnd();
    AttachScreen();
    return 0;
}

int Up(Args& args)
{
    args.ExpectEnd();
    fs::path dir = device::Dir();
    if (!device::Exists(dir)) {
        CreateDevice(dir, device::Profile{}, false, std::nullopt, &AddSampleData);
        std::printf("device created at %s with sample contacts and messages\n", fs::absolute(dir).c_str());
    } else {
        device::Attach(dir);
        device::CurrentProfile(); // a database without the device's profile is no device
        InstallImage(true); // what was built since the device was made
    }
    if (!fs::exists(device::FsRoot() / "Program Files" / "Zelkova" / "Zelkova.exe"))
        throw Failure("Zelkova is not installed on the device yet (its program is not part of this build)");
    CheckAttachable(); // before the program starts, so a failure leaves nothing running
    pid_t pid = Launch(kZelkova, u"");
    std::printf("started Zelkova: %d\n", static_cast<int>(pid));
    AttachScreen();
    return 0;
}

} // namespace

extern const Command kAttach{
    "attach", "", "the foreground screen live in this terminal, with key input",
    "The screen is redrawn as it changes; the device keeps running meanwhile (a real clock moves, alarms\n"
    "fire). Keys: arrows; Enter = action; Escape or Backspace = back; F1 or [ = left soft key; F2 or ] =\n"
    "right soft key; other characters are typed into the focused control. Ctrl-Q (or Ctrl-C) quits.\n"
    "Standard input and output must be a terminal.",
    true, &Attach,
};

extern const Command kUp{
    "up", "", "make the default device if missing, start Zelkova and attach",
    "A new device (smartphone profile, real clock) gets sample contacts and a few months of received and\n"
    "sent text messages. Files built since the device was made are installed first. Then Zelkova starts\n"
    "and its screen is shown here as 'phone attach' shows it. Standard input and output must be a terminal.",
    false, &Up,
};

} // namespace phone
