#include "gdi/TextLayout.h"

#include <algorithm>

namespace device {

namespace {

constexpr std::u16string_view kEllipsis = u"...";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Measures with tabs advancing to the next multiple of the tab width, counted from the line's start.
class Measure {
public:
    Measure(const FontMetrics& font, int tabWidth) : m_font(font), m_tabWidth(tabWidth) {}

    int operator()(std::u16string_view line) const
    {
        if (m_tabWidth <= 0)
            return m_font.Width(line);
        int x = 0;
        size_t start = 0;
        for (size_t i = 0; i <= line.size(); ++i) {
            if (i < line.size() && line[i] != u'\t')
                continue;
            x += m_font.Width(line.substr(start, i - start));
            if (i < line.size())
                x = (x / m_tabWidth + 1) * m_tabWidth;
            start = i + 1;
        }
        return x;
    }

private:
    const FontMetrics& m_font;
    int m_tabWidth;
};

// A paragraph with its '&' prefixes resolved: "&&" shows one '&', "&x" underlines x.
LaidOutLine TakePrefixes(std::u16string_view paragraph)
{
    LaidOutLine shown;
    for (size_t i = 0; i < paragraph.size(); ++i) {
        if (paragraph[i] == u'&') {
            if (++i == paragraph.size())
                break;
            if (paragraph[i] != u'&')
                shown.underlined = static_cast<int>(shown.text.size());
        }
        shown.text.push_back(paragraph[i]);
    }
    return shown;
}

std::vector<std::u16string_view> Paragraphs(std::u16string_view text, bool singleLine)
{
    if (singleLine)
        return {text};
    std::vector<std::u16string_view> paragraphs;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        paragraphs.push_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    paragraphs.push_back(text.substr(start));
    return paragraphs;
}

LaidOutLine Slice(const LaidOutLine& paragraph, size_t from, size_t to)
{
    LaidOutLine line;
    line.text = paragraph.text.substr(from, to - from);
    if (paragraph.underlined >= static_cast<int>(from) && paragraph.underlined < static_cast<int>(to))
        line.underlined = paragraph.underlined - static_cast<int>(from);
    return line;
}

// Breaks between words so each line fits; a word wider than the line stands alone on its own line.
void BreakWords(const LaidOutLine& paragraph, int available, const Measure& measure,
                std::vector<LaidOutLine>& lines)
{
    const std::u16string& text = paragraph.text;
    size_t start = 0;
    do {
        size_t end = start;
        for (size_t next = start; next < text.size();) {
            size_t wordEnd = next;
            while (wordEnd < text.size() && IsBlank(text[wordEnd]))
                ++wordEnd;
            while (wordEnd < text.size() && !IsBlank(text[wordEnd]))
                ++wordEnd;
            bool fits = measure(std::u16string_view(text).substr(start, wordEnd - start)) <= available;
            if (!fits && end > start)
                break;
            end = next = wordEnd;
            if (!fits)
                break;
        }
        size_t shownEnd = end;
        while (shownEnd > start && IsBlank(text[shownEnd - 1]))
            --shownEnd;
        lines.push_back(Slice(paragraph, start, shownEnd));
        start = end;
        while (start < text.size() && IsBlank(text[start]))
            ++start;
    } while (start < text.size());
}

void CutWithEllipsis(LaidOutLine& line, int available, const Measure& measure)
{
    size_t keep = line.text.size();
    while (keep > 0 && measure(line.text.substr(0, keep) + std::u16string(kEllipsis)) > available)
        --keep;
    if (keep > 0 && line.text[keep - 1] >= 0xD800 && line.text[keep - 1] < 0xDC00)
        --keep; // never split a surrogate pair
    line.text = line.text.substr(0, keep) + std::u16string(kEllipsis);
    if (line.underlined >= static_cast<int>(keep))
        line.underlined = -1;
}

} // namespace

TextLayout LayOutText(std::u16string_view text, UINT format, int tabCharacters, const RECT& rect,
                      const FontMetrics& font)
{
    bool singleLine = format & DT_SINGLELINE;
    int available = rect.right - rect.left;
    Measure measure(font, (format & DT_EXPANDTABS) ? tabCharacters * font.Metrics().tmAveCharWidth : 0);

    TextLayout layout;
    for (std::u16string_view paragraph : Paragraphs(text, singleLine)) {
        LaidOutLine shown = (format & DT_NOPREFIX) ? LaidOutLine{std::u16string(paragraph)} : TakePrefixes(paragraph);
        if ((format & DT_WORDBREAK) && !singleLine)
            BreakWords(shown, available, measure, layout.lines);
        else
            layout.lines.push_back(std::move(shown));
    }
    // A single line being measured has no width to fit yet: only a given width cuts text.
    bool cut = (format & DT_END_ELLIPSIS) && !(singleLine && (format & DT_CALCRECT));
    for (LaidOutLine& line : layout.lines) {
        line.width = measure(line.text);
        if (cut && line.width > available) {
            CutWithEllipsis(line, available, measure);
            line.width = measure(line.text);
        }
        if (format & DT_CENTER)
            line.x = (available - line.width) / 2;
        else if (format & DT_RIGHT)
            line.x = available - line.width;
        layout.widest = std::max(layout.widest, line.width);
    }

    layout.lineHeight = font.LineHeight(format & DT_EXTERNALLEADING);
    layout.height = layout.lineHeight * static_cast<int>(layout.lines.size());
    // Down the rectangle, only a single line is placed: more lines always start at the top.
    int room = rect.bottom - rect.top;
    if (singleLine && (format & DT_VCENTER))
        layout.top = (room - layout.height) / 2;
    else if (singleLine && (format & DT_BOTTOM))
        layout.top = room - layout.height;
    return layout;
}

int DrawnHeight(const TextLayout& layout, UINT format)
{
    bool placed = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
    return placed ? layout.top + layout.height : layout.height;
}

} // namespace device
