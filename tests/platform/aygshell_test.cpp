// The shell library: full-screen windows, activation handling, the instance lookup and the exports a
// program binds by ordinal after loading the library by name.
#include <aygshell.h>

#include "ShellView.h"
#include "device/Device.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

typedef HRESULT(WINAPI* InstanceLookup)(LPCWSTR, LPCWSTR, HANDLE*, HWND*, BOOL*);
typedef BOOL(WINAPI* CapabilityQuery)(DWORD);

class ShellWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"ShellPlain";
        RegisterClassW(&wc);
    }
    void TearDown() override
    {
        for (HWND window : m_windows)
            DestroyWindow(window);
        UnregisterClassW(u"ShellPlain", nullptr);
    }

    HWND Create(HWND parent = nullptr, LPCWSTR className = u"ShellPlain")
    {
        HWND hwnd = CreateWindowExW(0, className, u"", parent ? WS_CHILD | WS_VISIBLE : WS_VISIBLE, 10, 20, 30,
                                    40, parent, nullptr, nullptr, nullptr);
        if (!parent)
            m_windows.push_back(hwnd);
        return hwnd;
    }

    // "left,top,right,bottom" of the window's screen rectangle.
    static std::string Rect(HWND hwnd)
    {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }

    std::vector<HWND> m_windows;
};

BOOL InitDialog(HWND hwnd, DWORD flags)
{
    SHINITDLGINFO info{SHIDIM_FLAGS, hwnd, flags};
    return SHInitDialog(&info);
}

HMODULE Shell() { return LoadLibraryW(u"aygshell"); }

// An export or a function as an address to compare, and an export as the function it is.
template <class Function> const void* Address(Function* function) { return reinterpret_cast<const void*>(function); }
template <class Function> Function As(FARPROC proc) { return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc)); }

} // namespace

TEST_F(ShellWindows, AFullScreenWindowFillsTheWorkAreaAndLeavesTheBottomToTheMenuBar)
{
    TempDevice device;
    HWND window = Create();
    ASSERT_TRUE(InitDialog(window, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN));
    EXPECT_EQ(Rect(window), "0,26,240,294");
    ASSERT_TRUE(InitDialog(window, SHIDIF_FULLSCREENNOMENUBAR));
    EXPECT_EQ(Rect(window), "0,26,240,320");

    HWND untouched = Create();
    SHINITDLGINFO noFlags{0, untouched, SHIDIF_SIZEDLGFULLSCREEN}; // the flags count only with their mask
    EXPECT_TRUE(SHInitDialog(&noFlags));
    EXPECT_EQ(Rect(untouched), "10,20,40,60");

    EXPECT_FALSE(SHInitDialog(nullptr));
    EXPECT_FALSE(InitDialog(reinterpret_cast<HWND>(0x1234), SHIDIF_SIZEDLGFULLSCREEN));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ShellWindows, TheFullScreenFollowsTheHighResolutionProfile)
{
    DeviceOptions options;
    options.profile.screenWidth = 480;
    options.profile.screenHeight = 640;
    options.profile.dpi = 192;
    TempDevice device(options);
    HWND window = Create();
    ASSERT_TRUE(InitDialog(window, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN));
    EXPECT_EQ(Rect(window), "0,52,480,588");
    EXPECT_FALSE(device::shell::HasDoneButton(window)); // a Smartphone's title area has no OK button
}

TEST_F(ShellWindows, OnAPocketPcTheDoneButtonShowsAndAnEmptyMenuBarCanBeAsked)
{
    DeviceOptions options;
    options.profile.platform = "PocketPC";
    TempDevice device(options);
    HWND window = Create();
    HWND other = Create();
    ASSERT_TRUE(InitDialog(window, SHIDIF_DONEBUTTON | SHIDIF_EMPTYMENU));
    EXPECT_TRUE(device::shell::HasDoneButton(window));
    EXPECT_FALSE(device::shell::HasDoneButton(other));
    HWND bar = SHFindMenuBar(window);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(device::shell::MenuBarOf(window)->keys.empty());
    DestroyWindow(window);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_FALSE(device::shell::HasDoneButton(window));
}

