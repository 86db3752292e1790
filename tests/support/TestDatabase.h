#pragma once
// Where a test's server keeps its data: a SQLite file in a temporary folder, or a PostgreSQL database
// of its own in the test process's private cluster (PostgresCluster::shared()). The engine is the one
// under test: QUORVANE_TEST_ENGINE=postgresql in the environment (ctest sets it for the second run of
// the server tests), SQLite otherwise.
#include "server/ServerDb.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

class PostgresCluster;

class TestDatabase {
public:
    TestDatabase();
    explicit TestDatabase(DbEngine engine);
    // A new database in the given cluster (say one that runs as a production server does).
    explicit TestDatabase(PostgresCluster& cluster);

    DbEngine engine() const { return m_engine; }
    // What the server's --db takes: the file path or the postgresql:// URI.
    QString location() const { return m_location; }
    // A copy of the database as it is now (no server may be using it), for a test that changes it.
    std::unique_ptr<TestDatabase> copy() const;

    static DbEngine engineUnderTest();
    static QString engineName(DbEngine engine);

private:
    struct CopyOf {};
    TestDatabase(const TestDatabase& original, CopyOf);

    DbEngine m_engine;
    PostgresCluster* m_cluster = nullptr; // PostgreSQL
    std::unique_ptr<QTemporaryDir> m_dir; // SQLite
    QString m_location;
};
