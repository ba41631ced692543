#include "Render.h"

#include "Colours.h"
#include "IconBitmap.h"
#include "Text.h"

#include <commctrl.h>

#include "gdi/Fonts.h"

#include <algorithm>
#include <stdexcept>

namespace pixels {

namespace {

using device::automation::Scene;
using device::automation::ScenePane;

void Rectangle(cairo_t* cr, const RECT& r)
{
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void Fill(cairo_t* cr, const RECT& r, COLORREF colour)
{
    SetColour(cr, colour);
    Rectangle(cr, r);
    cairo_fill(cr);
}

// The pixels a pen covers, centred on the line, without its last point; a line across or down is filled
// pixel for pixel, any other is stroked.
void PaintLine(cairo_t* cr, const device::LineDrawing& line)
{
    int before = (line.width - 1) / 2, after = line.width / 2 + 1;
    SetColour(cr, line.color);
    if (line.style == PS_DASH) {
        double dash = 3.0 * line.width;
        cairo_set_dash(cr, &dash, 1, 0);
    }
    POINT a = line.from, b = line.to;
    if (a.y == b.y || a.x == b.x) {
        bool across = a.y == b.y;
        int from = across ? a.x : a.y, to = across ? b.x : b.y;
        int low = from <= to ? from : to + 1, high = from <= to ? to : from + 1;
        if (high <= low)
            return;
        if (line.style == PS_DASH) {
            double middle = (across ? a.y : a.x) + (after - before) / 2.0;
            if (across)
                cairo_move_to(cr, low, middle), cairo_line_to(cr, high, middle);
            else
                cairo_move_to(cr, middle, low), cairo_line_to(cr, middle, high);
            cairo_set_line_width(cr, line.width);
            cairo_stroke(cr);
        } else {
            Rectangle(cr,
                      across ? RECT{low, a.y - before, high, a.y + after} : RECT{a.x - before, low, a.x + after, high});
            cairo_fill(cr);
        }
        return;
    }
    cairo_set_line_width(cr, line.width);
    cairo_move_to(cr, a.x + 0.5, a.y + 0.5);
    cairo_line_to(cr, b.x + 0.5, b.y + 0.5);
    cairo_stroke(cr);
}

// An icon at the size it was drawn; an image list's selected or focused image is blended with the highlight
// where the icon has pixels.
void PaintIcon(cairo_t* cr, const device::IconDrawing& drawing)
{
    cairo_surface_t* image = drawing.icon ? IconSurface(*drawing.icon) : nullptr;
    if (!image)
        return;
    const RECT& r = drawing.rect;
    cairo_translate(cr, r.left, r.top);
    cairo_scale(cr, double(r.right - r.left) / cairo_image_surface_get_width(image),
                double(r.bottom - r.top) / cairo_image_surface_get_height(image));
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    double blend = (drawing.style & ILD_BLEND50) ? 0.5 : (drawing.style & ILD_BLEND25) ? 0.25 : 0;
    if (blend > 0) {
        SetColour(cr, GetSysColor(COLOR_HIGHLIGHT), blend);
        cairo_mask_surface(cr, image, 0, 0);
    }
    cairo_surface_destroy(image);
}

void PaintPane(cairo_t* cr, const ScenePane& pane)
{
    RECT visible = pane.visible;
    OffsetRect(&visible, -pane.client.left, -pane.client.top); // in the window's own coordinates
    for (const device::Drawing& drawing : pane.drawing) {
        RECT clip;
        if (!IntersectRect(&clip, &drawing.bounds, &visible))
            continue;
        cairo_save(cr);
        cairo_translate(cr, pane.client.left, pane.client.top);
        Rectangle(cr, clip);
        cairo_clip(cr);
        if (auto text = std::get_if<device::TextDrawing>(&drawing.what))
            PaintText(cr, *text);
        else if (auto fill = std::get_if<device::FillDrawing>(&drawing.what))
            Fill(cr, fill->rect, fill->color);
        else if (auto line = std::get_if<device::LineDrawing>(&drawing.what))
            PaintLine(cr, *line);
        else if (auto icon = std::get_if<device::IconDrawing>(&drawing.what))
            PaintIcon(cr, *icon);
        cairo_restore(cr);
    }
}

// Sizes given at 96 dots per inch, at the screen's resolution.
int Scaled(const Scene& scene, int pixelsAt96)
{
    return (pixelsAt96 * scene.dpi + 48) / 96;
}

// The focused control framed in the highlight colour, just outside it where there is room.
void PaintFocus(cairo_t* cr, const Scene& scene)
{
    int thickness = Scaled(scene, 2);
    RECT r = *scene.focus;
    InflateRect(&r, 1, 1);
    SetColour(cr, GetSysColor(COLOR_HIGHLIGHT));
    Rectangle(cr, r);
    Rectangle(cr, RECT{r.left + thickness, r.top + thickness, r.right - thickness, r.bottom - thickness});
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

LOGFONTW ShellFont(LONG weight)
{
    LOGFONTW font = device::SystemFontDescription();
    font.lfWeight = weight;
    return font;
}

void PaintTitleBar(cairo_t* cr, const Scene& scene)
{
    RECT bar{0, 0, scene.width, scene.titleHeight};
    Fill(cr, bar, GetSysColor(COLOR_HIGHLIGHT));
    InflateRect(&bar, -Scaled(scene, 4), 0);
    PaintText(cr, LaidOut(scene.title, ShellFont(FW_BOLD), DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX,
                          bar, GetSysColor(COLOR_HIGHLIGHTTEXT)));
}

// The open menu stands on the soft-key bar at the right, as the right soft key opens it: its items a line
// each, the one the keys are on highlighted, a check mark before a checked one.
void PaintMenu(cairo_t* cr, const Scene& scene)
{
    const auto& items = scene.menu->items;
    LOGFONTW font = ShellFont(FW_NORMAL);
    auto metrics = device::MetricsFor(font);
    int pad = Scaled(scene, 4), check = Scaled(scene, 14), itemHeight = metrics->LineHeight(false) + Scaled(scene, 8);
    int separatorHeight = Scaled(scene, 7);
    int widest = 0, height = 2;
    for (const auto& item : items) {
        widest = std::max(widest, metrics->Width(item.text));
        height += item.separator ? separatorHeight : itemHeight;
    }
    int width = std::clamp(widest + check + 2 * pad + 2, Scaled(scene, 96), scene.width - 2 * Scaled(scene, 2));
    RECT panel{0, 0, 0, scene.height - scene.softKeyHeight};
    panel.right = scene.width - Scaled(scene, 2);
    panel.left = panel.right - width;
    panel.top = std::max(scene.titleHeight, static_cast<int>(panel.bottom) - height);

    cairo_save(cr);
    Rectangle(cr, panel);
    cairo_clip(cr);
    Fill(cr, panel, GetSysColor(COLOR_BTNSHADOW));
    Fill(cr, RECT{panel.left + 1, panel.top + 1, panel.right - 1, panel.bottom - 1}, GetSysColor(COLOR_MENU));
    int top = panel.top + 1;
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        if (item.separator) {
            Fill(cr,
                 RECT{panel.left + pad, top + separatorHeight / 2, panel.right - pad, top + separatorHeight / 2 + 1},
                 GetSysColor(COLOR_BTNSHADOW));
            top += separatorHeight;
            continue;
        }
        RECT row{panel.left + 1, top, panel.right - 1, top + itemHeight};
        bool highlighted = static_cast<int>(i) == scene.menu->highlighted;
        if (highlighted)
            Fill(cr, row, GetSysColor(COLOR_HIGHLIGHT));
        COLORREF colour = GetSysColor(!item.enabled ? COLOR_GRAYTEXT
                                      : highlighted ? COLOR_HIGHLIGHTTEXT
                                                    : COLOR_MENUTEXT);
        UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
        if (item.checked)
            PaintText(cr, LaidOut(u"\u2713", font, format | DT_NOPREFIX,
                                  RECT{row.left + pad, row.top, row.left + pad + check, row.bottom}, colour));
        device::TextDrawing text = LaidOut(item.text, font, format,
                                           RECT{row.left + pad + check, row.top, row.right - pad, row.bottom}, colour);
        for (auto& line : text.lines)
            line.underlined = -1; // the phone's menus mark no access keys
        PaintText(cr, text);
        top += itemHeight;
    }
    cairo_restore(cr);
}

} // namespace

Picture Render(const Scene& scene, int scale)
{
    if (scale < 1 || scale > kLargestScale)
        throw std::invalid_argument("the scale must be 1 to " + std::to_string(kLargestScale));
    Picture picture(scene.width * scale, scene.height * scale);
    cairo_t* cr = cairo_create(picture.Surface());
    cairo_scale(cr, scale, scale);
    SetColour(cr, GetSysColor(COLOR_BACKGROUND)); // no window: the bare screen
    cairo_paint(cr);
    for (const ScenePane& pane : scene.panes)
        PaintPane(cr, pane);
    if (scene.focus)
        PaintFocus(cr, scene);
    PaintTitleBar(cr, scene);
    if (scene.menu)
        PaintMenu(cr, scene);
    cairo_destroy(cr);
    return picture;
}

} // namespace pixels
