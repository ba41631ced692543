#include <windows.h>

#include "gdi/Drawing.h"
#include "platform/DialogTemplateBytes.h"
#include "support/TempDevice.h"
#include "user/DialogTemplate.h"
#include "user/MessageQueue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using testing_support::AsTemplate;
using testing_support::DialogBytes;
using testing_support::ItemBytes;
using testing_support::TempDevice;

namespace {

// The dialog procedure of every test: what the test put in g_handler, FALSE otherwise.
std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> g_handler;
std::vector<std::string> g_events;

BOOL CALLBACK TestDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return g_handler ? g_handler(hwnd, msg, wp, lp) : FALSE;
}

// A control that answers WM_GETDLGCODE with the code kept in its user data, keeps a check state in
// its first extra bytes, and notes focus, fonts and creation data.
LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE: {
        auto cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
        if (cs->lpCreateParams) {
            auto data = static_cast<const BYTE*>(cs->lpCreateParams);
            WORD size;
            memcpy(&size, data, sizeof size);
            g_events.push_back("data:" + std::string(data + 2, data + 2 + size));
        }
        return 0;
    }
    case WM_GETDLGCODE: return GetWindowLongPtrW(hwnd, GWLP_USERDATA);
    case BM_SETCHECK: SetWindowLongW(hwnd, 0, static_cast<LONG>(wp)); return 0;
    case BM_GETCHECK: return GetWindowLongW(hwnd, 0);
    case WM_SETFOCUS: g_events.push_back("focus:" + std::to_string(GetDlgCtrlID(hwnd))); break;
    case WM_SETFONT: g_events.push_back("font:" + std::to_string(GetDlgCtrlID(hwnd))); break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd, msg, wp, lp); }

ItemBytes Field(DWORD id, DWORD style = WS_TABSTOP, short y = 0)
{
    ItemBytes item;
    item.className = u"TestField";
    item.id = id;
    item.style = WS_CHILD | WS_VISIBLE | style;
    item.x = 5;
    item.y = y;
    item.cx = 50;
    item.cy = 12;
    return item;
}

DialogBytes Template(std::vector<ItemBytes> items, DWORD style = WS_POPUP | WS_VISIBLE)
{
    DialogBytes dialog;
    dialog.style = style;
    dialog.title = u"Test dialog";
    dialog.items = std::move(items);
    return dialog;
}

HWND CreateModeless(const DialogBytes& dialog, HWND owner, LPARAM param = 0)
{
    std::vector<BYTE> bytes = dialog.Build();
    return CreateDialogIndirectParamW(nullptr, AsTemplate(bytes), owner, TestDialogProc, param);
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_handler = nullptr;
        g_events.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = FieldProc;
        wc.cbWndExtra = sizeof(LONG);
        wc.lpszClassName = u"TestField";
        RegisterClassW(&wc);
        wc.lpfnWndProc = OwnerProc;
        wc.cbWndExtra = 0;
        wc.lpszClassName = u"TestOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, u"TestOwner", u"owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        m_ownerChild = CreateWindowExW(0, u"TestOwner", u"list", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, m_owner,
                                       reinterpret_cast<HMENU>(650), nullptr, nullptr);
    }
    void TearDown() override
    {
        g_handler = nullptr;
        DestroyWindow(m_owner);
        UnregisterClassW(u"TestField", nullptr);
        UnregisterClassW(u"TestOwner", nullptr);
    }

    INT_PTR RunModal(const DialogBytes& dialog, HWND owner, LPARAM param = 0)
    {
        std::vector<BYTE> bytes = dialog.Build();
        return DialogBoxIndirectParamW(nullptr, AsTemplate(bytes), owner, TestDialogProc, param);
    }

    HWND Create(const DialogBytes& dialog, LPARAM param = 0) { return CreateModeless(dialog, m_owner, param); }

    TempDevice m_device;
    HWND m_owner = nullptr;
    HWND m_ownerChild = nullptr;
};

} // namespace

