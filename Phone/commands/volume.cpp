// phone volume: a database volume's databases, sort orders and records, read without changing the file, so
// a user can look into a backup without restoring it.
#include "../Command.h"
#include "../PrintedText.h"
#include "../TimeText.h"

#include "device/Json.h"
#include "edb/Volume.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace phone {

namespace {

using device::edb::DatabaseDefinition;
using device::edb::Property;

const char* TypeName(WORD type)
{
    switch (type) {
    case CEVT_I2: return "I2";
    case CEVT_UI2: return "UI2";
    case CEVT_I4: return "I4";
    case CEVT_UI4: return "UI4";
    case CEVT_BOOL: return "BOOL";
    case CEVT_R8: return "R8";
    case CEVT_FILETIME: return "FILETIME";
    case CEVT_LPWSTR: return "LPWSTR";
    case CEVT_BLOB: return "BLOB";
    }
    return "?";
}

template <class T> T Load(const std::string& bytes)
{
    T value{};
    std::memcpy(&value, bytes.data(), std::min(sizeof value, bytes.size()));
    return value;
}

std::string Hex(const std::string& bytes)
{
    std::string hex;
    for (unsigned char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, hex.empty() ? "%02x" : " %02x", c);
        hex += pair;
    }
    return hex;
}

std::string Id(CEPROPID id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", id);
    return text;
}

std::string SortFlags(DWORD flags)
{
    std::string text = (flags & CEDB_SORT_DESCENDING) ? "descending" : "ascending";
    if (flags & CEDB_SORT_CASEINSENSITIVE)
        text += " case-insensitive";
    if (flags & CEDB_SORT_UNKNOWNFIRST)
        text += " unknown-first";
    return text;
}

