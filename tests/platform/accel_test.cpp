#include <windows.h>

#include "support/TempDevice.h"
#include "user/Accelerators.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::TempDevice;

namespace {

std::vector<WPARAM> g_commands;

LRESULT CALLBACK CommandProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND)
        g_commands.push_back(wp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class Accelerators : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_commands.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = CommandProc;
        wc.lpszClassName = u"AccelOwner";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, u"AccelOwner", u"main", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_window);
        UnregisterClassW(u"AccelOwner", nullptr);
    }

    int Translate(HACCEL table, UINT message, WPARAM key)
    {
        MSG msg{m_window, message, key, 0, 0, {}};
        return TranslateAcceleratorW(m_window, table, &msg);
    }

    // Presses or releases a key through the queue, so the key state sees it.
    void Key(UINT message, WPARAM vk)
    {
        PostMessageW(m_window, message, vk, 0);
        MSG msg;
        GetMessageW(&msg, m_window, 0, 0);
    }

    TempDevice m_device;
    HWND m_window = nullptr;
};

} // namespace

TEST_F(Accelerators, MatchingKeysBecomeCommandsMarkedAsAccelerators)
{
    ACCEL entries[] = {
        {FVIRTKEY, VK_F1, 501},
        {FVIRTKEY | FCONTROL, 'S', 502},
        {0, 'q', 503}, // a character
    };
    HACCEL table = CreateAcceleratorTableW(entries, 3);
    ASSERT_NE(table, nullptr);

    EXPECT_NE(Translate(table, WM_KEYDOWN, VK_F1), 0);
    EXPECT_EQ(Translate(table, WM_KEYDOWN, 'S'), 0); // Control is not down
    EXPECT_EQ(Translate(table, WM_KEYUP, VK_F1), 0);
    EXPECT_EQ(Translate(table, WM_KEYDOWN, 'Q'), 0); // the character entry wants WM_CHAR
    EXPECT_NE(Translate(table, WM_CHAR, 'q'), 0);
    EXPECT_EQ(Translate(table, WM_CHAR, 'Q'), 0);
    Key(WM_KEYDOWN, VK_CONTROL);
    EXPECT_NE(Translate(table, WM_KEYDOWN, 'S'), 0);
    EXPECT_EQ(Translate(table, WM_KEYDOWN, VK_F1), 0); // F1 without modifiers only
    Key(WM_KEYUP, VK_CONTROL);

    std::vector<WPARAM> expected{MAKEWPARAM(501, 1), MAKEWPARAM(503, 1), MAKEWPARAM(502, 1)};
    EXPECT_EQ(g_commands, expected);

    EXPECT_TRUE(DestroyAcceleratorTable(table));
    EXPECT_EQ(Translate(table, WM_KEYDOWN, VK_F1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ACCEL_HANDLE));
    EXPECT_FALSE(DestroyAcceleratorTable(table));
}

TEST_F(Accelerators, AResourceTableEndsAtItsLastEntry)
{
    // Eight bytes an entry: flags, key, command, padding; 0x80 marks the last.
    std::vector<WORD> resource{FVIRTKEY, VK_F2, 601, 0, FVIRTKEY | 0x80, VK_RETURN, 602, 0, FVIRTKEY, 'X', 603, 0};
    HACCEL table = device::AcceleratorsFromResource(resource.data(), resource.size() * sizeof(WORD));
    ASSERT_NE(table, nullptr);
    EXPECT_NE(Translate(table, WM_KEYDOWN, VK_RETURN), 0);
    EXPECT_EQ(Translate(table, WM_KEYDOWN, 'X'), 0); // after the last entry
    std::vector<WPARAM> expected{MAKEWPARAM(602, 1)};
    EXPECT_EQ(g_commands, expected);
    DestroyAcceleratorTable(table);

    // Without a last entry the table is cut short.
    EXPECT_EQ(device::AcceleratorsFromResource(resource.data(), 8 * sizeof(WORD) - 2), nullptr);
    EXPECT_EQ(CreateAcceleratorTableW(nullptr, 1), nullptr);
}