TEST(DialogTemplates, BothFormatsAreReadFieldByField)
{
    DialogBytes plain;
    plain.style = WS_POPUP | DS_SETFONT | DS_CENTER;
    plain.exStyle = WS_EX_TOPMOST;
    plain.x = 3, plain.y = 4, plain.cx = 120, plain.cy = 90;
    plain.title = u"Plain";
    plain.menuOrdinal = 401;
    plain.pointSize = 9;
    plain.face = u"Tahoma";
    ItemBytes button;
    button.classOrdinal = 0x0080;
    button.text = u"OK";
    button.id = IDOK;
    button.style = WS_CHILD | BS_DEFPUSHBUTTON;
    button.x = 7, button.y = 8, button.cx = 50, button.cy = 14;
    ItemBytes icon;
    icon.classOrdinal = 0x0082;
    icon.textOrdinal = 104; // an icon resource in place of text
    icon.id = 0xFFFF;
    icon.data = {'a', 'b', 'c', 'd'};
    ItemBytes list;
    list.className = u"SysListView32";
    list.text = u"";
    list.id = 650;
    plain.items = {button, icon, list};

    DialogBytes extended = plain;
    extended.extended = true;
    extended.weight = 700;
    extended.italic = 1;
    extended.items[2].id = 0x12345; // DIALOGEX ids are 32 bits
    extended.items[1].data = {'x', 'y', 'z'};

    for (const DialogBytes* bytes : {&plain, &extended}) {
        std::vector<BYTE> data = bytes->Build();
        auto dialog = device::ParseDialogTemplate(data.data(), data.size());
        ASSERT_TRUE(dialog.has_value());
        EXPECT_EQ(dialog->extended, bytes->extended);
        EXPECT_EQ(dialog->style, bytes->style);
        EXPECT_EQ(dialog->exStyle, static_cast<DWORD>(WS_EX_TOPMOST));
        EXPECT_EQ(dialog->x, 3);
        EXPECT_EQ(dialog->y, 4);
        EXPECT_EQ(dialog->cx, 120);
        EXPECT_EQ(dialog->cy, 90);
        EXPECT_EQ(dialog->menu.ordinal, 401);
        EXPECT_TRUE(dialog->className.Empty());
        EXPECT_EQ(dialog->title, u"Plain");
        ASSERT_TRUE(dialog->font.has_value());
        EXPECT_EQ(dialog->font->pointSize, 9);
        EXPECT_EQ(dialog->font->face, u"Tahoma");
        EXPECT_EQ(dialog->font->weight, bytes->extended ? 700 : 400);
        EXPECT_EQ(dialog->font->italic, bytes->extended);
        ASSERT_EQ(dialog->items.size(), 3u);
        EXPECT_EQ(dialog->items[0].className, u"Button");
        EXPECT_EQ(dialog->items[0].title.name, u"OK");
        EXPECT_EQ(dialog->items[0].id, static_cast<DWORD>(IDOK));
        EXPECT_EQ(dialog->items[0].style, static_cast<DWORD>(WS_CHILD | BS_DEFPUSHBUTTON));
        EXPECT_EQ(dialog->items[0].x, 7);
        EXPECT_EQ(dialog->items[0].cy, 14);
        EXPECT_EQ(dialog->items[1].className, u"Static");
        EXPECT_EQ(dialog->items[1].title.ordinal, 104);
        std::vector<BYTE> expectedData = bytes->items[1].data;
        EXPECT_EQ(dialog->items[1].creationData, expectedData);
        EXPECT_EQ(dialog->items[2].className, u"SysListView32");
        EXPECT_EQ(dialog->items[2].id, bytes->extended ? 0x12345u : 650u);
    }
}

TEST(DialogTemplates, ATemplateCutShortIsRefused)
{
    DialogBytes dialog = Template({Field(1), Field(2)});
    std::vector<BYTE> data = dialog.Build();
    EXPECT_TRUE(device::ParseDialogTemplate(data.data(), data.size()).has_value());
    EXPECT_FALSE(device::ParseDialogTemplate(data.data(), data.size() - 3).has_value());
    EXPECT_FALSE(device::ParseDialogTemplate(data.data(), 10).has_value());
    EXPECT_FALSE(device::ParseDialogTemplate(nullptr, 100).has_value());
}

