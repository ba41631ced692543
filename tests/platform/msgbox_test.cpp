#include <windows.h>

#include "support/TempDevice.h"
#include "user/MessageBoxInfo.h"
#include "user/MessageQueue.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

using testing_support::TempDevice;

namespace {

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

// Answers the message box that the user-interface thread is showing, once that thread waits for input.
class Answerer {
public:
    explicit Answerer(std::function<void(HWND box)> answer)
        : m_thread([answer, ui = device::ThreadQueue::ForThread(device::CurrentThreadId())] {
              ui->WaitIdle(60000);
              answer(GetActiveWindow());
          })
    {
    }
    ~Answerer() { m_thread.join(); }

private:
    std::thread m_thread;
};

class MessageBoxes : public ::testing::Test {
protected:
    explicit MessageBoxes(const char* platform = "SmartPhone") : m_device(Options(platform))
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = u"BoxOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, u"BoxOwner", u"main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    ~MessageBoxes() override
    {
        DestroyWindow(m_owner);
        UnregisterClassW(u"BoxOwner", nullptr);
    }

    static testing_support::DeviceOptions Options(const char* platform)
    {
        testing_support::DeviceOptions options;
        options.profile.platform = platform;
        return options;
    }

    // Shows a box and presses one key in it, as the device delivers keys: to the focused control.
    int AnswerWithKey(UINT type, WPARAM vk)
    {
        Answerer answerer([vk](HWND) { PostMessageW(GetFocus(), WM_KEYDOWN, vk, 0); });
        return MessageBoxW(m_owner, u"Question?", u"Keys", type);
    }

    TempDevice m_device;
    HWND m_owner = nullptr;
};

class MessageBoxesOnAPocketPC : public MessageBoxes {
protected:
    MessageBoxesOnAPocketPC() : MessageBoxes("PocketPC") {}
};

} // namespace

TEST_F(MessageBoxes, AYesNoBoxIsAnsweredFromAnotherThread)
{
    std::optional<device::MessageBoxContent> seen;
    bool ownerEnabled = true, fillsWorkArea = false;
    std::u16string shownText;
    HWND box = nullptr;
    int answer;
    {
        Answerer answerer([&](HWND active) {
            box = active;
            seen = device::MessageBoxInfo(active);
            ownerEnabled = IsWindowEnabled(m_owner);
            RECT rect;
            GetWindowRect(active, &rect);
            RECT work;
            GetClientRect(m_owner, &work); // the owner was made with the default placement: the work area
            fillsWorkArea = rect.right - rect.left == work.right && rect.bottom - rect.top == work.bottom;
            WCHAR text[64] = {};
            GetDlgItemTextW(active, 0xFFFF, text, 64);
            shownText = text;
            SendMessageW(GetDlgItem(active, IDYES), BM_CLICK, 0, 0);
        });
        answer = MessageBoxW(m_owner, u"Delete all messages?", u"Zelk", MB_YESNO | MB_ICONQUESTION);
    }
    EXPECT_EQ(answer, IDYES);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, u"Delete all messages?");
    EXPECT_EQ(seen->caption, u"Zelk");
    EXPECT_EQ(seen->icon, "question");
    ASSERT_EQ(seen->buttons.size(), 2u);
    EXPECT_EQ(seen->buttons[0].id, IDYES);
    EXPECT_EQ(seen->buttons[0].label, u"Yes");
    EXPECT_EQ(seen->buttons[1].id, IDNO);
    EXPECT_EQ(seen->defaultButton, IDYES);
    EXPECT_EQ(seen->backButton, IDNO);
    EXPECT_EQ(shownText, u"Delete all messages?");
    EXPECT_TRUE(fillsWorkArea);
    EXPECT_FALSE(ownerEnabled);
    // Afterwards the owner is enabled and active again and the box is gone.
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(GetActiveWindow(), m_owner);
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(device::MessageBoxInfo(box).has_value());
}

TEST_F(MessageBoxes, EnterChoosesTheDefaultButton)
{
    EXPECT_EQ(AnswerWithKey(MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION, VK_RETURN), IDNO);
    EXPECT_EQ(AnswerWithKey(MB_YESNO | MB_ICONWARNING, VK_RETURN), IDYES);
    EXPECT_EQ(AnswerWithKey(MB_OKCANCEL | MB_DEFBUTTON4, VK_RETURN), IDOK); // no fourth button: the first
}

TEST_F(MessageBoxes, BackAnswersOkNoOrCancel)
{
    EXPECT_EQ(AnswerWithKey(MB_OK | MB_ICONERROR, VK_ESCAPE), IDOK);
    EXPECT_EQ(AnswerWithKey(MB_YESNO, VK_ESCAPE), IDNO);
    EXPECT_EQ(AnswerWithKey(MB_OKCANCEL, VK_ESCAPE), IDCANCEL);
    EXPECT_EQ(AnswerWithKey(MB_RETRYCANCEL, VK_ESCAPE), IDCANCEL);
}

TEST_F(MessageBoxes, OnlyTheBoxsOwnAnswersEndIt)
{
    std::optional<device::MessageBoxContent> stillOpen;
    Answerer answerer([&](HWND box) {
        SendMessageW(box, WM_COMMAND, IDYES, 0); // not an answer of an OK box
        stillOpen = device::MessageBoxInfo(box);
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(MessageBoxW(m_owner, u"Done.", u"Zelk", MB_OK | MB_ICONINFORMATION | MB_TOPMOST), IDOK);
    ASSERT_TRUE(stillOpen.has_value());
    EXPECT_EQ(stillOpen->icon, "information");
}

TEST_F(MessageBoxes, ABoxWithoutOwnerOrCaptionStillAsks)
{
    DWORD exStyle = 0;
    std::u16string caption;
    Answerer answerer([&](HWND box) {
        exStyle = static_cast<DWORD>(GetWindowLongW(box, GWL_EXSTYLE));
        caption = device::MessageBoxInfo(box)->caption;
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(MessageBoxW(nullptr, u"Hello", nullptr, MB_OK | MB_TOPMOST), IDOK);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_EQ(caption, u"Error");
}

TEST_F(MessageBoxes, ASmartphoneRefusesAnswersItHasNoSoftKeysFor)
{
    EXPECT_EQ(MessageBoxW(m_owner, u"Save?", u"Zelk", MB_YESNOCANCEL), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(MessageBoxW(m_owner, u"Save?", u"Zelk", 0x0F), 0); // no such set of buttons
    EXPECT_EQ(MessageBoxW(reinterpret_cast<HWND>(0x1234), u"Save?", u"Zelk", MB_OK), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(GetActiveWindow(), m_owner);
}

TEST_F(MessageBoxesOnAPocketPC, ThreeAnswersAndACentredBox)
{
    bool centred = false;
    size_t buttons = 0;
    Answerer answerer([&](HWND box) {
        RECT rect;
        GetWindowRect(box, &rect);
        int screen = GetSystemMetrics(SM_CXSCREEN);
        centred = rect.left > 0 && rect.left == screen - rect.right;
        buttons = device::MessageBoxInfo(box)->buttons.size();
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(MessageBoxW(m_owner, u"Save changes?", u"Zelk", MB_YESNOCANCEL | MB_ICONWARNING), IDCANCEL);
    EXPECT_TRUE(centred);
    EXPECT_EQ(buttons, 3u);
}
