#include "SmsDevice.h"

#include "ContentsCursor.h"
#include "EntryId.h"
#include "Storage.h"

#include "device/Clock.h"
#include "device/Device.h"
#include "device/Text.h"

#include <cstring>
#include <stdexcept>

namespace device::sms
{

namespace
{

using namespace device::mapi;

constexpr char16_t kTextMessageClass[] = u"IPM.SMStext";
constexpr char16_t kTextTransport[] = u"SMS";
constexpr size_t kBatch = 16; // messages read per visit of the database

FolderRole RoleOf(Folder folder)
{
    switch (folder) {
    case Folder::Inbox: return FolderRole::Inbox;
    case Folder::Drafts: return FolderRole::Drafts;
    case Folder::Outbox: return FolderRole::Outbox;
    case Folder::Sent: return FolderRole::Sent;
    case Folder::Deleted: return FolderRole::Deleted;
    }
    return FolderRole::Inbox;
}

int64_t TextStore(Database& db)
{
    auto store = StoreByAccount(db, kTextTransport, true);
    if (!store) throw std::runtime_error("the device has no SMS message store");
    return store->id;
}

int64_t TextFolder(Database& db, Folder folder)
{
    return FolderOf(db, TextStore(db), RoleOf(folder));
}

std::u16string TextOr(const std::vector<Value>& values, ULONG tag)
{
    const Value* value = Find(values, PROP_ID(tag));
    return value && PROP_TYPE(value->tag) == PT_UNICODE ? TextOf(*value) : std::u16string();
}

std::optional<int64_t> TimeIn(const std::vector<Value>& values, ULONG tag)
{
    const Value* value = Find(values, PROP_ID(tag));
    if (!value || PROP_TYPE(value->tag) != PT_SYSTIME) return std::nullopt;
    return TimeOf(*value);
}

Message MessageFrom(Database& db, Folder folder, const MessageRow& row, const std::vector<Value>& values)
{
    Message message;
    message.folder = folder;
    message.entryId = MakeEntryId(EntryKind::Message, row.id);
    message.from = {TextOr(values, PR_SENDER_NAME), TextOr(values, PR_SENDER_EMAIL_ADDRESS)};
    message.text = TextOr(values, PR_SUBJECT);
    message.time = TimeIn(values, PR_MESSAGE_DELIVERY_TIME);
    if (!message.time) message.time = TimeIn(values, PR_LAST_MODIFICATION_TIME);
    const Value* flags = Find(values, PROP_ID(PR_MESSAGE_FLAGS));
    message.flags = flags && PROP_TYPE(flags->tag) == PT_LONG ? LongOf(*flags) : 0;
    message.read = message.flags & MSGFLAG_READ;
    for (const auto& recipient : RecipientRows(db, row.id))
        message.to.push_back({TextOr(recipient, PR_DISPLAY_NAME), TextOr(recipient, PR_EMAIL_ADDRESS)});
    return message;
}

void CheckLength(const std::u16string& text, const char* what)
{
    if (text.size() > kMaxTextChars)
        throw std::invalid_argument(std::string(what) + " is longer than " + std::to_string(kMaxTextChars) +
                                    " characters");
}

} // namespace

std::vector<uint8_t> Receive(const Incoming& incoming)
{
    CheckLength(incoming.text, "the text");
    CheckLength(incoming.from.name, "the sender's name");
    CheckLength(incoming.from.address, "the sender's address");
    if (incoming.from.address.empty())
        throw std::invalid_argument("a received message needs the sender's address");
    int64_t time = incoming.time ? *incoming.time : NowTicks();
    if (time < 0) throw std::invalid_argument("the time is before 1601");
    const std::u16string& shownAs = incoming.from.name.empty() ? incoming.from.address : incoming.from.name;
    std::vector<Value> values = {
        TextValue(PR_MESSAGE_CLASS, kTextMessageClass),
        TextValue(PR_SUBJECT, incoming.text),
        TextValue(PR_SENDER_NAME, shownAs),
        TextValue(PR_SENDER_EMAIL_ADDRESS, incoming.from.address),
        TimeValue(PR_MESSAGE_DELIVERY_TIME, time),
        LongValue(PR_MESSAGE_FLAGS, incoming.read ? MSGFLAG_READ : 0),
        LongValue(PR_MESSAGE_SIZE, static_cast<uint32_t>(incoming.text.size() * sizeof(char16_t))),
    };
    Database& db = Db();
    Transaction tx(db);
    int64_t id = AddMessage(db, TextFolder(db, Folder::Inbox));
    PutValues(db, id, values);
    tx.Commit();
    return MakeEntryId(EntryKind::Message, id);
}

std::vector<uint8_t> RecordSent(const Outgoing& outgoing)
{
    CheckLength(outgoing.text, "the text");
    if (outgoing.to.empty())
        throw std::invalid_argument("a sent message needs a recipient");
    std::vector<std::vector<Value>> recipients;
    for (const Party& party : outgoing.to) {
        CheckLength(party.name, "a recipient's name");
        CheckLength(party.address, "a recipient's address");
        if (party.address.empty())
            throw std::invalid_argument("a recipient needs an address");
        recipients.push_back({TextValue(PR_DISPLAY_NAME, party.name.empty() ? party.address : party.name),
                              TextValue(PR_EMAIL_ADDRESS, party.address), TextValue(PR_ADDRTYPE, kTextTransport),
                              LongValue(PR_RECIPIENT_TYPE, MAPI_TO)});
    }
    if (outgoing.time < 0) throw std::invalid_argument("the time is before 1601");
    std::vector<Value> values = {
        TextValue(PR_MESSAGE_CLASS, kTextMessageClass),
        TextValue(PR_SUBJECT, outgoing.text),
        TimeValue(PR_MESSAGE_DELIVERY_TIME, outgoing.time),
        LongValue(PR_MESSAGE_FLAGS, MSGFLAG_READ | MSGFLAG_FROMME),
        LongValue(PR_MESSAGE_SIZE, static_cast<uint32_t>(outgoing.text.size() * sizeof(char16_t))),
    };
    Database& db = Db();
    Transaction tx(db);
    int64_t id = AddMessage(db, TextFolder(db, Folder::Sent));
    PutValues(db, id, values);
    ReplaceRecipients(db, id, recipients);
    tx.Commit();
    return MakeEntryId(EntryKind::Message, id);
}

void List(Folder folder, const std::function<bool(Message&)>& visit)
{
    Database& db = Db();
    int64_t store, folderId;
    {
        auto lock = db.Lock();
        store = TextStore(db);
        folderId = FolderOf(db, store, RoleOf(folder));
    }
    ContentsCursor cursor(folderId, store);
    for (;;) {
        std::vector<Message> batch;
        {
            // The cursor and the messages read one snapshot: every message the cursor names is there.
            auto lock = db.Lock();
            auto listed = cursor.Peek(db, kBatch);
            std::vector<MessageRow> rows;
            for (const auto& one : listed)
                rows.push_back(one.message);
            auto values = MessageValues(db, rows, nullptr);
            for (size_t i = 0; i < listed.size(); ++i) {
                batch.push_back(MessageFrom(db, folder, rows[i], values[i]));
                cursor.MovePast(listed[i]);
            }
        }
        if (batch.empty()) return;
        for (Message& message : batch) {
            if (!visit(message)) return;
        }
    }
}

} // namespace device::sms