TEST_F(Dialogs, ControlsArePlacedInDialogUnitsOfTheDialogFont)
{
    auto pixels = [](HWND control) {
        RECT rect;
        GetWindowRect(control, &rect);
        POINT origin{0, 0};
        ClientToScreen(GetParent(control), &origin);
        OffsetRect(&rect, -origin.x, -origin.y);
        return rect;
    };
    ItemBytes field = Field(1);
    field.x = 10, field.y = 20, field.cx = 40, field.cy = 12;

    // Without a font, the system font's base units.
    HWND plain = Create(Template({field}));
    ASSERT_NE(plain, nullptr);
    LONG units = GetDialogBaseUnits();
    int bx = LOWORD(units), by = HIWORD(units);
    ASSERT_GT(bx, 0);
    ASSERT_GT(by, bx);
    RECT placed = pixels(GetDlgItem(plain, 1));
    EXPECT_EQ(placed.left, (10 * bx + 2) / 4);
    EXPECT_EQ(placed.top, (20 * by + 4) / 8);
    EXPECT_EQ(placed.right - placed.left, (40 * bx + 2) / 4);
    EXPECT_EQ(placed.bottom - placed.top, (12 * by + 4) / 8);
    RECT mapped{10, 20, 50, 32};
    ASSERT_TRUE(MapDialogRect(plain, &mapped));
    EXPECT_EQ(mapped.left, placed.left);
    EXPECT_EQ(mapped.top, placed.top);
    EXPECT_EQ(mapped.bottom, (32 * by + 4) / 8); // each edge on its own

    // A larger template font gives larger units, for the controls and for MapDialogRect alike.
    DialogBytes large = Template({field}, WS_POPUP | WS_VISIBLE | DS_SETFONT);
    large.pointSize = 16;
    large.face = u"Tahoma";
    HWND big = Create(large);
    ASSERT_NE(big, nullptr);
    RECT bigPlaced = pixels(GetDlgItem(big, 1));
    EXPECT_GT(bigPlaced.right - bigPlaced.left, placed.right - placed.left);
    EXPECT_GT(bigPlaced.bottom - bigPlaced.top, placed.bottom - placed.top);
    RECT bigMapped{10, 20, 50, 32};
    MapDialogRect(big, &bigMapped);
    EXPECT_EQ(bigMapped.left, bigPlaced.left);
    EXPECT_EQ(bigMapped.top, bigPlaced.top);
    EXPECT_GT(bigMapped.right, mapped.right);

    EXPECT_FALSE(MapDialogRect(m_owner, &mapped)); // not a dialog
    DestroyWindow(plain);
    DestroyWindow(big);
}

TEST_F(Dialogs, BaseUnitsAreTheAverageLetterWidthAndTheHeightOfTheFont)
{
    // As documented: the extent of the 52 letters over 26, plus one, halved; and the character height.
    auto measure = [](HFONT font) {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE letters{};
        GetTextExtentPoint32W(dc, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return std::make_pair(static_cast<int>((letters.cx / 26 + 1) / 2), static_cast<int>(metrics.tmHeight));
    };
    LONG system = GetDialogBaseUnits();
    EXPECT_EQ(std::make_pair(static_cast<int>(LOWORD(system)), static_cast<int>(HIWORD(system))),
              measure(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))));

    DialogBytes bold = Template({Field(1)}, WS_POPUP | DS_SETFONT);
    bold.extended = true;
    bold.pointSize = 12;
    bold.weight = FW_BOLD;
    bold.face = u"Tahoma";
    HWND hwnd = Create(bold);
    ASSERT_NE(hwnd, nullptr);
    auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(hwnd, 1), WM_GETFONT, 0, 0)), font);
    LOGFONTW description{};
    ASSERT_EQ(GetObjectW(font, sizeof description, &description), static_cast<int>(sizeof description));
    EXPECT_EQ(description.lfWeight, FW_BOLD);
    EXPECT_EQ(std::u16string(description.lfFaceName), u"Tahoma");
    EXPECT_EQ(description.lfHeight, -((12 * 96 + 36) / 72)); // twelve points at the profile's 96 dpi
    RECT unit{0, 0, 4, 8};
    MapDialogRect(hwnd, &unit);
    EXPECT_EQ(std::make_pair(static_cast<int>(unit.right), static_cast<int>(unit.bottom)), measure(font));
    DestroyWindow(hwnd);
    EXPECT_EQ(GetObjectW(font, sizeof description, &description), 0); // the dialog's font went with it
}

