#include "automation/Requests.h"

#include "automation/Automation.h"
#include "automation/Scene.h"
#include "device/Text.h"
#include "process/WindowRecords.h"
#include "user/MessageBoxInfo.h"
#include "user/PopupMenu.h"

#include <cstdint>

namespace device::automation {

namespace {

constexpr DWORD kIdleBoundMs = 10000;

Served Refused(DWORD error, std::string why) { return Served{false, error, std::move(why)}; }
Served Answered(std::string text = {}) { return Served{true, 0, std::move(text)}; }

std::string Utf8(std::u16string_view text) { return Utf8FromUtf16(text).value_or("?"); }

Served Choose(std::u16string_view item)
{
    bool wasOpen = CurrentPopupMenu().has_value();
    if (ChooseMenuItem(item))
        return Answered();
    // A menu opened only to look for the item is closed again: a wrong name changes nothing.
    if (!wasOpen && CurrentPopupMenu()) {
        DismissPopupMenu();
        WaitIdle(kIdleBoundMs);
    }
    return Refused(ERROR_NOT_FOUND, "the menu has no enabled item '" + Utf8(item) + "'");
}

Served Answer(int id)
{
    auto box = MessageBoxInfo(GetForegroundWindow());
    if (!box)
        return Refused(ERROR_NOT_FOUND, "no message box is on the screen");
    for (const MessageBoxButton& button : box->buttons)
        if (button.id == id && AnswerMessageBox(id))
            return Answered();
    return Refused(ERROR_NOT_FOUND, "the message box has no such button");
}

} // namespace

Served Serve(Request request, uint64_t argument, std::u16string_view text)
{
    if (!WaitIdle(kIdleBoundMs))
        return Refused(ERROR_TIMEOUT, "the program is busy and does not take requests");
    HWND foreground = GetForegroundWindow();
    if (!foreground || IsForeignHandle(foreground))
        return Refused(ERROR_INVALID_WINDOW_HANDLE, "this process does not show the foreground window");
    switch (request) {
    case Request::ScreenText: return Answered(Utf8(RenderText(TakeSnapshot())));
    case Request::ScreenJson: return Answered(ToJson(TakeSnapshot()));
    case Request::ScreenScene: return Answered(SceneJson(TakeScene()));
    case Request::Press:
        if (argument > static_cast<uint64_t>(Key::Back))
            break;
        Press(static_cast<Key>(argument));
        return Answered();
    case Request::Character:
        if (argument == 0 || argument > 0xFFFF)
            break;
        PressCharacter(static_cast<WCHAR>(argument));
        return Answered();
    case Request::Type: Type(text); return Answered();
    case Request::ChooseMenu: return Choose(text);
    case Request::SelectRow:
        if (argument <= INT32_MAX && SelectRow(static_cast<int>(argument)))
            return Answered();
        return Refused(ERROR_NOT_FOUND, "no list with a row " + std::to_string(argument) + " has the focus");
    case Request::Answer: return Answer(static_cast<int>(argument));
    }
    return Refused(ERROR_INVALID_PARAMETER, "not a request this process knows");
}

} // namespace device::automation
