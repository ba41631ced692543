// Sending text messages without the user: one message to one recipient, or a scheduled message to each of
// its members.
#pragma once

#include "store/SmsStore.h"

#include <windbase.h>

class ScheduledMessage;

// Submits one message to address through the open store and asks the phone to send at once. The text is at
// most 160 characters; the address is used as given.
HRESULT Send(SmsStore& store, LPCWSTR name, LPCWSTR address, LPCWSTR text);

// Sends the message's body to each member; a member that can't be sent to doesn't stop the others, and
// only a failure to open the contact or message store is reported.
HRESULT SendToMembers(ScheduledMessage& message);

// Sends the message's body to one contact's mobile number, through stores SendToMembers opened.
HRESULT SendToContact(ScheduledMessage& message, CEOID contact);
