#include "Value.h"

#include <algorithm>
#include <cstring>

namespace device::mapi
{

namespace
{

// The bytes of a value of a fixed-size type; 0 for the other types.
size_t FixedSize(ULONG type)
{
    switch (type) {
    case PT_I2:
    case PT_BOOLEAN: return 2;
    case PT_LONG:
    case PT_R4:
    case PT_ERROR: return 4;
    case PT_DOUBLE:
    case PT_CURRENCY:
    case PT_APPTIME:
    case PT_I8:
    case PT_SYSTIME: return 8;
    case PT_CLSID: return sizeof(GUID);
    default: return 0;
    }
}

// The type the store keeps a property it knows in; 0 for other properties, which keep the type given.
ULONG ExpectedType(ULONG propId)
{
    static const ULONG known[] = {
        PR_MESSAGE_CLASS,
        PR_SUBJECT,
        PR_CONTENT_LENGTH,
        PR_SENDER_NAME,
        PR_SENDER_EMAIL_ADDRESS,
        PR_RECIPIENT_TYPE,
        PR_MESSAGE_DELIVERY_TIME,
        PR_MESSAGE_FLAGS,
        PR_MESSAGE_SIZE,
        PR_PARENT_ENTRYID,
        PR_MSG_STATUS,
        PR_BODY,
        PR_CREATION_TIME,
        PR_LAST_MODIFICATION_TIME,
        PR_ENTRYID,
        PR_OBJECT_TYPE,
        PR_STORE_ENTRYID,
        PR_RECORD_KEY,
        PR_DISPLAY_NAME,
        PR_ROWID,
        PR_ADDRTYPE,
        PR_EMAIL_ADDRESS,
        PR_CONTENT_COUNT,
        PR_CONTENT_UNREAD,
        PR_FOLDER_TYPE,
        PR_ATTACH_SIZE,
        PR_ATTACH_NUM,
        PR_ATTACH_DATA_BIN,
        PR_ATTACH_FILENAME,
        PR_ATTACH_METHOD,
        PR_ATTACH_LONG_FILENAME,
        PR_ATTACH_PATHNAME,
        PR_ATTACH_LONG_PATHNAME,
    };
    for (ULONG tag : known) {
        if (PROP_ID(tag) == propId) return PROP_TYPE(tag);
    }
    return 0;
}

Value Bytes(ULONG tag, const void* data, size_t size)
{
    auto bytes = static_cast<const uint8_t*>(data);
    return {tag, std::vector<uint8_t>(bytes, bytes + size)};
}

template <class T> T Scalar(const Value& value)
{
    T result{};
    if (!value.data.empty())
        std::memcpy(&result, value.data.data(), std::min(sizeof result, value.data.size()));
    return result;
}

} // namespace

Value LongValue(ULONG tag, uint32_t value)
{
    return Bytes(tag, &value, sizeof value);
}

Value TimeValue(ULONG tag, int64_t ticks)
{
    return Bytes(tag, &ticks, sizeof ticks);
}

Value TextValue(ULONG tag, std::u16string_view text)
{
    return Bytes(tag, text.data(), text.size() * sizeof(char16_t));
}

Value BinaryValue(ULONG tag, std::vector<uint8_t> bytes)
{
    return {tag, std::move(bytes)};
}

Value ErrorValue(ULONG tag, SCODE error)
{
    return Bytes(PROP_TAG(PT_ERROR, PROP_ID(tag)), &error, sizeof error);
}

uint32_t LongOf(const Value& value)
{
    return Scalar<uint32_t>(value);
}

int64_t TimeOf(const Value& value)
{
    return Scalar<int64_t>(value);
}

std::u16string TextOf(const Value& value)
{
    std::u16string text(value.data.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) std::memcpy(text.data(), value.data.data(), text.size() * sizeof(char16_t));
    return text;
}

const Value* Find(const std::vector<Value>& values, ULONG propId)
{
    for (const Value& value : values) {
        if (PROP_ID(value.tag) == propId) return &value;
    }
    return nullptr;
}

HRESULT FromPropValue(const SPropValue& in, Value* out)
{
    ULONG type = PROP_TYPE(in.ulPropTag);
    if (in.ulPropTag == PR_NULL || type == PT_NULL || type == PT_ERROR) return S_FALSE;
    if (type & MV_FLAG) return MAPI_E_INVALID_TYPE;
    ULONG expected = ExpectedType(PROP_ID(in.ulPropTag));
    if (expected && expected != type) return MAPI_E_UNEXPECTED_TYPE;
    switch (type) {
    case PT_UNICODE: {
        if (!in.Value.lpszW) return MAPI_E_BAD_VALUE;
        size_t length = std::char_traits<char16_t>::length(reinterpret_cast<const char16_t*>(in.Value.lpszW));
        if (length > kMaxTextChars) return MAPI_E_NOT_ENOUGH_MEMORY;
        *out = Bytes(in.ulPropTag, in.Value.lpszW, length * sizeof(char16_t));
        return S_OK;
    }
    case PT_STRING8: {
        if (!in.Value.lpszA) return MAPI_E_BAD_VALUE;
        size_t length = std::strlen(in.Value.lpszA);
        if (length + 1 > kMaxValueBytes) return MAPI_E_NOT_ENOUGH_MEMORY;
        *out = Bytes(in.ulPropTag, in.Value.lpszA, length);
        return S_OK;
    }
    case PT_BINARY:
        if (in.Value.bin.cb && !in.Value.bin.lpb) return MAPI_E_BAD_VALUE;
        if (in.Value.bin.cb > kMaxValueBytes) return MAPI_E_NOT_ENOUGH_MEMORY;
        *out = Bytes(in.ulPropTag, in.Value.bin.lpb, in.Value.bin.cb);
        return S_OK;
    case PT_CLSID:
        if (!in.Value.lpguid) return MAPI_E_BAD_VALUE;
        *out = Bytes(in.ulPropTag, in.Value.lpguid, sizeof(GUID));
        return S_OK;
    case PT_SYSTIME:
        // FILETIME conversions on the device stop at 0x7FFFFFFFFFFFFFFF.
        if (in.Value.ft.dwHighDateTime & 0x80000000u) return MAPI_E_BAD_VALUE;
        *out = Bytes(in.ulPropTag, &in.Value.ft, sizeof in.Value.ft);
        return S_OK;
    default: {
        size_t size = FixedSize(type);
        if (size == 0) return MAPI_E_INVALID_TYPE;
        *out = Bytes(in.ulPropTag, &in.Value, size);
        return S_OK;
    }
    }
}

Value Select(ULONG requested, const std::vector<Value>& values)
{
    Value error;
    return Selected(requested, values, &error);
}

const Value& Selected(ULONG requested, const std::vector<Value>& values, Value* error)
{
    const Value* value = Find(values, PROP_ID(requested));
    if (!value) return *error = ErrorValue(requested, MAPI_E_NOT_FOUND);
    ULONG type = PROP_TYPE(requested);
    if (type != PT_UNSPECIFIED && type != PROP_TYPE(value->tag))
        return *error = ErrorValue(requested, MAPI_E_INVALID_TYPE);
    return *value;
}

namespace
{

// Copies bytes into a block linked to the array, with room for a terminator of `terminator` bytes.
HRESULT LinkedCopy(const std::vector<uint8_t>& data, size_t terminator, void* array, void** out)
{
    SCODE sc = MAPIAllocateMore(static_cast<ULONG>(data.size() + terminator), array, out);
    if (FAILED(sc)) return sc;
    if (!data.empty()) std::memcpy(*out, data.data(), data.size());
    std::memset(static_cast<uint8_t*>(*out) + data.size(), 0, terminator);
    return S_OK;
}

HRESULT Fill(const Value& value, SPropValue* array, SPropValue& out)
{
    out.ulPropTag = value.tag;
    void* block = nullptr;
    switch (PROP_TYPE(value.tag)) {
    case PT_UNICODE: {
        HRESULT hr = LinkedCopy(value.data, sizeof(WCHAR), array, &block);
        out.Value.lpszW = static_cast<LPWSTR>(block);
        return hr;
    }
    case PT_STRING8: {
        HRESULT hr = LinkedCopy(value.data, 1, array, &block);
        out.Value.lpszA = static_cast<LPSTR>(block);
        return hr;
    }
    case PT_BINARY: {
        out.Value.bin.cb = static_cast<ULONG>(value.data.size());
        out.Value.bin.lpb = nullptr;
        if (value.data.empty()) return S_OK;
        HRESULT hr = LinkedCopy(value.data, 0, array, &block);
        out.Value.bin.lpb = static_cast<LPBYTE>(block);
        return hr;
    }
    case PT_CLSID: {
        HRESULT hr = LinkedCopy(value.data, 0, array, &block);
        out.Value.lpguid = static_cast<LPGUID>(block);
        return hr;
    }
    default:
        if (!value.data.empty())
            std::memcpy(&out.Value, value.data.data(), std::min(value.data.size(), sizeof out.Value));
        return S_OK;
    }
}

// One caller-owned array of `count` values, the i-th from valueAt(i).
template <typename ValueAt>
HRESULT LayOut(size_t count, ValueAt&& valueAt, LPSPropValue* out)
{
    *out = nullptr;
    size_t bytes = sizeof(SPropValue) * std::max<size_t>(count, 1);
    LPSPropValue array = nullptr;
    SCODE sc = MAPIAllocateBuffer(static_cast<ULONG>(bytes), reinterpret_cast<LPVOID*>(&array));
    if (FAILED(sc)) return sc;
    std::memset(array, 0, bytes);
    for (size_t i = 0; i < count; ++i) {
        HRESULT hr = Fill(valueAt(i), array, array[i]);
        if (FAILED(hr)) {
            MAPIFreeBuffer(array);
            return hr;
        }
    }
    *out = array;
    return S_OK;
}

} // namespace

HRESULT ToPropArray(const std::vector<Value>& values, LPSPropValue* out)
{
    return LayOut(values.size(), [&](size_t i) -> const Value& { return values[i]; }, out);
}

HRESULT ToPropArray(const std::vector<ULONG>& requested, const std::vector<Value>& values, LPSPropValue* out)
{
    Value error;
    return LayOut(requested.size(), [&](size_t i) -> const Value& { return Selected(requested[i], values, &error); },
                  out);
}

} // namespace device::mapi
