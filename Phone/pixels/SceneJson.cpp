#include "SceneJson.h"

#include "device/Text.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <stdexcept>

namespace pixels {

namespace {

using device::automation::Scene;
using json = nlohmann::json;

std::u16string Text(const json& value)
{
    return device::Utf16FromUtf8(value.get<std::string>());
}

RECT Rect(const json& value)
{
    return RECT{value.at(0).get<LONG>(), value.at(1).get<LONG>(), value.at(2).get<LONG>(), value.at(3).get<LONG>()};
}

POINT Point(const json& value)
{
    return POINT{value.at(0).get<LONG>(), value.at(1).get<LONG>()};
}

std::vector<BYTE> Bytes(const std::string& hex)
{
    if (hex.size() % 2)
        throw std::runtime_error("an icon's bits are cut short");
    auto digit = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        throw std::runtime_error("an icon's bits are not hex");
    };
    std::vector<BYTE> bytes(hex.size() / 2);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(digit(hex[2 * i]) * 16 + digit(hex[2 * i + 1]));
    return bytes;
}

device::TextDrawing TextOf(const json& value)
{
    device::TextDrawing text;
    for (const json& line : value.at("lines"))
        text.lines.push_back(
            device::TextLine{Text(line.at("text")), Rect(line.at("rect")), line.at("underlined").get<int>()});
    for (const auto& line : text.lines)
        text.text += (text.text.empty() ? u"" : u"\n") + line.text;
    const json& font = value.at("font");
    text.font.height = font.at("height").get<LONG>();
    text.font.cellHeight = font.at("cellHeight").get<LONG>();
    text.font.weight = font.at("weight").get<LONG>();
    text.font.italic = font.at("italic").get<bool>();
    text.font.underline = font.at("underline").get<bool>();
    text.font.strikeOut = font.at("strikeOut").get<bool>();
    text.textColor = value.at("color").get<COLORREF>();
    text.backColor = value.at("backColor").get<COLORREF>();
    text.opaque = value.at("opaque").get<bool>();
    text.format = value.at("format").get<UINT>();
    return text;
}

device::Drawing DrawingOf(const json& value, const std::vector<std::shared_ptr<const device::IconImage>>& icons)
{
    device::Drawing drawing;
    drawing.bounds = Rect(value.at("bounds"));
    std::string kind = value.at("kind").get<std::string>();
    if (kind == "text") {
        drawing.what = TextOf(value);
    } else if (kind == "fill") {
        drawing.what = device::FillDrawing{Rect(value.at("rect")), value.at("color").get<COLORREF>()};
    } else if (kind == "line") {
        drawing.what =
            device::LineDrawing{Point(value.at("from")), Point(value.at("to")), value.at("color").get<COLORREF>(),
                                value.at("width").get<int>(), value.at("style").get<int>()};
    } else if (kind == "icon") {
        size_t index = value.at("icon").get<size_t>();
        if (index >= icons.size())
            throw std::runtime_error("a drawing names an icon the scene does not have");
        drawing.what = device::IconDrawing{icons[index], Rect(value.at("rect")), value.at("style").get<UINT>()};
    } else {
        throw std::runtime_error("a drawing of an unknown kind '" + kind + "'");
    }
    return drawing;
}

Scene Read(const json& root)
{
    Scene scene;
    scene.width = root.at("width").get<int>();
    scene.height = root.at("height").get<int>();
    if (scene.width <= 0 || scene.height <= 0 || scene.width > 4096 || scene.height > 4096)
        throw std::runtime_error("a screen of " + std::to_string(scene.width) + "x" + std::to_string(scene.height));
    scene.dpi = root.at("dpi").get<int>();
    scene.titleHeight = root.at("titleHeight").get<int>();
    scene.softKeyHeight = root.at("softKeyHeight").get<int>();
    scene.title = Text(root.at("title"));
    for (const json& key : root.at("softkeys"))
        scene.softKeys.push_back(device::automation::SoftKey{Text(key.at("label")), key.at("enabled").get<bool>()});
    if (const json& menu = root.at("menu"); !menu.is_null()) {
        device::automation::SceneMenu shown;
        shown.highlighted = menu.at("highlighted").get<int>();
        for (const json& item : menu.at("items"))
            shown.items.push_back(
                device::automation::MenuEntry{Text(item.at("text")), 0, item.at("enabled").get<bool>(),
                                              item.at("checked").get<bool>(), item.at("separator").get<bool>()});
        scene.menu = std::move(shown);
    }
    if (const json& focus = root.at("focus"); !focus.is_null())
        scene.focus = Rect(focus);
    scene.waitCursor = root.at("cursor").get<std::string>() == "wait";
    std::vector<std::shared_ptr<const device::IconImage>> icons;
    for (const json& icon : root.at("icons")) {
        auto image = std::make_shared<device::IconImage>();
        image->imageWidth = icon.at("width").get<int>();
        image->imageHeight = icon.at("height").get<int>();
        image->bitCount = icon.at("bitCount").get<int>();
        image->bits = Bytes(icon.at("bits").get<std::string>());
        icons.push_back(std::move(image));
    }
    for (const json& pane : root.at("panes")) {
        device::automation::ScenePane shown;
        shown.client = Rect(pane.at("client"));
        shown.visible = Rect(pane.at("visible"));
        for (const json& drawing : pane.at("drawing"))
            shown.drawing.push_back(DrawingOf(drawing, icons));
        scene.panes.push_back(std::move(shown));
    }
    return scene;
}

} // namespace

Scene SceneFromJson(std::string_view text)
{
    try {
        return Read(json::parse(text));
    } catch (const json::exception& e) {
        throw std::runtime_error(std::string("the screen's drawing cannot be read: ") + e.what());
    }
}

} // namespace pixels
