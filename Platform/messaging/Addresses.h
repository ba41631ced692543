// Recipient lines as the compose forms take them: entries separated by ';' (or ','), each "Name <address>",
// "\"Name\" <address>" or a bare address, blanks around them ignored.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace messaging {

enum class AddressKind { Phone, Mail };

struct Address {
    std::u16string name; // empty when the entry gave none
    std::u16string address;
};

// Appends the line's addresses to *out. False when an entry is no address of that kind: *bad is the entry as
// written and *out is left as it was. A phone number is digits, blanks, '-', '.', '(' and ')', with an
// optional leading '+'; an e-mail address is local@domain without blanks.
bool ParseAddresses(std::u16string_view line, AddressKind kind, std::vector<Address>* out, std::u16string* bad);

} // namespace messaging
