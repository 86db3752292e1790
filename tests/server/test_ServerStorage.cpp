// The server's storage on the engine under test: a database made by the first release (its schema
// and demo data, committed as SQL in fixtures/) is upgraded by the numbered migrations when the server
// starts, with every row intact and the books balanced; first starts racing on one fresh database
// migrate it once; SQLite commits are durable; PostgreSQL receives SQLite's parameters renumbered.
#include "ServerTestKit.h"
#include "server/PostgresConnection.h"
#include "server/SchemaMigrations.h"
#include "server/SqliteConnection.h"
#include "tests/support/LedgerCheck.h"
#include "tests/support/PostgresCluster.h"

#include <QFile>

#include <thread>

using namespace kit;

namespace {

// Empty when the file is missing.
QByteArray fixture(const char* name) {
    QFile file(QFINDTESTDATA(QStringLiteral("server/fixtures/") + QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<DbConnection> openDatabase(const TestDatabase& db) {
    if (db.engine() == DbEngine::Postgres) return std::make_unique<PostgresConnection>(db.location());
    return std::make_unique<SqliteConnection>(db.location(), false);
}

// The tables of the first release with their columns, rows in id order.
const std::pair<const char*, const char*> FirstReleaseTables[] = {
    {"settings", "key, value"},
    {"users", "id, username, passsalt, passhash, qq, shopkeeperusername, taobaoxiaohao, balance, alipayusername,"
              " alipayaccount, inviteuserid, invitebalance, registertime, lastuptime, marks"},
    {"tasks", "id, taskid, publishtime, publishuserid, publishtaobaoxiaohao, taskmoney, shopkeeperusername,"
              " goodskeyword, replymsg, detailrequirement, \"interval\", handleuserid, handletime, shouldpaytime,"
              " paytime, fahuotime, shouldshouhuoandreplytime, shouhuoandreplytime, status, marks"},
    {"recharges", "id, userid, money, tradetype, tradeid, addtime, status, handletime"},
    {"withdrawals", "id, userid, money, addtime, status, handletime"},
    // currentmoney of the commission entries is corrected by the upgrade; the ledger check covers it
    {"tradelog", "id, userid, taskid, msg, moneytype, inmoney, outmoney, addtime"},
    {"optlog", "id, userid, taskid, opttype, action, marks, addtime"},
};

// Every row of every first-release table as text, one line per row.
QStringList contents(DbConnection& db) {
    QStringList lines;
    for (const auto& [table, columns] : FirstReleaseTables) {
        const int count = int(QByteArray(columns).count(',')) + 1;
        Statement stmt = db.prepare(std::string("SELECT ") + columns + " FROM " + table + " ORDER BY 1");
        while (stmt.step()) {
            QStringList cells;
            for (int i = 0; i < count; ++i) cells << (stmt.isNull(i) ? QStringLiteral("NULL") : stmt.text(i));
            lines << QLatin1String(table) + u':' + cells.join(u'|');
        }
    }
    return lines;
}

QList<int> recordedMigrations(DbConnection& db) {
    QList<int> versions;
    Statement stmt = db.prepare("SELECT version FROM schemamigrations ORDER BY version");
    while (stmt.step()) versions << stmt.integer(0);
    return versions;
}

QList<int> allMigrations() {
    QList<int> versions;
    for (int v = 1; v <= LatestSchemaVersion(); ++v) versions << v;
    return versions;
}

} // namespace

class TestServerStorage : public QObject {
    Q_OBJECT

private slots:
    void firstReleaseDatabaseIsUpgradedIntact() {
        const auto database = std::make_shared<TestDatabase>();
        const QByteArray schema = fixture("first-release-schema.sql"), data = fixture("first-release-data.sql");
        QVERIFY(!schema.isEmpty() && !data.isEmpty());
        QStringList before;
        {
            // The database as the first release left it: on SQLite its own file; PostgreSQL had no
            // first release, so its first migration stands in for that release's schema.
            const std::unique_ptr<DbConnection> db = openDatabase(*database);
            if (database->engine() == DbEngine::Sqlite) {
                db->exec(schema.constData());
            } else {
                QCOMPARE(MigrateSchema(*db, 1), 1);
                db->exec("DELETE FROM settings"); // the fixture brings the row of its own clock
            }
            db->exec(data.constData());
            if (database->engine() == DbEngine::Postgres)
                for (const auto& [table, columns] : FirstReleaseTables)
                    if (QByteArray(columns).startsWith("id,"))
                        db->exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('%1', 'id'), MAX(id)) FROM %1")
                                     .arg(QLatin1String(table))
                                     .toUtf8()
                                     .constData());
            QCOMPARE(SchemaVersion(*db), database->engine() == DbEngine::Sqlite ? 0 : 1);
            before = contents(*db);
            QCOMPARE(before.size(), 122); // every row of the fixture
        }

        ServerProcess server(database);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        {
            const std::unique_ptr<DbConnection> db = openDatabase(*database);
            QCOMPARE(recordedMigrations(*db), allMigrations());
            QCOMPARE(contents(*db), before);
        }
        // The books balance, with the commission entries now stating the commission balance.
        const QStringList violations = CheckLedger(database->location());
        QVERIFY2(violations.isEmpty(), qPrintable(violations.join(u'\n')));

        // The server works on it: the stored password hash, the money, the lists.
        WireClient c(server.port());
        const QString demo1 = QStringLiteral("demo1"), demo2 = QStringLiteral("demo2"),
                      pass = QStringLiteral("demo123");
        const ReplyObject profile = c.call(cmLogin, demo1, pass);
        QCOMPARE(code(profile), 1);
        QCOMPARE(ReplyText(profile, "accountbalance"), QStringLiteral("1775.50"));
        QCOMPARE(ReplyText(profile, "inviteaccountbalance"), QStringLiteral("13.00"));
        const auto trades = rows(c.call(cmGetTradeLogList, demo1, pass, {1}));
        QVERIFY(!trades.empty());
        for (const ReplyObject& entry : trades)
            if (ReplyText(entry, "msg").contains(QStringLiteral("推广提成"))) {
                // The newest commission entry (the pending withdrawal's reserve) states what is left.
                QCOMPARE(ReplyText(entry, "currentmoney"), QStringLiteral("13.00"));
                break;
            }
        // The pending recharge's trade number backs no second request; a new one goes in.
        QCOMPARE(msg(c.call(
                     cmRechargeRequest, demo2, pass,
                     {Money::fromFen(1000), QStringLiteral("支付宝"), QStringLiteral("2016030121001004550000000005")})),
                 QStringLiteral("该交易单号已提交过充值申请"));
        QCOMPARE(code(c.call(cmRechargeRequest, demo2, pass,
                             {Money::fromFen(1000), QStringLiteral("支付宝"), QStringLiteral("new")})),
                 1);
        const ReplyObject published = c.call(cmPublishTask, demo2, pass,
                                             {ReplyInt(c.call(cmLogin, demo2, pass), "id"), QString(), QString(),
                                              QStringLiteral("3"), QStringLiteral("保温杯"), QString(), QString(), 0});
        QVERIFY2(code(published) == 1, qPrintable(msg(published)));

        // A restart applies nothing twice.
        server.stop();
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const std::unique_ptr<DbConnection> db = openDatabase(*database);
        QCOMPARE(recordedMigrations(*db), allMigrations());
    }

    void firstStartsRacingMigrateOnce() {
        const TestDatabase database;
        std::atomic<int> failures{0};
        std::vector<std::thread> starts;
        for (int i = 0; i < 4; ++i)
            starts.emplace_back([&] {
                try {
                    ServerDb pool(database.location());
                } catch (const std::exception& error) {
                    qWarning("start failed: %s", error.what());
                    ++failures;
                }
            });
        for (std::thread& t : starts) t.join();
        QCOMPARE(failures.load(), 0);
        const std::unique_ptr<DbConnection> db = openDatabase(database);
        QCOMPARE(recordedMigrations(*db), allMigrations());
        QCOMPARE(db->dataVersion(), std::uint64_t(0));
    }

    // The database server restarts under a running platform server: the connections it pooled are
    // broken, and the next requests are answered all the same, on new ones.
    void requestsAfterTheDatabaseServerRestarted() {
        if (TestDatabase::engineUnderTest() != DbEngine::Postgres) QSKIP("a PostgreSQL database server restarts");
        ServerProcess server;
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        WireClient c(server.port());
        QCOMPARE(code(registerUser(c, QStringLiteral("steady"))), 1);
        // Several connections in the pool: requests at once.
        std::vector<std::thread> burst;
        for (int i = 0; i < 4; ++i) burst.emplace_back([&] { login(c, QStringLiteral("steady")); });
        for (std::thread& t : burst) t.join();

        QVERIFY2(PostgresCluster::shared().restart(), qPrintable(PostgresCluster::shared().errorText()));
        for (int i = 0; i < 6; ++i) {
            const ReplyObject reply = login(c, QStringLiteral("steady"));
            QVERIFY2(code(reply) == 1, qPrintable(msg(reply)));
        }
        QCOMPARE(code(c.call(cmGetTaskCenterList, QStringLiteral("steady"), Pass, {1, 0})), 1);
    }

    // A commit that the client was told of survives a power loss: WAL with synchronous=FULL.
    void sqliteCommitsAreDurable() {
        const TestDatabase database(DbEngine::Sqlite);
        ServerDb pool(database.location());
        ConnectionLease db = pool.acquire();
        Statement synchronous = db->prepare("PRAGMA synchronous");
        QVERIFY(synchronous.step());
        QCOMPARE(synchronous.integer(0), 2); // FULL
        Statement journal = db->prepare("PRAGMA journal_mode");
        QVERIFY(journal.step());
        QCOMPARE(journal.text(0), QStringLiteral("wal"));
    }

    void parametersRenumberedForPostgres_data() {
        QTest::addColumn<QString>("sqlite");
        QTest::addColumn<QString>("postgres");
        QTest::newRow("bare") << "SELECT ? + ?"
                              << "SELECT $1 + $2";
        QTest::newRow("numbered, repeated") << "WHERE a = ?1 AND b = ?2 OR a = ?1"
                                            << "WHERE a = $1 AND b = $2 OR a = $1";
        QTest::newRow("bare after a number") << "VALUES (?3, ?, ?1, ?)"
                                             << "VALUES ($3, $4, $1, $5)";
        QTest::newRow("in quotes") << "SELECT '?', \"a?b\", ? FROM t WHERE x = 'it''s ?'"
                                   << "SELECT '?', \"a?b\", $1 FROM t WHERE x = 'it''s ?'";
        QTest::newRow("two digits") << "LIMIT ?12 OFFSET ?"
                                    << "LIMIT $12 OFFSET $13";
        QTest::newRow("none") << "SELECT 1"
                              << "SELECT 1";
    }

    void parametersRenumberedForPostgres() {
        QFETCH(QString, sqlite);
        QFETCH(QString, postgres);
        QCOMPARE(QString::fromStdString(PostgresConnection::numberedParameters(sqlite.toStdString())), postgres);
    }
};

QTEST_GUILESS_MAIN(TestServerStorage)
#include "test_ServerStorage.moc"