TEST_F(ShellWindows, ActivationHandlingGivesTheFocusBackToTheControlThatHadIt)
{
    TempDevice device;
    HWND window = Create();
    HWND first = Create(window);
    HWND second = Create(window);
    SetFocus(second);
    SHACTIVATEINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(SHHandleWMActivate(window, MAKEWPARAM(WA_INACTIVE, 0), 0, &info, 0));
    EXPECT_EQ(info.hwndLastFocus, second);
    EXPECT_EQ(info.fActive, 0u);
    SetFocus(first);
    ASSERT_TRUE(SHHandleWMActivate(window, MAKEWPARAM(WA_ACTIVE, 0), 0, &info, 0));
    EXPECT_EQ(GetFocus(), second);
    EXPECT_EQ(info.fActive, 1u);
    EXPECT_EQ(info.fSipUp, 0u); // this device never raises an input panel
    EXPECT_TRUE(SHHandleWMSettingChange(window, 0, 0, &info));

    SHACTIVATEINFO device32{};
    device32.cbSize = 12; // the size a program for the device stores
    EXPECT_TRUE(SHHandleWMActivate(window, WA_ACTIVE, 0, &device32, 0));
    SHACTIVATEINFO unsized{};
    EXPECT_FALSE(SHHandleWMActivate(window, WA_ACTIVE, 0, &unsized, 0));
    EXPECT_FALSE(SHHandleWMSettingChange(window, 0, 0, &unsized));
    EXPECT_FALSE(SHHandleWMActivate(window, WA_ACTIVE, 0, nullptr, 0));
}

TEST(ShellLibrary, LoadingTheLinkedLibraryByNameGivesTheSameCopyWithEveryExport)
{
    TempDevice device;
    HMODULE shell = Shell();
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"AYGSHELL.DLL"), shell);
    // The same functions the program was linked against, not a second copy's.
    EXPECT_EQ(Address(GetProcAddressW(shell, MAKEINTRESOURCE(9))), Address(&SHInitExtraControls));
    EXPECT_EQ(Address(GetProcAddressW(shell, MAKEINTRESOURCE(56))), Address(&SHInitDialog));
    EXPECT_EQ(Address(GetProcAddressW(shell, MAKEINTRESOURCE(83))), Address(&SHHandleWMSettingChange));
    EXPECT_EQ(Address(GetProcAddressW(shell, MAKEINTRESOURCE(84))), Address(&SHHandleWMActivate));
    EXPECT_EQ(Address(GetProcAddressW(shell, MAKEINTRESOURCE(97))), Address(&SHSendBackToFocusWindow));
    EXPECT_EQ(Address(GetProcAddressW(shell, MAKEINTRESOURCE(332))), Address(&SHEnableSoftkey));
    EXPECT_EQ(Address(GetProcAddressW(shell, u"SHCreateMenuBar")), Address(&SHCreateMenuBar));
    EXPECT_EQ(GetProcAddressW(shell, u"ShellInstanceLookup"), nullptr); // by number only
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    auto mayRun = As<CapabilityQuery>(GetProcAddressW(shell, MAKEINTRESOURCE(366)));
    ASSERT_NE(mayRun, nullptr);
    EXPECT_NE(mayRun(0x8000), FALSE);
    ASSERT_NE(GetProcAddressW(shell, MAKEINTRESOURCE(209)), nullptr);

    // The linked library stays when the loaded reference goes; host libraries are no device libraries.
    EXPECT_TRUE(FreeLibrary(shell));
    EXPECT_EQ(GetModuleHandleW(u"aygshell"), shell);
    EXPECT_EQ(LoadLibraryW(u"libc"), nullptr);
}

TEST_F(ShellWindows, TheExtraControlsAreTheCapitalisingEdit)
{
    TempDevice device;
    ASSERT_TRUE(SHInitExtraControls());
    WNDCLASSW info{};
    EXPECT_TRUE(GetClassInfoW(nullptr, WC_CAPEDIT, &info));
    HWND window = Create();
    HWND edit = Create(window, WC_CAPEDIT);
    ASSERT_NE(edit, nullptr);
    SendMessageW(edit, WM_CHAR, u'm', 0);
    SendMessageW(edit, WM_CHAR, u'e', 0);
    WCHAR text[8] = {};
    GetWindowTextW(edit, text, 8);
    EXPECT_EQ(std::u16string(text), u"Me"); // the first letter capitalised
}

