#include "MessagingApp.h"

#include "process/HostProcess.h"
#include "process/Remote.h"
#include "process/StartProgram.h"

#include "device/Text.h"

#include <dlfcn.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace device::mail
{

namespace
{

constexpr char kProgramFile[] = "messaging.exe";
constexpr char16_t kRequestSwitch[] = u"-request ";
// How long a caller that waits gives a starting application to show the request.
constexpr auto kStartTimeout = std::chrono::seconds(30);

std::filesystem::path ProgramBesideThisLibrary()
{
    Dl_info self{};
    if (!dladdr(reinterpret_cast<void*>(&ShowRequest), &self) || !self.dli_fname) return {};
    return std::filesystem::path(self.dli_fname).parent_path() / kProgramFile;
}

// The running instance's window takes the request; false when there is none (or it went meanwhile).
bool TellRunningInstance(int64_t id, bool wait)
{
    HWND app = FindWindowW(kAppWindowClass, nullptr);
    if (!app) return false;
    UINT message = RegisterWindowMessageW(kShowRequestMessage);
    auto request = static_cast<WPARAM>(id);
    if (wait) return SendMessageW(app, message, request, 0) != 0;
    return PostMessageW(app, message, request, 0) != FALSE;
}

// A new instance shows the request once its windows wait for input, or has ended.
void WaitUntilShown(pid_t pid)
{
    int64_t started = HostStartTime(pid);
    auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (IsRunning(pid, started) && !RemoteIsIdle(pid) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

} // namespace

HRESULT ShowRequest(int64_t id, bool wait)
{
    if (TellRunningInstance(id, wait)) return S_OK;
    std::filesystem::path program = ProgramBesideThisLibrary();
    if (program.empty()) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    DWORD error = 0;
    pid_t pid = StartProgram(program, kRequestSwitch + Utf16FromUtf8(std::to_string(id)), &error);
    if (!pid) return HRESULT_FROM_WIN32(error);
    if (wait) WaitUntilShown(pid);
    return S_OK;
}

int64_t RequestOnCommandLine(std::u16string_view commandLine)
{
    std::u16string_view prefix = kRequestSwitch;
    if (commandLine.substr(0, prefix.size()) != prefix) return 0;
    int64_t id = 0;
    for (char16_t c : commandLine.substr(prefix.size())) {
        if (c < u'0' || c > u'9' || id > (INT64_MAX - 9) / 10) return 0;
        id = id * 10 + (c - u'0');
    }
    return id;
}

} // namespace device::mail
