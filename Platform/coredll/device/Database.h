// The device database: one SQLite file (WAL) shared by every process of the device.
#pragma once

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace device {

class Database;

// A prepared statement; reset on destruction, so it can be reused from a cache.
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

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
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

    void Exec(std::string_view sql);
    int64_t LastInsertId() const;
    int Changes() const;
    sqlite3* Handle() const { return m_db; }

    // Held for every use of the connection; recursive so a transaction can call helpers that lock too.
    std::unique_lock<std::recursive_mutex> Lock() { return std::unique_lock(m_mutex); }

    [[noreturn]] void Fail(int code) const;

private:
    size_t SchemaVersion(); // the steps of the schema the file has run
    void Migrate();

    sqlite3* m_db = nullptr;
    std::recursive_mutex m_mutex;
};

// One write: BEGIN IMMEDIATE on construction, COMMIT by Commit(), ROLLBACK if destroyed before.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Database& m_db;
    std::unique_lock<std::recursive_mutex> m_lock;
    bool m_open = false;
    bool m_outer = false;
};

} // namespace device
