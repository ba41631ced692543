#include <windows.h>

#include "gdi/Drawing.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <string>

using testing_support::DeviceOptions;
using testing_support::TempDevice;

namespace {

// A font made from the stock system font's description, as programs make theirs.
HFONT MakeFont(LONG height, LONG weight, bool strikeOut = false)
{
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfStrikeOut = strikeOut;
    return CreateFontIndirectW(&font);
}

// A device context with a font selected for one test, put back and released afterwards.
class Measuring {
public:
    explicit Measuring(HFONT font = nullptr, HWND window = nullptr) : m_window(window), m_hdc(GetDC(window))
    {
        if (font)
            m_previous = SelectObject(m_hdc, font);
    }
    ~Measuring()
    {
        if (m_previous)
            SelectObject(m_hdc, m_previous);
        ReleaseDC(m_window, m_hdc);
    }
    operator HDC() const { return m_hdc; }

    TEXTMETRICW Metrics() const
    {
        TEXTMETRICW tm{};
        GetTextMetricsW(m_hdc, &tm);
        return tm;
    }
    int Width(std::u16string_view text) const
    {
        SIZE size{};
        GetTextExtentPoint32W(m_hdc, text.data(), int(text.size()), &size);
        return size.cx;
    }

private:
    HWND m_window;
    HDC m_hdc;
    HGDIOBJ m_previous = nullptr;
};

class Gdi : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = TEXT("GdiCanvas");
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, TEXT("GdiCanvas"), TEXT(""), WS_VISIBLE, 0, 0, 240, 200, nullptr, nullptr,
                                   nullptr, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(m_window);
        UnregisterClassW(TEXT("GdiCanvas"), nullptr);
    }

    // The text operations recorded for the test window, in drawing order.
    std::vector<device::TextDrawing> Texts() const
    {
        std::vector<device::TextDrawing> texts;
        for (auto& drawing : device::DrawingOf(m_window))
            if (auto text = std::get_if<device::TextDrawing>(&drawing.what))
                texts.push_back(*text);
        return texts;
    }

    TempDevice m_device;
    HWND m_window = nullptr;
};

const std::u16string kSentence = u"The quick brown fox jumps over the lazy dog";

} // namespace

TEST_F(Gdi, TextMetricsGrowWithHeightAndBoldWidensText)
{
    HFONT small = MakeFont(-12, FW_NORMAL), large = MakeFont(-24, FW_NORMAL), bold = MakeFont(-12, FW_BOLD);
    TEXTMETRICW smallMetrics, largeMetrics, boldMetrics;
    int smallWidth, largeWidth, boldWidth;
    {
        Measuring dc(small);
        smallMetrics = dc.Metrics();
        smallWidth = dc.Width(kSentence);
    }
    {
        Measuring dc(large);
        largeMetrics = dc.Metrics();
        largeWidth = dc.Width(kSentence);
    }
    {
        Measuring dc(bold);
        boldMetrics = dc.Metrics();
        boldWidth = dc.Width(kSentence);
    }
    // A negative height is the character height: the cell adds the internal leading to it.
    EXPECT_EQ(smallMetrics.tmHeight - smallMetrics.tmInternalLeading, 12);
    EXPECT_EQ(largeMetrics.tmHeight - largeMetrics.tmInternalLeading, 24);
    EXPECT_EQ(smallMetrics.tmHeight, smallMetrics.tmAscent + smallMetrics.tmDescent);
    EXPECT_GT(largeMetrics.tmAscent, smallMetrics.tmAscent);
    EXPECT_GT(largeMetrics.tmAveCharWidth, smallMetrics.tmAveCharWidth);
    EXPECT_GT(largeWidth, smallWidth * 3 / 2);
    EXPECT_GT(boldWidth, smallWidth);
    EXPECT_EQ(boldMetrics.tmWeight, FW_BOLD);
    EXPECT_EQ(smallMetrics.tmWeight, FW_NORMAL);
    EXPECT_EQ(boldMetrics.tmHeight, smallMetrics.tmHeight); // weight changes widths, not heights
    EXPECT_GE(smallMetrics.tmMaxCharWidth, smallMetrics.tmAveCharWidth);

    // A positive height is the whole cell.
    HFONT cell = MakeFont(17, FW_NORMAL);
    {
        Measuring dc(cell);
        EXPECT_EQ(dc.Metrics().tmHeight, 17);
        EXPECT_LT(dc.Metrics().tmHeight - dc.Metrics().tmInternalLeading, 17);
        // Widths add up character by character, and measuring is the same every time.
        EXPECT_EQ(dc.Width(u"ab"), dc.Width(u"a") + dc.Width(u"b"));
        EXPECT_EQ(dc.Width(kSentence), dc.Width(kSentence));
        EXPECT_GT(dc.Width(u"W"), dc.Width(u"i"));
        EXPECT_EQ(dc.Width(u""), 0);
    }
    for (HFONT font : {small, large, bold, cell})
        EXPECT_TRUE(DeleteObject(font));
}

