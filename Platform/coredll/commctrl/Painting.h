// Painting shared by the controls: a paint scope with the control's font, the colours the parent
// chooses, and the height of a line of the control's text.
#pragma once

#include <windows.h>
#include <wingdi.h>

#include <string_view>

namespace device {

// BeginPaint to EndPaint, with the control's font (WM_SETFONT, else the system font) selected.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC Dc() const { return m_paint.hdc; }
    const RECT& Client() const { return m_client; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    RECT m_client{};
    HGDIOBJ m_previousFont = nullptr;
};

HFONT FontOf(HWND control);

// Sets the default text colours, lets the parent change them with the WM_CTLCOLOR message given, and
// fills the area with the brush the parent answers (the default one when it answers none).
void PaintBackground(HWND control, HDC dc, UINT colourMessage, const RECT& area);

// A line of the control's text: the font's height and external leading.
int LineHeight(HWND control);

// The width of a text in the control's font.
int TextWidth(HWND control, std::u16string_view text);

// A rectangle's outline in the given system colour.
void Frame(HDC dc, const RECT& rect, int colour);

} // namespace device
