#pragma once
// The PostgreSQL engine of the server's storage (see ServerDb.h), on libpq.
#include "server/ServerDb.h"

#include <string>
#include <unordered_map>
#include <vector>

struct pg_conn;

class PostgresConnection : public DbConnection {
public:
    // Connects with a postgresql:// URI (libpq's connection URI, e.g.
    // postgresql://user@/dbname?host=/run/postgresql for a Unix socket).
    explicit PostgresConnection(const QString& uri);
    ~PostgresConnection() override;

    DbEngine engine() const override { return DbEngine::Postgres; }
    Statement prepare(const std::string& sql) override;
    void exec(const char* sql) override;
    int changes() const override { return m_changes; }
    bool usable() const override;
    const char* lockClause() const override { return " FOR UPDATE"; }
    void begin(bool write) override;
    void commit() override;
    void rollback() override;

    // "?" and "?NNN" parameters as "$N"; quoted texts and names are copied unchanged.
    static std::string numberedParameters(const std::string& sql);

    // Used by the statements of this connection.
    pg_conn* handle() const { return m_conn; }
    // The name of the server-side prepared statement for this text and these parameter types,
    // prepared on first use.
    const std::string& preparedName(const std::string& sql, const std::vector<unsigned>& types);
    void setChanges(int changes) { m_changes = changes; }

private:
    pg_conn* m_conn = nullptr;
    int m_changes = 0;
    std::unordered_map<std::string, std::string> m_prepared; // text + types -> statement name
};