TEST_F(Gdi, FontsKeepTheDescriptionTheyWereMadeFrom)
{
    LOGFONTW system{};
    ASSERT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), sizeof system, &system), int(sizeof system));
    EXPECT_LT(system.lfHeight, 0);
    EXPECT_NE(system.lfFaceName[0], 0);
    EXPECT_EQ(GetObjectW(GetStockObject(SYSTEM_FONT), 0, nullptr), int(sizeof(LOGFONTW)));

    HFONT font = MakeFont(-13 * 96 / -72, FW_BOLD, true);
    LOGFONTW described{};
    ASSERT_EQ(GetObjectW(font, sizeof described, &described), int(sizeof described));
    EXPECT_EQ(described.lfHeight, 17);
    EXPECT_EQ(described.lfWeight, FW_BOLD);
    EXPECT_EQ(described.lfStrikeOut, 1);
    EXPECT_EQ(std::u16string(described.lfFaceName), std::u16string(system.lfFaceName));

    LOGPEN pen{};
    HPEN red = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
    ASSERT_EQ(GetObjectW(red, sizeof pen, &pen), int(sizeof pen));
    EXPECT_EQ(pen.lopnStyle, UINT(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 2);
    EXPECT_EQ(pen.lopnColor, RGB(255, 0, 0));
    EXPECT_EQ(CreatePen(7, 1, 0), nullptr); // a style the device does not draw

    LOGBRUSH brush{};
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    ASSERT_EQ(GetObjectW(blue, sizeof brush, &brush), int(sizeof brush));
    EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(0, 0, 255));
    ASSERT_EQ(GetObjectW(GetSysColorBrush(COLOR_HIGHLIGHT), sizeof brush, &brush), int(sizeof brush));
    EXPECT_EQ(brush.lbColor, GetSysColor(COLOR_HIGHLIGHT));
    ASSERT_EQ(GetObjectW(GetStockObject(NULL_BRUSH), sizeof brush, &brush), int(sizeof brush));
    EXPECT_EQ(brush.lbStyle, UINT(BS_NULL));

    for (HGDIOBJ object : {HGDIOBJ(font), HGDIOBJ(red), HGDIOBJ(blue)})
        EXPECT_TRUE(DeleteObject(object));
    SetLastError(0);
    EXPECT_EQ(GetObjectW(font, sizeof described, &described), 0); // gone
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(Gdi, StockObjectsSurviveDeleteAndSelectedObjectsRefuseIt)
{
    for (int stock : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, BLACK_PEN, WHITE_PEN, NULL_PEN, SYSTEM_FONT}) {
        HGDIOBJ object = GetStockObject(stock);
        ASSERT_NE(object, nullptr) << stock;
        EXPECT_TRUE(DeleteObject(object)) << stock;
        EXPECT_EQ(GetStockObject(stock), object);
        EXPECT_GT(GetObjectW(object, 0, nullptr), 0) << stock;
    }
    EXPECT_EQ(GetStockObject(9), nullptr); // no stock object has that number
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_WINDOW)));

    HDC hdc = GetDC(m_window);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HFONT font = MakeFont(-12, FW_NORMAL);
    EXPECT_EQ(SelectObject(hdc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(hdc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(hdc, font), GetStockObject(SYSTEM_FONT));
    SetLastError(0);
    EXPECT_FALSE(DeleteObject(pen)); // still selected: kept
    EXPECT_NE(GetLastError(), DWORD(0));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_GT(GetObjectW(pen, 0, nullptr), 0);
    EXPECT_EQ(SelectObject(hdc, GetSysColorBrush(COLOR_BTNFACE)), brush);
    EXPECT_EQ(SelectObject(hdc, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(hdc, GetStockObject(SYSTEM_FONT)), font);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(pen)); // a second time: the handle names nothing
    EXPECT_EQ(SelectObject(hdc, pen), nullptr);
    EXPECT_EQ(ReleaseDC(m_window, hdc), 1);
    EXPECT_EQ(ReleaseDC(m_window, hdc), 0);
    EXPECT_EQ(SelectObject(hdc, GetStockObject(BLACK_PEN)), nullptr);
}

TEST_F(Gdi, ContextColoursAndModesAnswerWithThePreviousValue)
{
    HDC hdc = GetDC(m_window);
    EXPECT_EQ(GetTextColor(hdc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(hdc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(hdc), OPAQUE);
    EXPECT_EQ(SetTextColor(hdc, RGB(0, 0, 255)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(hdc, RGB(1, 1, 1)), RGB(0, 0, 255));
    EXPECT_EQ(SetBkColor(hdc, RGB(9, 9, 9)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkMode(hdc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(hdc, 7), 0);
    EXPECT_EQ(GetBkMode(hdc), TRANSPARENT);
    ReleaseDC(m_window, hdc);
    EXPECT_EQ(GetTextColor(hdc), CLR_INVALID);
    EXPECT_EQ(SetBkColor(hdc, 0), CLR_INVALID);
    // A fresh context starts from the defaults again.
    HDC again = GetDC(m_window);
    EXPECT_EQ(GetTextColor(again), RGB(0, 0, 0));
    ReleaseDC(m_window, again);
}

TEST(GdiDevice, DeviceCapsFollowTheHighResolutionProfile)
{
    DeviceOptions options;
    options.profile.dpi = 192;
    options.profile.screenWidth = 480;
    options.profile.screenHeight = 640;
    TempDevice device(options);
    HDC hdc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(hdc, LOGPIXELSX), 192);
    EXPECT_EQ(GetDeviceCaps(hdc, LOGPIXELSY), 192);
    EXPECT_EQ(GetDeviceCaps(hdc, HORZRES), 480);
    EXPECT_EQ(GetDeviceCaps(hdc, VERTRES), 640);
    EXPECT_EQ(GetDeviceCaps(hdc, BITSPIXEL), 16);
    EXPECT_EQ(GetDeviceCaps(hdc, HORZSIZE), 64); // 480 px at 192 dpi is 2.5 inches
    // The system font is as tall in points as at 96 dpi, so twice as many pixels.
    LOGFONTW system{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof system, &system);
    EXPECT_EQ(system.lfHeight, -24);
    TEXTMETRICW tm{};
    GetTextMetricsW(hdc, &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 24);
    EXPECT_EQ(tm.tmDigitizedAspectY, 192);
    ReleaseDC(nullptr, hdc);
    EXPECT_EQ(GetDeviceCaps(hdc, LOGPIXELSX), 0); // released
}

TEST_F(Gdi, EndEllipsisCutsTextToFitAndTheRecordShowsTheCutText)
{
    Measuring dc(nullptr, m_window);
    RECT rect{10, 10, 110, 40};
    int full = dc.Width(kSentence);
    ASSERT_GT(full, 100);
    DrawTextW(dc, kSentence.c_str(), -1, &rect, DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    const std::u16string& shown = texts[0].text;
    ASSERT_GT(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), u"...");
    std::u16string kept = shown.substr(0, shown.size() - 3);
    EXPECT_EQ(kSentence.substr(0, kept.size()), kept);
    EXPECT_LE(dc.Width(shown), 100);
    // As much as fits is kept: one more character would not have fitted.
    EXPECT_GT(dc.Width(kSentence.substr(0, kept.size() + 1) + u"..."), 100);
    EXPECT_EQ(texts[0].lines[0].rect.left, 10);
    EXPECT_EQ(texts[0].rect.right, 110);

    // Where not even one character fits beside the dots, the dots are all that is left.
    RECT narrow{0, 0, dc.Width(u"..."), 20};
    DrawTextW(dc, u"Wide", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Texts().back().text, u"...");
    // Text that fits is drawn whole, even with the flag.
    DrawTextW(dc, u"fox", -1, &rect, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Texts().back().text, u"fox");
    // Without the flag the text runs to the edge and is clipped there: the record keeps all of it.
    DrawTextW(dc, kSentence.c_str(), -1, &rect, DT_SINGLELINE);
    EXPECT_EQ(Texts().back().text, kSentence);
    EXPECT_EQ(device::DrawingOf(m_window).back().bounds.right, 110);
}

TEST_F(Gdi, WordBreakWrapsAndCalcRectMeasuresWithoutDrawing)
{
    Measuring dc(nullptr, m_window);
    int lineHeight = dc.Metrics().tmHeight;
    RECT measured{0, 0, 120, 0};
    int height = DrawTextW(dc, kSentence.c_str(), -1, &measured, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_TRUE(device::DrawingOf(m_window).empty()); // measuring draws nothing
    ASSERT_GT(height, lineHeight);
    EXPECT_EQ(height % lineHeight, 0);
    EXPECT_EQ(measured.bottom, height);
    EXPECT_EQ(measured.right, 120); // several lines keep the given width

    RECT rect{5, 5, 125, 200};
    EXPECT_EQ(DrawTextW(dc, kSentence.c_str(), -1, &rect, DT_WORDBREAK), height);
    auto texts = Texts();
    ASSERT_EQ(texts.size(), 1u);
    ASSERT_EQ(int(texts[0].lines.size()), height / lineHeight);
    std::u16string rejoined;
    for (size_t i = 0; i < texts[0].lines.size(); ++i) {
        const auto& line = texts[0].lines[i];
        EXPECT_LE(line.rect.right - line.rect.left, 120) << i;
        EXPECT_EQ(line.rect.top, 5 + int(i) * lineHeight);
        EXPECT_EQ(line.text.front() == u' ' || line.text.back() == u' ', false) << "spaces at a break are dropped";
        rejoined += (i ? u" " : u"") + line.text;
    }
    EXPECT_EQ(rejoined, kSentence);
    // Each line is as full as it can be: its next word would not have fitted.
    const auto& first = texts[0].lines[0].text;
    std::u16string next = kSentence.substr(0, kSentence.find(u' ', first.size() + 1));
    EXPECT_GT(dc.Width(next), 120);

    // Line ends break lines too; a single line is measured to its own width.
    RECT twoLines{0, 0, 500, 0};
    EXPECT_EQ(DrawTextW(dc, u"one\r\ntwo", -1, &twoLines, DT_CALCRECT), 2 * lineHeight);
    RECT oneLine{0, 0, 500, 0};
    EXPECT_EQ(DrawTextW(dc, u"one\r\ntwo", -1, &oneLine, DT_CALCRECT | DT_SINGLELINE), lineHeight);
    RECT word{3, 0, 500, 0};
    DrawTextW(dc, u"word", 4, &word, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(word.right, 3 + dc.Width(u"word"));
}

TEST_F(Gdi, SingleLinesArePlacedAcrossAndDownTheRectangle)
{
    Measuring dc(nullptr, m_window);
    int lineHeight = dc.Metrics().tmHeight;
    int width = dc.Width(u"Centre");
    RECT rect{20, 40, 220, 100};

    int offset = DrawTextW(dc, u"Centre", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RECT line = Texts().back().lines[0].rect;
    EXPECT_EQ(line.left, 20 + (200 - width) / 2);
    EXPECT_EQ(line.top, 40 + (60 - lineHeight) / 2);
    EXPECT_EQ(offset, line.bottom - 40); // from the rectangle's top to the text's bottom

    offset = DrawTextW(dc, u"Centre", -1, &rect, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    line = Texts().back().lines[0].rect;
    EXPECT_EQ(line.right, 220);
    EXPECT_EQ(line.bottom, 100);
    EXPECT_EQ(offset, 60);

    // Down the rectangle only a single line moves; several lines start at the top.
    EXPECT_EQ(DrawTextW(dc, u"a\nb", -1, &rect, DT_BOTTOM), 2 * lineHeight);
    EXPECT_EQ(Texts().back().lines[0].rect.top, 40);
}

TEST_F(Gdi, AmpersandsMarkTheUnderlinedCharacterUnlessNoPrefixIsAsked)
{
    Measuring dc(nullptr, m_window);
    RECT rect{0, 0, 200, 20};
    DrawTextW(dc, u"&Save && exit", -1, &rect, DT_SINGLELINE);
    auto prefixed = Texts().back();
    EXPECT_EQ(prefixed.text, u"Save & exit");
    EXPECT_EQ(prefixed.lines[0].underlined, 0);
    EXPECT_EQ(prefixed.lines[0].rect.right - prefixed.lines[0].rect.left, dc.Width(u"Save & exit"));

    DrawTextW(dc, u"&Save && exit", -1, &rect, DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(Texts().back().text, u"&Save && exit");
    EXPECT_EQ(Texts().back().lines[0].underlined, -1);

    DrawTextW(dc, u"Tab\tstop", -1, &rect, DT_SINGLELINE | DT_EXPANDTABS);
    int tab = 8 * dc.Metrics().tmAveCharWidth;
    RECT expanded = Texts().back().lines[0].rect;
    EXPECT_EQ(expanded.right - expanded.left, tab + dc.Width(u"stop"));
}

TEST_F(Gdi, TextExtentsReportWhatFitsAndBadArgumentsFail)
{
    Measuring dc;
    std::u16string text = u"abcdef";
    int fit = 0, dx[6] = {};
    SIZE size{};
    int limit = dc.Width(u"abc");
    ASSERT_TRUE(GetTextExtentExPointW(dc, text.c_str(), 6, limit, &fit, dx, &size));
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(dx[2], limit);
    EXPECT_EQ(dx[5], size.cx);
    EXPECT_EQ(size.cy, dc.Metrics().tmHeight);

    RECT rect{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(dc, nullptr, 3, &rect, 0), 0);
    EXPECT_EQ(DrawTextW(dc, u"x", 1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextW(reinterpret_cast<HDC>(0x1234), u"x", 1, &rect, 0), 0);
    EXPECT_FALSE(GetTextExtentPoint32W(dc, u"x", -1, &size));
    EXPECT_FALSE(GetTextMetricsW(reinterpret_cast<HDC>(0x1234), nullptr));
}

TEST_F(Gdi, TextAtAPointTakesItsCellAndOpaqueRectangles)
{
    Measuring dc(nullptr, m_window);
    SetBkColor(dc, RGB(255, 255, 0));
    RECT box{0, 0, 60, 30};
    ASSERT_TRUE(ExtTextOutW(dc, 5, 6, ETO_OPAQUE | ETO_CLIPPED, &box, u"Clipped words", 13, nullptr));
    auto drawing = device::DrawingOf(m_window);
    ASSERT_EQ(drawing.size(), 2u);
    auto fill = std::get<device::FillDrawing>(drawing[0].what);
    EXPECT_EQ(fill.color, RGB(255, 255, 0));
    EXPECT_TRUE(EqualRect(&fill.rect, &box));
    auto text = std::get<device::TextDrawing>(drawing[1].what);
    EXPECT_EQ(text.text, u"Clipped words");
    EXPECT_EQ(text.rect.left, 5);
    EXPECT_EQ(text.rect.right, 5 + dc.Width(u"Clipped words"));
    EXPECT_EQ(text.rect.bottom, 6 + dc.Metrics().tmHeight);
    EXPECT_TRUE(text.opaque); // the context's default background mode
    EXPECT_EQ(text.backColor, RGB(255, 255, 0));
    EXPECT_EQ(drawing[1].bounds.right, 60); // clipped to the rectangle

    int advances[] = {10, 10, 10};
    ASSERT_TRUE(TextOutW(dc, 0, 50, u"abc", 3));
    ASSERT_TRUE(ExtTextOutW(dc, 0, 80, 0, nullptr, u"abc", 3, advances));
    auto texts = Texts();
    EXPECT_EQ(texts[1].rect.right, dc.Width(u"abc"));
    EXPECT_EQ(texts[2].rect.right, 30); // the caller's advances
    EXPECT_FALSE(TextOutW(dc, 0, 0, u"abc", -1));
}
