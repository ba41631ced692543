#include "app/Startup.h"

#include "app/Binding.h"
#include "app/MainWindow.h"
#include "app/Program.h"

#include "ids.h"

#include <aygshell.h>
#include <commctrl.h>
#include <objbase.h>

namespace {

constexpr WCHAR kScheduledSmsMessage[] = TEXT("Zelkova.ScheduledSMS");
constexpr WCHAR kWakeUpCommandLine[] = TEXT("AppRunAtTime");
constexpr WCHAR kMissedCallsName[] = TEXT("Zelkova.MissedCalls");
constexpr WCHAR kResourceLibrary[] = TEXT("ZelkovaRes.dll");
constexpr DWORD kControlClasses = ICC_UPDOWN_CLASS | ICC_DATE_CLASSES | ICC_CAPEDIT_CLASS;
constexpr int kWindowWaitSteps = 20;
constexpr DWORD kWindowWaitStepMs = 100;

// Whether part occurs in text, character for character.
bool Contains(LPCWSTR text, LPCWSTR part)
{
    for (; *text; ++text) {
        int i = 0;
        while (part[i] && text[i] == part[i])
            ++i;
        if (!part[i])
            return true;
    }
    return false;
}

// The running instance's main window, waiting up to two seconds for an instance that holds the claim but
// is still starting. The pauses are waits on an event nobody sets rather than Sleep, so that they give the
// other process time on every clock.
HWND WaitForRunningWindow(HWND running)
{
    if (running)
        return running;
    HANDLE pause = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!pause)
        return nullptr;
    for (int step = 0; step < kWindowWaitSteps && !running; ++step) {
        WaitForSingleObject(pause, kWindowWaitStepMs);
        running = FindWindowW(kMainWindowClass, nullptr);
    }
    CloseHandle(pause);
    return running;
}

// What runs between a successful start and the exit steps.
int MessageLoop(HACCEL accelerators)
{
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (accelerators && TranslateAcceleratorW(g_mainWindow.Window(), accelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

// Every step that can fail; the exit steps are the caller's.
int Start(HINSTANCE instance, LPCWSTR commandLine, int show, HANDLE* instanceHandle, bool* comStarted)
{
    g_program.wmScheduledSms = RegisterWindowMessageW(kScheduledSmsMessage);
    if (!g_program.wmScheduledSms)
        return 0;
    LPCWSTR line = commandLine ? commandLine : TEXT("");
    if (lstrcmpW(line, kWakeUpCommandLine) == 0)
        g_program.wakeUpStart = 1;

    HWND running = nullptr;
    BOOL found = FALSE;
    if (FAILED(shell::InstanceLookup(kMainWindowClass, nullptr, instanceHandle, &running, &found)))
        return 0;
    if (found) {
        if (!g_program.wakeUpStart)
            return 0;
        // A wake-up is never dropped: handed to the running instance once its window exists, else run here.
        running = WaitForRunningWindow(running);
        if (running) {
            SendMessageW(running, g_program.wmScheduledSms, 0, 0);
            return 0;
        }
    }
    if (g_program.wakeUpStart) {
        g_program.silentMode = 1;
        show = SW_HIDE;
    }

    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 0;
    *comStarted = true;
    InitCommonControls();
    if (!SHInitExtraControls())
        return 0;
    INITCOMMONCONTROLSEX classes{sizeof classes, kControlClasses};
    if (!InitCommonControlsEx(&classes))
        return 0;

    g_program.resources = LoadLibraryExW(kResourceLibrary, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!g_program.resources)
        return 0;
    if (Contains(line, kMissedCallsName)) {
        g_program.silentMode = 1;
        show = SW_HIDE;
    }

    if (FAILED(g_mainWindow.Create(instance, show)))
        return 0;
    HACCEL accelerators =
        g_program.silentMode ? nullptr : LoadAcceleratorsW(g_program.resources, MAKEINTRESOURCEW(IDA_MAIN));
    return MessageLoop(accelerators);
}

} // namespace

int RunProgram(HINSTANCE instance, LPCWSTR commandLine, int show)
{
    HANDLE instanceHandle = nullptr;
    bool comStarted = false;
    int exitCode = Start(instance, commandLine, show, &instanceHandle, &comStarted);
    if (comStarted)
        CoUninitialize();
    if (instanceHandle)
        CloseHandle(instanceHandle);
    if (g_program.resources) {
        FreeLibrary(g_program.resources);
        g_program.resources = nullptr;
    }
    return exitCode;
}
