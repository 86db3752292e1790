#include "server/uServerDb.h"

#include "server/PostgresConnection.h"
#include "server/SchemaMigrations.h"
#include "server/SqliteConnection.h"

#include <cmath>
#include <functional>
#include <thread>

// --- TDbConnection ---------------------------------------------------------------------------------

std::uint64_t TDbConnection::dataVersion() {
    TStmt stmt = prepare(DataVersionSql);
    stmt.step();
    return std::uint64_t(stmt.int64(0));
}

QDateTime TDbConnection::now() {
    std::int64_t offsetMinutes = 0;
    TStmt stmt = prepare("SELECT value FROM settings WHERE key = 'clockoffsetminutes'");
    if (stmt.step()) offsetMinutes = stmt.text(0).toLongLong();
    const QDateTime real = QDateTime::currentDateTime();
    // Whole seconds: every stored time has one-second resolution.
    const QDateTime truncated =
        QDateTime(real.date(), QTime(real.time().hour(), real.time().minute(), real.time().second()));
    return truncated.addSecs(offsetMinutes * 60);
}

// --- TTransaction ----------------------------------------------------------------------------------

TTransaction::TTransaction(TDbConnection& db, bool write) : FDb(db), FWrite(write) { FDb.begin(write); }

TTransaction::~TTransaction() {
    if (FOpen) FDb.rollback();
}

void TTransaction::commit() {
    if (FWrite && FBumpsVersion) {
        // The last statement: the counter's row lock is held for the commit alone. Successive
        // transactions of a thread take successive counters.
        static thread_local unsigned counter = unsigned(std::hash<std::thread::id>()(std::this_thread::get_id()));
        FDb.prepare("UPDATE dataversion SET version = version + 1 WHERE id = ?").bind(1, int(counter++ % 16)).exec();
    }
    FDb.commit();
    FOpen = false;
}

// --- TServerDb -------------------------------------------------------------------------------------

TConnectionLease::~TConnectionLease() {
    if (FPool && FConnection) FPool->giveBack(FConnection);
}

bool TServerDb::isPostgresLocation(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://"));
}

TServerDb::TServerDb(const QString& location, Open open)
    : FLocation(location), FEngine(isPostgresLocation(location) ? DbEngine::Postgres : DbEngine::Sqlite), FOpen(open) {
    std::unique_ptr<TDbConnection> first = openConnection();
    if (open == Open::Migrate) MigrateSchema(*first);
    FIdle.push_back(first.release());
}

TServerDb::~TServerDb() {
    for (TDbConnection* connection : FIdle) delete connection;
}

std::unique_ptr<TDbConnection> TServerDb::openConnection() {
    if (FEngine == DbEngine::Postgres) return std::make_unique<PostgresConnection>(FLocation);
    return std::make_unique<SqliteConnection>(FLocation, FOpen == Open::Existing, &FSqliteWriters);
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
    return TConnectionLease(this, openConnection().release());
}

// A connection that broke is closed, not kept, and so is every idle one: what broke one (the
// database server restarted) broke them all. The next requests open new ones.
void TServerDb::giveBack(TDbConnection* connection) {
    std::vector<TDbConnection*> closing;
    {
        std::lock_guard lock(FMutex);
        if (connection->usable()) {
            FIdle.push_back(connection);
            return;
        }
        closing.swap(FIdle);
    }
    delete connection;
    for (TDbConnection* idle : closing) delete idle;
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
