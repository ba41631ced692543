// The device's side of messaging, for the phone tool: text messages arriving in the SMS store, the
// store's folders as lists, and what the messaging application was asked to show. Failures throw:
// std::invalid_argument for a bad request, device::DatabaseError for the database.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace device::sms
{

enum class Folder { Inbox, Drafts, Outbox, Sent, Deleted };

struct Party {
    std::u16string name;
    std::u16string address;
};

struct Message {
    Folder folder;
    std::vector<uint8_t> entryId;
    Party from;                  // PR_SENDER_NAME and PR_SENDER_EMAIL_ADDRESS
    std::vector<Party> to;       // each recipient's PR_DISPLAY_NAME and PR_EMAIL_ADDRESS
    std::u16string text;         // PR_SUBJECT
    std::optional<int64_t> time; // UTC ticks: PR_MESSAGE_DELIVERY_TIME, else PR_LAST_MODIFICATION_TIME
    uint32_t flags = 0;          // PR_MESSAGE_FLAGS
    bool read = false;           // MSGFLAG_READ
};

struct Incoming {
    Party from; // without a name the sender is shown by its address
    std::u16string text;
    std::optional<int64_t> time; // UTC ticks; the device clock's now when absent
    bool read = false;
};

struct Outgoing {
    std::vector<Party> to; // at least one; a recipient without a name is shown by its address
    std::u16string text;
    int64_t time = 0; // UTC ticks when it was sent
};

// Delivers a received text message into the SMS store's Inbox; returns its entry identifier.
std::vector<uint8_t> Receive(const Incoming& message);

// A message the phone sent earlier, put straight into Sent Items as the transport leaves one it sent (read,
// delivered at its time): a device's history. Returns its entry identifier.
std::vector<uint8_t> RecordSent(const Outgoing& message);

// Visits the messages of one of the SMS store's folders, newest first, until the visitor returns false. The
// visitor may keep the message it is given by moving it.
void List(Folder folder, const std::function<bool(Message&)>& visit);

} // namespace device::sms

namespace device::mail
{

struct Request {
    int64_t id = 0;         // counts up in the order asked
    std::string request;    // "compose" (MailComposeMessage) or "switch" (MailSwitchToAccount)
    std::string kind;       // "sms" or "mail": the account's kind; empty when no account was named
    std::u16string account; // as named
    std::u16string store;   // the named account's message store (its PR_DISPLAY_NAME); empty when none
    uint32_t flags = 0;     // MCF_*
    std::u16string to, cc, bcc, subject, body, messageClass;
    std::vector<std::u16string> attachments;
    int64_t time = 0; // UTC ticks when it was asked
};

// Every request, in the order asked.
std::vector<Request> ComposedRequests();
// The request with that id; null when there is none.
std::optional<Request> FindRequest(int64_t id);

} // namespace device::mail
