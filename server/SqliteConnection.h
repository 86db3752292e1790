#pragma once
// The SQLite engine of the server's storage (see uServerDb.h).
#include "server/uServerDb.h"

#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

class SqliteConnection : public TDbConnection {
public:
    // Opens the file (created when missing unless `existingOnly`), WAL mode, synchronous=FULL.
    SqliteConnection(const QString& path, bool existingOnly);
    ~SqliteConnection() override;

    DbEngine engine() const override { return DbEngine::Sqlite; }
    TStmt prepare(const std::string& sql) override;
    void exec(const char* sql) override;
    int changes() const override;
    const char* lockClause() const override { return ""; }
    void begin(bool write) override;
    void commit() override;
    void rollback() override;

private:
    sqlite3* m_db = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> m_cache;
};