// A property's value as text: numbers in decimal, a file time as its wall-clock reading (the volume keeps
// no time zone), a string as it is, a blob as hex bytes.
std::string ValueText(const Property& property)
{
    switch (TypeFromPropID(property.id)) {
    case CEVT_I2: return std::to_string(Load<int16_t>(property.bytes));
    case CEVT_UI2: return std::to_string(Load<uint16_t>(property.bytes));
    case CEVT_I4: return std::to_string(Load<int32_t>(property.bytes));
    case CEVT_UI4: return std::to_string(Load<uint32_t>(property.bytes));
    case CEVT_BOOL: return Load<int32_t>(property.bytes) ? "true" : "false";
    case CEVT_R8: return std::to_string(Load<double>(property.bytes));
    case CEVT_FILETIME: {
        FILETIME time = Load<FILETIME>(property.bytes);
        return FormatLocalTime((static_cast<int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    }
    case CEVT_LPWSTR: {
        std::u16string text(property.bytes.size() / 2, u'\0');
        std::memcpy(text.data(), property.bytes.data(), text.size() * 2);
        return Utf8(text);
    }
    }
    return Hex(property.bytes);
}

device::Json ValueJson(const Property& property)
{
    switch (TypeFromPropID(property.id)) {
    case CEVT_I2:
    case CEVT_UI2:
    case CEVT_I4:
    case CEVT_UI4: return std::stoll(ValueText(property));
    case CEVT_BOOL: return Load<int32_t>(property.bytes) != 0;
    }
    return ValueText(property);
}

template <class EachRecord>
void VisitRecords(device::edb::Volume& volume, const DatabaseDefinition& db, EachRecord each)
{
    int order = db.sortOrders.empty() ? device::edb::kByOid : 0;
    for (auto position = volume.Next(db, order, nullptr); position; position = volume.Next(db, order, &*position))
        each(position->oid, *position->record);
}

void PrintText(device::edb::Volume& volume, const std::vector<DatabaseDefinition>& databases)
{
    for (const DatabaseDefinition& db : databases) {
        std::printf("database \"%s\" oid=%u type=%u records=%u\n", Utf8(db.name).c_str(), db.oid, db.type,
                    volume.RecordCount(db.oid));
        for (const auto& property : db.properties)
            std::printf("  property %s %s%s%s\n", Id(property.id).c_str(), TypeName(TypeFromPropID(property.id)),
                        (property.flags & DB_PROP_NOTNULL) ? " not-null" : "",
                        property.name.empty() ? "" : (" \"" + Utf8(property.name) + "\"").c_str());
        for (size_t i = 0; i < db.sortOrders.size(); ++i) {
            std::printf("  sort order %zu%s:", i + 1, db.sortOrders[i].Unique() ? " unique" : "");
            for (const auto& sort : db.sortOrders[i].properties)
                std::printf(" %s %s", Id(sort.id).c_str(), SortFlags(sort.flags).c_str());
            std::printf("\n");
        }
        VisitRecords(volume, db, [](CEOID oid, const device::edb::Record& record) {
            std::printf("  record oid=%u\n", oid);
            for (const Property& property : record)
                std::printf("    %s %s %s\n", Id(property.id).c_str(), TypeName(TypeFromPropID(property.id)),
                            ValueText(property).c_str());
        });
    }
}

// The records are printed one at a time as they are read, never all kept: each database's object is
// printed up to its records, then each record, then what closes them.
void PrintJson(device::edb::Volume& volume, const std::vector<DatabaseDefinition>& databases)
{
    std::printf("{\"databases\":[");
    for (size_t i = 0; i < databases.size(); ++i) {
        const DatabaseDefinition& db = databases[i];
        device::Json properties = device::Json::array(), sortOrders = device::Json::array();
        for (const auto& property : db.properties)
            properties.push_back({{"id", property.id},
                                  {"type", TypeName(TypeFromPropID(property.id))},
                                  {"notNull", (property.flags & DB_PROP_NOTNULL) != 0},
                                  {"name", device::JsonText(property.name)}});
        for (const auto& order : db.sortOrders) {
            device::Json sorted = device::Json::array();
            for (const auto& sort : order.properties)
                sorted.push_back({{"id", sort.id}, {"flags", SortFlags(sort.flags)}});
            sortOrders.push_back({{"unique", order.Unique()}, {"properties", std::move(sorted)}});
        }
        std::string head = device::Dump({{"name", device::JsonText(db.name)},
                                         {"oid", db.oid},
                                         {"type", db.type},
                                         {"properties", std::move(properties)},
                                         {"sortOrders", std::move(sortOrders)}});
        head.pop_back(); // the closing brace comes after the records
        std::printf("%s%s,\"records\":[", i ? "," : "", head.c_str());
        bool first = true;
        VisitRecords(volume, db, [&](CEOID oid, const device::edb::Record& record) {
            device::Json values = device::Json::array();
            for (const Property& property : record)
                values.push_back({{"id", property.id},
                                  {"type", TypeName(TypeFromPropID(property.id))},
                                  {"value", ValueJson(property)}});
            std::printf("%s%s", first ? "" : ",", device::Dump({{"oid", oid}, {"properties", std::move(values)}}).c_str());
            first = false;
        });
        std::printf("]}");
    }
    std::printf("]}\n");
}

std::string Refusal(const std::string& file, DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return file + ": no such file";
    case ERROR_INVALID_PASSWORD: return file + ": the password does not open this volume (or it is no volume)";
    case ERROR_BAD_FORMAT: return file + ": not a database volume";
    case ERROR_INTERNAL_DB_CORRUPTION: return file + ": the volume is damaged";
    }
    return file + ": cannot be read (error " + std::to_string(error) + ")";
}

int Run(Args& args)
{
    std::string password = args.Option("--password");
    bool json = args.Flag("--json");
    std::string file = args.Take("FILE");
    args.ExpectEnd();
    try {
        bool existed = false;
        auto volume = device::edb::Volume::Open(file, password, OPEN_EXISTING, &existed);
        std::vector<DatabaseDefinition> databases = volume->Databases();
        json ? PrintJson(*volume, databases) : PrintText(*volume, databases);
    } catch (const device::edb::Failure& failure) {
        throw Failure(Refusal(file, failure.Code()));
    }
    return 0;
}

} // namespace

extern const Command kVolume{
    "volume",
    "FILE [--password P] [--json]",
    "show a database volume's databases, sort orders and records",
    "FILE is a file of the host (a backup copied off the device, or one in the device folder's fs/).\n"
    "Each database with its properties and sort orders, then its records in its first sort order: each\n"
    "property by identifier, type and value (a FILETIME as its wall-clock reading). A wrong password or a\n"
    "file that is no volume is reported on one line with a non-zero exit. With --json one object:\n"
    "databases, each with name, oid, type, properties, sortOrders and records (oid, properties: id, type,\n"
    "value).",
    false,
    &Run,
};

} // namespace phone
