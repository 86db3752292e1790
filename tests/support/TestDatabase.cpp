#include "tests/support/TestDatabase.h"

#include "tests/support/PostgresCluster.h"

#include <QFile>
#include <QUrl>

#include <atomic>
#include <stdexcept>

namespace {

QString newDatabaseName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("test%1").arg(++counter);
}

} // namespace

TestDatabase::TestDatabase() : TestDatabase(engineUnderTest()) {}

TestDatabase::TestDatabase(DbEngine engine) : m_engine(engine) {
    if (engine == DbEngine::Postgres) {
        m_cluster = &PostgresCluster::shared();
        m_location = m_cluster->createDatabase(newDatabaseName());
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) throw std::runtime_error("cannot create a temporary folder");
    m_location = m_dir->filePath(QStringLiteral("server.sqlite"));
}

TestDatabase::TestDatabase(PostgresCluster& cluster)
    : m_engine(DbEngine::Postgres), m_cluster(&cluster), m_location(cluster.createDatabase(newDatabaseName())) {}

TestDatabase::TestDatabase(const TestDatabase& original, CopyOf)
    : m_engine(original.m_engine), m_cluster(original.m_cluster) {
    if (m_engine == DbEngine::Postgres) {
        const QString source = QUrl(original.m_location).path().mid(1);
        m_location = m_cluster->createDatabase(newDatabaseName(), source);
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid()) throw std::runtime_error("cannot create a temporary folder");
    m_location = m_dir->filePath(QStringLiteral("server.sqlite"));
    for (const QString& suffix : {QString(), QStringLiteral("-wal")})
        if (QFile::exists(original.m_location + suffix) &&
            !QFile::copy(original.m_location + suffix, m_location + suffix))
            throw std::runtime_error("cannot copy the database file");
}

std::unique_ptr<TestDatabase> TestDatabase::copy() const {
    return std::unique_ptr<TestDatabase>(new TestDatabase(*this, CopyOf{}));
}

DbEngine TestDatabase::engineUnderTest() {
    const QByteArray name = qgetenv("QUORVANE_TEST_ENGINE");
    if (name.isEmpty() || name == "sqlite") return DbEngine::Sqlite;
    if (name == "postgresql") return DbEngine::Postgres;
    throw std::runtime_error("QUORVANE_TEST_ENGINE must be sqlite or postgresql, not " + name.toStdString());
}

QString TestDatabase::engineName(DbEngine engine) {
    return engine == DbEngine::Postgres ? QStringLiteral("postgresql") : QStringLiteral("sqlite");
}
