// The snapshot as JSON, with the field names scripts rely on.
#include "automation/Snapshot.h"

#include "device/Text.h"

#include <cstdio>

namespace device::automation {

namespace {

class JsonWriter {
public:
    std::string Take() { return std::move(m_out); }

    void String(std::u16string_view text) { String(Utf8FromUtf16(text).value_or("\xEF\xBF\xBD")); }
    void String(std::string_view text)
    {
        Quoted(text);
        m_fresh = false;
    }
    void Number(long long value) { m_out += std::to_string(value), m_fresh = false; }
    void Bool(bool value) { m_out += value ? "true" : "false", m_fresh = false; }
    void Null() { m_out += "null", m_fresh = false; }

    // "name": — with the comma that separates it from the previous member.
    void Key(std::string_view name)
    {
        Separate();
        Quoted(name);
        m_out += ':';
        m_fresh = true;
    }
    void Open(char bracket)
    {
        Separate();
        m_out += bracket;
        m_fresh = true;
    }
    void Close(char bracket)
    {
        m_out += bracket;
        m_fresh = false;
    }
    // Before a value that is an element of an array.
    void Element() { Separate(); }

private:
    void Separate()
    {
        if (!m_fresh)
            m_out += ',';
        m_fresh = false;
    }

    void Quoted(std::string_view text)
    {
        m_out += '"';
        for (unsigned char c : text) {
            switch (c) {
            case '"': m_out += "\\\""; break;
            case '\\': m_out += "\\\\"; break;
            case '\n': m_out += "\\n"; break;
            case '\r': m_out += "\\r"; break;
            case '\t': m_out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    m_out += escaped;
                } else {
                    m_out += static_cast<char>(c);
                }
            }
        }
        m_out += '"';
    }

    std::string m_out;
    bool m_fresh = true;
};

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
    json.Key("children"), json.Open('[');
    for (const auto& child : node.children)
        WriteWindow(json, child);
    json.Close(']');
    json.Close('}');
}

} // namespace

std::string ToJson(const Snapshot& snapshot)
{
    JsonWriter json;
    json.Open('{');
    json.Key("title"), json.String(snapshot.title);
    json.Key("windows"), json.Open('[');
    for (const auto& window : snapshot.windows)
        WriteWindow(json, window);
    json.Close(']');
    json.Key("softkeys"), json.Open('[');
    for (const auto& key : snapshot.softKeys) {
        json.Open('{');
        json.Key("label"), json.String(key.label);
        json.Key("enabled"), json.Bool(key.enabled);
        json.Close('}');
    }
    json.Close(']');
    json.Key("menu");
    if (snapshot.menu) {
        json.Open('{');
        json.Key("items"), json.Open('[');
        for (const auto& item : *snapshot.menu) {
            json.Open('{');
            json.Key("text"), json.String(item.text);
            json.Key("id"), json.Number(item.id);
            json.Key("enabled"), json.Bool(item.enabled);
            json.Key("checked"), json.Bool(item.checked);
            json.Key("separator"), json.Bool(item.separator);
            json.Close('}');
        }
        json.Close(']');
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
