#include "user/Screen.h"

#include "device/Database.h"
#include "device/Device.h"

namespace device {

namespace {

Profile ProfileOrDefault()
{
    try {
        return CurrentProfile();
    } catch (const DatabaseError&) {
        return Profile{};
    }
}

} // namespace

int ScreenDpi() { return ProfileOrDefault().dpi; }

RECT ScreenBounds()
{
    Profile profile = ProfileOrDefault();
    return RECT{0, 0, profile.screenWidth, profile.screenHeight};
}

int Scale(int pixelsAt96) { return (pixelsAt96 * ScreenDpi() + 48) / 96; }

RECT WorkArea()
{
    RECT screen = ScreenBounds();
    screen.top = GetSystemMetrics(SM_CYCAPTION);
    return screen;
}

} // namespace device
