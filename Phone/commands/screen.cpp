// phone screen, press, type, menu, row and answer: the foreground screen, shown and driven as a user does.
#include "../Command.h"
#include "../PrintedText.h"
#include "../Foreground.h"

#include "automation/Automation.h"
#include "device/Text.h"
#include "process/EndpointProtocol.h"

#include <cctype>
#include <cstdio>
#include <winuser.h>

namespace phone {

namespace {

using device::automation::Key;
using device::automation::Request;

struct KeyPress {
    Request request;
    uint64_t argument;
};

KeyPress KeyNamed(const std::string& name)
{
    static const struct {
        const char* name;
        Key key;
    } kKeys[] = {{"soft1", Key::LeftSoft}, {"soft2", Key::RightSoft}, {"up", Key::Up},         {"down", Key::Down},
                 {"left", Key::Left},      {"right", Key::Right},     {"action", Key::Action}, {"back", Key::Back}};
    for (const auto& key : kKeys)
        if (name == key.name)
            return {Request::Press, static_cast<uint64_t>(key.key)};
    std::u16string character = device::Utf16FromUtf8(name);
    if (character.size() == 1 && character[0] > u' ' && character[0] != 0xFFFD)
        return {Request::Character, character[0]};
    throw UsageError("'" + name + "' is not a key (soft1 soft2 up down left right action back, or one character)");
}

// The rest of the arguments as one text for the screen; `what` names it in the errors.
std::u16string TextArgument(Args& args, const char* what)
{
    std::u16string text = device::Utf16FromUtf8(args.Rest());
    if (text.empty())
        throw UsageError(std::string("missing ") + what);
    if (text.size() > device::kMaxPayload / sizeof(char16_t))
        throw UsageError(std::string(what) + " is longer than " +
                         std::to_string(device::kMaxPayload / sizeof(char16_t)) + " characters");
    return text;
}

int Screen(Args& args)
{
    bool json = args.Flag("--json");
    args.ExpectEnd();
    std::string screen = AskForeground(json ? Request::ScreenJson : Request::ScreenText);
    std::printf("%s%s", screen.c_str(), json ? "\n" : "");
    return 0;
}

int Press(Args& args)
{
    if (args.Empty())
        throw UsageError("missing the key");
    std::vector<std::string> names;
    std::vector<KeyPress> keys;
    while (!args.Empty()) { // every key is checked before the first is pressed
        names.push_back(args.Take("the key"));
        keys.push_back(KeyNamed(names.back()));
    }
    for (size_t i = 0; i < keys.size(); ++i) {
        AskForeground(keys[i].request, keys[i].argument);
        std::printf("pressed %s\n", names[i].c_str());
    }
    return 0;
}

int Type(Args& args)
{
    std::u16string text = TextArgument(args, "the text");
    AskForeground(Request::Type, 0, text);
    std::printf("typed %s\n", Utf8(text).c_str());
    return 0;
}

int Menu(Args& args)
{
    std::u16string item = TextArgument(args, "the menu item");
    AskForeground(Request::ChooseMenu, 0, item);
    std::printf("chose %s\n", Utf8(item).c_str());
    return 0;
}

int Row(Args& args)
{
    std::string text = args.Take("the row number");
    args.ExpectEnd();
    bool digits = !text.empty() && text.size() <= 6;
    for (char c : text)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits)
        throw UsageError("'" + text + "' is not a row number (0 is the first row)");
    AskForeground(Request::SelectRow, std::stoul(text));
    std::printf("selected row %s\n", text.c_str());
    return 0;
}

int Answer(Args& args)
{
    std::string button = args.Take("the button");
    args.ExpectEnd();
    static const struct {
        const char* name;
        int id;
    } kButtons[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO},
                    {"abort", IDABORT}, {"retry", IDRETRY}, {"ignore", IDIGNORE}};
    for (const auto& known : kButtons)
        if (button == known.name) {
            AskForeground(Request::Answer, static_cast<uint64_t>(known.id));
            std::printf("answered %s\n", button.c_str());
            return 0;
        }
    throw UsageError("'" + button + "' is not a button (ok, yes, no, cancel, abort, retry or ignore)");
}

} // namespace

extern const Command kScreen{
    "screen", "[--json]", "show the foreground screen",
    "As text: the title, each control on a line in layout order ('*' the focused one, '[x]' a checked box,\n"
    "'(...)' greyed, '>' the selected row, '[...]' the part of a focused date and time being edited), an open\n"
    "menu or message box, and the soft keys at the bottom.\n"
    "With --json, the snapshot as one JSON object: title, windows (class, id, text, rect, visible, enabled,\n"
    "focused, checked, readonly, rows, field, children), softkeys, menu, messagebox and cursor.\n"
    "The device is waited for until idle first.",
    true, &Screen,
};

extern const Command kPress{
    "press", "KEY...", "press keys of the phone, in order",
    "Keys: soft1 and soft2 (the soft keys), up, down, left, right, action, back, or one character for a\n"
    "keypad key. Each goes to the focused control of the foreground window; the device is idle again\n"
    "before the next.",
    true, &Press,
};

extern const Command kType{
    "type", "TEXT...", "type text into the focused control",
    "The words are joined by single blanks; each character arrives as the character message a key gives.",
    true, &Type,
};

extern const Command kMenu{
    "menu", "ITEM...", "choose a menu item by its text",
    "Opens the right soft key's menu unless a menu is open, and chooses the enabled item with that text\n"
    "('&' marks ignored). Without such an item the menu is closed again and nothing is chosen.",
    true, &Menu,
};

extern const Command kRow{
    "row", "N", "select row N of the focused list and activate it",
    "Rows count from 0. The selection moves there with the up and down keys, then the action key is pressed.",
    true, &Row,
};

extern const Command kAnswer{
    "answer", "BUTTON", "press a button of the message box on the screen",
    "BUTTON is ok, yes, no or cancel (or abort, retry, ignore).",
    true, &Answer,
};

} // namespace phone
