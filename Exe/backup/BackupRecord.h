// One message as a record of the backup volume, and back: eight properties in a fixed order, the kind and
// the time required. Only whole messages are ever written or put back: a time, and a kind of received or
// sent.
#pragma once

#include "store/SmsRecord.h"

#include <windbase.h>

constexpr WORD kBackupPropertyCount = 8;

// The properties in record order: the number in the high word, the value type in the low word.
constexpr CEPROPID kKindProperty = 0x00010003;          // received 0, sent 1
constexpr CEPROPID kTimeProperty = 0x00020040;          // local time as a file time
constexpr CEPROPID kRecipientNameProperty = 0x0003001F; // an empty string for none
constexpr CEPROPID kRecipientAddressProperty = 0x0004001F;
constexpr CEPROPID kSenderNameProperty = 0x0005001F;
constexpr CEPROPID kSenderAddressProperty = 0x0006001F;
constexpr CEPROPID kTextProperty = 0x0007001F;
constexpr CEPROPID kReadProperty = 0x0008000B;

// Whether a message can be kept: it has a time, and it is a received or a sent one.
bool IsWholeMessage(const SmsRecord& message);

// The eight properties for the message, pointing into it. E_INVALIDARG for a message that isn't whole,
// E_FAIL when its time can't be made a file time.
HRESULT RecordFromMessage(const SmsRecord& message, CEPROPVAL (&values)[kBackupPropertyCount]);

// The message a record holds, its strings pointing into the record and its time (universal, as the store
// writes it) in *time. A missing kind is received; a missing or empty name or address is none; other
// properties are ignored. E_INVALIDARG for a record that holds no whole message (no time, or another kind),
// E_FAIL when its time can't be converted.
HRESULT MessageFromRecord(const CEPROPVAL* values, WORD count, SYSTEMTIME* time, SmsRecord* message);
