// What other device processes (the phone tool) may ask of this process's screen, through its endpoint:
// the snapshot, and input as the automation API gives it. A request is served on the endpoint's thread,
// so it is answered while the program's UI thread runs any loop, a modal one included; input still
// reaches that thread through its message queue.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace device::automation {

enum class Request : uint32_t {
    ScreenText = 1, // the screen as RenderText gives it
    ScreenJson = 2, // the snapshot as ToJson gives it
    Press = 3,      // argument: a Key
    Character = 4,  // argument: the character of a keypad key
    Type = 5,       // the text
    ChooseMenu = 6, // the text: the menu item
    SelectRow = 7,  // argument: the row
    Answer = 8,     // argument: the message-box answer id (IDOK, IDYES, ...)
    ScreenScene = 9, // the scene as SceneJson gives it, for drawing the screen in pixels
};

struct Served {
    bool done = false;
    DWORD error = 0;  // when not done: a Win32 error code
    std::string text; // UTF-8: the screen asked for, or when not done why not
};

// Only while this process shows the foreground window, and once its window threads are idle (a program
// that stays busy is not waited for without end).
Served Serve(Request request, uint64_t argument, std::u16string_view text);

} // namespace device::automation
