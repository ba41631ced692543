// The condition a registry notification puts on a changed value.
#pragma once

#include "registry/Store.h"

#include <regext.h>

#include <string>

namespace device::notify {

struct Condition {
    DWORD comparison = REG_CT_ANYCHANGE;
    DWORD mask = 0;   // REG_DWORD values are masked before they are compared; 0 makes the target a string
    DWORD dword = 0;
    std::u16string text;
};

// The caller's condition (null: any change); false for a comparison the value type cannot make.
bool ConditionFrom(const NOTIFICATIONCONDITION* condition, Condition* out);

// Whether the new value (null: deleted) calls for a notification. A deleted value passes only "any
// change"; a value neither REG_DWORD nor REG_SZ passes without comparison; a REG_DWORD value is masked and
// compared with a number, a REG_SZ one with a text, and a value of the other kind than the target fails.
bool Passes(const Condition& condition, const registry::Value* value);

} // namespace device::notify
