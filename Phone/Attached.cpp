#include "Attached.h"

#include "Command.h"
#include "Foreground.h"
#include "Terminal.h"

#include "automation/Automation.h"
#include "device/Text.h"
#include "process/DeviceTime.h"

namespace phone {

namespace {

using device::automation::Key;
using device::automation::Request;

constexpr auto kRefresh = std::chrono::milliseconds(500);
constexpr auto kSettle = std::chrono::seconds(2); // short: the terminal stays responsive

constexpr const char* kHelp = "F1/[ left soft  F2/] right soft  arrows  Enter action  Esc/Backspace back  "
                              "Ctrl-Q quit";

std::string Screen()
{
    try {
        return AskForeground(Request::ScreenText, 0, {}, kSettle);
    } catch (const Failure& e) {
        return std::string("(") + e.what() + ")\n";
    }
}

void Send(const TerminalKey& key)
{
    static const struct {
        TerminalKey::Kind kind;
        Key key;
    } kKeys[] = {{TerminalKey::LeftSoft, Key::LeftSoft}, {TerminalKey::RightSoft, Key::RightSoft},
                 {TerminalKey::Up, Key::Up},             {TerminalKey::Down, Key::Down},
                 {TerminalKey::Left, Key::Left},         {TerminalKey::Right, Key::Right},
                 {TerminalKey::Action, Key::Action},     {TerminalKey::Back, Key::Back}};
    if (key.kind == TerminalKey::Text) {
        AskForeground(Request::Type, 0, device::Utf16FromUtf8(key.text), kSettle);
        return;
    }
    for (const auto& known : kKeys)
        if (known.kind == key.kind)
            AskForeground(Request::Press, static_cast<uint64_t>(known.key), {}, kSettle);
}

} // namespace

void CheckAttachable()
{
    if (!Terminal::Available())
        throw Failure("attach needs a terminal on standard input and output");
}

void AttachScreen()
{
    CheckAttachable();
    device::DeviceKeeper keeper;
    Terminal terminal;
    std::string shown, status;
    for (;;) {
        std::string screen = Screen() + "\n" + kHelp + "\n" + status;
        if (screen != shown)
            terminal.Show(shown = screen);
        TerminalKey key = terminal.Read(kRefresh);
        if (terminal.Stopped() || key.kind == TerminalKey::Quit)
            return;
        if (key.kind == TerminalKey::None)
            continue;
        try {
            Send(key);
            status.clear();
        } catch (const Failure& e) {
            status = e.what();
        }
    }
}

} // namespace phone