class InstanceLookups : public ShellWindows {
protected:
    void SetUp() override
    {
        ShellWindows::SetUp();
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"SoleClass";
        RegisterClassW(&wc);
        m_lookup = As<InstanceLookup>(GetProcAddressW(Shell(), MAKEINTRESOURCE(209)));
        ASSERT_NE(m_lookup, nullptr);
    }
    void TearDown() override
    {
        ShellWindows::TearDown();
        UnregisterClassW(u"SoleClass", nullptr);
    }

    struct Answer {
        HRESULT hr;
        HANDLE handle;
        HWND window;
        BOOL found;
    };
    Answer LookUp(LPCWSTR className)
    {
        Answer answer{};
        answer.hr = m_lookup(className, nullptr, &answer.handle, &answer.window, &answer.found);
        return answer;
    }

    TempDevice m_device;
    InstanceLookup m_lookup = nullptr;
};

TEST_F(InstanceLookups, TheFirstCallerClaimsTheClassAndLaterOnesFindItsWindowUntilTheClaimIsClosed)
{
    Answer first = LookUp(u"SoleClass");
    ASSERT_EQ(first.hr, S_OK);
    EXPECT_FALSE(first.found);
    EXPECT_EQ(first.window, nullptr);
    ASSERT_NE(first.handle, nullptr);

    HWND running = Create(nullptr, u"SoleClass");
    Answer second = LookUp(u"soleclass"); // class names ignore case
    ASSERT_EQ(second.hr, S_OK);
    EXPECT_TRUE(second.found);
    EXPECT_EQ(second.window, running);
    ASSERT_NE(second.handle, nullptr);
    EXPECT_TRUE(CloseHandle(second.handle)); // a finder's handle holds no claim

    Answer third = LookUp(u"SoleClass");
    EXPECT_TRUE(third.found);
    CloseHandle(third.handle);

    EXPECT_TRUE(CloseHandle(first.handle));
    Answer afterClose = LookUp(u"SoleClass");
    EXPECT_FALSE(afterClose.found);
    EXPECT_TRUE(CloseHandle(afterClose.handle));

    HANDLE handle;
    HWND window;
    BOOL found;
    EXPECT_EQ(m_lookup(nullptr, nullptr, &handle, &window, &found), E_INVALIDARG);
    EXPECT_EQ(m_lookup(u"", nullptr, &handle, &window, &found), E_INVALIDARG);
    EXPECT_EQ(m_lookup(u"SoleClass", nullptr, nullptr, &window, &found), E_INVALIDARG);
}

TEST_F(InstanceLookups, AClaimOfAnotherProcessHoldsWhileItLivesAndIsFreeOnceItHasEnded)
{
    int claimed[2], release[2];
    ASSERT_EQ(pipe(claimed), 0);
    ASSERT_EQ(pipe(release), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        device::Attach(m_device.Dir()); // its own connection, as another device process has
        Answer answer = LookUp(u"SoleClass");
        char result = answer.hr == S_OK && !answer.found ? 'y' : 'n';
        (void)!write(claimed[1], &result, 1);
        char go;
        (void)!read(release[0], &go, 1);
        _exit(0); // ends holding the claim: its handle is never closed
    }
    char result = 0;
    ASSERT_EQ(read(claimed[0], &result, 1), 1);
    EXPECT_EQ(result, 'y');

    Answer whileAlive = LookUp(u"SoleClass");
    EXPECT_TRUE(whileAlive.found);
    EXPECT_EQ(whileAlive.window, nullptr); // it shows no window
    CloseHandle(whileAlive.handle);

    (void)!write(release[1], "x", 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    Answer afterExit = LookUp(u"SoleClass");
    EXPECT_EQ(afterExit.hr, S_OK);
    EXPECT_FALSE(afterExit.found);
    CloseHandle(afterExit.handle);
    for (int fd : {claimed[0], claimed[1], release[0], release[1]})
        close(fd);
}
