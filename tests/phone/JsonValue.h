// A small JSON reader for what the device tool prints, so tests look at fields rather than at spelling.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace phone_testing {

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member with that name, or the item at that index; a null value when there is none. A temporary
    // hands out a value of its own: a reference into it would be gone before a range-for over
    // ControlOf(...)["rows"].items reads the rows.
    const JsonValue& operator[](const std::string& name) const&;
    const JsonValue& operator[](size_t index) const&;
    JsonValue operator[](const std::string& name) &&;
    JsonValue operator[](size_t index) &&;
    bool Has(const std::string& name) const { return members.count(name) != 0; }
    size_t Size() const { return kind == Array ? items.size() : members.size(); }
};

// nullopt for anything that is not one well-formed JSON value (with blanks around it at most).
std::optional<JsonValue> ParseJson(const std::string& text);

// The control with that id anywhere in the window tree of a `phone screen --json` snapshot; a null value
// when there is none.
JsonValue ControlOf(const JsonValue& snapshot, int id);

} // namespace phone_testing
