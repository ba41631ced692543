// The message stores in the device database: accounts, their folders, messages with their property values
// and recipients. Callers hold the database (its lock, or a transaction for writes).
#pragma once

#include "Value.h"

#include "device/Database.h"

#include <optional>
#include <string>
#include <vector>

namespace device::mapi
{

// Which of a store's standard folders a folder is; the store's entry-identifier properties name them.
enum class FolderRole : int { Inbox = 1, Drafts = 2, Outbox = 3, Sent = 4, Deleted = 5 };

struct StoreRow {
    int64_t id;
    std::u16string name;      // PR_DISPLAY_NAME, the account's name
    std::u16string transport; // the transport's name
    bool mail;                // an e-mail account rather than text messages
};

struct FolderRow {
    int64_t id;
    int64_t store;
    FolderRole role;
    std::u16string name;
    int64_t count;
};

struct MessageRow {
    int64_t id;
    int64_t folder;
    int64_t store;
    bool submitted;
};

std::vector<StoreRow> AllStores(Database& db);
std::optional<StoreRow> StoreById(Database& db, int64_t id);
// An account as MailSyncMessages and the compose form name one: by its transport, or by its name.
std::optional<StoreRow> StoreByAccount(Database& db, std::u16string_view account, bool byTransport);
std::optional<FolderRow> FolderById(Database& db, int64_t id);
int64_t FolderOf(Database& db, int64_t store, FolderRole role);
std::optional<MessageRow> MessageById(Database& db, int64_t id);
// Tells MessageById (and RecipientRows, when known) of a message just read: the next look-up of it, in the
// same snapshot, needs no query.
void RememberMessage(const Database& db, const MessageRow& message, std::optional<bool> hasRecipients);

// Every property of the object: what is stored and what the store computes (entry identifiers, counts).
std::vector<Value> StoreValues(Database& db, const StoreRow& store);
std::vector<Value> FolderValues(const FolderRow& folder);
std::vector<Value> MessageValues(Database& db, const MessageRow& message);
// The values of each message, in the order given; only those with the identifiers of `wanted` when given
// (and not empty).
std::vector<std::vector<Value>> MessageValues(Database& db, const std::vector<MessageRow>& messages,
                                              const std::vector<ULONG>* wanted);

// Properties of a message that the store computes; SetProps can't change them.
bool IsComputed(ULONG propId);

int64_t AddMessage(Database& db, int64_t folder);
// Stores the values, each replacing the message's value with the same identifier.
void PutValues(Database& db, int64_t message, const std::vector<Value>& values);
// False when the folder holds no such message.
bool RemoveMessage(Database& db, int64_t message, int64_t folder);
// Removes up to `most` of the folder's messages; how many it removed.
int RemoveSomeMessages(Database& db, int64_t folder, int most);
void MoveMessage(Database& db, int64_t message, int64_t folder, bool submitted);
std::vector<int64_t> SubmittedMessages(Database& db, int64_t folder);

// The recipients in the order given, each its values in the order given and then PR_ROWID.
std::vector<std::vector<Value>> RecipientRows(Database& db, int64_t message);
void ReplaceRecipients(Database& db, int64_t message, const std::vector<std::vector<Value>>& recipients);

// Attachments of a message, numbered from 0 in the order they were made; each one's values start with
// PR_ATTACH_NUM.
uint32_t AddAttachment(Database& db, int64_t message);
// Null when the message has no attachment of that number.
std::optional<std::vector<Value>> AttachmentValues(Database& db, int64_t message, uint32_t num);
// Stores the values, each replacing the attachment's value with the same identifier.
void PutAttachmentValues(Database& db, int64_t message, uint32_t num, const std::vector<Value>& values);
std::vector<std::vector<Value>> AttachmentRows(Database& db, int64_t message);

} // namespace device::mapi
