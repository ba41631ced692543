// phone init: a new device, with the program installed from the build's device image.
#include "../Command.h"
#include "../NewDevice.h"
#include "../TimeText.h"

#include "device/Device.h"

#include <unicode/uloc.h>

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace phone {

namespace {

namespace fs = std::filesystem;

device::Profile ProfileNamed(const std::string& name)
{
    device::Profile profile;
    if (name.empty() || name == "smartphone")
        return profile;
    profile.platform = "PocketPC";
    if (name == "pocketpc")
        return profile;
    if (name == "pocketpc-vga") {
        profile.screenWidth = 480;
        profile.screenHeight = 640;
        profile.dpi = 192;
        return profile;
    }
    throw UsageError("'" + name + "' is not a profile (smartphone, pocketpc or pocketpc-vga)");
}

bool KnownLocale(const std::string& id)
{
    for (int32_t i = 0, count = uloc_countAvailable(); i < count; ++i)
        if (id == uloc_getAvailable(i))
            return true;
    return false;
}

bool PhoneNumber(const std::string& text)
{
    size_t start = !text.empty() && text[0] == '+' ? 1 : 0;
    if (text.size() <= start || text.size() > 20)
        return false;
    for (size_t i = start; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

int Run(Args& args)
{
    device::Profile profile = ProfileNamed(args.Option("--profile"));
    std::string locale = args.Option("--locale"), clock = args.Option("--clock"), time = args.Option("--time"),
                number = args.Option("--number");
    args.ExpectEnd();
    if (!locale.empty()) {
        if (!KnownLocale(locale))
            throw UsageError("'" + locale + "' is not a locale this device knows (such as en_US or de_DE)");
        profile.locale = locale;
    }
    if (!clock.empty() && clock != "manual" && clock != "real")
        throw UsageError("the clock is manual or real, not '" + clock + "'");
    bool manual = clock == "manual";
    if (!number.empty()) {
        if (!PhoneNumber(number))
            throw UsageError("'" + number + "' is not a phone number (digits, perhaps after a +)");
        profile.ownNumber = number;
    }

    std::optional<int64_t> start;
    if (!time.empty())
        start = ParseLocalTime(time);
    fs::path dir = device::Dir();
    if (device::Exists(dir))
        throw Failure("a device exists at " + dir.string() + " already");
    int installed = CreateDevice(dir, profile, manual, start);
    std::printf("device created at %s: %s %dx%d, %s, %s clock at %s; files installed in \\Program Files\\Zelkova: %d\n",
                fs::absolute(dir).c_str(), profile.platform.c_str(), profile.screenWidth, profile.screenHeight,
                profile.locale.c_str(), manual ? "manual" : "real", FormatLocalTime(DeviceLocalNow()).c_str(),
                installed);
    return 0;
}

} // namespace

extern const Command kInit{
    "init",
    "[--profile smartphone|pocketpc|pocketpc-vga] [--locale L] [--clock manual|real] [--time \"YYYY-MM-DD "
    "HH:MM:SS\"] [--number N]",
    "create a device and install the program on it",
    "The profile sets the platform and screen (smartphone: 240x320 at 96 dpi; pocketpc-vga: 480x640 at\n"
    "192 dpi). The locale is an ICU locale id (default en_US). The clock is real (host time, default) or\n"
    "manual (moves only by 'phone clock'); --time sets where it starts (local time). --number is the\n"
    "phone's own number. The program and its files come from the build's device image ($PHONE_IMAGE).",
    false,
    &Run,
};

} // namespace phone
