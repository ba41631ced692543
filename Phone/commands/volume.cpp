// phone volume: a database volume's databases, sort orders and records, read without changing the file, so
// a user can look into a backup without restoring it.
#include "../Command.h"
#include "../PrintedText.h"
#include "../TimeText.h"

#include "device/JsonWriter.h"
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

void JsonValue(device::JsonWriter& json, const Property& property)
{
    switch (TypeFromPropID(property.id)) {
    case CEVT_I2:
    case CEVT_UI2:
    case CEVT_I4:
    case CEVT_UI4: json.Number(std::stoll(ValueText(property))); break;
    case CEVT_BOOL: json.Bool(Load<int32_t>(property.bytes) != 0); break;
    default: json.String(ValueText(property));
    }
}

// Prints what the writer holds so far: the records are written out one at a time, never all kept.
void Flush(device::JsonWriter& json)
{
    std::fputs(json.Take().c_str(), stdout);
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

void PrintJson(device::edb::Volume& volume, const std::vector<DatabaseDefinition>& databases)
{
    device::JsonWriter json;
    json.Open('{');
    json.Key("databases"), json.Open('[');
    for (const DatabaseDefinition& db : databases) {
        json.Open('{');
        json.Key("name"), json.String(db.name);
        json.Key("oid"), json.Number(db.oid);
        json.Key("type"), json.Number(db.type);
        json.Key("properties"), json.Open('[');
        for (const auto& property : db.properties) {
            json.Open('{');
            json.Key("id"), json.Number(property.id);
            json.Key("type"), json.String(TypeName(TypeFromPropID(property.id)));
            json.Key("notNull"), json.Bool(property.flags & DB_PROP_NOTNULL);
            json.Key("name"), json.String(property.name);
            json.Close('}');
        }
        json.Close(']');
        json.Key("sortOrders"), json.Open('[');
        for (const auto& order : db.sortOrders) {
            json.Open('{');
            json.Key("unique"), json.Bool(order.Unique());
            json.Key("properties"), json.Open('[');
            for (const auto& sort : order.properties) {
                json.Open('{');
                json.Key("id"), json.Number(sort.id);
                json.Key("flags"), json.String(SortFlags(sort.flags));
                json.Close('}');
            }
            json.Close(']');
            json.Close('}');
        }
        json.Close(']');
        json.Key("records"), json.Open('[');
        VisitRecords(volume, db, [&](CEOID oid, const device::edb::Record& record) {
            json.Open('{');
            json.Key("oid"), json.Number(oid);
            json.Key("properties"), json.Open('[');
            for (const Property& property : record) {
                json.Open('{');
                json.Key("id"), json.Number(property.id);
                json.Key("type"), json.String(TypeName(TypeFromPropID(property.id)));
                json.Key("value"), JsonValue(json, property);
                json.Close('}');
            }
            json.Close(']');
            json.Close('}');
            Flush(json);
        });
        json.Close(']');
        json.Close('}');
    }
    json.Close(']');
    json.Close('}');
    Flush(json);
    std::printf("\n");
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