TEST_F(Dialogs, CreationSendsTheFontThenInitDialogWithTheParameter)
{
    ItemBytes withData = Field(2);
    withData.data = {'h', 'i'};
    DialogBytes dialog = Template({Field(1), withData}, WS_POPUP | DS_SETFONT);
    dialog.pointSize = 8;
    dialog.face = u"Tahoma";
    LPARAM seenParam = 0;
    HWND seenFocusControl = nullptr;
    int controlsAtInit = 0;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) -> BOOL {
        if (msg == WM_SETFONT)
            g_events.push_back("font:dialog");
        if (msg == WM_INITDIALOG) {
            g_events.push_back("init");
            seenParam = lp;
            seenFocusControl = reinterpret_cast<HWND>(wp);
            controlsAtInit = (GetDlgItem(hwnd, 1) ? 1 : 0) + (GetDlgItem(hwnd, 2) ? 1 : 0);
        }
        return FALSE;
    };
    HWND hwnd = Create(dialog, 1234);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(seenParam, 1234);
    EXPECT_EQ(controlsAtInit, 2);
    EXPECT_EQ(seenFocusControl, GetDlgItem(hwnd, 1));
    std::vector<std::string> expected{"font:dialog", "font:1", "data:hi", "font:2", "init"};
    EXPECT_EQ(g_events, expected);
    EXPECT_FALSE(IsWindowVisible(hwnd)); // the template did not ask for WS_VISIBLE
    WCHAR cls[16];
    GetClassNameW(hwnd, cls, 16);
    EXPECT_EQ(std::u16string(cls), u"Dialog");
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, AMissingControlClassFailsCreationUnlessTheTemplateAllowsIt)
{
    ItemBytes missing;
    missing.className = u"NoSuchClass";
    missing.id = 9;
    DialogBytes dialog = Template({Field(1), missing});
    bool initialised = false;
    g_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> BOOL {
        initialised = initialised || msg == WM_INITDIALOG;
        return FALSE;
    };

    EXPECT_EQ(Create(dialog), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(FindWindowW(u"Dialog", u"Test dialog"), nullptr);
    EXPECT_EQ(RunModal(dialog, m_owner), -1);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_FALSE(initialised);
    EXPECT_EQ(RunModal(Template({Field(1)}), reinterpret_cast<HWND>(0x5678)), -1); // no such owner
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(initialised);

    dialog.style |= DS_NOFAILCREATE;
    HWND tolerant = Create(dialog);
    ASSERT_NE(tolerant, nullptr);
    EXPECT_NE(GetDlgItem(tolerant, 1), nullptr);
    EXPECT_EQ(GetDlgItem(tolerant, 9), nullptr);
    DestroyWindow(tolerant);
}

TEST_F(Dialogs, InitDialogReturningTrueFocusesTheFirstTabStop)
{
    // Control 1 is no tab stop and control 2 is disabled: the first tab stop that can take the focus is 3.
    std::vector<ItemBytes> items{Field(1, 0), Field(2, WS_TABSTOP | WS_DISABLED), Field(3), Field(4)};
    g_handler = [](HWND, UINT msg, WPARAM, LPARAM) -> BOOL { return msg == WM_INITDIALOG; };
    HWND first = Create(Template(items));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetFocus(), GetDlgItem(first, 3));
    EXPECT_EQ(GetActiveWindow(), first);
    DestroyWindow(first);

    // FALSE leaves the focus where the procedure put it.
    g_handler = [](HWND hwnd, UINT msg, WPARAM, LPARAM) -> BOOL {
        if (msg == WM_INITDIALOG)
            SetFocus(GetDlgItem(hwnd, 4));
        return FALSE;
    };
    g_events.clear();
    HWND second = Create(Template(items));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetFocus(), GetDlgItem(second, 4));
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "focus:3"), 0);
    DestroyWindow(second);
}

