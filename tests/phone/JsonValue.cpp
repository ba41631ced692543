#include "phone/JsonValue.h"

#include <cstdlib>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace phone_testing {

namespace {

const JsonValue kNull;

class Reader {
public:
    explicit Reader(const std::string& text) : m_text(text) {}

    JsonValue Document()
    {
        JsonValue value = Value();
        Blanks();
        if (m_at != m_text.size())
            throw std::runtime_error("trailing text");
        return value;
    }

private:
    void Blanks()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\n' || m_text[m_at] == '\t' ||
                                        m_text[m_at] == '\r'))
            ++m_at;
    }
    char Next()
    {
        if (m_at >= m_text.size())
            throw std::runtime_error("cut short");
        return m_text[m_at++];
    }
    void Expect(const std::string& word)
    {
        if (m_text.compare(m_at, word.size(), word) != 0)
            throw std::runtime_error("expected " + word);
        m_at += word.size();
    }

    std::string Quoted()
    {
        std::string out;
        for (char c = Next(); c != '"'; c = Next()) {
            if (c != '\\') {
                out += c;
                continue;
            }
            switch (char e = Next()) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'u': {
                unsigned code = std::stoul(m_text.substr(m_at, 4), nullptr, 16);
                m_at += 4;
                if (code >= 0x80) // the tool escapes only control characters
                    throw std::runtime_error("unexpected escape");
                out += static_cast<char>(code);
                break;
            }
            default: out += e;
            }
        }
        return out;
    }

    JsonValue Value()
    {
        Blanks();
        JsonValue value;
        char c = m_at < m_text.size() ? m_text[m_at] : '\0';
        if (c == '{') {
            ++m_at;
            value.kind = JsonValue::Object;
            Blanks();
            if (m_text[m_at] == '}')
                return ++m_at, value;
            for (;;) {
                Blanks();
                if (Next() != '"')
                    throw std::runtime_error("expected a name");
                std::string name = Quoted();
                Blanks();
                if (Next() != ':')
                    throw std::runtime_error("expected :");
                value.members[name] = Value();
                Blanks();
                char after = Next();
                if (after == '}')
                    return value;
                if (after != ',')
                    throw std::runtime_error("expected , or }");
            }
        }
        if (c == '[') {
            ++m_at;
            value.kind = JsonValue::Array;
            Blanks();
            if (m_text[m_at] == ']')
                return ++m_at, value;
            for (;;) {
                value.items.push_back(Value());
                Blanks();
                char after = Next();
                if (after == ']')
                    return value;
                if (after != ',')
                    throw std::runtime_error("expected , or ]");
            }
        }
        if (c == '"') {
            ++m_at;
            value.kind = JsonValue::String;
            value.text = Quoted();
            return value;
        }
        if (c == 't' || c == 'f') {
            value.kind = JsonValue::Bool;
            value.boolean = c == 't';
            Expect(c == 't' ? "true" : "false");
            return value;
        }
        if (c == 'n') {
            Expect("null");
            return value;
        }
        size_t used = 0;
        value.number = std::stod(m_text.substr(m_at), &used);
        value.kind = JsonValue::Number;
        m_at += used;
        return value;
    }

    const std::string& m_text;
    size_t m_at = 0;
};

} // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const&
{
    auto it = members.find(name);
    return it == members.end() ? kNull : it->second;
}

const JsonValue& JsonValue::operator[](size_t index) const&
{
    return index < items.size() ? items[index] : kNull;
}

JsonValue JsonValue::operator[](const std::string& name) &&
{
    auto it = members.find(name);
    return it == members.end() ? JsonValue{} : std::move(it->second);
}

JsonValue JsonValue::operator[](size_t index) &&
{
    return index < items.size() ? std::move(items[index]) : JsonValue{};
}

static_assert(!std::is_reference_v<decltype(JsonValue{}["rows"])> && !std::is_reference_v<decltype(JsonValue{}[0])>,
              "indexing a temporary gives a value, never a reference into it");

std::optional<JsonValue> ParseJson(const std::string& text)
{
    try {
        return Reader(text).Document();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

JsonValue ControlOf(const JsonValue& snapshot, int id)
{
    std::vector<const JsonValue*> pending;
    for (const JsonValue& window : snapshot["windows"].items)
        pending.push_back(&window);
    while (!pending.empty()) {
        const JsonValue* window = pending.back();
        pending.pop_back();
        if ((*window)["id"].number == id)
            return *window;
        for (const JsonValue& child : (*window)["children"].items)
            pending.push_back(&child);
    }
    return JsonValue{};
}

} // namespace phone_testing
