// The device database: one SQLite file (WAL) shared by every process of the device.
//
// Two things keep reading it cheap. Statements are prepared once and kept by their text, each handed to
// one user at a time, so a query nested in another of the same text gets a statement of its own. And
// reads share one read transaction, a snapshot kept open from one use of the connection to the next for
// as long as the wal-index shows no commit by anyone since it began. Each use (a Lock, a Statement or a
// Transaction not inside another) checks that first and, after any commit, leaves the old snapshot for a
// fresh one, so a use never misses what was committed before it started; within a use, every read sees
// the same snapshot. A snapshot never delays another process (in WAL mode writers do not wait for readers,
// nor do the passive checkpoints), is ended before this connection writes, and is let go when a thread is
// about to wait (ReleaseSnapshot).
#pragma once

#include "device/WalIndex.h"

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace device {

class Database;

// One use of the connection: holds it (recursively) for the scope.
class DatabaseLock {
public:
    explicit DatabaseLock(Database& db);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock&) = delete;
    DatabaseLock& operator=(const DatabaseLock&) = delete;

private:
    Database& m_db;
    std::unique_lock<std::recursive_mutex> m_lock;
};

// A prepared statement from the connection's cache, holding the connection for its life; reset and given
// back on destruction.
class Statement {
public:
    Statement(Database& db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, const void* data, size_t size); // a blob; null data with size 0 is an empty blob
    Statement& BindNull(int index);

    bool Step();   // true while a row is available
    void Execute(); // runs to completion
    void Reset();

    bool IsNull(int column) const;
    int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<uint8_t> Blob(int column) const;
    // The column's bytes, valid until the next Step or Reset.
    std::string_view Bytes(int column) const;

private:
    Database& m_db;
    DatabaseLock m_lock;
    sqlite3_stmt* m_stmt = nullptr;
    std::vector<sqlite3_stmt*>* m_slot = nullptr; // where it goes back to
};

// Thrown for database failures the caller cannot fix (disk full, corrupt file); API entry points turn it
// into their documented failure codes.
class DatabaseError : public std::exception {
public:
    DatabaseError(int code, std::string message) : m_code(code), m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }
    int Code() const { return m_code; }

private:
    int m_code;
    std::string m_message;
};

class Database {
public:
    enum class Opening {
        CreateOrMigrate, // a new file gets the schema, an older one is brought up to date
        Existing,        // the file must exist and hold the schema already (any version)
    };
    // Throws DatabaseError, having closed what it opened.
    explicit Database(const std::string& path, Opening opening = Opening::CreateOrMigrate);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs statements that need no parameters, outside any read snapshot.
    void Exec(std::string_view sql);
    int64_t LastInsertId() const;
    int Changes() const;

    // Held for every use of the connection; recursive so a transaction can call helpers that lock too.
    DatabaseLock Lock() { return DatabaseLock(*this); }

    // Whether reads keep a snapshot between uses (the database is in WAL mode, its wal-index readable).
    bool KeepsSnapshots() const { return m_walIndex.Attached(); }

    // Names the snapshot reads see now, for values kept while it stays current (SnapshotCache); 0 while
    // reads don't keep one (in a transaction). Lock held.
    uint64_t SnapshotId() const { return m_snapshotId; }

    // Ends the read snapshot unless the connection is in use: for a thread about to wait, so that a
    // process waiting for long keeps no old snapshot. Never blocks.
    void ReleaseSnapshot();

    [[noreturn]] void Fail(int code) const;

private:
    friend class DatabaseLock;
    friend class Statement;
    friend class Transaction;

    // The cache: statements not in use, by their text. A statement is given back to the slot of the text it
    // was asked for by (none: it is finalized). Lock held.
    sqlite3_stmt* Acquire(std::string_view sql, std::vector<sqlite3_stmt*>** slot);
    void GiveBack(sqlite3_stmt* stmt, std::vector<sqlite3_stmt*>* slot);

    // A use begins: a snapshot someone has committed after is left. Lock held.
    void Enter();
    // Before a statement runs: a read joins the snapshot (begun if there is none); a write outside a
    // transaction ends the snapshot so that it commits on its own. Lock held.
    void BeforeStatement(sqlite3_stmt* stmt);
    void BeginSnapshot();
    void EndSnapshot();

    void Run(sqlite3_stmt* control); // BEGIN, COMMIT and the like, from the cache

    size_t SchemaVersion(); // the steps of the schema the file has run
    void Migrate();
    void Close();

    struct TextHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };

    sqlite3* m_db = nullptr;
    std::recursive_mutex m_mutex;
    std::unordered_map<std::string, std::vector<sqlite3_stmt*>, TextHash, std::equal_to<>> m_idle;
    size_t m_cached = 0;  // statements in m_idle
    int m_inUse = 0;      // DatabaseLocks alive
    int m_writeDepth = 0; // Transactions alive (the outermost one holds BEGIN IMMEDIATE)
    bool m_snapshot = false;
    uint64_t m_snapshotId = 0;
    // Set once the connection is in WAL mode: mapping the wal-index of a file that is not would open shared
    // memory SQLite never closes.
    bool m_wal = false;
    WalIndex m_walIndex;
    WalIndex::Header m_snapshotHeader{};
    sqlite3_stmt* m_begin = nullptr;
    sqlite3_stmt* m_commit = nullptr;
};

// A value read from the database, kept for as long as the snapshot it was read in is current: while no
// one commits, it is what a read would give. Used with the database locked.
template <typename T>
class SnapshotCache {
public:
    T* Find(const Database& db) { return m_snapshot != 0 && m_snapshot == db.SnapshotId() ? &m_value : nullptr; }
    void Keep(const Database& db, T value)
    {
        m_snapshot = db.SnapshotId();
        m_value = std::move(value);
    }

private:
    uint64_t m_snapshot = 0;
    T m_value{};
};

// One write: BEGIN IMMEDIATE on construction, COMMIT by Commit(), ROLLBACK if destroyed before. A
// transaction inside another joins it.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Database& m_db;
    DatabaseLock m_lock;
    bool m_open = false;
    bool m_outer = false;
};

} // namespace device
