// A parent window for control tests: it records the notifications its controls send (WM_COMMAND,
// WM_NOTIFY, owner-drawing) and drives the controls through the thread's message loop as a user would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace control_host {

struct Notice {
    UINT message = 0; // WM_COMMAND or WM_NOTIFY
    int id = 0;
    int code = 0;
    HWND from = nullptr;
    NMLISTVIEW listView{};        // LVN_ITEMCHANGED and the other NMLISTVIEW notifications
    NMITEMACTIVATE activation{};  // NM_CLICK, NM_RETURN, LVN_ITEMACTIVATE
    NMDATETIMECHANGE dateTime{};  // DTN_DATETIMECHANGE
    NMUPDOWN upDown{};            // UDN_DELTAPOS
};

struct Recorder {
    std::vector<Notice> notices;
    std::vector<DRAWITEMSTRUCT> drawn;
    std::vector<MEASUREITEMSTRUCT> measured;
    UINT rowHeight = 0;               // the answer to WM_MEASUREITEM; 0 leaves the proposed height
    LRESULT notifyAnswer = 0;         // what WM_NOTIFY returns
    std::function<void(const Notice&)> onNotice;
    std::vector<std::pair<UINT, HWND>> colourRequests; // WM_CTLCOLOR... and the control asking
    std::function<LRESULT(UINT, HDC, HWND)> onColour;  // answers them; DefWindowProc when unset
    std::function<void(const DRAWITEMSTRUCT&)> onDraw;  // draws owner-drawn items

    int Count(UINT message, int code) const
    {
        int count = 0;
        for (const Notice& notice : notices)
            count += notice.message == message && notice.code == code;
        return count;
    }
    int Commands(int code) const { return Count(WM_COMMAND, code); }
    int Notifies(int code) const { return Count(WM_NOTIFY, code); }
    std::vector<Notice> Of(UINT message, int code) const
    {
        std::vector<Notice> found;
        for (const Notice& notice : notices)
            if (notice.message == message && notice.code == code)
                found.push_back(notice);
        return found;
    }
};

inline Recorder g_recorder;

inline LRESULT CALLBACK HostProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_COMMAND: {
        Notice notice{WM_COMMAND, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)};
        g_recorder.notices.push_back(notice);
        if (g_recorder.onNotice)
            g_recorder.onNotice(notice);
        return 0;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lp);
        Notice notice{WM_NOTIFY, static_cast<int>(header->idFrom), static_cast<int>(header->code), header->hwndFrom};
        switch (header->code) {
        case LVN_ITEMCHANGING:
        case LVN_ITEMCHANGED:
        case LVN_INSERTITEM:
        case LVN_DELETEITEM:
        case LVN_DELETEALLITEMS: notice.listView = *reinterpret_cast<const NMLISTVIEW*>(lp); break;
        case NM_CLICK:
        case NM_DBLCLK:
        case NM_RETURN:
        case LVN_ITEMACTIVATE: notice.activation = *reinterpret_cast<const NMITEMACTIVATE*>(lp); break;
        case DTN_DATETIMECHANGE: notice.dateTime = *reinterpret_cast<const NMDATETIMECHANGE*>(lp); break;
        case UDN_DELTAPOS: notice.upDown = *reinterpret_cast<const NMUPDOWN*>(lp); break;
        }
        g_recorder.notices.push_back(notice);
        if (g_recorder.onNotice)
            g_recorder.onNotice(notice);
        return g_recorder.notifyAnswer;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (g_recorder.rowHeight)
            measure->itemHeight = g_recorder.rowHeight;
        g_recorder.measured.push_back(*measure);
        return TRUE;
    }
    case WM_DRAWITEM:
        g_recorder.drawn.push_back(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        if (g_recorder.onDraw)
            g_recorder.onDraw(g_recorder.drawn.back());
        return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        g_recorder.colourRequests.emplace_back(msg, reinterpret_cast<HWND>(lp));
        if (g_recorder.onColour)
            return g_recorder.onColour(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A fresh device, a visible top-level host window, and the common controls initialised.
class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_recorder = Recorder{};
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProcedure;
        wc.lpszClassName = TEXT("ControlHost");
        RegisterClassW(&wc);
        InitCommonControls();
        m_host = CreateWindowExW(0, TEXT("ControlHost"), TEXT("host"), WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_host, nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(m_host);
        Pump();
        UnregisterClassW(TEXT("ControlHost"), nullptr);
        g_recorder = Recorder{};
    }

    HWND Create(LPCWSTR cls, DWORD style, int id, LPCWSTR text = TEXT(""), RECT rect = RECT{0, 0, 200, 100})
    {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, m_host,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    // Runs the thread's message loop until nothing is waiting.
    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // A key pressed and released on the focused control, through the message loop.
    static void Press(HWND control, UINT vk)
    {
        SetFocus(control);
        PostMessageW(control, WM_KEYDOWN, vk, 1);
        PostMessageW(control, WM_KEYUP, vk, 0xC0000001);
        Pump();
    }

    // Characters typed into the focused control, through the message loop.
    static void Type(HWND control, std::u16string_view text)
    {
        SetFocus(control);
        for (char16_t ch : text)
            PostMessageW(control, WM_CHAR, ch, 1);
        Pump();
    }

    static std::u16string Text(HWND hwnd)
    {
        WCHAR buffer[512] = {};
        GetWindowTextW(hwnd, buffer, 512);
        return buffer;
    }

    testing_support::TempDevice m_device;
    HWND m_host = nullptr;
};

} // namespace control_host
