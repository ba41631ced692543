#include "edb/Volume.h"

#include "device/Text.h"

#include <cstring>
#include <fstream>
#include <system_error>
#include <utility>

namespace device::edb {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kApplicationId = 0x45444256; // marks the file as a volume
constexpr int kFormat = 1;
constexpr char kPlainHeader[] = "SQLite format 3"; // the first bytes of a file without a password
constexpr uintmax_t kPageSize = 1024;              // the unit a volume file grows by

DWORD ErrorOf(int code)
{
    switch (code & 0xFF) {
    case SQLITE_NOTADB: return ERROR_INVALID_PASSWORD;
    case SQLITE_CORRUPT: return ERROR_INTERNAL_DB_CORRUPTION;
    case SQLITE_FULL: return ERROR_DISK_FULL;
    case SQLITE_NOMEM: return ERROR_OUTOFMEMORY;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ERROR_SHARING_VIOLATION;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY: return ERROR_ACCESS_DENIED;
    case SQLITE_CONSTRAINT: return ERROR_ALREADY_EXISTS;
    case SQLITE_TOOBIG: return ERROR_BAD_LENGTH;
    case SQLITE_IOERR: return ERROR_WRITE_FAULT;
    }
    return ERROR_INTERNAL_DB_CORRUPTION;
}

std::string Table(CEOID db)
{
    return "r" + std::to_string(db);
}
// The order's key column; the oid order has none, so it compares one empty key.
std::string Column(int order)
{
    return order == kByOid ? "x''" : "k" + std::to_string(order);
}

std::string Utf8(const std::u16string& text)
{
    std::optional<std::string> utf8 = Utf8FromUtf16(text);
    if (!utf8)
        throw Failure(ERROR_INVALID_PARAMETER);
    return *utf8;
}

void RemoveVolumeFiles(const fs::path& file)
{
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::error_code error;
        fs::remove(fs::path(file.string() + suffix), error);
        if (error)
            throw Failure(ERROR_ACCESS_DENIED);
    }
}

// Why a file that SQLite will not read is refused: it is laid out as a volume is but does not open with
// the password given, or it is something else.
DWORD WhyUnreadable(const fs::path& file, bool hasPassword)
{
    std::error_code error;
    uintmax_t size = fs::file_size(file, error);
    char header[sizeof kPlainHeader] = {};
    std::ifstream(file, std::ios::binary).read(header, sizeof header);
    bool plain = std::memcmp(header, kPlainHeader, sizeof header) == 0;
    if (plain)
        return hasPassword ? ERROR_INVALID_PASSWORD : ERROR_BAD_FORMAT;
    return error || size < kPageSize || size % kPageSize ? ERROR_BAD_FORMAT : ERROR_INVALID_PASSWORD;
}

Record StoredRecord(std::string_view bytes)
{
    std::optional<Record> record = Parse(bytes);
    if (!record)
        throw Failure(ERROR_INTERNAL_DB_CORRUPTION);
    return std::move(*record);
}

std::string SortBlob(const SortOrder& order)
{
    std::string blob;
    for (const SortProperty& property : order.properties) {
        blob.append(reinterpret_cast<const char*>(&property.id), 4);
        blob.append(reinterpret_cast<const char*>(&property.flags), 4);
    }
    return blob;
}

std::optional<std::vector<SortProperty>> SortProperties(std::string_view blob)
{
    if (blob.size() % 8 || blob.size() / 8 > CEDB_MAXSORTPROP)
        return std::nullopt;
    std::vector<SortProperty> properties(blob.size() / 8);
    for (size_t i = 0; i < properties.size(); ++i) {
        std::memcpy(&properties[i].id, blob.data() + i * 8, 4);
        std::memcpy(&properties[i].flags, blob.data() + i * 8 + 4, 4);
        WORD type = TypeFromPropID(properties[i].id);
        if (!IsKnownType(type) || type == CEVT_BLOB || (properties[i].flags & ~kSupportedSortFlags))
            return std::nullopt;
    }
    return properties;
}

} // namespace

