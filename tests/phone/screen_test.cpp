// The screen of another process, shown and driven through the device tool: the process tests' program runs
// its dialog (a modal loop) while `phone` looks at it and presses keys as a script would.
#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"
#include "phone/PhoneTerminal.h"

#include "pixels/PictureChecks.h"
#include "support/ChildProcess.h"

#include "Picture.h"

#include "device/Clock.h"
#include "process/HostProcess.h"

#include <httplib.h>
#include <notify.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

using namespace process_testing;
using namespace phone_testing;

namespace {

class PhoneScreen : public PhoneTool {
protected:
    PhoneScreen()
    {
        std::filesystem::create_symlink(PROGRAM_DIALOG,
                                        m_device.Dir() / "fs" / "Program Files" / "Tests" / "dialog.dll");
    }

    // Starts the program on its dialog and waits until it shows.
    pid_t ShowDialog()
    {
        pid_t pid = Start(u"dialog");
        Outcome waited = Run({"wait"});
        EXPECT_EQ(waited.exitCode, 0) << waited.err;
        return pid;
    }

    JsonValue Snapshot()
    {
        std::string out = Output({"screen", "--json"});
        std::optional<JsonValue> snapshot = ParseJson(out);
        EXPECT_TRUE(snapshot.has_value()) << out;
        return snapshot.value_or(JsonValue{});
    }

    std::string Text(int id) { return ControlOf(Snapshot(), id)["text"].text; }
};

} // namespace

