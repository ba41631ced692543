#include "ContactsDevice.h"

#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"

#include <stdexcept>

namespace device::contacts {
namespace {

std::string StoredText(std::u16string_view text, const char* what)
{
    if (text.size() > kMaxTextLength)
        throw std::invalid_argument(std::string(what) + " is longer than the store keeps");
    std::optional<std::string> utf8 = Utf8FromUtf16(text);
    if (!utf8)
        throw std::invalid_argument(std::string(what) + " is not well-formed text");
    return *utf8;
}

Contact ContactAt(const Statement& row)
{
    return {static_cast<uint32_t>(row.Int(0)), Utf16FromUtf8(row.Text(1)), Utf16FromUtf8(row.Text(2))};
}

} // namespace

uint32_t Add(std::u16string_view name, std::u16string_view mobile)
{
    if (name.empty())
        throw std::invalid_argument("a contact needs a name");
    std::string storedName = StoredText(name, "the name");
    std::string storedMobile = StoredText(mobile, "the mobile number");

    Database& db = Db();
    Transaction tx(db);
    Statement insert(db, "INSERT INTO contacts (file_as, mobile) VALUES (?, ?)");
    insert.Bind(1, storedName).Bind(2, storedMobile).Execute();
    int64_t oid = db.LastInsertId();
    if (oid > UINT32_MAX)
        throw DatabaseError(SQLITE_FULL, "the contact store has run out of object identifiers");
    tx.Commit();
    return static_cast<uint32_t>(oid);
}

std::vector<Contact> List()
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement all(db, "SELECT oid, file_as, mobile FROM contacts ORDER BY file_as COLLATE NOCASE, oid");
    std::vector<Contact> contacts;
    while (all.Step())
        contacts.push_back(ContactAt(all));
    return contacts;
}

std::optional<Contact> Find(uint32_t oid)
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement one(db, "SELECT oid, file_as, mobile FROM contacts WHERE oid = ?");
    one.Bind(1, static_cast<int64_t>(oid));
    if (!one.Step())
        return std::nullopt;
    return ContactAt(one);
}

bool Delete(uint32_t oid)
{
    Database& db = Db();
    Transaction tx(db);
    Statement remove(db, "DELETE FROM contacts WHERE oid = ?");
    remove.Bind(1, static_cast<int64_t>(oid)).Execute();
    bool removed = db.Changes() > 0;
    tx.Commit();
    return removed;
}

} // namespace device::contacts
