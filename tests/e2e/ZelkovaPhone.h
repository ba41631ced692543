// Zelkova installed from the build's device image on a fresh device (manual clock, 15 June 2008 09:30),
// looked at and driven only through the device tool, as a script would; the device processes it started
// end with the test.
#pragma once

#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"

#include <cstdint>
#include <string>
#include <vector>

namespace e2e_testing {

using phone_testing::ControlOf;
using phone_testing::JsonValue;

constexpr const char* kSettingsKey = "HKCU\\Software\\Orvane\\Zelkova";
constexpr const char* kScheduledKey = "HKCU\\Software\\Orvane\\Zelkova\\Scheduled SMS\\";

class ZelkovaPhone : public phone_testing::PhoneTool {
protected:
    // Installs every file of the image but those named in leaveOut.
    explicit ZelkovaPhone(const std::vector<std::string>& leaveOut = {});

    // Ran and succeeded; what it printed, parsed as JSON.
    JsonValue Json(const std::vector<std::string>& arguments);
    // Ran and succeeded; what it printed, a line each.
    std::vector<std::string> Lines(const std::vector<std::string>& arguments);

    // `phone launch` with that command line; the process id it printed.
    std::string Launch(const std::vector<std::string>& commandLine = {});
    // Started as the user starts it, past the welcome hint, idle on the main screen; the process id.
    std::string StartOnMainScreen();
    // Polls `phone ps` until it lists exactly these process ids; says whether it came to that.
    bool RunningAre(const std::vector<std::string>& pids);
    // The same for the programs that run, by file name ("Zelkova.exe", "messaging.exe"), in any order.
    bool ProgramsAre(const std::vector<std::string>& programs);

    // The settings value as `phone reg get` prints it ("TYPE DATA"), or "" when it fails.
    std::string Setting(const std::string& name);
    void SetSetting(const std::string& name, const std::string& type, const std::string& data);

    // `phone contacts add`; the object id it printed.
    uint32_t AddContact(const std::string& name, const std::string& mobile);

    // A string of the installed resource library.
    static std::string ResourceText(unsigned id);

    // A scheduled message stored as the program stores one, with `phone reg set`: its text, the date's 8
    // bytes (local, as the program computes it) and its members.
    void StoreScheduled(const std::string& id, const std::string& text, int year, int month, int day, int hour,
                        int minute, int second, const std::vector<uint32_t>& members);
    // The registered wake-up times, as `phone alarms` lists them, each checked to start the installed program.
    std::vector<std::string> WakeUps();
    // Each message of the sent folder as "TEXT to NAME ADDRESS at TIME", sorted.
    std::vector<std::string> Sent();

private:
    bool PsColumnBecomes(int column, std::vector<std::string> expected);
};

// Bytes as `phone reg` reads and writes a REG_BINARY value: two hex digits each, separated by blanks.
std::string HexBytes(const std::vector<uint8_t>& bytes);
// Contact object ids as the registry keeps a member list: 4 bytes each, low byte first, as HexBytes.
std::string MemberBytes(const std::vector<uint32_t>& ids);

// The rows of the list with that control id in a `phone screen --json` snapshot, each as its drawn texts.
std::vector<std::vector<std::string>> RowsOf(const JsonValue& snapshot, int listId);

} // namespace e2e_testing
