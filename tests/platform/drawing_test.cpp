#include <windows.h>

#include "gdi/Drawing.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using device::DrawingOf;
using device::DrawingWithin;
using testing_support::TempDevice;

namespace {

// What the test window does when asked to paint, and what BeginPaint told it.
std::function<void(HDC, const PAINTSTRUCT&)> g_paint;
PAINTSTRUCT g_lastPaint;

LRESULT CALLBACK PaintingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        g_lastPaint = ps;
        if (g_paint)
            g_paint(hdc, ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b); }

template <class T>
std::vector<T> OfKind(const std::vector<device::Drawing>& drawings)
{
    std::vector<T> result;
    for (auto& drawing : drawings)
        if (auto item = std::get_if<T>(&drawing.what))
            result.push_back(*item);
    return result;
}

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_paint = nullptr;
        WNDCLASSW wc{};
        wc.lpfnWndProc = PaintingProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)); // as WNDCLASS documents
        wc.lpszClassName = TEXT("Painted");
        RegisterClassW(&wc);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_HIGHLIGHT + 1));
        wc.lpszClassName = TEXT("Highlighted");
        RegisterClassW(&wc);
        wc.hbrBackground = nullptr;
        wc.lpszClassName = TEXT("Bare");
        RegisterClassW(&wc);
    }
    void TearDown() override
    {
        g_paint = nullptr;
        for (HWND window : m_windows)
            DestroyWindow(window);
        UnregisterClassW(TEXT("Painted"), nullptr);
        UnregisterClassW(TEXT("Bare"), nullptr);
        UnregisterClassW(TEXT("Highlighted"), nullptr);
    }

    HWND Make(LPCWSTR cls, int width, int height, HWND parent = nullptr)
    {
        HWND window = CreateWindowExW(0, cls, TEXT(""), WS_VISIBLE | (parent ? WS_CHILD : 0), 0, 0, width, height,
                                      parent, nullptr, nullptr, nullptr);
        if (!parent)
            m_windows.push_back(window);
        return window;
    }

    TempDevice m_device;
    std::vector<HWND> m_windows;
};

HFONT StruckOutFont(LONG height)
{
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfHeight = height;
    font.lfStrikeOut = TRUE;
    return CreateFontIndirectW(&font);
}

} // namespace

TEST_F(Drawing, PaintingRecordsTheBackgroundAndTextWithItsFontAndColours)
{
    HFONT font = StruckOutFont(-15);
    g_paint = [&](HDC hdc, const PAINTSTRUCT&) {
        HGDIOBJ previous = SelectObject(hdc, font);
        SetTextColor(hdc, RGB(128, 128, 128));
        SetBkMode(hdc, TRANSPARENT);
        RECT rect{4, 4, 200, 30};
        DrawTextW(hdc, u"Past message", -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(hdc, previous);
    };
    HWND window = Make(TEXT("Painted"), 240, 100);
    UpdateWindow(window);

    auto drawing = DrawingOf(window);
    ASSERT_EQ(drawing.size(), 2u);
    auto fill = std::get<device::FillDrawing>(drawing[0].what);
    EXPECT_TRUE(Same(fill.rect, RECT{0, 0, 240, 100}));
    EXPECT_EQ(fill.color, GetSysColor(COLOR_WINDOW)); // the class brush, resolved
    EXPECT_FALSE(g_lastPaint.fErase);

    auto text = std::get<device::TextDrawing>(drawing[1].what);
    EXPECT_EQ(text.text, u"Past message");
    EXPECT_EQ(text.font.height, -15);
    EXPECT_TRUE(text.font.strikeOut);
    EXPECT_EQ(text.font.weight, FW_NORMAL);
    LOGFONTW system{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    EXPECT_EQ(text.font.face, std::u16string(system.lfFaceName));
    EXPECT_EQ(text.textColor, RGB(128, 128, 128));
    EXPECT_FALSE(text.opaque);
    EXPECT_EQ(text.format, UINT(DT_SINGLELINE | DT_NOPREFIX));

    // Painting the whole window again starts its record afresh.
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(DrawingOf(window).size(), 2u);
    EXPECT_TRUE(DeleteObject(font));
}

TEST_F(Drawing, AClassColourValueIsTheIndexPlusOne)
{
    HWND window = Make(TEXT("Highlighted"), 50, 20);
    UpdateWindow(window);
    auto fills = OfKind<device::FillDrawing>(DrawingOf(window));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].color, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(COLOR_WINDOW + 1, 0x40000006); // the value device programs put in their window classes
}

TEST_F(Drawing, PartialUpdatesAreClippedAndKeepWhatLiesOutside)
{
    int paints = 0;
    g_paint = [&](HDC hdc, const PAINTSTRUCT&) {
        ++paints;
        RECT top{0, 0, 100, 20}, bottom{0, 50, 100, 70};
        DrawTextW(hdc, u"top", -1, &top, DT_SINGLELINE);
        DrawTextW(hdc, u"bottom", -1, &bottom, DT_SINGLELINE);
    };
    HWND window = Make(TEXT("Painted"), 100, 100);
    UpdateWindow(window);
    ASSERT_EQ(OfKind<device::TextDrawing>(DrawingOf(window)).size(), 2u);

    RECT lower{0, 40, 100, 100};
    InvalidateRect(window, &lower, TRUE);
    UpdateWindow(window);
    EXPECT_EQ(paints, 2);
    EXPECT_TRUE(Same(g_lastPaint.rcPaint, lower));
    auto drawing = DrawingOf(window);
    // The first "top" stays; the erase covered the old "bottom"; only "bottom" fell inside the update.
    auto texts = OfKind<device::TextDrawing>(drawing);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, u"top");
    EXPECT_EQ(texts[1].text, u"bottom");
    // The first erase stays under it all: the second covered only some of it.
    auto fills = OfKind<device::FillDrawing>(drawing);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_TRUE(Same(fills[1].rect, lower));
}

