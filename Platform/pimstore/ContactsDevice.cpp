#include "ContactsDevice.h"

#include "device/Database.h"
#include "device/Device.h"
#include "device/Text.h"

#include <pimstore.h>

#include <stdexcept>
#include <utility>

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

constexpr char kColumns[] = "SELECT oid, file_as, mobile, work, home FROM contacts ";

Contact ContactAt(const Statement& row)
{
    return {static_cast<uint32_t>(row.Int(0)), Utf16FromUtf8(row.Text(1)), Utf16FromUtf8(row.Text(2)),
            Utf16FromUtf8(row.Text(3)), Utf16FromUtf8(row.Text(4))};
}

constexpr size_t kMatchedDigits = 7;

std::u16string DigitsOf(std::u16string_view number)
{
    std::u16string digits;
    for (char16_t c : number)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

enum class Agreement { None, LastDigits, Full };

Agreement Compare(const std::u16string& caller, const std::u16string& stored)
{
    if (caller.empty() || stored.empty())
        return Agreement::None;
    if (caller == stored)
        return Agreement::Full;
    if (caller.size() >= kMatchedDigits && stored.size() >= kMatchedDigits &&
        caller.compare(caller.size() - kMatchedDigits, kMatchedDigits, stored, stored.size() - kMatchedDigits,
                       kMatchedDigits) == 0)
        return Agreement::LastDigits;
    return Agreement::None;
}

} // namespace

uint32_t Add(std::u16string_view name, std::u16string_view mobile, std::u16string_view work, std::u16string_view home)
{
    if (name.empty())
        throw std::invalid_argument("a contact needs a name");
    std::string storedName = StoredText(name, "the name");
    std::string storedMobile = StoredText(mobile, "the mobile number");
    std::string storedWork = StoredText(work, "the work number");
    std::string storedHome = StoredText(home, "the home number");

    Database& db = Db();
    Transaction tx(db);
    Statement insert(db, "INSERT INTO contacts (file_as, mobile, work, home) VALUES (?, ?, ?, ?)");
    insert.Bind(1, storedName).Bind(2, storedMobile).Bind(3, storedWork).Bind(4, storedHome).Execute();
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
    Statement all(db, std::string(kColumns) + "ORDER BY file_as COLLATE NOCASE, oid");
    std::vector<Contact> contacts;
    while (all.Step())
        contacts.push_back(ContactAt(all));
    return contacts;
}

std::optional<Contact> Find(uint32_t oid)
{
    Database& db = Db();
    auto lock = db.Lock();
    Statement one(db, std::string(kColumns) + "WHERE oid = ?");
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

std::optional<CallerMatch> MatchCaller(std::u16string_view number)
{
    std::u16string caller = DigitsOf(number);
    std::optional<CallerMatch> best;
    Agreement bestAgreement = Agreement::None;
    for (Contact& contact : List()) {
        const std::pair<const std::u16string*, uint32_t> numbers[] = {{&contact.mobile, PIMPR_MOBILE_TELEPHONE_NUMBER},
                                                                      {&contact.work, PIMPR_BUSINESS_TELEPHONE_NUMBER},
                                                                      {&contact.home, PIMPR_HOME_TELEPHONE_NUMBER}};
        for (const auto& [stored, property] : numbers) {
            Agreement agreement = Compare(caller, DigitsOf(*stored));
            if (agreement > bestAgreement) {
                bestAgreement = agreement;
                best = CallerMatch{contact, property};
            }
        }
        if (bestAgreement == Agreement::Full)
            break;
    }
    return best;
}

} // namespace device::contacts
