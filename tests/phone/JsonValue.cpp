#include "phone/JsonValue.h"

#include <nlohmann/json.hpp>

#include <type_traits>
#include <utility>

namespace phone_testing {

namespace {

const JsonValue kNull;

JsonValue From(const nlohmann::json& json)
{
    JsonValue value;
    switch (json.type()) {
    case nlohmann::json::value_t::boolean: value.kind = JsonValue::Bool, value.boolean = json.get<bool>(); break;
    case nlohmann::json::value_t::number_integer:
    case nlohmann::json::value_t::number_unsigned:
    case nlohmann::json::value_t::number_float: value.kind = JsonValue::Number, value.number = json.get<double>(); break;
    case nlohmann::json::value_t::string: value.kind = JsonValue::String, value.text = json.get<std::string>(); break;
    case nlohmann::json::value_t::array:
        value.kind = JsonValue::Array;
        for (const auto& item : json)
            value.items.push_back(From(item));
        break;
    case nlohmann::json::value_t::object:
        value.kind = JsonValue::Object;
        for (const auto& [name, member] : json.items())
            value.members.emplace(name, From(member));
        break;
    default: break;
    }
    return value;
}

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
    nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded())
        return std::nullopt;
    return From(json);
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
