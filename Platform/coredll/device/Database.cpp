#include "device/Database.h"

#include "device/Schema.h"

#include <atomic>

namespace device {

namespace {

// Enough for every statement the platform runs; beyond it, statements are finalized after use.
constexpr size_t kMaxCachedStatements = 256;
constexpr size_t kMaxCachedTexts = 256;

// Snapshot identities are unique in the process, whichever connection they belong to.
std::atomic<uint64_t> g_lastSnapshotId{0};

} // namespace

DatabaseLock::DatabaseLock(Database& db) : m_db(db), m_lock(db.m_mutex)
{
    if (++db.m_inUse == 1) {
        try {
            db.Enter();
        } catch (...) {
            --db.m_inUse;
            throw;
        }
    }
}

DatabaseLock::~DatabaseLock() { --m_db.m_inUse; }

Statement::Statement(Database& db, std::string_view sql) : m_db(db), m_lock(db)
{
    m_stmt = db.Acquire(sql, &m_slot);
    try {
        db.BeforeStatement(m_stmt);
    } catch (...) {
        db.GiveBack(m_stmt, m_slot);
        throw;
    }
}

Statement::~Statement() { m_db.GiveBack(m_stmt, m_slot); }

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
    int code = sqlite3_extended_errcode(m_db.m_db);
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
    std::string_view bytes = Bytes(column);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

std::string_view Statement::Bytes(int column) const
{
    auto data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return data ? std::string_view(data, sqlite3_column_bytes(m_stmt, column)) : std::string_view();
}

Database::Database(const std::string& path, Opening opening)
{
    // Every use of the connection holds m_mutex, so SQLite's own per-call mutex would only be taken twice.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (opening == Opening::CreateOrMigrate)
        flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = m_db ? sqlite3_errmsg(m_db) : "cannot open";
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(rc, path + ": " + message);
    }
    try {
        // Several device processes share the file; a writer waits for another rather than failing.
        sqlite3_busy_timeout(m_db, 30000);
        for (auto [sql, stmt] : {std::pair{"BEGIN", &m_begin}, std::pair{"COMMIT", &m_commit}}) {
            if (int rc = sqlite3_prepare_v2(m_db, sql, -1, stmt, nullptr); rc != SQLITE_OK)
                Fail(rc);
        }
        if (opening == Opening::Existing && SchemaVersion() == 0) // looked at before anything is written
            throw DatabaseError(SQLITE_NOTADB, "the file holds no device (it is empty, or another program's)");
        Exec("PRAGMA journal_mode=WAL");
        m_wal = true;
        Exec("PRAGMA synchronous=FULL");
        Exec("PRAGMA foreign_keys=ON");
        Migrate();
    } catch (const DatabaseError& e) {
        Close(); // the destructor does not run for a constructor that throws
        throw DatabaseError(e.Code(), path + ": " + e.what());
    } catch (...) {
        Close();
        throw;
    }
}

Database::~Database() { Close(); }

void Database::Close()
{
    for (auto& [sql, statements] : m_idle)
        for (sqlite3_stmt* stmt : statements)
            sqlite3_finalize(stmt);
    m_idle.clear();
    sqlite3_finalize(m_begin);
    sqlite3_finalize(m_commit);
    m_begin = m_commit = nullptr;
    sqlite3_close_v2(m_db); // an open snapshot ends with the connection
    m_db = nullptr;
}

void Database::Exec(std::string_view sql)
{
    DatabaseLock lock(*this);
    if (m_writeDepth == 0)
        EndSnapshot();
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

void Database::ReleaseSnapshot()
{
    std::unique_lock lock(m_mutex, std::try_to_lock);
    if (lock && m_inUse == 0 && m_writeDepth == 0)
        EndSnapshot();
}

sqlite3_stmt* Database::Acquire(std::string_view sql, std::vector<sqlite3_stmt*>** slot)
{
    auto found = m_idle.find(sql);
    if (found == m_idle.end() && m_idle.size() < kMaxCachedTexts)
        found = m_idle.emplace(std::string(sql), std::vector<sqlite3_stmt*>()).first;
    *slot = found == m_idle.end() ? nullptr : &found->second;
    if (*slot && !(*slot)->empty()) {
        sqlite3_stmt* stmt = (*slot)->back();
        (*slot)->pop_back();
        --m_cached;
        return stmt;
    }
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
    if (rc != SQLITE_OK)
        Fail(rc);
    return stmt;
}

void Database::GiveBack(sqlite3_stmt* stmt, std::vector<sqlite3_stmt*>* slot)
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (!slot || m_cached >= kMaxCachedStatements) {
        sqlite3_finalize(stmt);
        return;
    }
    slot->push_back(stmt);
    ++m_cached;
}

void Database::Enter()
{
    if (!m_snapshot || m_writeDepth > 0)
        return;
    WalIndex::Header now;
    if (!m_walIndex.Read(&now) || now != m_snapshotHeader)
        EndSnapshot();
}

void Database::BeforeStatement(sqlite3_stmt* stmt)
{
    if (m_writeDepth > 0)
        return;
    if (!sqlite3_stmt_readonly(stmt))
        EndSnapshot();
    else if (!m_snapshot)
        BeginSnapshot();
}

void Database::BeginSnapshot()
{
    if (!m_walIndex.Attached() && (!m_wal || !m_walIndex.Attach(m_db)))
        return; // without the wal-index, every statement reads on its own
    // Taken before the snapshot starts, so a commit between the two only makes the next check start a
    // fresh one.
    if (!m_walIndex.Read(&m_snapshotHeader))
        return;
    Run(m_begin);
    m_snapshot = true;
    m_snapshotId = ++g_lastSnapshotId;
}

void Database::EndSnapshot()
{
    if (!m_snapshot)
        return;
    m_snapshot = false;
    m_snapshotId = 0;
    Run(m_commit);
}

void Database::Run(sqlite3_stmt* control)
{
    int rc = sqlite3_step(control);
    sqlite3_reset(control);
    if (rc != SQLITE_DONE)
        Fail(rc);
}

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

Transaction::Transaction(Database& db) : m_db(db), m_lock(db)
{
    // Only the outermost transaction talks to SQLite; inner ones join it.
    m_outer = db.m_writeDepth == 0;
    if (m_outer) {
        db.EndSnapshot();
        db.Exec("BEGIN IMMEDIATE");
    }
    ++db.m_writeDepth;
    m_open = true;
}

Transaction::~Transaction()
{
    if (!m_open)
        return;
    --m_db.m_writeDepth;
    if (m_outer)
        sqlite3_exec(m_db.m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit()
{
    if (!m_open)
        return;
    m_open = false;
    --m_db.m_writeDepth;
    if (m_outer)
        m_db.Exec("COMMIT");
}

} // namespace device
