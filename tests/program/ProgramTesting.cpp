#include "program/ProgramTesting.h"
#include "program/RegistryTesting.h"

#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "automation/Automation.h"
#include "automation/Requests.h"
#include "device/Modules.h"
#include "device/Device.h"
#include "device/Text.h"
#include "process/HostProcess.h"
#include "process/Idle.h"
#include "process/ProcessTable.h"
#include "process/Remote.h"
#include "support/RegistryKey.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace program_testing {

namespace fs = std::filesystem;

namespace {

fs::path ImageDir()
{
    const char* image = std::getenv("DEVICE_IMAGE_DIR");
    return image ? fs::path(image) : fs::path();
}

} // namespace

fs::path InstallDir(const fs::path& deviceDir)
{
    return deviceDir / "fs" / "Program Files" / "Zelkova";
}

void InstallProgram(const fs::path& deviceDir, const std::vector<std::string>& leaveOut)
{
    fs::path image = ImageDir();
    ASSERT_TRUE(fs::is_directory(image)) << "no device image at '" << image << "'";
    fs::path target = InstallDir(deviceDir);
    fs::create_directories(target);
    for (const fs::directory_entry& entry : fs::directory_iterator(image)) {
        std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || std::find(leaveOut.begin(), leaveOut.end(), name) != leaveOut.end())
            continue;
        if (!entry.path().has_extension() && access(entry.path().c_str(), X_OK) == 0)
            name += ".exe";
        fs::create_symlink(fs::absolute(entry.path()), target / name);
    }
}

std::u16string StoredValue::Text() const
{
    std::u16string text(data.size() / sizeof(char16_t), u'\0');
    std::copy(data.begin(), data.begin() + text.size() * sizeof(char16_t), reinterpret_cast<BYTE*>(text.data()));
    size_t end = text.find(u'\0');
    return end == std::u16string::npos ? text : text.substr(0, end);
}

std::optional<StoredValue> Stored(const char16_t* name)
{
    testing_support::RegistryKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    value.data.resize(4096);
    DWORD size = static_cast<DWORD>(value.data.size());
    if (RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    return value;
}

std::optional<DWORD> StoredNumber(const char16_t* name)
{
    std::optional<StoredValue> value = Stored(name);
    if (!value || value->type != REG_DWORD || value->data.size() != sizeof(DWORD))
        return std::nullopt;
    DWORD number;
    std::copy(value->data.begin(), value->data.end(), reinterpret_cast<BYTE*>(&number));
    return number;
}

bool SettingsKeyExists()
{
    testing_support::RegistryKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.Out()) == ERROR_SUCCESS;
}

void Store(const char16_t* name, DWORD type, const void* data, DWORD size)
{
    SetValue(kSettingsKey, name, type, data, size);
}

void StoreNumber(const char16_t* name, DWORD value)
{
    Store(name, REG_DWORD, &value, sizeof value);
}

void StoreText(const char16_t* name, const std::u16string& text)
{
    SetString(kSettingsKey, name, text);
}

void MarkWelcomeHintShown()
{
    StoreNumber(u"OneTimeMsg_264", 1);
}

std::u16string ResourceText(UINT id)
{
    HMODULE resources = LoadLibraryExW(u"ZelkovaRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    WCHAR text[512] = {};
    LoadStringW(resources, id, text, 512);
    FreeLibrary(resources);
    return text;
}

namespace {

// The process that shows the screen once the device is idle, when it is not this one; else 0.
pid_t OtherProcessOnScreen()
{
    device::WaitDeviceIdle(std::chrono::seconds(30));
    HWND foreground = device::MostRecentVisibleWindow();
    pid_t pid = foreground ? device::ProcessOfWindow(foreground) : 0;
    return pid == getpid() ? 0 : pid;
}

} // namespace

std::string MessagingScreen()
{
    pid_t pid = OtherProcessOnScreen();
    std::string screen;
    DWORD error = 0;
    if (pid)
        device::RemoteAutomation(pid, static_cast<uint32_t>(device::automation::Request::ScreenText), 0, {}, &screen,
                                 &error);
    return screen;
}

void CancelComposeForm()
{
    pid_t pid = OtherProcessOnScreen();
    ASSERT_NE(pid, 0) << "no compose form is on the screen";
    int64_t started = device::HostStartTime(pid);
    std::string answer;
    DWORD error = 0;
    ASSERT_TRUE(device::RemoteAutomation(pid, static_cast<uint32_t>(device::automation::Request::ChooseMenu), 0,
                                         u"Cancel", &answer, &error))
        << answer;
    EXPECT_TRUE(Eventually([&] { return !device::IsRunning(pid, started); }));
}

bool UtilsInstalled()
{
    HMODULE utils = LoadLibraryW(u"utils");
    if (utils)
        FreeLibrary(utils);
    return utils != nullptr;
}

ProgramTest::ProgramTest(const testing_support::DeviceOptions& options) : m_device(options)
{
    InstallProgram(m_device.Dir());
    device::SetProgramPath(InstallDir(m_device.Dir()) / "Zelkova.exe");
}

ProgramTest::~ProgramTest()
{
    if (m_ui.joinable()) {
        // A test that failed half-way: the quit request ends every modal loop and then the program's.
        Eventually([this] {
            PostThreadMessageW(m_uiThread, WM_QUIT, 0, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return !m_running;
        });
        m_ui.join();
    }
    device::SetProgramPath({});
}

void ProgramTest::Start(const std::u16string& commandLine, const std::function<void()>& prepare)
{
    ASSERT_FALSE(m_ui.joinable());
    // The state the process would start with: program-wide values zero, the main window object new.
    g_program = ProgramState{};
    std::destroy_at(&g_mainWindow);
    std::construct_at(&g_mainWindow);
    UnregisterClassW(kMainWindowClass, GetModuleHandleW(nullptr)); // a process registers it once

    m_main = nullptr;
    m_running = true;
    m_ui = std::thread([this, commandLine, prepare] {
        m_uiThread = GetCurrentThreadId();
        if (prepare)
            prepare();
        std::u16string line = commandLine;
        m_exitCode = RunProgram(GetModuleHandleW(nullptr), line.data(), SW_SHOW);
        // A process takes its windows with it when it ends, without running any of its code; a main window
        // that a refused start left goes the same way here.
        HWND left = FindWindowW(kMainWindowClass, nullptr);
        if (left && GetWindowThreadProcessId(left, nullptr) == GetCurrentThreadId()) {
            SetWindowLongPtrW(left, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
            DestroyWindow(left);
        }
        m_running = false;
    });
    // The window is made on the program's thread; until then there is nothing to wait for.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (m_running && !(m_main = FindWindowW(kMainWindowClass, nullptr)) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(m_running) << "the program ended at its start with " << m_exitCode;
    ASSERT_TRUE(device::automation::WaitIdle());
}

int ProgramTest::Finish()
{
    if (m_ui.joinable())
        m_ui.join();
    return m_exitCode;
}

int ProgramTest::Exit()
{
    EXPECT_TRUE(device::automation::ChooseMenuItem(u"Exit"));
    return Finish();
}

std::unique_ptr<testing_support::ChildProcess> StartProgram(const std::u16string& commandLine)
{
    // Started by its path in the device's file system, it finds its libraries there.
    fs::path program = InstallDir(device::Dir()) / "Zelkova.exe";
    return std::make_unique<testing_support::ChildProcess>(
        program.string(), std::vector<std::string>{*device::Utf8FromUtf16(commandLine)});
}

int ExitCodeOf(const std::unique_ptr<testing_support::ChildProcess>& program)
{
    return program->Wait();
}

} // namespace program_testing