TEST_F(Drawing, AClassWithoutBackgroundLeavesTheEraseToThePainter)
{
    HWND window = Make(TEXT("Bare"), 50, 50);
    UpdateWindow(window);
    EXPECT_TRUE(g_lastPaint.fErase);
    EXPECT_TRUE(DrawingOf(window).empty());
    // Painting without an invalid area draws nothing: the update rectangle is empty.
    g_paint = [](HDC hdc, const PAINTSTRUCT&) {
        RECT all{0, 0, 50, 50};
        FillRect(hdc, &all, GetSysColorBrush(COLOR_WINDOW));
    };
    SendMessageW(window, WM_PAINT, 0, 0);
    EXPECT_TRUE(IsRectEmpty(&g_lastPaint.rcPaint));
    EXPECT_TRUE(DrawingOf(window).empty());
}

TEST_F(Drawing, RowsDrawnIntoAChildAreFoundByTheirRectangleInDrawingOrder)
{
    HWND parent = Make(TEXT("Bare"), 240, 300);
    HWND list = Make(TEXT("Bare"), 240, 200, parent);
    UpdateWindow(parent);
    UpdateWindow(list);
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    HPEN separator = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));

    // As a parent's owner-draw handler does for each row, into the list's own context.
    auto drawRow = [&](int index, bool selected, const std::u16string& title) {
        HDC hdc = GetDC(list);
        RECT row{0, index * 40, 240, index * 40 + 40};
        FillRect(hdc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        DrawIcon(hdc, 4, row.top + 4, icon);
        RECT titleRect{40, row.top, 240, row.top + 20}, subtitleRect{40, row.top + 20, 240, row.bottom};
        DrawTextW(hdc, title.c_str(), -1, &titleRect, DT_SINGLELINE | DT_BOTTOM | DT_END_ELLIPSIS);
        DrawTextW(hdc, u"subtitle", -1, &subtitleRect, DT_SINGLELINE | DT_TOP | DT_END_ELLIPSIS);
        HGDIOBJ previous = SelectObject(hdc, separator);
        MoveToEx(hdc, 0, row.bottom - 1, nullptr);
        LineTo(hdc, 240, row.bottom - 1);
        SelectObject(hdc, previous);
        ReleaseDC(list, hdc);
    };
    for (int i = 0; i < 3; ++i)
        drawRow(i, false, u"Row " + std::u16string(1, u'0' + i));

    RECT row1{0, 40, 240, 80};
    auto inRow = DrawingWithin(list, row1);
    ASSERT_EQ(inRow.size(), 5u);
    EXPECT_TRUE(std::holds_alternative<device::FillDrawing>(inRow[0].what));
    auto icons = OfKind<device::IconDrawing>(inRow);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].icon->id, 32512);
    EXPECT_TRUE(Same(icons[0].rect, RECT{4, 44, 4 + GetSystemMetrics(SM_CXICON), 44 + GetSystemMetrics(SM_CYICON)}));
    auto texts = OfKind<device::TextDrawing>(inRow);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, u"Row 1");
    EXPECT_EQ(texts[1].text, u"subtitle");
    auto lines = OfKind<device::LineDrawing>(inRow);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from.y, 79);
    EXPECT_EQ(lines[0].color, GetSysColor(COLOR_BTNFACE));
    EXPECT_TRUE(DrawingOf(parent).empty()); // the parent drew into its child, not into itself

    // Selecting row 1 redraws it: its old drawing is covered, the other rows keep theirs.
    drawRow(1, true, u"Row 1");
    inRow = DrawingWithin(list, row1);
    ASSERT_EQ(inRow.size(), 5u);
    EXPECT_EQ(std::get<device::FillDrawing>(inRow[0].what).color, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(OfKind<device::TextDrawing>(inRow)[0].textColor, GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(DrawingOf(list).size(), 15u);
    EXPECT_EQ(OfKind<device::TextDrawing>(DrawingWithin(list, RECT{0, 80, 240, 120}))[0].text, u"Row 2");

    EXPECT_TRUE(DeleteObject(separator));
    DestroyWindow(list);
    EXPECT_TRUE(DrawingOf(list).empty()); // a destroyed window's drawing is gone with it
}

TEST_F(Drawing, FillsResolveSystemColourBrushesAndSkipTheNullBrush)
{
    HWND window = Make(TEXT("Bare"), 100, 100);
    HDC hdc = GetDC(window);
    RECT rect{10, 10, 50, 30};
    EXPECT_TRUE(FillRect(hdc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT)));
    EXPECT_TRUE(FillRect(hdc, &rect, reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH))));
    SetLastError(0);
    EXPECT_FALSE(FillRect(hdc, &rect, reinterpret_cast<HBRUSH>(0x12345)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    RECT outside{200, 200, 300, 300};
    EXPECT_TRUE(FillRect(hdc, &outside, GetSysColorBrush(COLOR_WINDOW))); // beyond the window: not seen
    auto fills = OfKind<device::FillDrawing>(DrawingOf(window));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].color, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_TRUE(Same(fills[0].rect, rect));

    // A later fill that covers an earlier one wholly hides it; one that covers only some of it does not.
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT half{10, 10, 30, 30};
    FillRect(hdc, &half, red);
    EXPECT_EQ(OfKind<device::FillDrawing>(DrawingOf(window)).size(), 2u);
    RECT all{0, 0, 100, 100};
    FillRect(hdc, &all, red);
    fills = OfKind<device::FillDrawing>(DrawingOf(window));
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].color, RGB(255, 0, 0));
    ReleaseDC(window, hdc);
    EXPECT_TRUE(DeleteObject(red));
}