TEST_F(PhoneScreen, ScreenShowsTheDialogOfAnotherProcessAsTextAndAsJson)
{
    ShowDialog();
    std::string text = Output({"screen"});
    EXPECT_EQ(text.rfind("Program Dialog\n", 0), 0u) << text;
    for (const char* line : {"\nName:\n", "\n*[]\n", "\n[ ] Remind me\n", "Ben\n", "\nready\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    EXPECT_NE(text.find("\nDone"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 5), "Menu\n") << text;

    JsonValue snapshot = Snapshot();
    EXPECT_EQ(snapshot["title"].text, "Program Dialog");
    ASSERT_EQ(snapshot["softkeys"].Size(), 2u);
    EXPECT_EQ(snapshot["softkeys"][0]["label"].text, "Done");
    EXPECT_EQ(snapshot["softkeys"][1]["label"].text, "Menu");
    EXPECT_TRUE(snapshot["softkeys"][1]["enabled"].boolean);
    EXPECT_EQ(snapshot["menu"].kind, JsonValue::Null);
    EXPECT_EQ(snapshot["messagebox"].kind, JsonValue::Null);
    EXPECT_EQ(snapshot["cursor"].text, "normal");
    JsonValue edit = ControlOf(snapshot, kDialogEdit);
    EXPECT_EQ(edit["class"].text, "Edit");
    EXPECT_TRUE(edit["focused"].boolean);
    EXPECT_FALSE(edit["readonly"].boolean);
    ASSERT_EQ(edit["rect"].Size(), 4u);
    EXPECT_LT(edit["rect"][0].number, edit["rect"][2].number);
    EXPECT_FALSE(ControlOf(snapshot, kDialogCheck)["checked"].boolean);
    JsonValue list = ControlOf(snapshot, kDialogList);
    ASSERT_EQ(list["rows"].Size(), 3u);
    EXPECT_EQ(list["rows"][1]["text"].text, "Ben");
    EXPECT_EQ(list["rows"][1]["index"].number, 1);
}

TEST_F(PhoneScreen, KeysTextMenusRowsAndAnswersDriveTheDialogThroughItsMessageLoop)
{
    ShowDialog();
    ExpectPrints({"type", "hello", "there"}, "typed hello there\n");
    EXPECT_EQ(Text(kDialogEdit), "hello there");
    EXPECT_EQ(Text(kDialogStatus), "changed");
    ExpectPrints({"press", "7"}, "pressed 7\n"); // a keypad key: its character reaches the field
    EXPECT_EQ(Text(kDialogEdit), "hello there7");

    ExpectPrints({"press", "down", "action"}, "pressed down\npressed action\n");
    JsonValue snapshot = Snapshot();
    EXPECT_TRUE(ControlOf(snapshot, kDialogCheck)["focused"].boolean);
    EXPECT_TRUE(ControlOf(snapshot, kDialogCheck)["checked"].boolean);

    ExpectPrints({"menu", "Clear"}, "chose Clear\n");
    EXPECT_EQ(Text(kDialogEdit), "");
    EXPECT_EQ(Text(kDialogStatus), "cleared");

    ExpectPrints({"press", "down"}, "pressed down\n");
    ExpectPrints({"row", "2"}, "selected row 2\n");
    snapshot = Snapshot();
    EXPECT_EQ(ControlOf(snapshot, kDialogStatus)["text"].text, "activated 2");
    EXPECT_TRUE(ControlOf(snapshot, kDialogList)["rows"][2]["selected"].boolean);

    // The message box runs a modal loop inside the program's menu command; it is still served.
    ExpectPrints({"menu", "Ask"}, "chose Ask\n");
    snapshot = Snapshot();
    ASSERT_EQ(snapshot["messagebox"].kind, JsonValue::Object);
    EXPECT_EQ(snapshot["messagebox"]["text"].text, "Really?");
    EXPECT_EQ(snapshot["messagebox"]["icon"].text, "question");
    EXPECT_EQ(snapshot["messagebox"]["buttons"].Size(), 2u);
    EXPECT_NE(Output({"screen"}).find("Really?"), std::string::npos);
    ExpectPrints({"answer", "yes"}, "answered yes\n");
    snapshot = Snapshot();
    EXPECT_EQ(snapshot["messagebox"].kind, JsonValue::Null);
    EXPECT_EQ(ControlOf(snapshot, kDialogStatus)["text"].text, "answer yes");

    ExpectPrints({"press", "soft1"}, "pressed soft1\n"); // Done
    ASSERT_TRUE(Eventually([&] { return Recorded(u"DialogResult") == 1u; }));
}

TEST_F(PhoneScreen, BadInputFailsOnOneLineAndLeavesTheScreenAsItWas)
{
    ExpectFails({"screen"}, 1); // no window on the screen
    ExpectFails({"press", "up"}, 1);

    pid_t pid = ShowDialog();
    ExpectPrints({"type", "kept"}, "typed kept\n");
    std::string before = Output({"screen", "--json"});
    ExpectFails({"press", "sideways"}, 2);
    ExpectFails({"press", "down", "sideways"}, 2); // checked before anything is pressed
    ExpectFails({"press"}, 2);
    ExpectFails({"type"}, 2);
    ExpectFails({"type", std::string(40000, 'x')}, 2);
    ExpectFails({"row", "first"}, 2);
    ExpectFails({"row", "1"}, 1); // the focus is on the text field, not on a list
    ExpectFails({"answer", "maybe"}, 2);
    ExpectFails({"answer", "yes"}, 1); // no message box
    ExpectFails({"menu", "Greyed"}, 1);
    ExpectFails({"menu", "Nowhere"}, 1);
    ExpectFails({"screen", "--xml"}, 2);
    EXPECT_EQ(Output({"screen", "--json"}), before); // the menu opened to look was closed again

    kill(pid, SIGKILL);
    ASSERT_TRUE(Eventually([&] { return device::HostStartTime(pid) == 0; }));
    ExpectFails({"screen"}, 1);
    ExpectFails({"press", "action"}, 1);
}

TEST_F(PhoneScreen, AttachShowsTheScreenLiveAndTakesKeysUntilTheQuitKey)
{
    if (!PhoneTerminal::Available())
        GTEST_SKIP() << "this machine makes no pseudo-terminals";
    Outcome notATerminal = Run({"attach"});
    EXPECT_EQ(notATerminal.exitCode, 1);
    EXPECT_EQ(notATerminal.err, "phone: attach needs a terminal on standard input and output\n");

    ShowDialog();
    PhoneTerminal terminal({"--device", m_device.Dir().string(), "attach"});
    ASSERT_TRUE(terminal.WaitFor("Program Dialog")) << terminal.Seen();
    terminal.Write("hi");
    ASSERT_TRUE(terminal.WaitFor("*[hi]")) << terminal.Seen();
    terminal.Write("\x1b[B"); // down: to the check box
    terminal.Write("\r");     // action: checks it
    ASSERT_TRUE(terminal.WaitFor("*[x] Remind me")) << terminal.Seen();
    terminal.Write("]"); // the right soft key opens the menu
    ASSERT_TRUE(terminal.WaitFor(".-- menu --")) << terminal.Seen();
    terminal.Write("\x1b"); // back closes it
    terminal.Write("\x11"); // Ctrl-Q
    EXPECT_EQ(terminal.Wait(), 0) << terminal.Seen();
    JsonValue snapshot = Snapshot();
    EXPECT_EQ(ControlOf(snapshot, kDialogEdit)["text"].text, "hi");
    EXPECT_EQ(snapshot["menu"].kind, JsonValue::Null);
}

TEST_F(PhoneScreen, UpInstallsWhatWasBuiltStartsTheProgramAndAttaches)
{
    if (!PhoneTerminal::Available())
        GTEST_SKIP() << "this machine makes no pseudo-terminals";
    // An image whose program is the tests' own, installed as Zelkova.
    std::filesystem::path image = m_device.Dir().parent_path() / "image";
    std::filesystem::create_directories(image);
    std::filesystem::create_symlink(TEST_PROGRAM, image / "Zelkova");
    std::filesystem::path fresh = m_device.Dir().parent_path() / "fresh";
    std::string setting = "PHONE_IMAGE=" + image.string();

    Outcome notATerminal = Phone(fresh, {"up"}, {setting});
    EXPECT_EQ(notATerminal.exitCode, 1);
    EXPECT_EQ(notATerminal.err, "phone: attach needs a terminal on standard input and output\n");
    EXPECT_EQ(Phone(fresh, {"ps"}, {setting}).out, ""); // nothing was started

    setenv("PHONE_IMAGE", image.c_str(), 1);
    PhoneTerminal terminal({"--device", fresh.string(), "up"});
    unsetenv("PHONE_IMAGE");
    ASSERT_TRUE(terminal.WaitFor("started Zelkova: ")) << terminal.Seen();
    ASSERT_TRUE(terminal.WaitFor("Process Test")) << terminal.Seen(); // the program's window, attached
    std::string started = terminal.Seen().substr(terminal.Seen().find("started Zelkova: ") + 17);
    pid_t pid = static_cast<pid_t>(std::stol(started));
    terminal.Write("\x03"); // Ctrl-C quits too
    EXPECT_EQ(terminal.Wait(), 0) << terminal.Seen();
    // The program goes on without the terminal.
    EXPECT_EQ(Phone(fresh, {"ps"}).out, std::to_string(pid) + " Zelkova.exe \n");
    kill(pid, SIGKILL);
}

TEST_F(PhoneScreen, WhileAttachedTheRealClockRunsAndAnAlarmStartsItsProgramOnTheScreen)
{
    if (!PhoneTerminal::Available())
        GTEST_SKIP() << "this machine makes no pseudo-terminals";
    ASSERT_NO_FATAL_FAILURE(AlarmInASecondOnTheRealClock());

    PhoneTerminal terminal({"--device", m_device.Dir().string(), "attach"});
    ASSERT_TRUE(terminal.WaitFor("(no window is on the screen)")) << terminal.Seen();
    ASSERT_TRUE(terminal.WaitFor("Process Test")) << terminal.Seen(); // started by the alarm, then shown
    terminal.Write("\x11");
    EXPECT_EQ(terminal.Wait(), 0) << terminal.Seen();
    EXPECT_EQ(Starts(), std::vector<std::u16string>{u"AppRunAtTime"});
    ExpectPrints({"alarms"}, "");
}

TEST_F(PhoneScreen, ScreenshotSavesTheScreenAsDrawnAtTheProfilesSizeOrLarger)
{
    std::filesystem::path file = m_device.Dir().parent_path() / "screen.png";
    ExpectFails({"screenshot", file.string()}, 1); // no window on the screen
    EXPECT_FALSE(std::filesystem::exists(file));

    ShowDialog();
    Output({"type", "hello"});
    RECT edit{};
    JsonValue rect = ControlOf(Snapshot(), kDialogEdit)["rect"];
    ASSERT_EQ(rect.Size(), 4u);
    edit = RECT{static_cast<LONG>(rect[0].number), static_cast<LONG>(rect[1].number), static_cast<LONG>(rect[2].number),
                static_cast<LONG>(rect[3].number)};
    for (int scale : {1, 2}) {
        std::vector<std::string> arguments{"screenshot", file.string()};
        if (scale > 1)
            arguments.insert(arguments.end(), {"--scale", std::to_string(scale)});
        std::string size = std::to_string(240 * scale) + "x" + std::to_string(320 * scale);
        ExpectPrints(arguments, "saved the screen as " + file.string() + " (" + size + ")\n");
        pixels::Picture picture = pixels::Picture::FromPng(file);
        ASSERT_EQ(picture.Width(), 240 * scale);
        ASSERT_EQ(picture.Height(), 320 * scale);
        // The typed text, black, inside the field's frame.
        RECT inside = pixels_testing::Scaled(edit, scale);
        InflateRect(&inside, -3 * scale, -3 * scale);
        pixels_testing::Ink typed = pixels_testing::InkOn(picture, inside);
        EXPECT_GT(typed.count, 20 * scale) << scale;
        EXPECT_LT(typed.darkest, 60) << scale;
        EXPECT_LT(typed.box.right, 120 * scale) << "a short text, at the left";
        EXPECT_EQ(picture.Pixel(2 * scale, 2 * scale), GetSysColor(COLOR_HIGHLIGHT)) << "the title bar";
    }

    ExpectFails({"screenshot"}, 2);
    ExpectFails({"screenshot", file.string(), "--scale", "0"}, 2);
    ExpectFails({"screenshot", file.string(), "--scale", "large"}, 2);
    ExpectFails({"screenshot", (m_device.Dir() / "no such folder" / "screen.png").string()}, 1);
}

// A server the test started, ended with a terminating signal when the test leaves it running.
struct Serving {
    explicit Serving(const std::vector<std::string>& arguments) : process(PHONE_PROGRAM, arguments) {}
    ~Serving()
    {
        if (process.Pid() > 0)
            kill(process.Pid(), SIGTERM);
    }
    testing_support::ChildProcess process;
};

TEST_F(PhoneScreen, ServeAnswersOnTheLoopbackOnlyAndOnlyWithItsToken)
{
    ShowDialog();
    Serving serving({"--device", m_device.Dir().string(), "serve"});
    testing_support::ChildProcess& server = serving.process;
    std::string line = server.ReadLine();
    std::smatch address;
    ASSERT_TRUE(std::regex_search(line, address, std::regex("http://127\\.0\\.0\\.1:([0-9]+)/([0-9a-f]{32})/")))
        << line;
    int port = std::stoi(address[1]);
    std::string token = address[2];

    // Listening on 127.0.0.1 and nowhere else.
    std::ifstream table("/proc/net/tcp");
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, ":%04X ", port);
    std::vector<std::string> listening;
    for (std::string entry; std::getline(table, entry);)
        if (entry.find(wanted) != std::string::npos && entry.find(" 0A ") != std::string::npos)
            listening.push_back(entry.substr(entry.find(':') + 2, 8)); // the local address, in hex
    EXPECT_EQ(listening, std::vector<std::string>{"0100007F"});

    httplib::Client client("127.0.0.1", port);
    std::string root = "/" + token + "/";
    std::string wrong = "/" + std::string(32, token[0] == 'a' ? 'b' : 'a') + "/";
    for (const std::string& path : {std::string("/"), std::string("/state"), wrong, wrong + "screen.png"}) {
        auto refused = client.Get(path);
        ASSERT_TRUE(refused) << path;
        EXPECT_EQ(refused->status, 403) << path;
    }
    auto page = client.Get(root);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("page.js"), std::string::npos);
    auto picture = client.Get(root + "screen.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->body.substr(0, 4), "\x89PNG");

    // Only with the token, and only the commands that play the phone.
    const std::string kType = R"({"args":["type","web"]})";
    EXPECT_EQ(client.Post(wrong + "run", kType, "application/json")->status, 403);
    auto init = client.Post(root + "run", R"({"args":["init","--profile","pocketpc"]})", "application/json");
    EXPECT_EQ(init->status, 403);
    auto typed = client.Post(root + "run", kType, "application/json");
    EXPECT_EQ(typed->status, 200);
    EXPECT_NE(typed->body.find("typed web"), std::string::npos) << typed->body;
    EXPECT_EQ(Text(kDialogEdit), "web");

    // A second server is refused the port the first one holds; a terminating signal ends the first one.
    Serving second({"--device", m_device.Dir().string(), "serve", "--port", std::to_string(port)});
    EXPECT_EQ(second.process.ReadLine(), "");
    EXPECT_EQ(second.process.Wait(), 1);
    kill(server.Pid(), SIGTERM);
    EXPECT_EQ(server.ReadAll(), "(open it in a browser on this machine; Ctrl-C stops)\nstopped\n");
    EXPECT_EQ(server.Wait(), 0);
}
