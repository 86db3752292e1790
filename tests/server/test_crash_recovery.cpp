// Crash recovery of the local platform server: a burst of money-moving requests from several threads
// (publish, take, pay, extend, cancel, ship, receipt, complete, delete, recharge requests approved by
// the admin action, withdrawals of commission approved or rejected, the clock moved on) is cut by
// SIGKILL at a few different moments; after each restart on the same database the books balance
// (CheckLedger), every recharge request the server acknowledged is still there, and the server
// answers normally. The ledger check itself is shown to catch a tampered database.
#include "ServerTestKit.h"
#include "server/ServerDb.h"
#include "tests/support/LedgerCheck.h"

#include <QElapsedTimer>

#include <atomic>
#include <mutex>
#include <thread>

using namespace kit;

namespace {

constexpr int Workers = 4;

struct Tally {
    std::atomic<int> publishes{0}, deletes{0}, takes{0}, pays{0}, extends{0}, cancels{0}, ships{0}, receipts{0},
        completes{0}, withdrawals{0}, unexpected{0};
    std::mutex mutex;
    std::vector<QString> ackedTradeIds; // recharge requests answered with returncode 1
    QStringList problems;               // failures before the kill, server-side errors

    void problem(const QString& text) {
        std::lock_guard lock(mutex);
        ++unexpected;
        problems << text;
    }
};

QString worker(int i) { return QStringLiteral("w%1").arg(i); }

// One thread's share of the burst: user w<i> publishes and w<i+1> handles, each task walked through its
// life one step per pass (a refused step is tried again, or worked around as the screens would allow).
// Runs until the server goes away (a failure before the kill is a fault).
void runWorker(int i, const WireClient& c, const std::vector<int>& ids, int round, const std::atomic<bool>& killed,
               Tally& tally) {
    const QString pub = worker(i), hand = worker((i + 1) % Workers);
    const int pubId = ids.at(size_t(i)), handId = ids.at(size_t((i + 1) % Workers));
    struct Live {
        QString taskid;
        int state;
    };
    std::vector<Live> live;
    auto ok = [&](const ReplyObject& reply) {
        if (code(reply) == 1) return true;
        if (msg(reply).startsWith(QStringLiteral("服务器"))) tally.problem(pub + QStringLiteral(": ") + msg(reply));
        return false;
    };
    try {
        for (int pass = 0;; ++pass) {
            if (live.size() < 2) {
                const QString money = QStringLiteral("1.%1").arg(10 + pass % 90);
                if (ok(c.call(cmPublishTask, pub, Pass,
                              {pubId, pub + QStringLiteral("_xh"), pub + QStringLiteral("的店"), money,
                               QStringLiteral("保温杯"), QStringLiteral("好评"), QStringLiteral("无"), 0}))) {
                    ++tally.publishes;
                    // Only this thread publishes as `pub`: the newest published task is the one just made.
                    live.push_back(
                        {ReplyText(*ReplyRecords(c.call(cmGetPublishedTaskList, pub, Pass, {1})).at(0), "taskid"), 0});
                }
            }
            for (Live& t : live) {
                switch (t.state) {
                case 0:
                    if (pass % 4 == 0 && ok(c.call(cmDeleteTask, pub, Pass, {t.taskid}))) {
                        ++tally.deletes;
                        t.state = -1;
                    } else if (ok(c.call(cmHandleTask, hand, Pass, {t.taskid, handId}))) {
                        ++tally.takes;
                        t.state = 1;
                    }
                    break;
                case 1:
                    if (ok(c.call(cmConfirmHasPay, hand, Pass, {t.taskid, 1}))) {
                        ++tally.pays;
                        t.state = 2;
                    } else if (pass % 3 == 0 && ok(c.call(cmCancelTaskNoPayOnTime, pub, Pass, {t.taskid}))) {
                        ++tally.cancels;
                        t.state = 0;
                    } else if (ok(c.call(cmExtendPayTime, pub, Pass, {t.taskid, QStringLiteral("30")}))) {
                        ++tally.extends;
                    }
                    break;
                case 2:
                    if (ok(c.call(cmSetDelivered, pub, Pass, {t.taskid, 2}))) {
                        ++tally.ships;
                        t.state = 3;
                    }
                    break;
                case 3: // refused until the clock has moved past the review time
                    if (ok(c.call(cmConfirmShouhuoAndReply, hand, Pass, {t.taskid, 3}))) {
                        ++tally.receipts;
                        t.state = 4;
                    }
                    break;
                case 4:
                    if (ok(c.call(cmConfirmReplyAndComplete, pub, Pass, {t.taskid, 4}))) {
                        ++tally.completes;
                        t.state = -1;
                    }
                    break;
                }
            }
            std::erase_if(live, [](const Live& t) { return t.state < 0; });
            if (pass % 5 == 0) {
                const QString tradeid = QStringLiteral("R%1-%2-%3").arg(round).arg(i).arg(pass);
                if (ok(c.call(cmRechargeRequest, pub, Pass,
                              {Money::fromFen(2000), QStringLiteral("支付宝"), tradeid}))) {
                    std::lock_guard lock(tally.mutex);
                    tally.ackedTradeIds.push_back(tradeid);
                }
            }
        }
    } catch (const std::exception& error) {
        if (!killed) tally.problem(pub + QStringLiteral(" before the kill: ") + QString::fromUtf8(error.what()));
    }
}

// The inviter takes out small amounts of the commission the workers' approved recharges earn.
void runInviter(const WireClient& c, const std::atomic<bool>& killed, Tally& tally) {
    try {
        for (;;) {
            if (code(c.call(cmWithdrawRequest, QStringLiteral("boss"), Pass, {Money::fromFen(50)})) == 1)
                ++tally.withdrawals;
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    } catch (const std::exception& error) {
        if (!killed) tally.problem(QStringLiteral("boss before the kill: ") + QString::fromUtf8(error.what()));
    }
}

bool execSql(const QString& database, const QString& sql, QString* error) {
    try {
        ServerDb pool(database, ServerDb::Open::Existing);
        pool.acquire()->exec(sql.toUtf8().constData());
        return true;
    } catch (const std::exception& failure) {
        *error = QString::fromUtf8(failure.what());
        return false;
    }
}

} // namespace

class TestCrashRecovery : public QObject {
    Q_OBJECT

