#pragma once
// The SQLite engine of the server's storage (see ServerDb.h).
#include "server/ServerDb.h"

#include <mutex>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

class SqliteConnection : public DbConnection {
public:
    // Opens the file (created when missing unless `existingOnly`), WAL mode, synchronous=FULL.
    // `writers`: held by a write transaction from BEGIN to its end, so that the writers of one process
    // queue in turn instead of polling SQLite's lock (which gives some of them waits of many
    // times the others'); writers of other processes are still waited for by polling.
    SqliteConnection(const QString& path, bool existingOnly, std::mutex* writers = nullptr);
    ~SqliteConnection() override;

    DbEngine engine() const override { return DbEngine::Sqlite; }
    Statement prepare(const std::string& sql) override;
    void exec(const char* sql) override;
    int changes() const override;
    const char* lockClause() const override { return ""; }
    void begin(bool write) override;
    void commit() override;
    void rollback() override;

private:
    sqlite3* m_db = nullptr;
    std::mutex* m_writers;
    std::unique_lock<std::mutex> m_writing;
    std::unordered_map<std::string, sqlite3_stmt*> m_cache;
};
