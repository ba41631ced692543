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
    std::u16string mobile; // each number empty when the contact has none
    std::u16string work;   // the business telephone number
    std::u16string home;   // the home telephone number
};

// The longest name or number the store keeps, in characters.
constexpr size_t kMaxTextLength = 1022;

// Adds a contact and returns its object identifier. Throws std::invalid_argument for an empty name, a text
// over kMaxTextLength or one that is not well-formed UTF-16; DatabaseError when the store fails.
uint32_t Add(std::u16string_view name, std::u16string_view mobile, std::u16string_view work = {},
             std::u16string_view home = {});

// Every contact in filing order: by name regardless of case, then by object identifier.
std::vector<Contact> List();

std::optional<Contact> Find(uint32_t oid);

// False when there is no contact with that identifier.
bool Delete(uint32_t oid);

// The contact a calling number belongs to, and the property identifier of its number that rang
// (PIMPR_MOBILE_TELEPHONE_NUMBER, PIMPR_BUSINESS_TELEPHONE_NUMBER or PIMPR_HOME_TELEPHONE_NUMBER).
struct CallerMatch {
    Contact contact;
    uint32_t property = 0;
};

// Matches a caller as the phone does when a call comes in: only the digits of the numbers count, and a
// number matches when the digits agree, or, with seven digits or more on both sides, their last seven do
// (the same number dialled with or without its country or trunk prefix). A full match wins over one on the
// last digits; then the filing order, and within a contact the mobile, business and home numbers in turn.
std::optional<CallerMatch> MatchCaller(std::u16string_view number);

} // namespace device::contacts
