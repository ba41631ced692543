#include "Foreground.h"

#include "Command.h"

#include "process/Idle.h"
#include "process/ProcessTable.h"
#include "process/Remote.h"

namespace phone {

std::string AskForeground(device::automation::Request request, uint64_t argument, std::u16string_view text,
                          std::chrono::milliseconds settle)
{
    using device::automation::Request;
    device::WaitDeviceIdle(settle); // a process still busy says so itself below
    HWND foreground = device::MostRecentVisibleWindow();
    if (!foreground)
        throw Failure("no window is on the screen");
    pid_t pid = device::ProcessOfWindow(foreground);
    std::string answer;
    DWORD error = 0;
    if (!device::RemoteAutomation(pid, static_cast<uint32_t>(request), argument, text, &answer, &error))
        throw Failure(answer.empty() ? "process " + std::to_string(pid) + ", which shows the screen, does not answer"
                                     : "process " + std::to_string(pid) + ": " + answer);
    bool looked = request == Request::ScreenText || request == Request::ScreenJson || request == Request::ScreenScene;
    if (!looked)
        device::WaitDeviceIdle(settle);
    return answer;
}

} // namespace phone