namespace device::mail
{

namespace
{

std::u16string TextAt(const Statement& row, int column)
{
    auto bytes = row.Blob(column);
    std::u16string text(bytes.size() / sizeof(char16_t), u'\0');
    if (!text.empty()) std::memcpy(text.data(), bytes.data(), text.size() * sizeof(char16_t));
    return text;
}

// Every request, or the one with that id.
std::vector<Request> ReadRequests(std::optional<int64_t> id)
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement rows(
        db, "SELECT r.id, r.request, CASE WHEN s.id IS NULL THEN '' WHEN s.mail THEN 'mail' ELSE 'sms' END, "
            "r.account, r.flags, r.to_text, r.cc_text, r.bcc_text, r.subject, r.body, r.message_class, "
            "r.asked_at, COALESCE(s.display_name, '') FROM mail_requests r "
            "LEFT JOIN mapi_stores s ON s.id = r.store WHERE ?1 IS NULL OR r.id = ?1 ORDER BY r.id");
    if (id) rows.Bind(1, *id);
    Statement attachments(db,
                          "SELECT path FROM mail_request_attachments WHERE request = ? ORDER BY position");
    std::vector<Request> requests;
    while (rows.Step()) {
        Request request;
        request.id = rows.Int(0);
        request.request = rows.Text(1);
        request.kind = rows.Text(2);
        request.account = TextAt(rows, 3);
        request.flags = static_cast<uint32_t>(rows.Int(4));
        request.to = TextAt(rows, 5);
        request.cc = TextAt(rows, 6);
        request.bcc = TextAt(rows, 7);
        request.subject = TextAt(rows, 8);
        request.body = TextAt(rows, 9);
        request.messageClass = TextAt(rows, 10);
        request.time = rows.Int(11);
        request.store = Utf16FromUtf8(rows.Text(12));
        attachments.Bind(1, request.id);
        while (attachments.Step())
            request.attachments.push_back(TextAt(attachments, 0));
        attachments.Reset();
        requests.push_back(std::move(request));
    }
    return requests;
}

} // namespace

std::vector<Request> ComposedRequests()
{
    return ReadRequests(std::nullopt);
}

std::optional<Request> FindRequest(int64_t id)
{
    std::vector<Request> found = ReadRequests(id);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

} // namespace device::mail
