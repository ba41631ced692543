// The scene as JSON for a renderer in another process. Rectangles are [left, top, right, bottom], points
// [x, y], colours COLORREF numbers; an icon drawn several times is written once and named by its index.
#include "automation/Scene.h"

#include "device/Json.h"

#include <map>

namespace device::automation {

namespace {

using Icons = std::map<const IconImage*, size_t>;

Json RectJson(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void PutText(Json& json, const TextDrawing& text)
{
    Json lines = Json::array();
    for (const TextLine& line : text.lines)
        lines.push_back({{"text", JsonText(line.text)}, {"rect", RectJson(line.rect)}, {"underlined", line.underlined}});
    json["kind"] = "text";
    json["lines"] = std::move(lines);
    json["font"] = {{"height", text.font.height},
                    {"cellHeight", text.font.cellHeight},
                    {"weight", text.font.weight},
                    {"italic", text.font.italic},
                    {"underline", text.font.underline},
                    {"strikeOut", text.font.strikeOut}};
    json["color"] = text.textColor;
    json["backColor"] = text.backColor;
    json["opaque"] = text.opaque;
    json["format"] = text.format;
}

Json DrawingJson(const Drawing& drawing, const Icons& icons)
{
    Json json = {{"bounds", RectJson(drawing.bounds)}};
    if (auto text = std::get_if<TextDrawing>(&drawing.what)) {
        PutText(json, *text);
    } else if (auto fill = std::get_if<FillDrawing>(&drawing.what)) {
        json["kind"] = "fill";
        json["rect"] = RectJson(fill->rect);
        json["color"] = fill->color;
    } else if (auto line = std::get_if<LineDrawing>(&drawing.what)) {
        json["kind"] = "line";
        json["from"] = {line->from.x, line->from.y};
        json["to"] = {line->to.x, line->to.y};
        json["color"] = line->color;
        json["width"] = line->width;
        json["style"] = line->style;
    } else if (auto icon = std::get_if<IconDrawing>(&drawing.what)) {
        json["kind"] = "icon";
        json["icon"] = icons.at(icon->icon.get());
        json["rect"] = RectJson(icon->rect);
        json["style"] = icon->style;
    }
    return json;
}

std::string Hex(const std::vector<BYTE>& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (BYTE b : bytes)
        hex += kDigits[b >> 4], hex += kDigits[b & 15];
    return hex;
}

Json IconsJson(const Scene& scene, Icons& icons)
{
    Json list = Json::array();
    for (const ScenePane& pane : scene.panes)
        for (const Drawing& drawing : pane.drawing)
            if (auto icon = std::get_if<IconDrawing>(&drawing.what); icon && icon->icon)
                if (icons.emplace(icon->icon.get(), list.size()).second)
                    list.push_back({{"width", icon->icon->imageWidth},
                                    {"height", icon->icon->imageHeight},
                                    {"bitCount", icon->icon->bitCount},
                                    {"bits", Hex(icon->icon->bits)}});
    return list;
}

} // namespace

std::string SceneJson(const Scene& scene)
{
    Icons icons;
    Json iconList = IconsJson(scene, icons);
    Json panes = Json::array();
    for (const ScenePane& pane : scene.panes) {
        Json drawing = Json::array();
        for (const Drawing& each : pane.drawing)
            if (auto icon = std::get_if<IconDrawing>(&each.what); !icon || icon->icon)
                drawing.push_back(DrawingJson(each, icons));
        panes.push_back(
            {{"client", RectJson(pane.client)}, {"visible", RectJson(pane.visible)}, {"drawing", std::move(drawing)}});
    }
    Json menu = nullptr;
    if (scene.menu)
        menu = {{"highlighted", scene.menu->highlighted}, {"items", MenuItemsJson(scene.menu->items)}};
    return Dump({{"width", scene.width},
                 {"height", scene.height},
                 {"dpi", scene.dpi},
                 {"titleHeight", scene.titleHeight},
                 {"softKeyHeight", scene.softKeyHeight},
                 {"title", JsonText(scene.title)},
                 {"softkeys", SoftKeysJson(scene.softKeys)},
                 {"menu", std::move(menu)},
                 {"focus", scene.focus ? RectJson(*scene.focus) : Json(nullptr)},
                 {"cursor", scene.waitCursor ? "wait" : "normal"},
                 {"icons", std::move(iconList)},
                 {"panes", std::move(panes)}});
}

} // namespace device::automation
