#include "Command.h"

#include <algorithm>
#include <cctype>

namespace phone {

std::string Args::Take(const char* what)
{
    if (m_items.empty())
        throw UsageError(std::string("missing ") + what);
    std::string item = m_items.front();
    m_items.erase(m_items.begin());
    return item;
}

std::string Args::Option(const std::string& name)
{
    auto it = std::find(m_items.begin(), m_items.end(), name);
    if (it == m_items.end())
        return std::string();
    if (it + 1 == m_items.end())
        throw UsageError(name + " needs a value");
    std::string value = *(it + 1);
    m_items.erase(it, it + 2);
    if (value.empty())
        throw UsageError(name + " needs a value");
    return value;
}

bool Args::Flag(const std::string& name)
{
    auto it = std::find(m_items.begin(), m_items.end(), name);
    if (it == m_items.end())
        return false;
    m_items.erase(it);
    return true;
}

int Args::NumberOption(const std::string& name, int absent, int low, int high)
{
    std::string value = Option(name);
    if (value.empty())
        return absent;
    bool digits = value.size() <= 9;
    for (char c : value)
        digits = digits && std::isdigit(static_cast<unsigned char>(c));
    if (!digits || std::stoi(value) < low || std::stoi(value) > high)
        throw UsageError(name + " takes a number from " + std::to_string(low) + " to " + std::to_string(high));
    return std::stoi(value);
}

std::string Args::Rest()
{
    std::string rest;
    for (size_t i = 0; i < m_items.size(); ++i)
        rest += (i ? " " : "") + m_items[i];
    m_items.clear();
    return rest;
}

void Args::ExpectEnd() const
{
    if (!m_items.empty())
        throw UsageError("unexpected '" + m_items.front() + "'");
}

} // namespace phone
