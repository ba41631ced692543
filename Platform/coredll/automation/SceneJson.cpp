// The scene as JSON for a renderer in another process. Rectangles are [left, top, right, bottom], points
// [x, y], colours COLORREF numbers; an icon drawn several times is written once and named by its index.
#include "automation/Scene.h"

#include "device/JsonWriter.h"

#include <map>

namespace device::automation {

namespace {

using Icons = std::map<const IconImage*, size_t>;

void WriteNumbers(JsonWriter& json, std::initializer_list<long long> numbers)
{
    json.Open('[');
    for (long long n : numbers)
        json.Element(), json.Number(n);
    json.Close(']');
}

void WriteRect(JsonWriter& json, const RECT& r)
{
    WriteNumbers(json, {r.left, r.top, r.right, r.bottom});
}

void WriteText(JsonWriter& json, const TextDrawing& text)
{
    json.Key("kind"), json.String("text");
    json.Key("lines"), json.Open('[');
    for (const TextLine& line : text.lines) {
        json.Open('{');
        json.Key("text"), json.String(line.text);
        json.Key("rect"), WriteRect(json, line.rect);
        json.Key("underlined"), json.Number(line.underlined);
        json.Close('}');
    }
    json.Close(']');
    json.Key("font"), json.Open('{');
    json.Key("height"), json.Number(text.font.height);
    json.Key("cellHeight"), json.Number(text.font.cellHeight);
    json.Key("weight"), json.Number(text.font.weight);
    json.Key("italic"), json.Bool(text.font.italic);
    json.Key("underline"), json.Bool(text.font.underline);
    json.Key("strikeOut"), json.Bool(text.font.strikeOut);
    json.Close('}');
    json.Key("color"), json.Number(text.textColor);
    json.Key("backColor"), json.Number(text.backColor);
    json.Key("opaque"), json.Bool(text.opaque);
    json.Key("format"), json.Number(text.format);
}

void WriteDrawing(JsonWriter& json, const Drawing& drawing, const Icons& icons)
{
    json.Open('{');
    json.Key("bounds"), WriteRect(json, drawing.bounds);
    if (auto text = std::get_if<TextDrawing>(&drawing.what)) {
        WriteText(json, *text);
    } else if (auto fill = std::get_if<FillDrawing>(&drawing.what)) {
        json.Key("kind"), json.String("fill");
        json.Key("rect"), WriteRect(json, fill->rect);
        json.Key("color"), json.Number(fill->color);
    } else if (auto line = std::get_if<LineDrawing>(&drawing.what)) {
        json.Key("kind"), json.String("line");
        json.Key("from"), WriteNumbers(json, {line->from.x, line->from.y});
        json.Key("to"), WriteNumbers(json, {line->to.x, line->to.y});
        json.Key("color"), json.Number(line->color);
        json.Key("width"), json.Number(line->width);
        json.Key("style"), json.Number(line->style);
    } else if (auto icon = std::get_if<IconDrawing>(&drawing.what)) {
        json.Key("kind"), json.String("icon");
        json.Key("icon"), json.Number(static_cast<long long>(icons.at(icon->icon.get())));
        json.Key("rect"), WriteRect(json, icon->rect);
        json.Key("style"), json.Number(icon->style);
    }
    json.Close('}');
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

void WriteIcons(JsonWriter& json, const Scene& scene, Icons& icons)
{
    std::vector<const IconImage*> ordered;
    for (const ScenePane& pane : scene.panes)
        for (const Drawing& drawing : pane.drawing)
            if (auto icon = std::get_if<IconDrawing>(&drawing.what); icon && icon->icon)
                if (icons.emplace(icon->icon.get(), ordered.size()).second)
                    ordered.push_back(icon->icon.get());
    json.Open('[');
    for (const IconImage* icon : ordered) {
        json.Open('{');
        json.Key("width"), json.Number(icon->imageWidth);
        json.Key("height"), json.Number(icon->imageHeight);
        json.Key("bitCount"), json.Number(icon->bitCount);
        json.Key("bits"), json.String(Hex(icon->bits));
        json.Close('}');
    }
    json.Close(']');
}

void WriteMenu(JsonWriter& json, const std::optional<SceneMenu>& menu)
{
    if (!menu) {
        json.Null();
        return;
    }
    json.Open('{');
    json.Key("highlighted"), json.Number(menu->highlighted);
    json.Key("items"), WriteMenuItems(json, menu->items);
    json.Close('}');
}

} // namespace

std::string SceneJson(const Scene& scene)
{
    JsonWriter json;
    json.Open('{');
    json.Key("width"), json.Number(scene.width);
    json.Key("height"), json.Number(scene.height);
    json.Key("dpi"), json.Number(scene.dpi);
    json.Key("titleHeight"), json.Number(scene.titleHeight);
    json.Key("softKeyHeight"), json.Number(scene.softKeyHeight);
    json.Key("title"), json.String(scene.title);
    json.Key("softkeys"), WriteSoftKeys(json, scene.softKeys);
    json.Key("menu"), WriteMenu(json, scene.menu);
    json.Key("focus");
    if (scene.focus)
        WriteRect(json, *scene.focus);
    else
        json.Null();
    json.Key("cursor"), json.String(scene.waitCursor ? "wait" : "normal");
    Icons icons;
    json.Key("icons"), WriteIcons(json, scene, icons);
    json.Key("panes"), json.Open('[');
    for (const ScenePane& pane : scene.panes) {
        json.Open('{');
        json.Key("client"), WriteRect(json, pane.client);
        json.Key("visible"), WriteRect(json, pane.visible);
        json.Key("drawing"), json.Open('[');
        for (const Drawing& drawing : pane.drawing)
            if (auto icon = std::get_if<IconDrawing>(&drawing.what); !icon || icon->icon)
                WriteDrawing(json, drawing, icons);
        json.Close(']');
        json.Close('}');
    }
    json.Close(']');
    json.Close('}');
    return json.Take();
}

} // namespace device::automation
