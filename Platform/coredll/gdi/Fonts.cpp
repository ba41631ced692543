#include "gdi/Fonts.h"

#include "user/Screen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <tuple>
#include <unordered_map>

namespace device {

namespace {

// A face file with the design metrics the device's font mapper uses; advances are read once per
// character, in font units, so every size shares them.
class Face {
public:
    explicit Face(const char* path)
    {
        if (FT_Init_FreeType(&m_library) != 0 || FT_New_Face(m_library, path, 0, &m_face) != 0) {
            std::fprintf(stderr, "coredll: cannot read the font %s\n", path);
            std::abort();
        }
        auto os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
        auto hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_HHEA));
        if (!os2 || !hhea) {
            std::fprintf(stderr, "coredll: the font %s has no OS/2 or hhea table\n", path);
            std::abort();
        }
        unitsPerEm = m_face->units_per_EM;
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
        // The line gap beyond what the ascent and descent already hold becomes external leading.
        externalGap = std::max(0, hhea->Line_Gap - ((ascent + descent) - (hhea->Ascender - hhea->Descender)));
        averageWidth = os2->xAvgCharWidth;
        maxAdvance = hhea->advance_Width_Max;
    }

    int AdvanceUnits(char32_t character)
    {
        std::lock_guard lock(m_mutex);
        auto it = m_advances.find(character);
        if (it != m_advances.end())
            return it->second;
        FT_Fixed advance = 0;
        FT_UInt glyph = FT_Get_Char_Index(m_face, character);
        FT_Get_Advance(m_face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING, &advance);
        int units = static_cast<int>(advance);
        m_advances.emplace(character, units);
        return units;
    }

    int unitsPerEm = 0;
    int ascent = 0;
    int descent = 0;
    int externalGap = 0;
    int averageWidth = 0;
    int maxAdvance = 0;

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    std::mutex m_mutex;
    std::unordered_map<char32_t, int> m_advances;
};

Face& FaceFor(bool bold)
{
    // Never closed: fonts may be measured until the process ends.
    static Face* regular = new Face(DEVICE_FONT_REGULAR);
    static Face* heavy = new Face(DEVICE_FONT_BOLD);
    return bold ? *heavy : *regular;
}

int Round(double value) { return static_cast<int>(std::lround(value)); }

// Heights far beyond any screen would only overflow the arithmetic.
constexpr LONG kLargestHeight = 16384;

} // namespace

LOGFONTW SystemFontDescription()
{
    LOGFONTW font{};
    font.lfHeight = -((9 * ScreenDpi() + 36) / 72); // nine points
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = ANSI_CHARSET;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::u16string_view face = u"Tahoma";
    std::copy(face.begin(), face.end(), font.lfFaceName);
    return font;
}

FontMetrics::FontMetrics(const LOGFONTW& font, int dpi)
{
    m_bold = font.lfWeight >= FW_SEMIBOLD;
    Face& face = FaceFor(m_bold);
    LONG height = std::clamp<LONG>(font.lfHeight, -kLargestHeight, kLargestHeight);
    if (height == 0)
        height = SystemFontDescription().lfHeight;
    // A negative height asks for that character (em) height, a positive one for that cell height.
    m_scaleY = height < 0 ? double(-height) / face.unitsPerEm : double(height) / (face.ascent + face.descent);
    m_scaleX = m_scaleY;
    LONG width = std::min<LONG>(std::labs(font.lfWidth), kLargestHeight);
    if (width > 0 && face.averageWidth > 0)
        m_scaleX = double(width) / face.averageWidth;

    TEXTMETRICW& tm = m_metrics;
    tm.tmAscent = Round(face.ascent * m_scaleY);
    tm.tmHeight = height > 0 ? height : tm.tmAscent + Round(face.descent * m_scaleY);
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmInternalLeading = std::max(0, static_cast<int>(tm.tmHeight) - Round(face.unitsPerEm * m_scaleY));
    tm.tmExternalLeading = Round(face.externalGap * m_scaleY);
    tm.tmAveCharWidth = std::max(1, Round(face.averageWidth * m_scaleX));
    tm.tmMaxCharWidth = std::max(1, Round(face.maxAdvance * m_scaleX));
    tm.tmWeight = font.lfWeight == FW_DONTCARE ? FW_NORMAL : font.lfWeight;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = dpi;
    tm.tmDigitizedAspectY = dpi;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = font.lfItalic ? 1 : 0;
    tm.tmUnderlined = font.lfUnderline ? 1 : 0;
    tm.tmStruckOut = font.lfStrikeOut ? 1 : 0;
    tm.tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS;
    tm.tmCharSet = font.lfCharSet;
}

int FontMetrics::Advance(char32_t character) const
{
    return Round(FaceFor(m_bold).AdvanceUnits(character) * m_scaleX);
}

int FontMetrics::Width(std::u16string_view text) const
{
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        width += Advance(c);
    }
    return width;
}

std::shared_ptr<const FontMetrics> MetricsFor(const LOGFONTW& font)
{
    // Only what changes the measurements makes the key; the face name does not, as one family serves all.
    using Key = std::tuple<LONG, LONG, LONG, int, BYTE, BYTE, BYTE, BYTE>;
    static std::mutex mutex;
    static auto* cache = new std::map<Key, std::shared_ptr<const FontMetrics>>;
    int dpi = ScreenDpi();
    Key key{font.lfWeight, font.lfHeight, font.lfWidth, dpi, font.lfItalic, font.lfUnderline,
            font.lfStrikeOut, font.lfCharSet};
    std::lock_guard lock(mutex);
    auto& metrics = (*cache)[key];
    if (!metrics)
        metrics = std::make_shared<FontMetrics>(font, dpi);
    return metrics;
}

} // namespace device
