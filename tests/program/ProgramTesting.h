// Running Zelkova in tests on a fresh device: installed from the build's device image, either in this
// process (its loop on a thread of its own, driven through automation) or as a device process.
#pragma once

#include <windows.h>

#include "support/ChildProcess.h"
#include "support/Eventually.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <atomic>
#include <thread>
#include <vector>

namespace program_testing {

using testing_support::Eventually;

constexpr const char16_t* kInstalledProgram = u"\\Program Files\\Zelkova\\Zelkova.exe";

// The device folder the program is installed in.
std::filesystem::path InstallDir(const std::filesystem::path& deviceDir);

// Links every file of the device image into \Program Files\Zelkova, as `phone init` installs them; the
// files named in leaveOut are not installed.
void InstallProgram(const std::filesystem::path& deviceDir, const std::vector<std::string>& leaveOut = {});

// One value of HKCU\Software\Orvane\Zelkova as stored.
struct StoredValue {
    DWORD type = 0;
    std::vector<BYTE> data;
    std::u16string Text() const; // the characters before the terminator
};
std::optional<StoredValue> Stored(const char16_t* name);
std::optional<DWORD> StoredNumber(const char16_t* name);
bool SettingsKeyExists();
void Store(const char16_t* name, DWORD type, const void* data, DWORD size);
void StoreNumber(const char16_t* name, DWORD value);
void StoreText(const char16_t* name, const std::u16string& text);

// The welcome hint counts as shown, so a start goes straight to the main screen.
void MarkWelcomeHintShown();

bool UtilsInstalled();

// A string of the resource library installed beside the program.
std::u16string ResourceText(UINT id);

// The screen of the device's messaging application, which the program's compose calls open, once the device
// is idle, as `phone screen` prints it; empty when no other process shows the screen.
std::string MessagingScreen();
// Chooses Cancel on the messaging application's compose form and waits until the application has closed.
void CancelComposeForm();

// The program run in this process: its start-up and loop on a thread of their own, from a fresh program
// state each time, with the device's \Program Files\Zelkova as the program's folder.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(const testing_support::DeviceOptions& options = {});
    ~ProgramTest() override;

    // Starts the program and waits until its main window is there and the program waits for input;
    // prepare runs on the program's thread, on the fresh program state, just before the program.
    void Start(const std::u16string& commandLine = u"", const std::function<void()>& prepare = {});
    // Waits for the program to end; its exit code.
    int Finish();
    // Closes the main window the way the menu's Exit does, and waits for the end; the exit code.
    int Exit();
    HWND MainWindow() const { return m_main; }

    testing_support::TempDevice m_device;

private:
    std::thread m_ui;
    std::atomic<DWORD> m_uiThread{0};
    HWND m_main = nullptr;
    int m_exitCode = -1;
    std::atomic<bool> m_running{false};
};

// The installed program started as a device process of this one, which learns its exit code.
std::unique_ptr<testing_support::ChildProcess> StartProgram(const std::u16string& commandLine);
// Waits for the program's end; its exit code (-1 when a signal ended it).
int ExitCodeOf(const std::unique_ptr<testing_support::ChildProcess>& program);

} // namespace program_testing
