#include "e2e/ZelkovaPhone.h"

#include "program/ProgramTesting.h"
#include "schedule/DateTime.h"

#include "device/Text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace e2e_testing {

ZelkovaPhone::ZelkovaPhone(const std::vector<std::string>& leaveOut)
{
    program_testing::InstallProgram(m_device.Dir(), leaveOut);
}

JsonValue ZelkovaPhone::Json(const std::vector<std::string>& arguments)
{
    std::string out = Output(arguments);
    std::optional<JsonValue> value = phone_testing::ParseJson(out);
    EXPECT_TRUE(value.has_value()) << out;
    return value.value_or(JsonValue{});
}

std::vector<std::string> ZelkovaPhone::Lines(const std::vector<std::string>& arguments)
{
    std::vector<std::string> lines;
    std::istringstream in(Output(arguments));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string ZelkovaPhone::Launch(const std::vector<std::string>& commandLine)
{
    std::vector<std::string> arguments{"launch"};
    arguments.insert(arguments.end(), commandLine.begin(), commandLine.end());
    std::string out = Output(arguments);
    return out.empty() ? out : out.substr(0, out.size() - 1);
}

std::string ZelkovaPhone::StartOnMainScreen()
{
    SetSetting("OneTimeMsg_264", "REG_DWORD", "1");
    std::string pid = Launch();
    ExpectPrints({"wait"}, "idle\n");
    return pid;
}

// Polls `phone ps` until the given column of its lines, sorted, is `expected` sorted.
bool ZelkovaPhone::PsColumnBecomes(int column, std::vector<std::string> expected)
{
    std::sort(expected.begin(), expected.end());
    return process_testing::Eventually([&] {
        std::vector<std::string> running;
        for (const std::string& line : Lines({"ps"})) {
            std::istringstream fields(line);
            std::string field;
            for (int i = 0; i <= column; ++i)
                fields >> field;
            running.push_back(field);
        }
        std::sort(running.begin(), running.end());
        return running == expected;
    });
}

bool ZelkovaPhone::RunningAre(const std::vector<std::string>& pids)
{
    return PsColumnBecomes(0, pids);
}

bool ZelkovaPhone::ProgramsAre(const std::vector<std::string>& programs)
{
    return PsColumnBecomes(1, programs);
}

std::string ZelkovaPhone::Setting(const std::string& name)
{
    phone_testing::Outcome outcome = Run({"reg", "get", kSettingsKey, name});
    if (outcome.exitCode != 0 || outcome.out.empty())
        return "";
    return outcome.out.substr(0, outcome.out.size() - 1);
}

void ZelkovaPhone::SetSetting(const std::string& name, const std::string& type, const std::string& data)
{
    Output({"reg", "set", kSettingsKey, name, type, data});
}

uint32_t ZelkovaPhone::AddContact(const std::string& name, const std::string& mobile)
{
    std::string out = Output({"contacts", "add", "--name", name, "--mobile", mobile});
    EXPECT_EQ(out.rfind("added ", 0), 0u) << out;
    return static_cast<uint32_t>(std::stoul(out.substr(6)));
}

std::string ZelkovaPhone::ResourceText(unsigned id)
{
    HMODULE resources = LoadLibraryExW(u"\\Program Files\\Zelkova\\ZelkovaRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(resources, nullptr);
    WCHAR text[512] = {};
    EXPECT_GT(LoadStringW(resources, id, text, 512), 0) << "string " << id;
    FreeLibrary(resources);
    return device::Utf8FromUtf16(text).value_or("");
}

std::string HexBytes(const std::vector<uint8_t>& bytes)
{
    std::string text;
    for (uint8_t byte : bytes) {
        char two[4];
        std::snprintf(two, sizeof two, "%02x", byte);
        text += (text.empty() ? "" : " ") + std::string(two);
    }
    return text;
}

std::string MemberBytes(const std::vector<uint32_t>& ids)
{
    std::vector<uint8_t> bytes;
    for (uint32_t id : ids)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(id >> shift));
    return HexBytes(bytes);
}

void ZelkovaPhone::StoreScheduled(const std::string& id, const std::string& text, int year, int month, int day,
                                  int hour, int minute, int second, const std::vector<uint32_t>& members)
{
    DateTime due;
    ASSERT_EQ(due.FromParts(year, month, day, hour, minute, second), DateTimeValid);
    double value = due.Value();
    std::vector<uint8_t> time(sizeof value);
    std::memcpy(time.data(), &value, sizeof value);
    std::string key = kScheduledKey + id;
    Output({"reg", "set", key, "Body", "REG_SZ", text});
    Output({"reg", "set", key, "Time", "REG_BINARY", HexBytes(time)});
    Output({"reg", "set", key, "Contacts", "REG_BINARY", MemberBytes(members)});
}

std::vector<std::string> ZelkovaPhone::WakeUps()
{
    std::vector<std::string> times;
    for (const std::string& line : Lines({"alarms"})) {
        EXPECT_NE(line.find("\\Program Files\\Zelkova\\Zelkova.exe"), std::string::npos) << line;
        times.push_back(line.substr(0, 19));
    }
    return times;
}

std::vector<std::string> ZelkovaPhone::Sent()
{
    std::vector<std::string> sent;
    for (const JsonValue& message : Json({"sms", "list", "--folder", "sent", "--json"}).items)
        for (const JsonValue& to : message["to"].items)
            sent.push_back(message["text"].text + " to " + to["name"].text + " " + to["address"].text + " at " +
                           message["time"].text);
    std::sort(sent.begin(), sent.end());
    return sent;
}

std::vector<std::vector<std::string>> RowsOf(const JsonValue& snapshot, int listId)
{
    std::vector<std::vector<std::string>> rows;
    JsonValue list = ControlOf(snapshot, listId);
    for (const JsonValue& row : list["rows"].items) {
        std::vector<std::string> drawn;
        for (const JsonValue& text : row["drawn"].items)
            drawn.push_back(text.text);
        rows.push_back(drawn);
    }
    return rows;
}

} // namespace e2e_testing
