#include "backup/BackupRecord.h"

namespace {

CEPROPVAL StringValue(CEPROPID id, LPCWSTR text)
{
    CEPROPVAL value{};
    value.propid = id;
    value.val.lpwstr = const_cast<LPWSTR>(text ? text : TEXT(""));
    return value;
}

// An empty name or address was written for none.
LPCWSTR NoneIfEmpty(LPCWSTR text)
{
    return text && *text ? text : nullptr;
}

} // namespace

bool IsWholeMessage(const SmsRecord& message)
{
    return message.time && (message.kind == kReceivedFolder || message.kind == kSentFolder);
}

HRESULT RecordFromMessage(const SmsRecord& message, CEPROPVAL (&values)[kBackupPropertyCount])
{
    if (!IsWholeMessage(message))
        return E_INVALIDARG;
    FILETIME time;
    if (!SystemTimeToFileTime(message.time, &time)) // local stays local: the file keeps wall-clock times
        return E_FAIL;
    values[0] = CEPROPVAL{};
    values[0].propid = kKindProperty;
    values[0].val.lVal = static_cast<LONG>(message.kind);
    values[1] = CEPROPVAL{};
    values[1].propid = kTimeProperty;
    values[1].val.filetime = time;
    values[2] = StringValue(kRecipientNameProperty, message.recipientName);
    values[3] = StringValue(kRecipientAddressProperty, message.recipientAddress);
    values[4] = StringValue(kSenderNameProperty, message.senderName);
    values[5] = StringValue(kSenderAddressProperty, message.senderAddress);
    values[6] = StringValue(kTextProperty, message.text);
    values[7] = CEPROPVAL{};
    values[7].propid = kReadProperty;
    values[7].val.boolVal = message.read ? TRUE : FALSE;
    return S_OK;
}

HRESULT MessageFromRecord(const CEPROPVAL* values, WORD count, SYSTEMTIME* time, SmsRecord* message)
{
    *message = SmsRecord{};
    message->kind = kReceivedFolder;
    const FILETIME* localTime = nullptr;
    for (WORD i = 0; i < count; ++i) {
        const CEPROPVAL& value = values[i];
        if (value.wFlags & CEDB_PROPNOTFOUND)
            continue;
        switch (value.propid) {
        case kKindProperty: message->kind = static_cast<DWORD>(value.val.lVal); break;
        case kTimeProperty: localTime = &value.val.filetime; break;
        case kRecipientNameProperty: message->recipientName = NoneIfEmpty(value.val.lpwstr); break;
        case kRecipientAddressProperty: message->recipientAddress = NoneIfEmpty(value.val.lpwstr); break;
        case kSenderNameProperty: message->senderName = NoneIfEmpty(value.val.lpwstr); break;
        case kSenderAddressProperty: message->senderAddress = NoneIfEmpty(value.val.lpwstr); break;
        case kTextProperty: message->text = value.val.lpwstr; break;
        case kReadProperty: message->read = value.val.boolVal ? 1 : 0; break;
        }
    }
    if (!localTime || (message->kind != kReceivedFolder && message->kind != kSentFolder))
        return E_INVALIDARG;
    FILETIME universal;
    if (!LocalFileTimeToFileTime(localTime, &universal) || !FileTimeToSystemTime(&universal, time))
        return E_FAIL;
    message->time = time;
    return S_OK;
}
