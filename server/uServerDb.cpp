#include "server/uServerDb.h"

#include <sqlite3.h>

#include <cmath>

namespace {

const char* const Schema = R"SQL(
CREATE TABLE IF NOT EXISTS settings (
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS users (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  username TEXT NOT NULL UNIQUE,
  passsalt TEXT NOT NULL,
  passhash TEXT NOT NULL,
  qq TEXT NOT NULL DEFAULT '',
  shopkeeperusername TEXT NOT NULL DEFAULT '',
  taobaoxiaohao TEXT NOT NULL DEFAULT '',
  balance INTEGER NOT NULL DEFAULT 0 CHECK (balance >= 0),
  alipayusername TEXT NOT NULL DEFAULT '',
  alipayaccount TEXT NOT NULL DEFAULT '',
  inviteuserid INTEGER NOT NULL DEFAULT 0,
  invitebalance INTEGER NOT NULL DEFAULT 0 CHECK (invitebalance >= 0),
  registertime TEXT NOT NULL,
  lastuptime TEXT,
  marks TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS users_inviter ON users(inviteuserid);
CREATE TABLE IF NOT EXISTS tasks (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  taskid TEXT UNIQUE,
  publishtime TEXT NOT NULL,
  publishuserid INTEGER NOT NULL,
  publishtaobaoxiaohao TEXT NOT NULL,
  taskmoney INTEGER NOT NULL CHECK (taskmoney > 0),
  shopkeeperusername TEXT NOT NULL,
  goodskeyword TEXT NOT NULL,
  replymsg TEXT NOT NULL,
  detailrequirement TEXT NOT NULL,
  interval INTEGER NOT NULL,
  handleuserid INTEGER NOT NULL DEFAULT 0,
  handletime TEXT,
  shouldpaytime TEXT,
  paytime TEXT,
  fahuotime TEXT,
  shouldshouhuoandreplytime TEXT,
  shouhuoandreplytime TEXT,
  status INTEGER NOT NULL DEFAULT 0,
  marks TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IF NOT EXISTS tasks_publisher ON tasks(publishuserid, id);
CREATE INDEX IF NOT EXISTS tasks_handler ON tasks(handleuserid, id);
CREATE INDEX IF NOT EXISTS tasks_hall ON tasks(status, interval, id);
CREATE TABLE IF NOT EXISTS recharges (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  userid INTEGER NOT NULL,
  money INTEGER NOT NULL,
  tradetype TEXT NOT NULL,
  tradeid TEXT NOT NULL,
  addtime TEXT NOT NULL,
  status INTEGER NOT NULL DEFAULT 0,
  handletime TEXT
);
CREATE INDEX IF NOT EXISTS recharges_user ON recharges(userid, id);
CREATE TABLE IF NOT EXISTS withdrawals (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  userid INTEGER NOT NULL,
  money INTEGER NOT NULL,
  addtime TEXT NOT NULL,
  status INTEGER NOT NULL DEFAULT 0,
  handletime TEXT
);
CREATE INDEX IF NOT EXISTS withdrawals_user ON withdrawals(userid, id);
CREATE TABLE IF NOT EXISTS tradelog (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  userid INTEGER NOT NULL,
  taskid TEXT NOT NULL,
  msg TEXT NOT NULL,
  moneytype INTEGER NOT NULL,
  inmoney INTEGER NOT NULL,
  outmoney INTEGER NOT NULL,
  currentmoney INTEGER NOT NULL,
  addtime TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS tradelog_user ON tradelog(userid, id);
CREATE TABLE IF NOT EXISTS optlog (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  userid INTEGER NOT NULL,
  taskid TEXT NOT NULL,
  opttype INTEGER NOT NULL,
  action TEXT NOT NULL,
  marks TEXT NOT NULL,
  addtime TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS optlog_user ON optlog(userid, id);
CREATE TABLE IF NOT EXISTS signinfailures (
  key TEXT PRIMARY KEY,
  failures INTEGER NOT NULL,
  lastfailure INTEGER NOT NULL
);
)SQL";

[[noreturn]] void fail(sqlite3* db, const char* what) {
    throw EDbError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

} // namespace

// --- TStmt -----------------------------------------------------------------------------------------

TStmt::~TStmt() {
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
}

TStmt& TStmt::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(FStmt, index, value) != SQLITE_OK) fail(FDb, "bind");
    return *this;
}

TStmt& TStmt::bind(int index, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(FStmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail(FDb, "bind");
    return *this;
}

TStmt& TStmt::bindNull(int index) {
    if (sqlite3_bind_null(FStmt, index) != SQLITE_OK) fail(FDb, "bind");
    return *this;
}

bool TStmt::step() {
    const int rc = sqlite3_step(FStmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(FDb, "step");
}

std::int64_t TStmt::int64(int column) const { return sqlite3_column_int64(FStmt, column); }

QString TStmt::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, column));
    if (!data) return {};
    return QString::fromUtf8(data, sqlite3_column_bytes(FStmt, column));
}

bool TStmt::isNull(int column) const { return sqlite3_column_type(FStmt, column) == SQLITE_NULL; }

// --- TDbConnection ---------------------------------------------------------------------------------

TDbConnection::~TDbConnection() {
    for (auto& [sql, stmt] : FCache) sqlite3_finalize(stmt);
    sqlite3_close(FDb);
}

TStmt TDbConnection::prepare(const char* sql) {
    auto it = FCache.find(sql);
    if (it == FCache.end()) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(FDb, sql, -1, &stmt, nullptr) != SQLITE_OK) fail(FDb, "prepare");
        it = FCache.emplace(sql, stmt).first;
    }
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return TStmt(FDb, it->second);
}