TEST_F(Dialogs, TheFocusedControlComesBackWhenTheDialogIsActivatedAgain)
{
    g_handler = [](HWND, UINT msg, WPARAM, LPARAM) -> BOOL { return msg == WM_INITDIALOG; };
    HWND hwnd = Create(Template({Field(1), Field(2)}));
    ASSERT_NE(hwnd, nullptr);
    SetFocus(GetDlgItem(hwnd, 2));
    SetActiveWindow(m_owner);
    EXPECT_NE(GetFocus(), GetDlgItem(hwnd, 2));
    SetActiveWindow(hwnd);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, 2));
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, TheModalLoopDisablesTheOwnerUntilTheDialogEnds)
{
    bool ownerEnabledDuring = true;
    HWND dialogWindow = nullptr;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> BOOL {
        if (msg == WM_INITDIALOG) {
            dialogWindow = hwnd;
            PostMessageW(hwnd, WM_APP, 0, 0); // runs once the loop is going
        } else if (msg == WM_APP) {
            ownerEnabledDuring = IsWindowEnabled(m_owner);
            EXPECT_EQ(GetWindow(hwnd, GW_OWNER), m_owner);
            EndDialog(hwnd, 42);
        }
        return FALSE;
    };
    // The program passes a control of its main window; the main window is the owner.
    EXPECT_EQ(RunModal(Template({Field(1)}), m_ownerChild), 42);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_EQ(GetActiveWindow(), m_owner);
}