TEST_F(Drawing, LinesCarryThePenAndMoveTheCurrentPosition)
{
    HWND window = Make(TEXT("Bare"), 100, 100);
    HDC hdc = GetDC(window);
    HPEN thick = CreatePen(PS_SOLID, 3, RGB(0, 0, 255));
    SelectObject(hdc, thick);
    POINT previous{-1, -1};
    MoveToEx(hdc, 5, 50, &previous);
    EXPECT_EQ(previous.x, 0);
    EXPECT_TRUE(LineTo(hdc, 95, 50));
    MoveToEx(hdc, 0, 0, &previous);
    EXPECT_EQ(previous.x, 95); // LineTo leaves the position at its end
    SelectObject(hdc, GetStockObject(NULL_PEN));
    LineTo(hdc, 50, 50); // the null pen draws nothing
    SelectObject(hdc, GetStockObject(BLACK_PEN));

    auto lines = OfKind<device::LineDrawing>(DrawingOf(window));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from.x, 5);
    EXPECT_EQ(lines[0].to.x, 95);
    EXPECT_EQ(lines[0].width, 3);
    EXPECT_EQ(lines[0].color, RGB(0, 0, 255));

    // A rectangle is its inside, filled with the brush, and its outline, drawn with the pen.
    SelectObject(hdc, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_TRUE(Rectangle(hdc, 10, 10, 30, 20));
    auto drawing = DrawingOf(window);
    EXPECT_EQ(OfKind<device::LineDrawing>(drawing).size(), 5u);
    auto fill = OfKind<device::FillDrawing>(drawing).back();
    EXPECT_TRUE(Same(fill.rect, RECT{11, 11, 29, 19}));
    EXPECT_EQ(fill.color, GetSysColor(COLOR_BTNFACE));
    ReleaseDC(window, hdc);
    EXPECT_TRUE(DeleteObject(thick));
}
