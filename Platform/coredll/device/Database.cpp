#include "device/Database.h"

#include "device/Schema.h"

namespace device {

Statement::Statement(Database& db, std::string_view sql) : m_db(db)
{
    int rc = sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        db.Fail(rc);
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

Statement& Statement::Bind(int index, int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::Bind(int index, const void* data, size_t size)
{
    static const char empty = 0;
    sqlite3_bind_blob(m_stmt, index, data ? data : &empty, static_cast<int>(size), SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::BindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
    return *this;
}

bool Statement::Step()
{
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    int code = sqlite3_extended_errcode(m_db.Handle());
    sqlite3_reset(m_stmt);
    m_db.Fail(code);
}

void Statement::Execute()
{
    while (Step()) {
    }
}

void Statement::Reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }

int64_t Statement::Int(int column) const { return sqlite3_column_int64(m_stmt, column); }

std::string Statement::Text(int column) const
{
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return text ? std::string(text, sqlite3_column_bytes(m_stmt, column)) : std::string();
}

std::vector<uint8_t> Statement::Blob(int column) const
{
    auto data = static_cast<const uint8_t*>(sqlite3_column_blob(m_stmt, column));
    return data ? std::vector<uint8_t>(data, data + sqlite3_column_bytes(m_stmt, column)) : std::vector<uint8_t>();
}

Database::Database(const std::string& path, Opening opening)
{
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (opening == Opening::CreateOrMigrate)
        flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = m_db ? sqlite3_errmsg(m_db) : "cannot open";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(rc, path + ": " + message);
    }
    // The destructor does not run for a constructor that throws.
    auto close = [this] {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    };
    try {
        // Several device processes share the file; a writer waits for another rather than failing.
        sqlite3_busy_timeout(m_db, 30000);
        if (opening == Opening::Existing && SchemaVersion() == 0) // looked at before anything is written
            throw DatabaseError(SQLITE_NOTADB, "the file holds no device (it is empty, or another program's)");
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA foreign_keys=ON");
        Migrate();
    } catch (const DatabaseError& e) {
        close();
        throw DatabaseError(e.Code(), path + ": " + e.what());
    } catch (...) {
        close();
        throw;
    }
}

Database::~Database() { sqlite3_close_v2(m_db); }

void Database::Exec(std::string_view sql)
{
    std::string text(sql);
    char* error = nullptr;
    int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw DatabaseError(rc, message);
    }
}

int64_t Database::LastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

int Database::Changes() const { return sqlite3_changes(m_db); }

void Database::Fail(int code) const { throw DatabaseError(code, sqlite3_errmsg(m_db)); }

size_t Database::SchemaVersion()
{
    Statement version(*this, "PRAGMA user_version");
    version.Step();
    return static_cast<size_t>(version.Int(0));
}

// Brings the file to the newest schema; each step is one transaction, so a half-migrated file cannot exist.
void Database::Migrate()
{
    auto lock = Lock();
    const auto& steps = SchemaSteps();
    for (;;) {
        Transaction tx(*this);
        size_t current = SchemaVersion();
        if (current >= steps.size())
            return;
        Exec(steps[current]);
        Exec("PRAGMA user_version=" + std::to_string(current + 1));
        tx.Commit();
    }
}

namespace {
thread_local int t_depth = 0;
}

Transaction::Transaction(Database& db) : m_db(db), m_lock(db.Lock())
{
    // Only the outermost transaction of a thread talks to SQLite; inner ones join it.
    m_outer = t_depth == 0;
    if (m_outer)
        m_db.Exec("BEGIN IMMEDIATE");
    ++t_depth;
    m_open = true;
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    --t_depth;
    if (m_outer)
        sqlite3_exec(m_db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    if (!m_open)
        return;
    m_open = false;
    --t_depth;
    if (m_outer)
        m_db.Exec("COMMIT");
}

} // namespace device
