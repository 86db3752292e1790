#include "server/ServerDb.h"

#include "server/PostgresConnection.h"
#include "server/SchemaMigrations.h"
#include "server/SqliteConnection.h"

#include <cmath>
#include <functional>
#include <thread>

// --- DbConnection ---------------------------------------------------------------------------------

std::uint64_t DbConnection::dataVersion() {
    Statement stmt = prepare(DataVersionSql);
    stmt.step();
    return std::uint64_t(stmt.int64(0));
}

QDateTime DbConnection::now() {
    std::int64_t offsetMinutes = 0;
    Statement stmt = prepare("SELECT value FROM settings WHERE key = 'clockoffsetminutes'");
    if (stmt.step()) offsetMinutes = stmt.text(0).toLongLong();
    const QDateTime real = QDateTime::currentDateTime();
    // Whole seconds: every stored time has one-second resolution.
    const QDateTime truncated =
        QDateTime(real.date(), QTime(real.time().hour(), real.time().minute(), real.time().second()));
    return truncated.addSecs(offsetMinutes * 60);
}

// --- Transaction ----------------------------------------------------------------------------------

Transaction::Transaction(DbConnection& db, bool write) : m_db(db), m_write(write) { m_db.begin(write); }

Transaction::~Transaction() {
    if (m_open) m_db.rollback();
}

void Transaction::commit() {
    if (m_write && m_bumpsVersion) {
        // The last statement: the counter's row lock is held for the commit alone. Successive
        // transactions of a thread take successive counters.
        static thread_local unsigned counter = unsigned(std::hash<std::thread::id>()(std::this_thread::get_id()));
        m_db.prepare("UPDATE dataversion SET version = version + 1 WHERE id = ?").bind(1, int(counter++ % 16)).exec();
    }
    m_db.commit();
    m_open = false;
}

// --- ServerDb -------------------------------------------------------------------------------------

ConnectionLease::~ConnectionLease() {
    if (m_pool && m_connection) m_pool->giveBack(m_connection);
}

bool ServerDb::isPostgresLocation(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://")) || location.startsWith(QLatin1String("postgres://"));
}

ServerDb::ServerDb(const QString& location, Open open)
    : m_location(location), m_engine(isPostgresLocation(location) ? DbEngine::Postgres : DbEngine::Sqlite),
      m_open(open) {
    std::unique_ptr<DbConnection> first = openConnection();
    if (open == Open::Migrate) MigrateSchema(*first);
    m_idle.push_back(first.release());
}

ServerDb::~ServerDb() {
    for (DbConnection* connection : m_idle) delete connection;
}

std::unique_ptr<DbConnection> ServerDb::openConnection() {
    if (m_engine == DbEngine::Postgres) return std::make_unique<PostgresConnection>(m_location);
    return std::make_unique<SqliteConnection>(m_location, m_open == Open::Existing, &m_sqliteWriters);
}

ConnectionLease ServerDb::acquire() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            DbConnection* connection = m_idle.back();
            m_idle.pop_back();
            return ConnectionLease(this, connection);
        }
    }
    return ConnectionLease(this, openConnection().release());
}

// A connection that broke is closed, not kept, and so is every idle one: what broke one (the
// database server restarted) broke them all. The next requests open new ones.
void ServerDb::giveBack(DbConnection* connection) {
    std::vector<DbConnection*> closing;
    {
        std::lock_guard lock(m_mutex);
        if (connection->usable()) {
            m_idle.push_back(connection);
            return;
        }
        closing.swap(m_idle);
    }
    delete connection;
    for (DbConnection* idle : closing) delete idle;
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
