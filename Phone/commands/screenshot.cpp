// phone screenshot: the foreground screen as a PNG picture.
#include "../Command.h"
#include "../Foreground.h"

#include "Render.h"
#include "SceneJson.h"

#include <cstdio>

namespace phone {

namespace {

using device::automation::Request;

int Screenshot(Args& args)
{
    int scale = args.NumberOption("--scale", 1, 1, pixels::kLargestScale);
    std::string file = args.Take("the file");
    args.ExpectEnd();
    pixels::Picture picture = pixels::Render(pixels::SceneFromJson(AskForeground(Request::ScreenScene)), scale);
    picture.SavePng(file);
    std::printf("saved the screen as %s (%dx%d)\n", file.c_str(), picture.Width(), picture.Height());
    return 0;
}

} // namespace

extern const Command kScreenshot{
    "screenshot",
    "FILE.png [--scale N]",
    "save the foreground screen as a PNG picture",
    "The screen as the device shows it, at the profile's size (240x320, or 480x640 for pocketpc-vga),\n"
    "or N times that (1 to 8): the windows' texts in their fonts and colours, fills, lines and icons, the\n"
    "title bar, the soft-key bar, an open menu and a message box. The device is waited for until idle first.",
    true,
    &Screenshot,
};

} // namespace phone