    ServerProcess server{true};
    ServerProcess seededBooks{true}; // a stopped server's freshly seeded database, the tampering's original
    std::unique_ptr<WireClient> client;
    std::vector<int> ids;

    // The admin's side of the burst: pending requests reviewed (withdrawals alternately approved and
    // rejected), a few at a time, and the clock moved past every review time.
    // Empty when every action succeeded, otherwise what went wrong.
    QString adminPass(int pass) {
        QString output;
        if (server.admin({QStringLiteral("list-requests")}, &output) != 0) return output;
        static const QRegularExpression pending(QStringLiteral(R"(^(recharge|withdraw) (\d+) pending)"),
                                                QRegularExpression::MultilineOption);
        int reviewed = 0;
        for (auto it = pending.globalMatch(output); it.hasNext() && reviewed < 3; ++reviewed) {
            const auto m = it.next();
            const bool recharge = m.captured(1) == QLatin1String("recharge");
            const QString verdict =
                recharge || (pass + reviewed) % 2 ? QStringLiteral("approve") : QStringLiteral("reject");
            if (server.admin({recharge ? QStringLiteral("review-recharge") : QStringLiteral("review-withdraw"),
                              m.captured(2), verdict},
                             &output) != 0)
                return output;
        }
        return server.admin({QStringLiteral("advance-clock"), QStringLiteral("121")}, &output) == 0 ? QString()
                                                                                                    : output;
    }

private slots:
    void initTestCase() {
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        client = std::make_unique<WireClient>(server.port());
        const WireClient& c = *client;
        QCOMPARE(code(registerUser(c, QStringLiteral("boss"))), 1);
        const QString bossId = QString::number(userId(c, QStringLiteral("boss")));
        QCOMPARE(code(c.call(cmBindAlipay, QStringLiteral("boss"), Pass,
                             {QStringLiteral("boss@example.com"), QStringLiteral("老板")})),
                 1);
        for (int i = 0; i < Workers; ++i) {
            QCOMPARE(code(registerUser(c, worker(i), bossId)), 1);
            QCOMPARE(code(c.call(cmRechargeRequest, worker(i), Pass,
                                 {Money::fromFen(20000), QStringLiteral("支付宝"), QStringLiteral("start-%1").arg(i)})),
                     1);
            QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("approve")), 0);
            ids.push_back(userId(c, worker(i)));
        }
        const QStringList violations = CheckLedger(server.database());
        QVERIFY2(violations.isEmpty(), qPrintable(violations.join(u'\n')));
        QVERIFY2(seededBooks.start(), qPrintable(seededBooks.errorText()));
        seededBooks.stop();
    }

    void booksBalanceAfterKillsMidBurst() {
        Tally total;
        const int killMoments[] = {250, 900, 1800}; // ms into the burst
        int round = 0;
        for (const int killAt : killMoments) {
            ++round;
            Tally tally;
            std::atomic<bool> killed{false};
            const WireClient& c = *client;
            std::vector<std::thread> threads;
            for (int i = 0; i < Workers; ++i)
                threads.emplace_back(runWorker, i, std::cref(c), std::cref(ids), round, std::cref(killed),
                                     std::ref(tally));
            threads.emplace_back(runInviter, std::cref(c), std::cref(killed), std::ref(tally));

            // The last burst runs on until every kind of move has happened at least once in all the
            // bursts (a slow or loaded machine needs longer for a task's whole life), within a minute.
            const bool last = round == int(std::size(killMoments));
            auto everyMoveSeen = [&] {
                for (auto [sum, part] : {std::pair{&total.publishes, &tally.publishes},
                                         {&total.deletes, &tally.deletes},
                                         {&total.takes, &tally.takes},
                                         {&total.pays, &tally.pays},
                                         {&total.completes, &tally.completes},
                                         {&total.withdrawals, &tally.withdrawals}})
                    if (sum->load() + part->load() == 0) return false;
                return true;
            };
            QElapsedTimer timer;
            timer.start();
            QString adminFailure;
            for (int pass = 0; adminFailure.isEmpty() &&
                               (timer.elapsed() < killAt || (last && !everyMoveSeen() && timer.elapsed() < 60000));
                 ++pass)
                adminFailure = adminPass(pass);
            killed = true;
            server.kill9();
            for (std::thread& t : threads) t.join(); // each ends on the first refused connection
            QVERIFY2(adminFailure.isEmpty(), qPrintable(adminFailure));
            QVERIFY2(tally.problems.isEmpty(), qPrintable(tally.problems.join(u'\n')));

            // The books balance in the files as the crash left them, and once the server has opened them.
            const QString when = QStringLiteral(" (kill at %1 ms)").arg(killAt);
            QStringList violations = CheckLedger(server.database());
            QVERIFY2(violations.isEmpty(),
                     qPrintable(QStringLiteral("left by the kill") + when + u'\n' + violations.join(u'\n')));
            QVERIFY2(server.start(), qPrintable(server.errorText()));
            violations = CheckLedger(server.database());
            QVERIFY2(violations.isEmpty(),
                     qPrintable(QStringLiteral("after the restart") + when + u'\n' + violations.join(u'\n')));
            client = std::make_unique<WireClient>(server.port());
            // What the server acknowledged before it died is still there.
            QString requests;
            QCOMPARE(server.admin({QStringLiteral("list-requests")}, &requests), 0);
            for (const QString& tradeid : tally.ackedTradeIds)
                QVERIFY2(requests.contains(QStringLiteral("tradeid=%1 ").arg(tradeid)), qPrintable(tradeid));
            QCOMPARE(code(login(*client, worker(0))), 1);
            QCOMPARE(code(client->call(cmLogin, QStringLiteral("demo1"), QStringLiteral("demo123"))), 1);

            for (auto [sum, part] : {std::pair{&total.publishes, &tally.publishes},
                                     {&total.deletes, &tally.deletes},
                                     {&total.takes, &tally.takes},
                                     {&total.pays, &tally.pays},
                                     {&total.completes, &tally.completes},
                                     {&total.withdrawals, &tally.withdrawals}})
                *sum += part->load();
            total.ackedTradeIds.insert(total.ackedTradeIds.end(), tally.ackedTradeIds.begin(),
                                       tally.ackedTradeIds.end());
        }
        // The burst did move money in every way it meant to.
        qInfo("published %d, deleted %d, taken %d, paid %d, completed %d, withdrawals %d, recharges %d",
              total.publishes.load(), total.deletes.load(), total.takes.load(), total.pays.load(),
              total.completes.load(), total.withdrawals.load(), int(total.ackedTradeIds.size()));
        for (const std::atomic<int>* count :
             {&total.publishes, &total.deletes, &total.takes, &total.pays, &total.completes, &total.withdrawals})
            QVERIFY(count->load() > 0);
        QVERIFY(!total.ackedTradeIds.empty());
    }

    // The check is not blind: each way of cooking the books of a seeded database is reported.
    void ledgerCheckCatchesTamperedBooks_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("reported");
        QTest::newRow("untouched") << QString() << QString();
        QTest::newRow("balance raised without an entry")
            << QStringLiteral("UPDATE users SET balance = balance + 1 WHERE username = 'demo2'")
            << QStringLiteral("user demo2: balance");
        QTest::newRow("commission credited without a recharge")
            << QStringLiteral("UPDATE users SET invitebalance = invitebalance + 100 WHERE username = 'demo1'")
            << QStringLiteral("user demo1: commission balance");
        QTest::newRow("freeze entry lost")
            << QStringLiteral("DELETE FROM tradelog WHERE id = (SELECT MIN(l.id) FROM tradelog l JOIN tasks t "
                              "ON t.taskid = l.taskid WHERE t.status = 0)")
            << QStringLiteral("0 freezes by its publisher");
        QTest::newRow("completed without a payout") << QStringLiteral("UPDATE tasks SET status = 5 WHERE status = 4")
                                                    << QStringLiteral("0 payouts to its handler");
        QTest::newRow("rejected withdrawal turned approved")
            << QStringLiteral("UPDATE withdrawals SET status = 1 WHERE status = 2")
            << QStringLiteral("rejected withdrawals");
        QTest::newRow("task deleted without a refund")
            << QStringLiteral("DELETE FROM tasks WHERE status = 0") << QStringLiteral("deleted task");
        QTest::newRow("publisher handles own task")
            << QStringLiteral("UPDATE tasks SET handleuserid = publishuserid WHERE status = 2")
            << QStringLiteral("handler");
    }

    void ledgerCheckCatchesTamperedBooks() {
        QFETCH(QString, sql);
        QFETCH(QString, reported);
        const std::unique_ptr<TestDatabase> books = seededBooks.sharedDatabase()->copy();
        const QString copy = books->location();
        QString error;
        if (!sql.isEmpty()) QVERIFY2(execSql(copy, sql, &error), qPrintable(error));
        const QStringList violations = CheckLedger(copy);
        if (reported.isEmpty()) {
            QVERIFY2(violations.isEmpty(), qPrintable(violations.join(u'\n')));
        } else {
            QVERIFY2(violations.join(u'\n').contains(reported), qPrintable(violations.join(u'\n')));
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "test_crash_recovery.moc"