TEST_F(Dialogs, EndDialogFromAnotherThreadWakesTheModalLoop)
{
    auto ui = device::ThreadQueue::ForThread(device::CurrentThreadId());
    std::thread worker;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> BOOL {
        if (msg == WM_INITDIALOG) {
            worker = std::thread([hwnd, ui] {
                // Once the loop waits with nothing to do, only EndDialog can wake it.
                ui->WaitIdle(60000);
                EndDialog(hwnd, 7);
            });
        }
        return FALSE;
    };
    EXPECT_EQ(RunModal(Template({Field(1)}), m_owner), 7);
    worker.join();
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(Dialogs, ANestedModalDialogReturnsItsCodeToTheFirst)
{
    DialogBytes outer = Template({Field(1)});
    DialogBytes inner = Template({Field(2)});
    inner.title = u"Inner";
    INT_PTR innerResult = 0;
    bool outerEnabledDuringInner = true;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> BOOL {
        bool isInner = GetDlgItem(hwnd, 2) != nullptr;
        if (msg == WM_INITDIALOG) {
            PostMessageW(hwnd, WM_APP, 0, 0);
        } else if (msg == WM_APP && isInner) {
            outerEnabledDuringInner = IsWindowEnabled(GetWindow(hwnd, GW_OWNER));
            EndDialog(hwnd, 5);
        } else if (msg == WM_APP) {
            innerResult = RunModal(inner, hwnd);
            EXPECT_TRUE(IsWindowEnabled(hwnd));
            EXPECT_FALSE(IsWindowEnabled(m_owner));
            EndDialog(hwnd, innerResult + 1);
        }
        return FALSE;
    };
    EXPECT_EQ(RunModal(outer, m_owner), 6);
    EXPECT_EQ(innerResult, 5);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(Dialogs, AQuitRequestEndsTheModalLoopAndReachesTheOuterLoop)
{
    HWND dialogWindow = nullptr;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> BOOL {
        if (msg == WM_INITDIALOG) {
            dialogWindow = hwnd;
            PostQuitMessage(3);
        }
        return FALSE;
    };
    EXPECT_EQ(RunModal(Template({Field(1)}), m_owner), 0);
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Dialogs, EndingDuringInitDialogNeverShowsTheDialog)
{
    bool shown = false;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM) -> BOOL {
        if (msg == WM_INITDIALOG)
            EndDialog(hwnd, 9);
        if (msg == WM_SHOWWINDOW && wp)
            shown = true;
        return FALSE;
    };
    EXPECT_EQ(RunModal(Template({Field(1)}), m_owner), 9);
    EXPECT_FALSE(shown);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(Dialogs, TheDialogProcedureDecidesWhatDefDlgProcAnswers)
{
    HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
    g_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM) -> BOOL {
        switch (msg) {
        case WM_CTLCOLORSTATIC: return static_cast<BOOL>(reinterpret_cast<INT_PTR>(brush));
        case WM_APP: SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 77); return TRUE;
        case WM_APP + 1: SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 55); return FALSE; // not handled
        }
        return FALSE;
    };
    HWND hwnd = Create(Template({Field(1)}));
    ASSERT_NE(hwnd, nullptr);
    // Handled: a brush comes back as the procedure returned it, other results from DWL_MSGRESULT.
    EXPECT_EQ(SendMessageW(hwnd, WM_CTLCOLORSTATIC, 0, 0), reinterpret_cast<LRESULT>(brush));
    EXPECT_EQ(SendMessageW(hwnd, WM_APP, 0, 0), 77);
    // Not handled: the default handling answers.
    EXPECT_EQ(SendMessageW(hwnd, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
    WCHAR title[32];
    EXPECT_EQ(GetWindowTextW(hwnd, title, 32), 11);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&TestDialogProc));
    SetWindowLongPtrW(hwnd, DWLP_USER, 99);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, DWLP_USER), 99);
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, TheBackgroundIsTheBrushTheDialogAsksFor)
{
    HBRUSH chosen = nullptr;
    g_handler = [&](HWND, UINT msg, WPARAM, LPARAM) -> BOOL {
        return msg == WM_CTLCOLORDLG ? static_cast<BOOL>(reinterpret_cast<INT_PTR>(chosen)) : FALSE;
    };
    HWND hwnd = Create(Template({Field(1)}));
    auto erasedWith = [&] {
        device::ClearDrawing(hwnd);
        HDC dc = GetDC(hwnd);
        SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(hwnd, dc);
        auto drawing = device::DrawingOf(hwnd);
        EXPECT_EQ(drawing.size(), 1u);
        auto fill = drawing.empty() ? nullptr : std::get_if<device::FillDrawing>(&drawing[0].what);
        return fill ? fill->color : CLR_INVALID;
    };
    EXPECT_EQ(erasedWith(), GetSysColor(COLOR_WINDOW)); // not handled: the default brush
    chosen = GetSysColorBrush(COLOR_HIGHLIGHT);
    EXPECT_EQ(erasedWith(), GetSysColor(COLOR_HIGHLIGHT));
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, ClosingADialogIsCancellingIt)
{
    std::vector<WORD> commands;
    g_handler = [&](HWND, UINT msg, WPARAM wp, LPARAM) -> BOOL {
        if (msg == WM_COMMAND)
            commands.push_back(LOWORD(wp));
        return FALSE;
    };
    HWND hwnd = Create(Template({Field(1)}));
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(hwnd)); // cancelling is the procedure's business
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], IDCANCEL);
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, EnterChoosesTheDefaultButtonAndBackCancels)
{
    std::vector<WORD> commands;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM) -> BOOL {
        switch (msg) {
        case WM_INITDIALOG:
            // Keys arrive as the device delivers them: to the focused control, through the queue.
            PostMessageW(GetDlgItem(hwnd, 1), WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(hwnd, WM_APP, 0, 0);
            return TRUE;
        case WM_APP:
            SendMessageW(hwnd, DM_SETDEFID, 9, 0);
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
            return TRUE;
        case WM_COMMAND:
            commands.push_back(LOWORD(wp));
            if (LOWORD(wp) == IDCANCEL)
                EndDialog(hwnd, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(RunModal(Template({Field(1), Field(2)}), m_owner), IDCANCEL);
    // Without a default button Enter means IDOK; after DM_SETDEFID it means that button.
    std::vector<WORD> expected{IDOK, 9, IDCANCEL};
    EXPECT_EQ(commands, expected);
}

TEST_F(Dialogs, AControlThatWantsAllKeysKeepsEnter)
{
    std::vector<WORD> commands;
    std::vector<UINT> keysAtField;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM) -> BOOL {
        if (msg == WM_INITDIALOG) {
            SetWindowLongPtrW(GetDlgItem(hwnd, 1), GWLP_USERDATA, DLGC_WANTALLKEYS);
            PostMessageW(GetDlgItem(hwnd, 1), WM_KEYDOWN, VK_RETURN, 0);
            PostMessageW(hwnd, WM_APP, 0, 0);
            return TRUE;
        }
        if (msg == WM_COMMAND)
            commands.push_back(LOWORD(wp));
        if (msg == WM_APP)
            EndDialog(hwnd, 1);
        return FALSE;
    };
    EXPECT_EQ(RunModal(Template({Field(1)}), m_owner), 1);
    EXPECT_TRUE(commands.empty());
}

TEST_F(Dialogs, UpAndDownMoveBetweenTabStopsOnASmartphone)
{
    g_handler = [](HWND, UINT msg, WPARAM, LPARAM) -> BOOL { return msg == WM_INITDIALOG; };
    HWND hwnd = Create(Template({Field(1), Field(2, 0), Field(3), Field(4, WS_TABSTOP | WS_DISABLED)}));
    ASSERT_EQ(GetFocus(), GetDlgItem(hwnd, 1));
    auto press = [&](WPARAM vk) {
        MSG msg{GetFocus(), WM_KEYDOWN, vk, 0, 0, {}};
        EXPECT_TRUE(IsDialogMessageW(hwnd, &msg));
        return GetDlgCtrlID(GetFocus());
    };
    EXPECT_EQ(press(VK_DOWN), 3); // 2 is no tab stop
    EXPECT_EQ(press(VK_DOWN), 1); // 4 is disabled: round to the first
    EXPECT_EQ(press(VK_UP), 3);
    EXPECT_EQ(press(VK_TAB), 1);

    // A control that wants the arrows keeps them.
    SetWindowLongPtrW(GetDlgItem(hwnd, 1), GWLP_USERDATA, DLGC_WANTARROWS);
    EXPECT_EQ(press(VK_DOWN), 1);
    DestroyWindow(hwnd);
}

TEST(DialogsOnAPocketPC, ArrowsMoveWithinAGroupAndTabBetweenTabStops)
{
    testing_support::DeviceOptions options;
    options.profile.platform = "PocketPC";
    TempDevice device(options);
    WNDCLASSW wc{};
    wc.lpfnWndProc = FieldProc;
    wc.cbWndExtra = sizeof(LONG);
    wc.lpszClassName = u"TestField";
    RegisterClassW(&wc);
    g_handler = [](HWND, UINT msg, WPARAM, LPARAM) -> BOOL { return msg == WM_INITDIALOG; };
    // Two groups: 1 2 3 and 4 5.
    HWND hwnd = CreateModeless(Template({Field(1, WS_TABSTOP | WS_GROUP), Field(2, 0), Field(3, 0),
                                         Field(4, WS_TABSTOP | WS_GROUP), Field(5, 0)}),
                               nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgGroupItem(hwnd, GetDlgItem(hwnd, 3), FALSE)), 1);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgGroupItem(hwnd, GetDlgItem(hwnd, 1), TRUE)), 3);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgGroupItem(hwnd, GetDlgItem(hwnd, 5), FALSE)), 4);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(hwnd, GetDlgItem(hwnd, 2), FALSE)), 4);
    EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(hwnd, nullptr, TRUE)), 4);

    auto press = [&](WPARAM vk) {
        MSG msg{GetFocus(), WM_KEYDOWN, vk, 0, 0, {}};
        IsDialogMessageW(hwnd, &msg);
        return GetDlgCtrlID(GetFocus());
    };
    ASSERT_EQ(GetDlgCtrlID(GetFocus()), 1);
    EXPECT_EQ(press(VK_DOWN), 2);
    EXPECT_EQ(press(VK_DOWN), 3);
    EXPECT_EQ(press(VK_DOWN), 1);
    EXPECT_EQ(press(VK_TAB), 4);
    DestroyWindow(hwnd);
    g_handler = nullptr;
    UnregisterClassW(u"TestField", nullptr);
}

