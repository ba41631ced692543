// Zelkova installed from the build's device image on a fresh device (manual clock, 15 June 2008 09:30),
// looked at and driven only through the device tool, as a script would; the device processes it started
// end with the test.
#pragma once

#include "phone/JsonValue.h"
#include "phone/PhoneTool.h"

#include <string>
#include <vector>

namespace e2e_testing {

using phone_testing::ControlOf;
using phone_testing::JsonValue;

constexpr const char* kSettingsKey = "HKCU\\Software\\Orvane\\Zelkova";

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

    // The settings value as `phone reg get` prints it ("TYPE DATA"), or "" when it fails.
    std::string Setting(const std::string& name);
    void SetSetting(const std::string& name, const std::string& type, const std::string& data);

    // A string of the installed resource library.
    static std::string ResourceText(unsigned id);
};

// The rows of the list with that control id in a `phone screen --json` snapshot, each as its drawn texts.
std::vector<std::vector<std::string>> RowsOf(const JsonValue& snapshot, int listId);

} // namespace e2e_testing
