#pragma once
// Storage of the platform server: one interface, two engines behind it.
//
//  - SQLite (a file path): the embedded default; one file in WAL mode, synchronous=FULL, write
//    transactions BEGIN IMMEDIATE, so writers take turns.
//  - PostgreSQL 15 (a postgresql:// URI): for a platform that runs several server processes on one
//    database. Spoken to through libpq, the server's own C client library: it is what every other
//    binding wraps, it comes with the server's Debian packages, needs no extra layer of types (Qt SQL
//    would bring QVariant and its connection-per-thread rules to code that has neither) and gives
//    the SQLSTATE of every error, which the retry of deadlocked transactions needs. Write
//    transactions run at READ COMMITTED: every money move is a guarded UPDATE (the guard in its
//    WHERE clause, re-checked on the newest row version) and the task a step works on is locked
//    for the step (lockClause()); readers run at REPEATABLE READ, so a list's count and its page
//    come from one snapshot.
//
// SQL is written once, with SQLite's parameters (? or ?NNN); the PostgreSQL connection rewrites them
// as $N. Both engines take INSERT ... RETURNING and ON CONFLICT DO NOTHING. What differs (column
// types of the schema, the row lock) is asked of the connection.
//
// Every write transaction bumps the data version (a counter of its own) before it commits, so a
// process that keeps something read from the database (the hall's page cache) can tell whether any
// process has written since.
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class EDbError : public std::runtime_error {
public:
    enum class Kind {
        Failed,
        // A deadlock or serialization failure: the transaction changed nothing and may run again.
        Retryable,
        // The connection to the database server broke (it restarted or went away).
        ConnectionLost,
    };
    explicit EDbError(const std::string& what, Kind kind = Kind::Failed) : std::runtime_error(what), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

enum class DbEngine { Sqlite, Postgres };

// One execution of a statement, as an engine carries it out.
class DbStatement {
public:
    virtual ~DbStatement() = default;
    virtual void bindInt(int index, std::int64_t value) = 0;
    virtual void bindText(int index, const QString& value) = 0;
    virtual void bindNull(int index) = 0;
    virtual bool step() = 0;
    virtual std::int64_t int64(int column) const = 0;
    virtual QString text(int column) const = 0;
    virtual bool isNull(int column) const = 0;
};

// One prepared statement: bind by position (1-based), step, read columns (0-based). The statement runs
// at the first step().
class Statement {
public:
    explicit Statement(std::unique_ptr<DbStatement> statement) : m_statement(std::move(statement)) {}

    Statement& bind(int index, std::int64_t value) {
        m_statement->bindInt(index, value);
        return *this;
    }
    Statement& bind(int index, int value) { return bind(index, std::int64_t(value)); }
    Statement& bind(int index, const QString& value) {
        m_statement->bindText(index, value);
        return *this;
    }
    Statement& bindNull(int index) {
        m_statement->bindNull(index);
        return *this;
    }
    // True while a row is available.
    bool step() { return m_statement->step(); }
    void exec() {
        while (step()) {
        }
    }

    std::int64_t int64(int column) const { return m_statement->int64(column); }
    int integer(int column) const { return int(int64(column)); }
    QString text(int column) const { return m_statement->text(column); }
    bool isNull(int column) const { return m_statement->isNull(column); }

private:
    std::unique_ptr<DbStatement> m_statement;
};

// One open connection of either engine.
class DbConnection {
public:
    virtual ~DbConnection() = default;
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    virtual DbEngine engine() const = 0;
    // A statement, prepared once per connection and reused.
    virtual Statement prepare(const std::string& sql) = 0;
    Statement prepare(const char* sql) { return prepare(std::string(sql)); }
    // Runs one or more statements without parameters or results.
    virtual void exec(const char* sql) = 0;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    virtual int changes() const = 0;
    // False once the connection can no longer be used (the database server went away).
    virtual bool usable() const { return true; }

    // What a SELECT appends to lock the rows it reads until the transaction ends (PostgreSQL), or
    // nothing where write transactions already run one at a time (SQLite).
    virtual const char* lockClause() const = 0;

    // Transactions (see Transaction).
    virtual void begin(bool write) = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // The data version: bumped by every write transaction that may change what a kept reply shows.
    std::uint64_t dataVersion();

    // The server's clock: real local time plus the offset kept in the database, read each time.
    QDateTime now();

protected:
    DbConnection() = default;
};

// The data version in one value: a SELECT of one column and row, usable as a subquery.
inline constexpr const char* DataVersionSql = "SELECT SUM(version) FROM dataversion";

// BEGIN (a write or a read transaction, as the engine runs each); rolls back unless commit() was
// called. A write transaction bumps the data version as its last statement, unless told that it
// changes nothing a kept reply shows.
class Transaction {
public:
    Transaction(DbConnection& db, bool write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void keepDataVersion() { m_bumpsVersion = false; }
    void commit();

private:
    DbConnection& m_db;
    bool m_write;
    bool m_bumpsVersion = true;
    bool m_open = true;
};

class ServerDb;

// A connection borrowed from the pool for the holder's exclusive use; given back when destroyed.
class ConnectionLease {
public:
    ConnectionLease(ServerDb* pool, DbConnection* connection) : m_pool(pool), m_connection(connection) {}
    ~ConnectionLease();
    ConnectionLease(const ConnectionLease&) = delete;
    ConnectionLease& operator=(const ConnectionLease&) = delete;
    DbConnection& operator*() const { return *m_connection; }
    DbConnection* operator->() const { return m_connection; }

private:
    ServerDb* m_pool;
    DbConnection* m_connection;
};

class ServerDb {
public:
    enum class Open {
        Migrate,  // create the database when missing and bring its schema up to date (the server)
        Existing, // use it as it is: no file is created, no schema changed (checks and tools)
    };

    // `location`: a SQLite file path, or a postgresql:// (postgres://) URI.
    explicit ServerDb(const QString& location, Open open = Open::Migrate);
    ~ServerDb();
    ServerDb(const ServerDb&) = delete;
    ServerDb& operator=(const ServerDb&) = delete;

    ConnectionLease acquire();
    const QString& location() const { return m_location; }
    DbEngine engine() const { return m_engine; }

    static bool isPostgresLocation(const QString& location);

private:
    friend class ConnectionLease;
    std::unique_ptr<DbConnection> openConnection();
    void giveBack(DbConnection* connection);

    QString m_location;
    DbEngine m_engine;
    Open m_open;
    std::mutex m_mutex;
    std::vector<DbConnection*> m_idle;
    std::mutex m_sqliteWriters; // see SqliteConnection
};

// Date-times are stored and sent as local "yyyy-MM-dd hh:mm:ss" text; such texts sort in time order.
QString DbTime(const QDateTime& value);
// The text sent for a time that has not happened yet: the zero date-time of the client's calendar.
inline const QString ZeroTimeText = QStringLiteral("1899-12-30 00:00:00");

// Money is kept in whole fen (cents); the wire carries yuan with two decimals.
QString CentsText(std::int64_t cents);
// Parses a decimal amount in yuan ("12.5", "100.00", " 7 ") to fen, rounding to the nearest fen.
// nullopt for anything that is not a finite number or lies beyond +-10^9 yuan.
std::optional<std::int64_t> ParseYuan(const QString& text);
