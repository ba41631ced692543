// Property values as the message store keeps them: the tag and the value's bytes (little-endian numbers,
// UTF-16 text without its terminator), and their conversion from and to the callers' SPropValue.
#pragma once

#include <cemapi.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace device::mapi
{

struct Value {
    ULONG tag = PR_NULL;
    std::vector<uint8_t> data;
};

// A value fits one property of the device database: 64 KB, a text counting its terminator. Larger ones are
// refused with MAPI_E_NOT_ENOUGH_MEMORY, as SetProps documents for a property too large to update.
constexpr size_t kMaxValueBytes = 0xFFFF;
constexpr size_t kMaxTextChars = kMaxValueBytes / sizeof(char16_t) - 1;

Value LongValue(ULONG tag, uint32_t value);
Value TimeValue(ULONG tag, int64_t ticks);
Value TextValue(ULONG tag, std::u16string_view text);
Value BinaryValue(ULONG tag, std::vector<uint8_t> bytes);
// The PT_ERROR value that stands for a property in an answer: the tag's identifier and why it is missing.
Value ErrorValue(ULONG tag, SCODE error);

uint32_t LongOf(const Value& value);
int64_t TimeOf(const Value& value);
std::u16string TextOf(const Value& value);

// The value with that property identifier, whatever its type; null when there is none.
const Value* Find(const std::vector<Value>& values, ULONG propId);

// Checks a caller's value and takes its bytes. S_FALSE for a value that asks nothing to be stored
// (PR_NULL, PT_ERROR). Errors: MAPI_E_INVALID_TYPE for a type the store doesn't keep (objects, multiple
// values, unknown types); MAPI_E_UNEXPECTED_TYPE for a known property given in another type;
// MAPI_E_BAD_VALUE for a null text or binary pointer, or a time no FILETIME conversion accepts;
// MAPI_E_NOT_ENOUGH_MEMORY for a value over kMaxValueBytes.
HRESULT FromPropValue(const SPropValue& in, Value* out);

// The answer for a requested tag: the value with its identifier (of any type when PT_UNSPECIFIED is asked),
// else a PT_ERROR value: MAPI_E_NOT_FOUND when there is none, MAPI_E_INVALID_TYPE when it has another type.
Value Select(ULONG requested, const std::vector<Value>& values);
// The same answer without a copy: the value itself, or *error made the PT_ERROR value.
const Value& Selected(ULONG requested, const std::vector<Value>& values, Value* error);

// Lays values out as one caller-owned array: one MAPIAllocateBuffer, the texts and binaries linked to it.
HRESULT ToPropArray(const std::vector<Value>& values, LPSPropValue* out);
// The same of the answers for the requested tags (Select), as a table lays out a row.
HRESULT ToPropArray(const std::vector<ULONG>& requested, const std::vector<Value>& values, LPSPropValue* out);

} // namespace device::mapi
