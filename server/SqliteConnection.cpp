#include "server/SqliteConnection.h"

#include <sqlite3.h>

namespace {

[[noreturn]] void fail(sqlite3* db, const char* what) {
    throw EDbError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

// A cached prepared statement of the connection, reset and cleared when this use of it ends.
class SqliteStatement : public DbStatement {
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}
    ~SqliteStatement() override {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }

    void bindInt(int index, std::int64_t value) override {
        if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK) fail(m_db, "bind");
    }
    void bindText(int index, const QString& value) override {
        const QByteArray utf8 = value.toUtf8();
        if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
            fail(m_db, "bind");
    }
    void bindNull(int index) override {
        if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK) fail(m_db, "bind");
    }
    bool step() override {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        fail(m_db, "step");
    }
    std::int64_t int64(int column) const override { return sqlite3_column_int64(m_stmt, column); }
    QString text(int column) const override {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        if (!data) return {};
        return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
    }
    bool isNull(int column) const override { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
};

} // namespace

SqliteConnection::SqliteConnection(const QString& path, bool existingOnly, std::mutex* writers) : m_writers(writers) {
    const QByteArray file = path.toUtf8();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (existingOnly ? 0 : SQLITE_OPEN_CREATE);
    if (sqlite3_open_v2(file.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw EDbError("cannot open database " + std::string(file.constData()) + ": " + message);
    }
    sqlite3_busy_timeout(m_db, 10000);
    // FULL: a commit the client was told of survives a power loss, also in WAL mode.
    exec("PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON");
    if (!existingOnly) exec("PRAGMA journal_mode=WAL");
}

SqliteConnection::~SqliteConnection() {
    for (auto& [sql, stmt] : m_cache) sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

Statement SqliteConnection::prepare(const std::string& sql) {
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), int(sql.size()), &stmt, nullptr) != SQLITE_OK) fail(m_db, "prepare");
        it = m_cache.emplace(sql, stmt).first;
    }
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return Statement(std::make_unique<SqliteStatement>(m_db, it->second));
}

void SqliteConnection::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "exec failed";
        sqlite3_free(message);
        throw EDbError(text);
    }
}

int SqliteConnection::changes() const { return sqlite3_changes(m_db); }

// Writers take the write lock at once, so two of them never both read and then both write.
void SqliteConnection::begin(bool write) {
    if (!write) {
        exec("BEGIN");
        return;
    }
    if (m_writers) m_writing = std::unique_lock(*m_writers);
    try {
        exec("BEGIN IMMEDIATE");
    } catch (...) {
        if (m_writing.owns_lock()) m_writing.unlock();
        throw;
    }
}

void SqliteConnection::commit() {
    exec("COMMIT");
    if (m_writing.owns_lock()) m_writing.unlock();
}

void SqliteConnection::rollback() {
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (m_writing.owns_lock()) m_writing.unlock();
}
