// Fonts as the device measures them: every face name is served by one sans-serif family read with
// FreeType, regular below semibold and bold from there, so widths and heights are real and the same on
// every run.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

namespace device {

// One font at one size: its text metrics and the advance of each character, in pixels.
class FontMetrics {
public:
    FontMetrics(const LOGFONTW& font, int dpi);

    const TEXTMETRICW& Metrics() const { return m_metrics; }
    int LineHeight(bool withExternalLeading) const
    {
        return m_metrics.tmHeight + (withExternalLeading ? m_metrics.tmExternalLeading : 0);
    }
    int Advance(char32_t character) const;
    // Width of a run of text; surrogate pairs count as one character.
    int Width(std::u16string_view text) const;

private:
    bool m_bold;
    double m_scaleX; // pixels per font unit, across and down
    double m_scaleY;
    TEXTMETRICW m_metrics{};
};

// The metrics of a font description at the device's resolution, kept for the next caller.
std::shared_ptr<const FontMetrics> MetricsFor(const LOGFONTW& font);

// The description of the stock system font at the device's resolution.
LOGFONTW SystemFontDescription();

} // namespace device
