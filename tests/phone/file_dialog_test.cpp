// The Open and Save As screens of another process, driven through the device tool as a user would: the
// process tests' program asks for a backup file and writes down what it got.
#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"

#include <commdlg.h>

#include <filesystem>
#include <fstream>

using namespace process_testing;
using namespace phone_testing;

namespace {

constexpr int kList = 1120, kName = 1152;

class FileDialogs : public PhoneTool {
protected:
    FileDialogs()
    {
        std::filesystem::path documents = m_device.Dir() / "fs" / "My Documents";
        std::filesystem::create_directories(documents / "Archive");
        std::ofstream(documents / "old.qvb") << "x";
        std::ofstream(documents / "notes.txt") << "x";
        std::ofstream(documents / "Archive" / "inner.qvb") << "x";
    }

    void Ask(const std::u16string& mode)
    {
        Start(mode);
        EXPECT_TRUE(Eventually([&] {
            return ParseJson(Output({"screen", "--json"})).value_or(JsonValue{})["title"].text == "Backup file";
        }));
    }

    JsonValue Screen() { return ParseJson(Output({"screen", "--json"})).value_or(JsonValue{}); }

    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        JsonValue list = ControlOf(Screen(), kList);
        for (const JsonValue& row : list["rows"].items)
            rows.push_back(row["text"].text);
        return rows;
    }

    void Do(const std::vector<std::string>& arguments)
    {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    }

    // What the program got: the result (1 chosen, 2 not), the extended error and the path.
    std::tuple<DWORD, DWORD, std::string> Result()
    {
        EXPECT_TRUE(Eventually([&] { return Recorded(u"FileResult").has_value(); }));
        std::string chosen = Output({"reg", "get", "HKCU\\Software\\ProcessTests", "FileChosen"});
        return {Recorded(u"FileResult").value_or(0), Recorded(u"FileError").value_or(99), chosen};
    }
};

TEST_F(FileDialogs, SavingTakesATypedNameWithTheDefaultExtension)
{
    Ask(u"save");
    JsonValue screen = Screen();
    EXPECT_EQ(ControlOf(screen, kName)["text"].text, "Backup.qvb");
    EXPECT_EQ(screen["softkeys"][0]["label"].text, "Done");
    EXPECT_EQ(screen["softkeys"][1]["label"].text, "Cancel");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"[..]", "[Archive]", "old.qvb"}));
    Do({"type", "mine"});
    Do({"press", "soft1"});
    EXPECT_EQ(Result(), std::make_tuple(DWORD(1), DWORD(0), std::string("REG_SZ \\My Documents\\mine.qvb\n")));
}

TEST_F(FileDialogs, SavingOverAFileAsksFirst)
{
    Ask(u"save");
    Do({"press", "down"});
    Do({"row", "2"});
    EXPECT_EQ(ControlOf(Screen(), kName)["text"].text, "old.qvb");
    Do({"press", "soft1"});
    EXPECT_NE(Screen()["messagebox"]["text"].text.find("old.qvb already exists"), std::string::npos);
    Do({"answer", "no"});
    EXPECT_EQ(Screen()["title"].text, "Backup file");
    Do({"press", "soft1"});
    Do({"answer", "yes"});
    EXPECT_EQ(Result(), std::make_tuple(DWORD(1), DWORD(0), std::string("REG_SZ \\My Documents\\old.qvb\n")));
}

TEST_F(FileDialogs, OpeningRefusesAMissingFileAndWalksIntoFolders)
{
    Ask(u"open");
    Do({"type", "missing"});
    Do({"press", "soft1"});
    EXPECT_NE(Screen()["messagebox"]["text"].text.find("File not found"), std::string::npos);
    Do({"answer", "ok"});
    Do({"press", "down"});
    Do({"row", "1"});
    // The folder's rows, once the program has filled the list anew.
    EXPECT_TRUE(Eventually([&] {
        return Rows() == std::vector<std::string>{"[..]", "inner.qvb"};
    })) << Output({"screen", "--json"});
    Do({"row", "1"});
    EXPECT_EQ(Result(),
              std::make_tuple(DWORD(1), DWORD(0), std::string("REG_SZ \\My Documents\\Archive\\inner.qvb\n")));
}

TEST_F(FileDialogs, CancelBackAndTooSmallABufferAllReturnFalse)
{
    Ask(u"save");
    Do({"press", "soft2"});
    EXPECT_EQ(Result(), std::make_tuple(DWORD(2), DWORD(0), std::string("REG_SZ \n")));

    Run({"reg", "delete", "HKCU\\Software\\ProcessTests", "FileResult"});
    Ask(u"open");
    Do({"press", "back"});
    EXPECT_EQ(Result(), std::make_tuple(DWORD(2), DWORD(0), std::string("REG_SZ \n")));

    Run({"reg", "delete", "HKCU\\Software\\ProcessTests", "FileResult"});
    Ask(u"save small");
    Do({"type", "a longer name"});
    Do({"press", "soft1"});
    EXPECT_EQ(std::get<0>(Result()), 2u);
    EXPECT_EQ(std::get<1>(Result()), static_cast<DWORD>(FNERR_BUFFERTOOSMALL));
}

} // namespace
