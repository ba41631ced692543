#include "notify/Condition.h"

#include <windows.h>

#include <cstring>
#include <string_view>

namespace device::notify {

namespace {

bool IsTextComparison(DWORD comparison)
{
    return comparison == REG_CT_CONTAINS || comparison == REG_CT_STARTS_WITH || comparison == REG_CT_ENDS_WITH;
}

std::u16string TextOf(const std::vector<uint8_t>& data)
{
    std::u16string text(data.size() / 2, u'\0');
    if (!text.empty())
        std::memcpy(text.data(), data.data(), text.size() * 2);
    while (!text.empty() && text.back() == u'\0')
        text.pop_back();
    return text;
}

// -1, 0 or 1, as the comparisons of Passes need them.
template <class T> int Order(const T& a, const T& b) { return a < b ? -1 : b < a ? 1 : 0; }

// Greater and less compare texts as the system locale orders them, ignoring case.
int TextOrder(const std::u16string& a, const std::u16string& b)
{
    int order = CompareStringW(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()),
                               b.c_str(), static_cast<int>(b.size()));
    return order == 0 ? Order(a, b) : order - CSTR_EQUAL;
}

bool ByOrder(DWORD comparison, int order)
{
    switch (comparison) {
    case REG_CT_GREATER: return order > 0;
    case REG_CT_GREATER_OR_EQUAL: return order >= 0;
    case REG_CT_LESS: return order < 0;
    case REG_CT_LESS_OR_EQUAL: return order <= 0;
    }
    return false;
}

bool PassesNumber(const Condition& condition, DWORD value)
{
    DWORD masked = value & condition.mask;
    switch (condition.comparison) {
    case REG_CT_EQUAL: return masked == condition.dword;
    case REG_CT_NOT_EQUAL: return masked != condition.dword;
    }
    return ByOrder(condition.comparison, Order(masked, condition.dword));
}

bool PassesText(const Condition& condition, const std::u16string& value)
{
    std::u16string_view text(value), target(condition.text);
    switch (condition.comparison) {
    case REG_CT_EQUAL: return text == target;
    case REG_CT_NOT_EQUAL: return text != target;
    case REG_CT_CONTAINS: return text.find(target) != std::u16string_view::npos;
    case REG_CT_STARTS_WITH: return text.starts_with(target);
    case REG_CT_ENDS_WITH: return text.ends_with(target);
    }
    return ByOrder(condition.comparison, TextOrder(value, condition.text));
}

} // namespace

bool ConditionFrom(const NOTIFICATIONCONDITION* condition, Condition* out)
{
    *out = Condition{};
    if (!condition)
        return true;
    DWORD comparison = static_cast<DWORD>(condition->ctComparisonType);
    if (comparison > REG_CT_ENDS_WITH || (condition->dwMask != 0 && IsTextComparison(comparison)))
        return false;
    out->comparison = comparison;
    out->mask = condition->dwMask;
    if (comparison == REG_CT_ANYCHANGE)
        return true;
    if (condition->dwMask != 0) {
        out->dword = condition->TargetValue.dw;
    } else {
        if (!condition->TargetValue.psz)
            return false;
        out->text = condition->TargetValue.psz;
    }
    return true;
}

bool Passes(const Condition& condition, const registry::Value* value)
{
    if (condition.comparison == REG_CT_ANYCHANGE)
        return true;
    if (!value)
        return false;
    if (value->type == REG_DWORD) {
        if (condition.mask == 0 || value->data.size() != sizeof(DWORD))
            return false;
        DWORD number;
        std::memcpy(&number, value->data.data(), sizeof number);
        return PassesNumber(condition, number);
    }
    if (value->type == REG_SZ)
        return condition.mask == 0 && PassesText(condition, TextOf(value->data));
    return true;
}

} // namespace device::notify