TEST_F(Dialogs, ItemTextNumbersAndChecksGoThroughTheControls)
{
    HWND hwnd = Create(Template({Field(1), Field(2)}));
    ASSERT_NE(hwnd, nullptr);

    EXPECT_TRUE(SetDlgItemTextW(hwnd, 1, u"hello"));
    WCHAR text[4];
    EXPECT_EQ(GetDlgItemTextW(hwnd, 1, text, 4), 3u);
    EXPECT_EQ(std::u16string(text), u"hel");
    EXPECT_EQ(GetDlgItemTextW(hwnd, 99, text, 4), 0u);
    EXPECT_EQ(text[0], 0);

    BOOL ok = FALSE;
    EXPECT_TRUE(SetDlgItemInt(hwnd, 1, static_cast<UINT>(-25), TRUE));
    EXPECT_EQ(static_cast<int>(GetDlgItemInt(hwnd, 1, &ok, TRUE)), -25);
    EXPECT_TRUE(ok);
    GetDlgItemInt(hwnd, 1, &ok, FALSE); // a minus sign is no digit when unsigned
    EXPECT_FALSE(ok);
    SetDlgItemInt(hwnd, 1, 4000000000u, FALSE);
    EXPECT_EQ(GetDlgItemInt(hwnd, 1, &ok, FALSE), 4000000000u);
    EXPECT_TRUE(ok);
    EXPECT_EQ(GetDlgItemInt(hwnd, 1, &ok, TRUE), 0u); // beyond the signed range
    EXPECT_FALSE(ok);
    for (const char16_t* bad : {u"", u"12a", u"1 2", u"99999999999"}) {
        SetDlgItemTextW(hwnd, 1, bad);
        ok = TRUE;
        EXPECT_EQ(GetDlgItemInt(hwnd, 1, &ok, TRUE), 0u);
        EXPECT_FALSE(ok);
    }
    SetDlgItemTextW(hwnd, 1, u"  42 ");
    EXPECT_EQ(GetDlgItemInt(hwnd, 1, &ok, FALSE), 42u);
    EXPECT_TRUE(ok);

    EXPECT_TRUE(CheckDlgButton(hwnd, 2, BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hwnd, 2), static_cast<UINT>(BST_CHECKED));
    CheckRadioButton(hwnd, 1, 2, 1);
    EXPECT_EQ(IsDlgButtonChecked(hwnd, 1), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hwnd, 2), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(CheckDlgButton(hwnd, 99, BST_CHECKED));
    EXPECT_EQ(SendDlgItemMessageW(hwnd, 99, BM_GETCHECK, 0, 0), 0);
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, NextDlgCtlMovesTheFocusByHandleOrByTabOrder)
{
    g_handler = [](HWND, UINT msg, WPARAM, LPARAM) -> BOOL { return msg == WM_INITDIALOG; };
    HWND hwnd = Create(Template({Field(1), Field(2), Field(3)}));
    SendMessageW(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, 3)), TRUE);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 3);
    SendMessageW(hwnd, WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 2);
    SendMessageW(hwnd, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), 3);
    DestroyWindow(hwnd);
}

TEST_F(Dialogs, TheDialogClassIsKnownByItsAtomToo)
{
    WNDCLASSW byAtom{}, byName{};
    ASSERT_TRUE(GetClassInfoW(nullptr, MAKEINTATOM(0x8002), &byAtom));
    ASSERT_TRUE(GetClassInfoW(nullptr, WC_DIALOG, &byName));
    EXPECT_EQ(byAtom.lpfnWndProc, &DefDlgProcW);
    EXPECT_EQ(byName.lpfnWndProc, &DefDlgProcW);
    EXPECT_GE(byName.cbWndExtra, DLGWINDOWEXTRA);
    EXPECT_FALSE(UnregisterClassW(WC_DIALOG, nullptr)); // a system class stays
}
