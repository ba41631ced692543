#include "Addresses.h"

#include <algorithm>

namespace messaging {

namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trimmed(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// The entries of a line: separators inside quotes or angle brackets belong to the entry.
std::vector<std::u16string_view> Entries(std::u16string_view line)
{
    std::vector<std::u16string_view> entries;
    bool quoted = false, bracketed = false;
    size_t start = 0;
    for (size_t i = 0; i <= line.size(); ++i) {
        char16_t c = i < line.size() ? line[i] : u';';
        if (c == u'"' && !bracketed)
            quoted = !quoted;
        else if (c == u'<' && !quoted)
            bracketed = true;
        else if (c == u'>' && !quoted)
            bracketed = false;
        else if ((c == u';' || c == u',') && ((!quoted && !bracketed) || i == line.size())) {
            std::u16string_view entry = Trimmed(line.substr(start, i - start));
            if (!entry.empty())
                entries.push_back(entry);
            start = i + 1;
        }
    }
    return entries;
}

bool IsPhoneNumber(std::u16string_view text)
{
    if (!text.empty() && text.front() == u'+')
        text.remove_prefix(1);
    bool digit = false;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9')
            digit = true;
        else if (c != u' ' && c != u'-' && c != u'.' && c != u'(' && c != u')')
            return false;
    }
    return digit;
}

bool IsMailAddress(std::u16string_view text)
{
    size_t at = text.find(u'@');
    if (at == 0 || at == std::u16string_view::npos || at + 1 == text.size())
        return false;
    if (text.find(u'@', at + 1) != std::u16string_view::npos)
        return false;
    return std::none_of(text.begin(), text.end(),
                        [](char16_t c) { return IsBlank(c) || c == u'<' || c == u'>' || c == u'"'; });
}

Address Split(std::u16string_view entry)
{
    size_t open = entry.rfind(u'<');
    if (open == std::u16string_view::npos || entry.back() != u'>')
        return {u"", std::u16string(entry)};
    std::u16string_view name = Trimmed(entry.substr(0, open));
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"')
        name = name.substr(1, name.size() - 2);
    std::u16string_view address = Trimmed(entry.substr(open + 1, entry.size() - open - 2));
    return {std::u16string(name), std::u16string(address)};
}

} // namespace

bool ParseAddresses(std::u16string_view line, AddressKind kind, std::vector<Address>* out, std::u16string* bad)
{
    std::vector<Address> found;
    for (std::u16string_view entry : Entries(line)) {
        Address address = Split(entry);
        bool valid = kind == AddressKind::Phone ? IsPhoneNumber(address.address) : IsMailAddress(address.address);
        if (!valid) {
            *bad = std::u16string(entry);
            return false;
        }
        found.push_back(std::move(address));
    }
    out->insert(out->end(), found.begin(), found.end());
    return true;
}

} // namespace messaging
