#pragma once
// Storage of the local platform server: one SQLite file in WAL mode, a small pool of connections
// (one per request at a time), prepared statements and transactions with RAII.
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

class EDbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement: bind by position (1-based), step, read columns (0-based).
class TStmt {
public:
    TStmt(sqlite3* db, sqlite3_stmt* stmt) : FDb(db), FStmt(stmt) {}
    ~TStmt();
    TStmt(const TStmt&) = delete;
    TStmt& operator=(const TStmt&) = delete;

    TStmt& bind(int index, std::int64_t value);
    TStmt& bind(int index, int value) { return bind(index, std::int64_t(value)); }
    TStmt& bind(int index, const QString& value);
    TStmt& bindNull(int index);
    // True while a row is available.
    bool step();
    void exec() { while (step()) {} }

    std::int64_t int64(int column) const;
    int integer(int column) const { return int(int64(column)); }
    QString text(int column) const;
    bool isNull(int column) const;

private:
    sqlite3* FDb;
    sqlite3_stmt* FStmt;
};

// One open connection with its cache of prepared statements.
class TDbConnection {
public:
    explicit TDbConnection(sqlite3* db) : FDb(db) {}
    ~TDbConnection();
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    sqlite3* handle() const { return FDb; }
    // Cached prepared statement, reset and cleared for a fresh use.
    TStmt prepare(const char* sql);
    void exec(const char* sql);
    std::int64_t lastInsertId() const;
    int changes() const;

    // The server's clock: real local time plus the offset kept in the database, read each time.
    QDateTime now();

private:
    sqlite3* FDb;
    std::unordered_map<std::string, sqlite3_stmt*> FCache;
};

// BEGIN IMMEDIATE (writers) or BEGIN (readers); rolls back unless commit() was called.
class TTransaction {
public:
    TTransaction(TDbConnection& db, bool write);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void commit();

private:
    TDbConnection& FDb;
    bool FOpen = true;
};

class TServerDb;

// A connection borrowed from the pool for the holder's exclusive use; given back when destroyed.
class TConnectionLease {
public:
    TConnectionLease(TServerDb* pool, TDbConnection* connection) : FPool(pool), FConnection(connection) {}
    ~TConnectionLease();
    TConnectionLease(const TConnectionLease&) = delete;
    TConnectionLease& operator=(const TConnectionLease&) = delete;
    TDbConnection& operator*() const { return *FConnection; }
    TDbConnection* operator->() const { return FConnection; }

private:
    TServerDb* FPool;
    TDbConnection* FConnection;
};

class TServerDb {
public:
    // Opens (creating when missing) the database file and its schema, in WAL mode.
    explicit TServerDb(const QString& path);
    ~TServerDb();
    TServerDb(const TServerDb&) = delete;
    TServerDb& operator=(const TServerDb&) = delete;

    TConnectionLease acquire();
    const QString& path() const { return FPath; }

private:
    friend class TConnectionLease;
    sqlite3* openConnection();
    void giveBack(TDbConnection* connection);

    QString FPath;
    std::mutex FMutex;
    std::vector<TDbConnection*> FIdle;
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
