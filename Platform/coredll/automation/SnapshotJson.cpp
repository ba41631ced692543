// The snapshot as JSON, with the field names scripts rely on.
#include "automation/Snapshot.h"

#include "device/JsonWriter.h"

namespace device::automation {

namespace {

void WriteRows(JsonWriter& json, const std::vector<Row>& rows)
{
    json.Open('[');
    for (const Row& row : rows) {
        json.Open('{');
        json.Key("index"), json.Number(row.index);
        json.Key("text"), json.String(row.text);
        json.Key("data"), json.Number(row.data);
        json.Key("selected"), json.Bool(row.selected);
        json.Key("drawn"), json.Open('[');
        for (const auto& text : row.drawn)
            json.Element(), json.String(text);
        json.Close(']');
        json.Key("dimmed"), json.Bool(row.dimmed);
        json.Close('}');
    }
    json.Close(']');
}

void WriteWindow(JsonWriter& json, const WindowNode& node)
{
    json.Open('{');
    json.Key("class"), json.String(node.className);
    json.Key("id"), json.Number(node.id);
    json.Key("text"), json.String(node.text);
    json.Key("rect"), json.Open('[');
    for (LONG v : {node.rect.left, node.rect.top, node.rect.right, node.rect.bottom})
        json.Element(), json.Number(v);
    json.Close(']');
    json.Key("visible"), json.Bool(node.visible);
    json.Key("enabled"), json.Bool(node.enabled);
    json.Key("focused"), json.Bool(node.focused);
    if (node.checked)
        json.Key("checked"), json.Bool(*node.checked);
    if (node.readonly)
        json.Key("readonly"), json.Bool(*node.readonly);
    if (node.rows)
        json.Key("rows"), WriteRows(json, *node.rows);
    if (node.field) {
        json.Key("field"), json.Open('{');
        json.Key("start"), json.Number(static_cast<long long>(node.field->start));
        json.Key("length"), json.Number(static_cast<long long>(node.field->length));
        json.Close('}');
    }
    if (node.progress) {
        json.Key("progress"), json.Open('{');
        json.Key("low"), json.Number(node.progress->low);
        json.Key("high"), json.Number(node.progress->high);
        json.Key("position"), json.Number(node.progress->position);
        json.Close('}');
    }
    json.Key("children"), json.Open('[');
    for (const auto& child : node.children)
        WriteWindow(json, child);
    json.Close(']');
    json.Close('}');
}

} // namespace

void WriteSoftKeys(JsonWriter& json, const std::vector<SoftKey>& keys)
{
    json.Open('[');
    for (const SoftKey& key : keys) {
        json.Open('{');
        json.Key("label"), json.String(key.label);
        json.Key("enabled"), json.Bool(key.enabled);
        json.Close('}');
    }
    json.Close(']');
}

void WriteMenuItems(JsonWriter& json, const std::vector<MenuEntry>& items)
{
    json.Open('[');
    for (const MenuEntry& item : items) {
        json.Open('{');
        json.Key("text"), json.String(item.text);
        json.Key("id"), json.Number(item.id);
        json.Key("enabled"), json.Bool(item.enabled);
        json.Key("checked"), json.Bool(item.checked);
        json.Key("separator"), json.Bool(item.separator);
        json.Close('}');
    }
    json.Close(']');
}

std::string ToJson(const Snapshot& snapshot)
{
    JsonWriter json;
    json.Open('{');
    json.Key("title"), json.String(snapshot.title);
    json.Key("windows"), json.Open('[');
    for (const auto& window : snapshot.windows)
        WriteWindow(json, window);
    json.Close(']');
    json.Key("softkeys"), WriteSoftKeys(json, snapshot.softKeys);
    json.Key("menu");
    if (snapshot.menu) {
        json.Open('{');
        json.Key("items"), WriteMenuItems(json, *snapshot.menu);
        json.Close('}');
    } else {
        json.Null();
    }
    json.Key("messagebox");
    if (snapshot.messageBox) {
        json.Open('{');
        json.Key("text"), json.String(snapshot.messageBox->text);
        json.Key("caption"), json.String(snapshot.messageBox->caption);
        json.Key("icon"), json.String(snapshot.messageBox->icon);
        json.Key("buttons"), json.Open('[');
        for (const auto& button : snapshot.messageBox->buttons)
            json.Element(), json.String(button);
        json.Close(']');
        json.Close('}');
    } else {
        json.Null();
    }
    json.Key("cursor"), json.String(std::string_view(snapshot.waitCursor ? "wait" : "normal"));
    json.Close('}');
    return json.Take();
}

} // namespace device::automation