// A prepared statement from the volume's cache, reset when done with.
class Volume::Query {
public:
    Query(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    ~Query()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;
    Query(Query&& other) noexcept : m_db(other.m_db), m_stmt(std::exchange(other.m_stmt, nullptr)) {}

    Query& Bind(int index, int64_t value)
    {
        sqlite3_bind_int64(m_stmt, index, value);
        return *this;
    }
    Query& Bind(int index, const std::string& bytes, bool blob = true)
    {
        if (blob)
            sqlite3_bind_blob(m_stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_text(m_stmt, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    bool Step()
    {
        int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        throw Failure(ErrorOf(sqlite3_extended_errcode(m_db)));
    }
    int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
    int Type(int column) const { return sqlite3_column_type(m_stmt, column); }
    std::string Bytes(int column) const
    {
        auto data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return data ? std::string(data, sqlite3_column_bytes(m_stmt, column)) : std::string();
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
};

std::shared_ptr<Volume> Volume::Open(const fs::path& given, const std::string& password, DWORD disposition,
                                     bool* existed)
{
    std::error_code error;
    fs::path file = fs::absolute(given, error);
    bool exists = fs::exists(file, error);
    *existed = exists;
    if (exists && !fs::is_regular_file(file, error))
        throw Failure(ERROR_ACCESS_DENIED);
    if (!fs::is_directory(file.parent_path(), error))
        throw Failure(ERROR_PATH_NOT_FOUND);
    bool fresh = !exists;
    switch (disposition) {
    case CREATE_NEW:
        if (exists)
            throw Failure(ERROR_FILE_EXISTS);
        break;
    case TRUNCATE_EXISTING:
        if (!exists)
            throw Failure(ERROR_FILE_NOT_FOUND);
        [[fallthrough]];
    case CREATE_ALWAYS:
        if (exists)
            RemoveVolumeFiles(file);
        fresh = true;
        break;
    case OPEN_EXISTING:
        if (!exists)
            throw Failure(ERROR_FILE_NOT_FOUND);
        break;
    case OPEN_ALWAYS: break;
    default: throw Failure(ERROR_INVALID_PARAMETER);
    }

    // A volume grows a page at a time: any other size is a file cut short, or no volume.
    if (!fresh && fs::file_size(file, error) % kPageSize)
        throw Failure(ERROR_BAD_FORMAT);
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | (fresh ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(file.c_str(), &db, flags, nullptr);
    std::shared_ptr<Volume> volume(new Volume(file, db));
    if (rc != SQLITE_OK)
        throw Failure(ErrorOf(rc));
    if (!password.empty() && sqlite3_key(db, password.data(), static_cast<int>(password.size())) != SQLITE_OK)
        throw Failure(ERROR_INVALID_PASSWORD);
    // Another process may be writing the same volume; wait for it rather than fail.
    sqlite3_busy_timeout(db, 10000);
    if (fresh) {
        volume->CreateSchema();
        return volume;
    }
    try {
        Query check = volume->Prepare("PRAGMA application_id");
        check.Step();
        int64_t application = check.Int(0);
        Query version = volume->Prepare("PRAGMA user_version");
        version.Step();
        if (application != kApplicationId)
            throw Failure(ERROR_BAD_FORMAT);
        if (version.Int(0) != kFormat)
            throw Failure(ERROR_BAD_FORMAT);
    } catch (const Failure& failure) {
        if (failure.Code() == ERROR_INVALID_PASSWORD)
            throw Failure(WhyUnreadable(file, !password.empty()));
        throw;
    }
    volume->Exec("PRAGMA journal_mode=WAL");
    volume->Exec("PRAGMA synchronous=NORMAL");
    volume->LoadDefinitions();
    return volume;
}

Volume::~Volume()
{
    for (auto& [sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    sqlite3_close_v2(m_db);
}

Volume::Query Volume::Prepare(const std::string& sql)
{
    auto found = m_statements.find(sql);
    if (found == m_statements.end()) {
        sqlite3_stmt* stmt = nullptr;
        int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
        if (rc != SQLITE_OK)
            throw Failure(ErrorOf(rc));
        found = m_statements.emplace(sql, stmt).first;
    }
    return Query(m_db, found->second);
}

void Volume::Exec(const std::string& sql)
{
    int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw Failure(ErrorOf(sqlite3_extended_errcode(m_db)));
}

void Volume::CreateSchema()
{
    Exec("PRAGMA journal_mode=WAL");
    Exec("PRAGMA synchronous=NORMAL");
    Exec("BEGIN;"
         "CREATE TABLE databases(oid INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER NOT NULL,"
         " modified INTEGER NOT NULL);"
         "CREATE TABLE properties(db INTEGER NOT NULL, position INTEGER NOT NULL, id INTEGER NOT NULL,"
         " flags INTEGER NOT NULL, name TEXT NOT NULL, PRIMARY KEY(db, position));"
         "CREATE TABLE sort_orders(db INTEGER NOT NULL, position INTEGER NOT NULL, key_flags INTEGER NOT NULL,"
         " properties BLOB NOT NULL, PRIMARY KEY(db, position));"
         "PRAGMA application_id=" +
         std::to_string(kApplicationId) +
         ";"
         "PRAGMA user_version=" +
         std::to_string(kFormat) +
         ";"
         "COMMIT");
}

// Reads every database's definition; what the file holds is checked, as it may come from anywhere.
void Volume::LoadDefinitions()
{
    auto lock = Lock();
    std::map<CEOID, DatabaseDefinition> definitions;
    Query databases = Prepare("SELECT oid, name, type, modified FROM databases");
    while (databases.Step()) {
        DatabaseDefinition definition;
        int64_t oid = databases.Int(0);
        if (oid <= 0 || oid > 0xFFFFFFFF)
            throw Failure(ERROR_INTERNAL_DB_CORRUPTION);
        definition.oid = static_cast<CEOID>(oid);
        definition.name = Utf16FromUtf8(databases.Bytes(1));
        definition.type = static_cast<DWORD>(databases.Int(2));
        definition.modified = databases.Int(3);
        definitions[definition.oid] = std::move(definition);
    }
    Query properties = Prepare("SELECT db, id, flags, name FROM properties ORDER BY db, position");
    while (properties.Step()) {
        auto found = definitions.find(static_cast<CEOID>(properties.Int(0)));
        if (found == definitions.end() || !IsKnownType(TypeFromPropID(static_cast<CEPROPID>(properties.Int(1)))))
            throw Failure(ERROR_INTERNAL_DB_CORRUPTION);
        found->second.properties.push_back({static_cast<CEPROPID>(properties.Int(1)),
                                            static_cast<DWORD>(properties.Int(2)), Utf16FromUtf8(properties.Bytes(3))});
    }
    Query orders = Prepare("SELECT db, key_flags, properties FROM sort_orders ORDER BY db, position");
    while (orders.Step()) {
        auto found = definitions.find(static_cast<CEOID>(orders.Int(0)));
        std::optional<std::vector<SortProperty>> sorted = SortProperties(orders.Bytes(2));
        if (found == definitions.end() || !sorted || found->second.sortOrders.size() == CEDB_MAXSORTORDER)
            throw Failure(ERROR_INTERNAL_DB_CORRUPTION);
        found->second.sortOrders.push_back({static_cast<WORD>(orders.Int(1)), std::move(*sorted)});
    }
    m_definitions = std::move(definitions);
}

std::vector<DatabaseDefinition> Volume::Databases()
{
    auto lock = Lock();
    LoadDefinitions();
    std::vector<DatabaseDefinition> all;
    for (const auto& [oid, definition] : m_definitions)
        all.push_back(definition);
    return all;
}

std::optional<DatabaseDefinition> Volume::FindDatabase(CEOID oid)
{
    auto lock = Lock();
    if (!m_definitions.contains(oid))
        LoadDefinitions(); // another process may have made it
    auto found = m_definitions.find(oid);
    if (found == m_definitions.end())
        return std::nullopt;
    return found->second;
}

std::optional<DatabaseDefinition> Volume::FindDatabase(std::u16string_view name)
{
    auto lock = Lock();
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [oid, definition] : m_definitions)
            if (SameNameIgnoringCase(definition.name, name))
                return definition;
        LoadDefinitions();
    }
    return std::nullopt;
}

CEOID Volume::CreateDatabase(DatabaseDefinition definition)
{
    auto lock = Lock();
    if (FindDatabase(definition.name))
        throw Failure(ERROR_DUP_NAME);
    Exec("BEGIN IMMEDIATE");
    try {
        Prepare("INSERT INTO databases(name, type, modified) VALUES(?, ?, ?)")
            .Bind(1, Utf8(definition.name), false)
            .Bind(2, definition.type)
            .Bind(3, definition.modified)
            .Step();
        CEOID oid = static_cast<CEOID>(sqlite3_last_insert_rowid(m_db));
        for (size_t i = 0; i < definition.properties.size(); ++i)
            Prepare("INSERT INTO properties(db, position, id, flags, name) VALUES(?, ?, ?, ?, ?)")
                .Bind(1, oid)
                .Bind(2, static_cast<int64_t>(i))
                .Bind(3, definition.properties[i].id)
                .Bind(4, definition.properties[i].flags)
                .Bind(5, Utf8(definition.properties[i].name), false)
                .Step();
        std::string columns;
        for (size_t i = 0; i < definition.sortOrders.size(); ++i) {
            Prepare("INSERT INTO sort_orders(db, position, key_flags, properties) VALUES(?, ?, ?, ?)")
                .Bind(1, oid)
                .Bind(2, static_cast<int64_t>(i))
                .Bind(3, definition.sortOrders[i].keyFlags)
                .Bind(4, SortBlob(definition.sortOrders[i]))
                .Step();
            columns += ", " + Column(static_cast<int>(i)) + " BLOB NOT NULL";
        }
        Exec("CREATE TABLE " + Table(oid) + "(oid INTEGER PRIMARY KEY" + columns + ", props BLOB NOT NULL)");
        for (size_t i = 0; i < definition.sortOrders.size(); ++i)
            Exec(std::string("CREATE ") + (definition.sortOrders[i].Unique() ? "UNIQUE " : "") + "INDEX " + Table(oid) +
                 "_" + Column(static_cast<int>(i)) + " ON " + Table(oid) + "(" + Column(static_cast<int>(i)) + ")");
        Exec("COMMIT");
        definition.oid = oid;
        m_definitions[oid] = std::move(definition);
        return oid;
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void Volume::SetModified(CEOID db, int64_t ticks)
{
    auto lock = Lock();
    Prepare("UPDATE databases SET modified = ? WHERE oid = ?").Bind(1, ticks).Bind(2, db).Step();
    if (auto found = m_definitions.find(db); found != m_definitions.end())
        found->second.modified = ticks;
}

uint32_t Volume::RecordCount(CEOID db)
{
    auto lock = Lock();
    Query count = Prepare("SELECT count(*) FROM " + Table(db));
    count.Step();
    return static_cast<uint32_t>(count.Int(0));
}

uint64_t Volume::RecordBytes(CEOID db)
{
    auto lock = Lock();
    Query size = Prepare("SELECT total(length(props)) FROM " + Table(db));
    size.Step();
    return static_cast<uint64_t>(size.Int(0));
}

std::optional<Record> Volume::ReadRecord(CEOID db, CEOID oid)
{
    auto lock = Lock();
    Query read = Prepare("SELECT props FROM " + Table(db) + " WHERE oid = ?");
    read.Bind(1, oid);
    if (!read.Step())
        return std::nullopt;
    return StoredRecord(read.Bytes(0));
}

CEOID Volume::WriteRecord(const DatabaseDefinition& db, CEOID oid, const Record& record)
{
    auto lock = Lock();
    size_t orders = db.sortOrders.size();
    std::string sql;
    if (oid == 0) {
        std::string columns = "props", values = "?1";
        for (size_t i = 0; i < orders; ++i) {
            columns += ", " + Column(static_cast<int>(i));
            values += ", ?" + std::to_string(i + 3);
        }
        sql = "INSERT INTO " + Table(db.oid) + "(" + columns + ") VALUES(" + values + ")";
    } else {
        sql = "UPDATE " + Table(db.oid) + " SET props = ?1";
        for (size_t i = 0; i < orders; ++i)
            sql += ", " + Column(static_cast<int>(i)) + " = ?" + std::to_string(i + 3);
        sql += " WHERE oid = ?2";
    }
    Query write = Prepare(sql);
    write.Bind(1, Serialize(record));
    if (oid)
        write.Bind(2, oid);
    for (size_t i = 0; i < orders; ++i)
        write.Bind(static_cast<int>(i + 3), SortKey(db.sortOrders[i], record));
    write.Step();
    if (oid) {
        if (sqlite3_changes(m_db) == 0)
            throw Failure(ERROR_NOT_FOUND);
        return oid;
    }
    int64_t added = sqlite3_last_insert_rowid(m_db);
    if (added > 0xFFFFFFFF)
        throw Failure(ERROR_DATABASE_FULL);
    return static_cast<CEOID>(added);
}

bool Volume::DeleteRecord(CEOID db, CEOID oid)
{
    auto lock = Lock();
    Prepare("DELETE FROM " + Table(db) + " WHERE oid = ?").Bind(1, oid).Step();
    return sqlite3_changes(m_db) > 0;
}

// One record of an order, by a condition on (key, oid), nearest first in the direction asked.
std::optional<Position> Volume::Seek(const DatabaseDefinition& db, int order, const std::string& where, bool ascending,
                                     const Position* from, int64_t offset)
{
    auto lock = Lock();
    std::string column = Column(order), direction = ascending ? "" : " DESC";
    std::string sql = "SELECT " + column + ", oid, props FROM " + Table(db.oid) + where + " ORDER BY " + column +
                      direction + ", oid" + direction + " LIMIT 1 OFFSET ?3";
    Query seek = Prepare(sql);
    if (from)
        seek.Bind(1, from->key).Bind(2, from->oid);
    seek.Bind(3, offset);
    if (!seek.Step())
        return std::nullopt;
    return Position{seek.Bytes(0), static_cast<CEOID>(seek.Int(1)), StoredRecord(seek.Bytes(2))};
}

std::optional<Position> Volume::Next(const DatabaseDefinition& db, int order, const Position* after)
{
    std::string column = Column(order);
    return Seek(db, order, after ? " WHERE (" + column + ", oid) > (?1, ?2)" : "", true, after);
}

std::optional<Position> Volume::Previous(const DatabaseDefinition& db, int order, const Position* before)
{
    std::string column = Column(order);
    return Seek(db, order, before ? " WHERE (" + column + ", oid) < (?1, ?2)" : "", false, before);
}

std::optional<Position> Volume::AtIndex(const DatabaseDefinition& db, int order, uint64_t index)
{
    return Seek(db, order, "", true, nullptr, static_cast<int64_t>(index));
}

uint64_t Volume::IndexOf(const DatabaseDefinition& db, int order, const Position& position)
{
    auto lock = Lock();
    std::string column = Column(order);
    Query count = Prepare("SELECT count(*) FROM " + Table(db.oid) + " WHERE (" + column + ", oid) < (?1, ?2)");
    count.Bind(1, position.key).Bind(2, position.oid);
    count.Step();
    return static_cast<uint64_t>(count.Int(0));
}

std::optional<Position> Volume::PositionOf(const DatabaseDefinition& db, int order, CEOID oid)
{
    auto lock = Lock();
    Query find = Prepare("SELECT " + Column(order) + " FROM " + Table(db.oid) + " WHERE oid = ?");
    find.Bind(1, oid);
    if (!find.Step())
        return std::nullopt;
    return Position{find.Bytes(0), oid};
}

std::optional<Position> Volume::AtOrAfter(const DatabaseDefinition& db, int order, const std::string& key)
{
    Position from{key, 0};
    return Seek(db, order, " WHERE (" + Column(order) + ", oid) > (?1, ?2)", true, &from);
}

void Volume::Flush()
{
    auto lock = Lock();
    int rc = sqlite3_wal_checkpoint_v2(m_db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw Failure(ErrorOf(rc));
}

} // namespace device::edb
