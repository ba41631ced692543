// One database volume: a file of the device's file system holding databases of records. The file is an
// SQLCipher database, keyed with the volume's password when it has one, so without the password it reads as
// noise. Each database keeps its records in a table of its own with one index per sort order over the
// records' sort keys (SortKey.h), so records come back one at a time in any of its orders. Every write is
// committed on its own to the write-ahead log: a record written is kept even if the writer dies next.
#pragma once

#include "edb/Record.h"
#include "edb/SortKey.h"

#include <sqlcipher/sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace device::edb {

// A failure, carrying the Win32 error the database calls report for it.
class Failure : public std::exception {
public:
    explicit Failure(DWORD code) : m_code(code) {}
    DWORD Code() const { return m_code; }
    const char* what() const noexcept override { return "database volume failure"; }

private:
    DWORD m_code;
};

struct PropertySpec {
    CEPROPID id = 0;
    DWORD flags = 0; // DB_PROP_NOTNULL, DB_PROP_COMPRESSED
    std::u16string name;
};

struct DatabaseDefinition {
    CEOID oid = 0;
    std::u16string name;
    DWORD type = 0;
    std::vector<PropertySpec> properties;
    std::vector<SortOrder> sortOrders;
    int64_t modified = 0; // FILETIME ticks of the last change through a database handle
};

// Where a record stands in one order of its database: its key there, then its object identifier; with the
// record as it was when the position was found, so a read that follows a seek costs no second look-up.
struct Position {
    std::string key;
    CEOID oid = 0;
    std::optional<Record> record;
};

// The order records are visited in: a sort order's index, or kByOid for the order they were added in.
constexpr int kByOid = -1;

class Volume {
public:
    // Opens, or creates as the disposition (CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS,
    // TRUNCATE_EXISTING) says, the volume in a host file. An empty password leaves the volume unprotected.
    // *existed tells whether a file was there before. Throws Failure:
    //   ERROR_FILE_NOT_FOUND, ERROR_FILE_EXISTS, ERROR_PATH_NOT_FOUND  as the disposition and the file meet
    //   ERROR_INVALID_PASSWORD        the password does not open the file (or it is not a volume at all)
    //   ERROR_BAD_FORMAT              the file is no volume, or one of a later format
    //   ERROR_INTERNAL_DB_CORRUPTION  a volume whose content is damaged
    static std::shared_ptr<Volume> Open(const std::filesystem::path& file, const std::string& password,
                                        DWORD disposition, bool* existed);
    ~Volume();
    Volume(const Volume&) = delete;
    Volume& operator=(const Volume&) = delete;

    const std::filesystem::path& File() const { return m_file; }
    // Held across the steps of one call; every member takes it as well.
    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(m_mutex); }

    std::vector<DatabaseDefinition> Databases();
    std::optional<DatabaseDefinition> FindDatabase(CEOID oid);
    std::optional<DatabaseDefinition> FindDatabase(std::u16string_view name);
    // ERROR_DUP_NAME when a database of that name exists.
    CEOID CreateDatabase(DatabaseDefinition definition);
    void SetModified(CEOID db, int64_t ticks);

    uint32_t RecordCount(CEOID db);
    uint64_t RecordBytes(CEOID db);
    std::optional<Record> ReadRecord(CEOID db, CEOID oid);
    // Adds a record (oid 0) or replaces one; the record's object identifier. ERROR_ALREADY_EXISTS when a
    // unique sort order already holds its key, ERROR_NOT_FOUND for a record that is gone.
    CEOID WriteRecord(const DatabaseDefinition& db, CEOID oid, const Record& record);
    bool DeleteRecord(CEOID db, CEOID oid);

    // Positions in an order. Next/Previous without a position give the first/last record.
    std::optional<Position> Next(const DatabaseDefinition& db, int order, const Position* after);
    std::optional<Position> Previous(const DatabaseDefinition& db, int order, const Position* before);
    std::optional<Position> AtIndex(const DatabaseDefinition& db, int order, uint64_t index);
    uint64_t IndexOf(const DatabaseDefinition& db, int order, const Position& position);
    std::optional<Position> PositionOf(const DatabaseDefinition& db, int order, CEOID oid);
    // The first record whose key is at least `key`.
    std::optional<Position> AtOrAfter(const DatabaseDefinition& db, int order, const std::string& key);

    // Writes what the log holds into the file.
    void Flush();

private:
    Volume(std::filesystem::path file, sqlite3* db) : m_file(std::move(file)), m_db(db) {}

    class Query;
    Query Prepare(const std::string& sql);
    void Exec(const std::string& sql);
    void CreateSchema();
    void LoadDefinitions();
    std::optional<Position> Seek(const DatabaseDefinition& db, int order, const std::string& where, bool ascending,
                                 const Position* from, int64_t offset = 0);

    std::filesystem::path m_file;
    sqlite3* m_db;
    std::recursive_mutex m_mutex;
    std::unordered_map<std::string, sqlite3_stmt*> m_statements;
    std::map<CEOID, DatabaseDefinition> m_definitions;
};

} // namespace device::edb