void TDbConnection::exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(FDb, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "exec failed";
        sqlite3_free(message);
        throw EDbError(text);
    }
}

std::int64_t TDbConnection::lastInsertId() const { return sqlite3_last_insert_rowid(FDb); }

int TDbConnection::changes() const { return sqlite3_changes(FDb); }

QDateTime TDbConnection::now() {
    std::int64_t offsetMinutes = 0;
    TStmt stmt = prepare("SELECT value FROM settings WHERE key = 'clockoffsetminutes'");
    if (stmt.step()) offsetMinutes = stmt.text(0).toLongLong();
    const QDateTime real = QDateTime::currentDateTime();
    // Whole seconds: every stored time has one-second resolution.
    const QDateTime truncated = QDateTime(real.date(), QTime(real.time().hour(), real.time().minute(),
                                                             real.time().second()));
    return truncated.addSecs(offsetMinutes * 60);
}

// --- TTransaction ----------------------------------------------------------------------------------

TTransaction::TTransaction(TDbConnection& db, bool write) : FDb(db) {
    FDb.exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
}

TTransaction::~TTransaction() {
    if (FOpen) sqlite3_exec(FDb.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TTransaction::commit() {
    FDb.exec("COMMIT");
    FOpen = false;
}

// --- TServerDb -------------------------------------------------------------------------------------

TConnectionLease::~TConnectionLease() {
    if (FPool && FConnection) FPool->giveBack(FConnection);
}

TServerDb::TServerDb(const QString& path) : FPath(path) {
    TDbConnection* first = new TDbConnection(openConnection());
    try {
        first->exec("PRAGMA journal_mode=WAL");
        first->exec("BEGIN IMMEDIATE");
        first->exec(Schema);
        first->exec("INSERT OR IGNORE INTO settings(key, value) VALUES ('clockoffsetminutes', '0')");
        first->exec("COMMIT");
    } catch (...) {
        delete first;
        throw;
    }
    FIdle.push_back(first);
}

TServerDb::~TServerDb() {
    for (TDbConnection* connection : FIdle) delete connection;
}

sqlite3* TServerDb::openConnection() {
    sqlite3* db = nullptr;
    const QByteArray file = FPath.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw EDbError("cannot open database " + std::string(file.constData()) + ": " + message);
    }
    sqlite3_busy_timeout(db, 10000);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr);
    return db;
}

TConnectionLease TServerDb::acquire() {
    {
        std::lock_guard lock(FMutex);
        if (!FIdle.empty()) {
            TDbConnection* connection = FIdle.back();
            FIdle.pop_back();
            return TConnectionLease(this, connection);
        }
    }
    return TConnectionLease(this, new TDbConnection(openConnection()));
}

void TServerDb::giveBack(TDbConnection* connection) {
    std::lock_guard lock(FMutex);
    FIdle.push_back(connection);
}

// --- values ----------------------------------------------------------------------------------------

QString DbTime(const QDateTime& value) { return value.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }

QString CentsText(std::int64_t cents) {
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t(-(cents + 1)) + 1 : std::uint64_t(cents);
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

std::optional<std::int64_t> ParseYuan(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1e9) return std::nullopt;
    return std::int64_t(std::llround(value * 100.0));
}
