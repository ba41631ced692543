#include "Text.h"

#include "Colours.h"

#include "gdi/Canvas.h"
#include "gdi/TextLayout.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <stdexcept>
#include <string>

namespace pixels {

namespace {

// One of the two faces, with the design numbers that place its lines and decorations.
struct Face {
    explicit Face(const char* path)
    {
        FT_Library library;
        if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, path, 0, &face) != 0)
            throw std::runtime_error(std::string("cannot read the font ") + path);
        auto os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (!os2)
            throw std::runtime_error(std::string("the font ") + path + " has no OS/2 table");
        unitsPerEm = face->units_per_EM;
        cellUnits = os2->usWinAscent + os2->usWinDescent;
        strikeOutPosition = os2->yStrikeoutPosition;
        strikeOutSize = os2->yStrikeoutSize;
        underlinePosition = face->underline_position;
        underlineSize = face->underline_thickness;
        cairoFace = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
    }

    FT_Face face = nullptr;
    cairo_font_face_t* cairoFace = nullptr;
    double unitsPerEm = 0;
    double cellUnits = 0;
    double strikeOutPosition = 0;
    double strikeOutSize = 0;
    double underlinePosition = 0; // below the baseline: negative
    double underlineSize = 0;
};

const Face& FaceFor(LONG weight)
{
    // Never closed: read once for every picture of the process.
    static const Face* regular = new Face(DEVICE_FONT_REGULAR);
    static const Face* bold = new Face(DEVICE_FONT_BOLD);
    return weight >= FW_SEMIBOLD ? *bold : *regular;
}

LOGFONTW Description(const device::DrawnFont& font)
{
    LOGFONTW description{};
    description.lfHeight = font.height;
    description.lfWeight = font.weight;
    description.lfItalic = font.italic;
    description.lfUnderline = font.underline;
    description.lfStrikeOut = font.strikeOut;
    return description;
}

// The em size in pixels: a negative height asks for it, a positive one for the whole cell.
double EmPixels(const device::DrawnFont& font, const Face& face)
{
    LONG height = font.height ? font.height : device::SystemFontDescription().lfHeight;
    return height < 0 ? -height : height * face.unitsPerEm / face.cellUnits;
}

char32_t NextCharacter(std::u16string_view text, size_t& i)
{
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
        c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    return c;
}

// A band across the line at `position` font units above the baseline, `size` units thick, at least a pixel.
void Band(cairo_t* cr, double left, double right, double baseline, double position, double size, double scale)
{
    double thickness = std::max(1.0, std::round(size * scale));
    double top = std::round(baseline - position * scale - thickness / 2);
    cairo_rectangle(cr, left, top, right - left, thickness);
    cairo_fill(cr);
}

void PaintLine(cairo_t* cr, const device::TextDrawing& text, const device::TextLine& line, const Face& face,
               const device::FontMetrics& metrics)
{
    double baseline = line.rect.top + metrics.Metrics().tmAscent;
    int tabWidth = (text.format & DT_EXPANDTABS) ? 8 * metrics.Metrics().tmAveCharWidth : 0;
    std::vector<cairo_glyph_t> glyphs;
    int x = line.rect.left;
    int underlinedLeft = 0, underlinedRight = 0;
    for (size_t i = 0, index = 0; i < line.text.size(); ++i, ++index) {
        size_t first = i;
        char32_t c = NextCharacter(line.text, i);
        int left = x;
        if (c == u'\t' && tabWidth > 0)
            x = line.rect.left + ((x - line.rect.left) / tabWidth + 1) * tabWidth;
        else
            x += metrics.Advance(c);
        if (static_cast<int>(first) == line.underlined)
            underlinedLeft = left, underlinedRight = x;
        if (c >= 0x20)
            glyphs.push_back(cairo_glyph_t{FT_Get_Char_Index(face.face, c), static_cast<double>(left), baseline});
    }
    cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    double scale = EmPixels(text.font, face) / face.unitsPerEm;
    if (text.font.underline)
        Band(cr, line.rect.left, x, baseline, face.underlinePosition, face.underlineSize, scale);
    else if (underlinedRight > underlinedLeft)
        Band(cr, underlinedLeft, underlinedRight, baseline, face.underlinePosition, face.underlineSize, scale);
    if (text.font.strikeOut)
        Band(cr, line.rect.left, x, baseline, face.strikeOutPosition, face.strikeOutSize, scale);
}

} // namespace

void PaintText(cairo_t* cr, const device::TextDrawing& text)
{
    const Face& face = FaceFor(text.font.weight);
    auto metrics = device::MetricsFor(Description(text.font));
    if (text.opaque) {
        SetColour(cr, text.backColor);
        for (const auto& line : text.lines)
            cairo_rectangle(cr, line.rect.left, line.rect.top, line.rect.right - line.rect.left,
                            line.rect.bottom - line.rect.top);
        cairo_fill(cr);
    }
    double em = EmPixels(text.font, face);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, em, 0, text.font.italic ? -0.2 * em : 0, em, 0, 0); // a slanted face for italics
    cairo_set_font_face(cr, face.cairoFace);
    cairo_set_font_matrix(cr, &matrix);
    SetColour(cr, text.textColor);
    for (const auto& line : text.lines)
        PaintLine(cr, text, line, face, *metrics);
}

device::TextDrawing LaidOut(std::u16string_view text, const LOGFONTW& font, UINT format, const RECT& rect,
                            COLORREF colour)
{
    device::SelectedFont selected{font, device::MetricsFor(font)};
    device::TextLayout layout = device::LayOutText(text, format, 8, rect, *selected.metrics);
    device::TextDrawing drawing;
    drawing.font = device::Describe(selected);
    drawing.textColor = colour;
    drawing.rect = rect;
    drawing.format = format;
    for (size_t i = 0; i < layout.lines.size(); ++i) {
        const auto& line = layout.lines[i];
        int left = rect.left + line.x;
        int top = rect.top + layout.top + static_cast<int>(i) * layout.lineHeight;
        drawing.lines.push_back(
            device::TextLine{line.text, RECT{left, top, left + line.width, top + layout.lineHeight}, line.underlined});
    }
    return drawing;
}

} // namespace pixels
