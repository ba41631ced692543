#include "gdi/Canvas.h"

#include "user/Screen.h"

namespace device {

std::optional<Canvas> CanvasOf(HDC hdc)
{
    auto state = GdiTable::Instance().Context(hdc);
    if (!state) {
        SetLastError(ERROR_INVALID_HANDLE);
        return std::nullopt;
    }
    Canvas canvas{hdc, *state, {}};
    if (!state->window)
        canvas.clip = ScreenBounds();
    else if (!GetClientRect(state->window, &canvas.clip))
        canvas.clip = RECT{};
    if (state->painting)
        IntersectRect(&canvas.clip, &canvas.clip, &state->paintArea);
    return canvas;
}

void Paint(const Canvas& canvas, Drawing drawing)
{
    if (canvas.state.window && !IsWindow(canvas.state.window))
        return;
    if (!IntersectRect(&drawing.bounds, &drawing.bounds, &canvas.clip))
        return;
    if (auto fill = std::get_if<FillDrawing>(&drawing.what))
        fill->rect = drawing.bounds; // a fill is what it painted
    Record(canvas.state.window, std::move(drawing));
}

SelectedFont FontOf(const DeviceContext& context)
{
    auto description = FontDescription(context.font);
    SelectedFont font;
    font.description = description ? *description : SystemFontDescription();
    font.metrics = MetricsFor(font.description);
    return font;
}

DrawnFont Describe(const SelectedFont& font)
{
    const LOGFONTW& d = font.description;
    DrawnFont drawn;
    std::u16string_view face(d.lfFaceName, LF_FACESIZE);
    drawn.face = face.substr(0, face.find(u'\0'));
    drawn.height = d.lfHeight;
    drawn.cellHeight = font.metrics->Metrics().tmHeight;
    drawn.weight = font.metrics->Metrics().tmWeight;
    drawn.italic = d.lfItalic != 0;
    drawn.underline = d.lfUnderline != 0;
    drawn.strikeOut = d.lfStrikeOut != 0;
    return drawn;
}

} // namespace device
