// The request log and internal errors, against the real server process: every request leaves one
// line (time, address, command, user id, returncode, duration); a damaged database (a damaged SQLite
// page, a PostgreSQL table gone) reaches the client only as "服务器内部错误" with an error number, and
// the log holds that number beside the cause.
#include "ServerTestKit.h"
#include "server/ServerDb.h"

#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

using namespace kit;

namespace {

QStringList logLines(const ServerProcess& server) {
    QFile file(server.logPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Overwrites the root page of `table` with bytes that are no b-tree page.
bool damageTable(const QString& path, const char* table) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return false;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT (SELECT rootpage FROM sqlite_master WHERE name = ?), (SELECT page_size FROM pragma_page_size)", -1,
        &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, table, -1, SQLITE_STATIC);
    qint64 root = 0, pageSize = 0;
    if (sqlite3_step(stmt) == SQLITE_ROW) {
        root = sqlite3_column_int64(stmt, 0);
        pageSize = sqlite3_column_int64(stmt, 1);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    if (root < 2 || pageSize < 512) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek((root - 1) * pageSize)) return false;
    return file.write(QByteArray(int(pageSize), '\x5a')) == pageSize;
}

} // namespace

class TestRequestLog : public QObject {
    Q_OBJECT

private slots:
    void oneLinePerRequest() {
        ServerProcess server;
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient client(server.port());
        QCOMPARE(code(registerUser(client, QStringLiteral("alice"))), 1);
        const int id = userId(client, QStringLiteral("alice"));
        QCOMPARE(code(login(client, QStringLiteral("alice"), QStringLiteral("wrong"))), 0);
        QCOMPARE(client.postRaw("x", "text/plain", "GET").status, 405L);
        QCOMPARE(code(client.call(cmGetBasicInfo, QStringLiteral("alice"), Pass)), 1);

        // A line is written once its reply has gone out, so it may come a moment after the reply.
        QTRY_COMPARE_WITH_TIMEOUT(logLines(server).size(), 5, 10000);
        const QStringList lines = logLines(server);
        static const QRegularExpression shape(QStringLiteral(
            R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z 127\.0\.0\.1 (\S+) (\S+) (\d+)(?: command=(\S+) user=(\d+) returncode=(\S+))? (\d+\.\d\d)ms$)"));
        const QStringList expected = {
            QStringLiteral("POST /rest 200 command=%1 user=0 returncode=1").arg(cmRegister),
            QStringLiteral("POST /rest 200 command=%1 user=%2 returncode=1").arg(cmLogin).arg(id),
            QStringLiteral("POST /rest 200 command=%1 user=0 returncode=0").arg(cmLogin),
            QStringLiteral("GET /rest 405"),
            QStringLiteral("POST /rest 200 command=%1 user=%2 returncode=1").arg(cmGetBasicInfo).arg(id),
        };
        for (int i = 0; i < lines.size(); ++i) {
            const QRegularExpressionMatch m = shape.match(lines.at(i));
            QVERIFY2(m.hasMatch(), qPrintable(lines.at(i)));
            QVERIFY2(lines.at(i).contains(expected.at(i)),
                     qPrintable(lines.at(i) + QStringLiteral(" / ") + expected.at(i)));
        }
    }

    void aDamagedDatabaseIsAnInternalErrorWithANumber() {
        ServerProcess server;
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient client(server.port());
        fundedUser(server, client, QStringLiteral("bob"), 50); // trade-log entries
        server.stop();
        const bool postgres = server.sharedDatabase()->engine() == DbEngine::Postgres;
        if (postgres)
            ServerDb(server.database(), ServerDb::Open::Existing)
                .acquire()
                ->exec("ALTER TABLE tradelog RENAME TO gone");
        else
            QVERIFY(damageTable(server.database(), "tradelog"));
        QVERIFY2(server.start(), qPrintable(server.errorText()));

        const ReplyObject reply = client.call(cmGetTradeLogList, QStringLiteral("bob"), Pass, {1});
        QCOMPARE(code(reply), 0);
        static const QRegularExpression text(QStringLiteral("^服务器内部错误（错误编号：(\\d+)）$"));
        const QRegularExpressionMatch m = text.match(msg(reply));
        QVERIFY2(m.hasMatch(), qPrintable(msg(reply)));
        // The log holds the same number beside what the database said.
        const QString number = QStringLiteral("error=") + m.captured(1);
        QTRY_COMPARE_WITH_TIMEOUT(logLines(server).filter(number).size(), 1, 10000);
        const QStringList lines = logLines(server).filter(number);
        QVERIFY2(lines.first().contains(QLatin1String(postgres ? "tradelog\\x22 does not exist" : "malformed")),
                 qPrintable(lines.first()));
        QVERIFY(lines.first().contains(QStringLiteral("command=%1 user=").arg(cmGetTradeLogList)));
        // What the damage does not touch still works.
        QCOMPARE(code(login(client, QStringLiteral("bob"))), 1);
        QVERIFY(server.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestRequestLog)
#include "test_request_log.moc"
