#include "Storage.h"

#include "EntryId.h"

#include "device/Text.h"

#include <algorithm>

namespace device::mapi
{

namespace
{

constexpr ULONG kFolderGeneric = 1; // PR_FOLDER_TYPE of an ordinary folder

StoreRow StoreFrom(const Statement& row)
{
    return {row.Int(0), Utf16FromUtf8(row.Text(1)), Utf16FromUtf8(row.Text(2)), row.Int(3) != 0};
}

Value EntryValue(ULONG tag, EntryKind kind, int64_t id)
{
    return BinaryValue(tag, MakeEntryId(kind, id));
}

void BindValue(Statement& statement, int first, const Value& value)
{
    statement.Bind(first, static_cast<int64_t>(PROP_ID(value.tag)))
        .Bind(first + 1, static_cast<int64_t>(PROP_TYPE(value.tag)))
        .Bind(first + 2, value.data.data(), value.data.size());
}

Value ValueFrom(const Statement& row, int first)
{
    return {PROP_TAG(static_cast<ULONG>(row.Int(first + 1)), static_cast<ULONG>(row.Int(first))),
            row.Blob(first + 2)};
}

} // namespace

std::vector<StoreRow> AllStores(Database& db)
{
    Statement rows(db, "SELECT id, display_name, transport, mail FROM mapi_stores ORDER BY id");
    std::vector<StoreRow> stores;
    while (rows.Step())
        stores.push_back(StoreFrom(rows));
    return stores;
}

std::optional<StoreRow> StoreById(Database& db, int64_t id)
{
    Statement row(db, "SELECT id, display_name, transport, mail FROM mapi_stores WHERE id = ?");
    if (!row.Bind(1, id).Step()) return std::nullopt;
    return StoreFrom(row);
}

std::optional<StoreRow> StoreByAccount(Database& db, std::u16string_view account, bool byTransport)
{
    for (StoreRow& store : AllStores(db)) {
        if ((byTransport ? store.transport : store.name) == account) return std::move(store);
    }
    return std::nullopt;
}

std::optional<FolderRow> FolderById(Database& db, int64_t id)
{
    Statement row(db, "SELECT id, store, role, display_name, content_count FROM mapi_folders WHERE id = ?");
    if (!row.Bind(1, id).Step()) return std::nullopt;
    return FolderRow{row.Int(0), row.Int(1), static_cast<FolderRole>(row.Int(2)), Utf16FromUtf8(row.Text(3)),
                     row.Int(4)};
}

int64_t FolderOf(Database& db, int64_t store, FolderRole role)
{
    Statement row(db, "SELECT id FROM mapi_folders WHERE store = ? AND role = ?");
    return row.Bind(1, store).Bind(2, static_cast<int64_t>(role)).Step() ? row.Int(0) : 0;
}

namespace
{

// The messages read last, for as long as their snapshot is current: a program opens the message of each
// row it reads, and its recipient table.
constexpr size_t kRememberedMessages = 32; // more than a contents table reads ahead
struct Remembered {
    MessageRow message;
    std::optional<bool> hasRecipients;
};
SnapshotCache<std::vector<Remembered>> g_remembered;

const Remembered* FindRemembered(const Database& db, int64_t id)
{
    if (const auto* kept = g_remembered.Find(db)) {
        for (const Remembered& one : *kept) {
            if (one.message.id == id) return &one;
        }
    }
    return nullptr;
}

} // namespace

void RememberMessage(const Database& db, const MessageRow& message, std::optional<bool> hasRecipients)
{
    std::vector<Remembered>* messages = g_remembered.Find(db);
    if (!messages) {
        g_remembered.Keep(db, {{message, hasRecipients}});
        return;
    }
    if (messages->size() == kRememberedMessages) messages->erase(messages->begin());
    messages->push_back({message, hasRecipients});
}

std::optional<MessageRow> MessageById(Database& db, int64_t id)
{
    auto lock = db.Lock(); // what is remembered is checked against a current snapshot
    if (const Remembered* known = FindRemembered(db, id)) return known->message;
    Statement row(db, "SELECT m.id, m.folder, f.store, m.submitted FROM mapi_messages m "
                      "JOIN mapi_folders f ON f.id = m.folder WHERE m.id = ?");
    if (!row.Bind(1, id).Step()) return std::nullopt;
    MessageRow message{row.Int(0), row.Int(1), row.Int(2), row.Int(3) != 0};
    RememberMessage(db, message, std::nullopt);
    return message;
}

std::vector<Value> StoreValues(Database& db, const StoreRow& store)
{
    std::vector<Value> values = {
        EntryValue(PR_ENTRYID, EntryKind::Store, store.id),
        EntryValue(PR_STORE_ENTRYID, EntryKind::Store, store.id),
        TextValue(PR_DISPLAY_NAME, store.name),
        LongValue(PR_OBJECT_TYPE, MAPI_STORE),
    };
    static const struct {
        FolderRole role;
        ULONG tag;
    } folders[] = {
        {FolderRole::Inbox, PR_CE_IPM_INBOX_ENTRYID},      {FolderRole::Drafts, PR_CE_IPM_DRAFTS_ENTRYID},
        {FolderRole::Outbox, PR_IPM_OUTBOX_ENTRYID},       {FolderRole::Sent, PR_IPM_SENTMAIL_ENTRYID},
        {FolderRole::Deleted, PR_IPM_WASTEBASKET_ENTRYID},
    };
    for (const auto& folder : folders) {
        if (int64_t id = FolderOf(db, store.id, folder.role))
            values.push_back(EntryValue(folder.tag, EntryKind::Folder, id));
    }
    return values;
}

std::vector<Value> FolderValues(const FolderRow& folder)
{
    return {
        EntryValue(PR_ENTRYID, EntryKind::Folder, folder.id),
        EntryValue(PR_STORE_ENTRYID, EntryKind::Store, folder.store),
        TextValue(PR_DISPLAY_NAME, folder.name),
        LongValue(PR_OBJECT_TYPE, MAPI_FOLDER),
        LongValue(PR_FOLDER_TYPE, kFolderGeneric),
        LongValue(PR_CONTENT_COUNT, static_cast<uint32_t>(folder.count)),
    };
}

std::vector<Value> MessageValues(Database& db, const MessageRow& message)
{
    return std::move(MessageValues(db, std::vector<MessageRow>{message}, nullptr).front());
}

std::vector<std::vector<Value>> MessageValues(Database& db, const std::vector<MessageRow>& messages,
                                              const std::vector<ULONG>* wanted)
{
    // Up to this many messages are read by one statement.
    static constexpr int kPerStatement = 16;
    static constexpr const char* kSql =
        "SELECT message, prop_id, type, value FROM mapi_message_props "
        "WHERE message IN (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16) "
        "AND prop_id BETWEEN ?17 AND ?18";
    if (wanted && wanted->empty()) wanted = nullptr;
    auto isWanted = [&](ULONG propId) {
        return !wanted ||
               std::any_of(wanted->begin(), wanted->end(), [&](ULONG tag) { return PROP_ID(tag) == propId; });
    };
    // Stored values are kept in identifier order: the span of the wanted stored identifiers is all there is
    // to read (the computed ones are never stored).
    int64_t first = 0, last = 0xFFFF;
    if (wanted) {
        first = last + 1;
        last = -1;
        for (ULONG tag : *wanted) {
            if (IsComputed(PROP_ID(tag))) continue;
            first = std::min<int64_t>(first, PROP_ID(tag));
            last = std::max<int64_t>(last, PROP_ID(tag));
        }
    }
    std::vector<std::vector<Value>> values(messages.size());
    for (size_t i = 0; i < messages.size(); ++i) {
        const MessageRow& message = messages[i];
        if (isWanted(PROP_ID(PR_ENTRYID)))
            values[i].push_back(EntryValue(PR_ENTRYID, EntryKind::Message, message.id));
        if (isWanted(PROP_ID(PR_PARENT_ENTRYID)))
            values[i].push_back(EntryValue(PR_PARENT_ENTRYID, EntryKind::Folder, message.folder));
        if (isWanted(PROP_ID(PR_STORE_ENTRYID)))
            values[i].push_back(EntryValue(PR_STORE_ENTRYID, EntryKind::Store, message.store));
        if (isWanted(PROP_ID(PR_OBJECT_TYPE))) values[i].push_back(LongValue(PR_OBJECT_TYPE, MAPI_MESSAGE));
    }
    if (first > last) return values; // only computed values wanted
    for (size_t start = 0; start < messages.size(); start += kPerStatement) {
        size_t end = std::min(messages.size(), start + kPerStatement);
        Statement rows(db, kSql);
        for (size_t i = start; i < end; ++i)
            rows.Bind(static_cast<int>(i - start + 1), messages[i].id);
        rows.Bind(kPerStatement + 1, first).Bind(kPerStatement + 2, last);
        while (rows.Step()) {
            if (!isWanted(static_cast<ULONG>(rows.Int(1)))) continue;
            int64_t id = rows.Int(0);
            for (size_t i = start; i < end; ++i) {
                if (messages[i].id == id) values[i].push_back(ValueFrom(rows, 1));
            }
        }
    }
    return values;
}

bool IsComputed(ULONG propId)
{
    for (ULONG tag : {PR_ENTRYID, PR_PARENT_ENTRYID, PR_STORE_ENTRYID, PR_OBJECT_TYPE}) {
        if (PROP_ID(tag) == propId) return true;
    }
    return false;
}

int64_t AddMessage(Database& db, int64_t folder)
{
    Statement insert(db, "INSERT INTO mapi_messages (folder) VALUES (?)");
    insert.Bind(1, folder).Execute();
    return db.LastInsertId();
}

void PutValues(Database& db, int64_t message, const std::vector<Value>& values)
{
    Statement put(
        db, "INSERT OR REPLACE INTO mapi_message_props (message, prop_id, type, value) VALUES (?, ?, ?, ?)");
    Statement sortKey(db, "UPDATE mapi_messages SET delivery_time = ? WHERE id = ?");
    for (const Value& value : values) {
        put.Bind(1, message);
        BindValue(put, 2, value);
        put.Execute();
        put.Reset();
        if (PROP_ID(value.tag) == PROP_ID(PR_MESSAGE_DELIVERY_TIME)) {
            sortKey.Bind(1, TimeOf(value)).Bind(2, message).Execute();
            sortKey.Reset();
        }
    }
}

bool RemoveMessage(Database& db, int64_t message, int64_t folder)
{
    Statement remove(db, "DELETE FROM mapi_messages WHERE id = ? AND folder = ?");
    remove.Bind(1, message).Bind(2, folder).Execute();
    return db.Changes() > 0;
}

int RemoveSomeMessages(Database& db, int64_t folder, int most)
{
    Statement remove(db, "DELETE FROM mapi_messages WHERE id IN (SELECT id FROM mapi_messages WHERE folder = ? LIMIT ?)");
    remove.Bind(1, folder).Bind(2, most).Execute();
    return db.Changes();
}

void MoveMessage(Database& db, int64_t message, int64_t folder, bool submitted)
{
    Statement move(db, "UPDATE mapi_messages SET folder = ?, submitted = ? WHERE id = ?");
    move.Bind(1, folder).Bind(2, submitted ? 1 : 0).Bind(3, message).Execute();
}

std::vector<int64_t> SubmittedMessages(Database& db, int64_t folder)
{
    Statement rows(db, "SELECT id FROM mapi_messages WHERE folder = ? AND submitted = 1 ORDER BY id");
    rows.Bind(1, folder);
    std::vector<int64_t> messages;
    while (rows.Step())
        messages.push_back(rows.Int(0));
    return messages;
}

std::vector<std::vector<Value>> RecipientRows(Database& db, int64_t message)
{
    auto lock = db.Lock();
    if (const Remembered* known = FindRemembered(db, message); known && known->hasRecipients == false) return {};
    Statement rows(db, "SELECT r.id, p.prop_id, p.type, p.value FROM mapi_recipients r "
                       "JOIN mapi_recipient_props p ON p.recipient = r.id "
                       "WHERE r.message = ? ORDER BY r.id, p.position");
    rows.Bind(1, message);
    std::vector<std::vector<Value>> recipients;
    int64_t current = 0;
    while (rows.Step()) {
        if (recipients.empty() || rows.Int(0) != current) {
            if (!recipients.empty())
                recipients.back().push_back(
                    LongValue(PR_ROWID, static_cast<uint32_t>(recipients.size() - 1)));
            current = rows.Int(0);
            recipients.emplace_back();
        }
        recipients.back().push_back(ValueFrom(rows, 1));
    }
    if (!recipients.empty())
        recipients.back().push_back(LongValue(PR_ROWID, static_cast<uint32_t>(recipients.size() - 1)));
    return recipients;
}

void ReplaceRecipients(Database& db, int64_t message, const std::vector<std::vector<Value>>& recipients)
{
    Statement clear(db, "DELETE FROM mapi_recipients WHERE message = ?");
    clear.Bind(1, message).Execute();
    Statement addRecipient(db, "INSERT INTO mapi_recipients (message) VALUES (?)");
    Statement addValue(db, "INSERT INTO mapi_recipient_props (recipient, position, prop_id, type, value) "
                           "VALUES (?, ?, ?, ?, ?)");
    for (const auto& values : recipients) {
        addRecipient.Bind(1, message).Execute();
        addRecipient.Reset();
        int64_t recipient = db.LastInsertId();
        for (size_t i = 0; i < values.size(); ++i) {
            addValue.Bind(1, recipient).Bind(2, static_cast<int64_t>(i));
            BindValue(addValue, 3, values[i]);
            addValue.Execute();
            addValue.Reset();
        }
    }
}

uint32_t AddAttachment(Database& db, int64_t message)
{
    Statement next(db, "SELECT COALESCE(MAX(num) + 1, 0) FROM mapi_attachments WHERE message = ?");
    next.Bind(1, message).Step();
    auto num = static_cast<uint32_t>(next.Int(0));
    Statement insert(db, "INSERT INTO mapi_attachments (message, num) VALUES (?, ?)");
    insert.Bind(1, message).Bind(2, static_cast<int64_t>(num)).Execute();
    return num;
}

std::optional<std::vector<Value>> AttachmentValues(Database& db, int64_t message, uint32_t num)
{
    Statement found(db, "SELECT id FROM mapi_attachments WHERE message = ? AND num = ?");
    if (!found.Bind(1, message).Bind(2, static_cast<int64_t>(num)).Step()) return std::nullopt;
    std::vector<Value> values = {LongValue(PR_ATTACH_NUM, num)};
    Statement rows(db, "SELECT prop_id, type, value FROM mapi_attachment_props WHERE attachment = ?");
    rows.Bind(1, found.Int(0));
    while (rows.Step())
        values.push_back(ValueFrom(rows, 0));
    return values;
}

void PutAttachmentValues(Database& db, int64_t message, uint32_t num, const std::vector<Value>& values)
{
    Statement put(db, "INSERT OR REPLACE INTO mapi_attachment_props (attachment, prop_id, type, value) "
                      "SELECT id, ?, ?, ? FROM mapi_attachments WHERE message = ? AND num = ?");
    for (const Value& value : values) {
        BindValue(put, 1, value);
        put.Bind(4, message).Bind(5, static_cast<int64_t>(num)).Execute();
        put.Reset();
    }
}

std::vector<std::vector<Value>> AttachmentRows(Database& db, int64_t message)
{
    Statement numbers(db, "SELECT num FROM mapi_attachments WHERE message = ? ORDER BY num");
    numbers.Bind(1, message);
    std::vector<std::vector<Value>> rows;
    while (numbers.Step()) {
        if (auto values = AttachmentValues(db, message, static_cast<uint32_t>(numbers.Int(0))))
            rows.push_back(std::move(*values));
    }
    return rows;
}

} // namespace device::mapi
