// The device's contact store, the contacts table of the device database: what the contact objects and the
// chooser read and what the device tool writes. Object identifiers are 32-bit, never 0 and never reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace device::contacts {

struct Contact {
    uint32_t oid = 0;
    std::u16string name;   // the filing name ("File as")
    std::u16string mobile; // empty when the contact has no mobile number
};

// The longest name or number the store keeps, in characters.
constexpr size_t kMaxTextLength = 1022;

// Adds a contact and returns its object identifier. Throws std::invalid_argument for an empty name, a text
// over kMaxTextLength or one that is not well-formed UTF-16; DatabaseError when the store fails.
uint32_t Add(std::u16string_view name, std::u16string_view mobile);

// Every contact in filing order: by name regardless of case, then by object identifier.
std::vector<Contact> List();

std::optional<Contact> Find(uint32_t oid);

// False when there is no contact with that identifier.
bool Delete(uint32_t oid);

} // namespace device::contacts
