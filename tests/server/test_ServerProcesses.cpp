// Several server processes, one truth: two servers on one database (as behind one address), one
// client's commands alternating between them through a task's whole life. Whatever one process
// keeps in memory (the hall's page cache, verified credentials) never outlives a write made by the
// other: after each step both answer alike, also for a hall page each of them had cached.
#include "ServerTestKit.h"

using namespace kit;

class TestServerProcesses : public QObject {
    Q_OBJECT

    std::shared_ptr<TestDatabase> database = std::make_shared<TestDatabase>();
    ServerProcess first{database};
    ServerProcess second{database};
    std::unique_ptr<WireClient> a, b;

    // The task's status on the hall's first page as one server tells it (-1: not there).
    int hallStatus(const WireClient& server, const QString& asker, const QString& taskid) {
        const std::optional<ReplyObject> task = findTask(server.call(cmGetTaskCenterList, asker, Pass, {1, 0}), taskid);
        return task ? ReplyInt(*task, "status") : -1;
    }

    // Where the servers tell otherwise of the task (in the hall and on the publisher's screen) or of
    // the money than `status` and the balances; empty when both say just that.
    QString disagreement(const QString& taskid, int status, double publisherBalance, double handlerBalance) {
        QStringList found;
        for (const WireClient* server : {a.get(), b.get()}) {
            const QString which = server == a.get() ? QStringLiteral("first") : QStringLiteral("second");
            const int hall = hallStatus(*server, QStringLiteral("carol"), taskid);
            if (hall != (status < 5 ? status : -1))
                found << QStringLiteral("%1 server's hall: status %2").arg(which).arg(hall);
            const int own = taskStatus(*server, QStringLiteral("alice"), taskid);
            if (own != status) found << QStringLiteral("%1 server's published list: status %2").arg(which).arg(own);
            if (balance(*server, QStringLiteral("alice")) != publisherBalance ||
                balance(*server, QStringLiteral("bob")) != handlerBalance)
                found << which + QStringLiteral(" server's balances");
        }
        return found.join(QStringLiteral("; "));
    }

private slots:
    void initTestCase() {
        QVERIFY2(first.start(), qPrintable(first.errorText()));
        QVERIFY2(second.start(), qPrintable(second.errorText()));
        a = std::make_unique<WireClient>(first.port());
        b = std::make_unique<WireClient>(second.port());
        fundedUser(first, *a, QStringLiteral("alice"), 100);
        fundedUser(second, *b, QStringLiteral("bob"), 0);
        fundedUser(first, *b, QStringLiteral("carol"), 0);
    }

    void lifecycleAlternatingBetweenProcesses() {
        const QString alice = QStringLiteral("alice"), bob = QStringLiteral("bob");
        const int bobId = userId(*a, bob);
        // Both servers have the hall's first page cached before anything happens.
        QCOMPARE(hallStatus(*a, bob, QStringLiteral("none")), -1);
        QCOMPARE(hallStatus(*b, bob, QStringLiteral("none")), -1);

        const QString taskid = publish(*a, alice, QStringLiteral("12.5"));
        QVERIFY(!taskid.isEmpty());
        QString differs = disagreement(taskid, 0, 87.5, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));

        QCOMPARE(code(b->call(cmHandleTask, bob, Pass, {taskid, bobId})), 1);
        differs = disagreement(taskid, 1, 87.5, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        // The other server refuses a second take: it reads the task, not a memory of it.
        QCOMPARE(
            code(a->call(cmHandleTask, QStringLiteral("carol"), Pass, {taskid, userId(*a, QStringLiteral("carol"))})),
            0);

        QCOMPARE(code(a->call(cmConfirmHasPay, bob, Pass, {taskid, 1})), 1);
        differs = disagreement(taskid, 2, 87.5, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QCOMPARE(code(b->call(cmSetDelivered, alice, Pass, {taskid, 2})), 1);
        differs = disagreement(taskid, 3, 87.5, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        // The clock moved by the admin action is the database's: both servers see the review time pass.
        QCOMPARE(code(a->call(cmConfirmShouhuoAndReply, bob, Pass, {taskid, 3})), 0);
        QString output;
        QCOMPARE(second.admin({QStringLiteral("advance-clock"), QStringLiteral("121")}, &output), 0);
        QCOMPARE(code(a->call(cmConfirmShouhuoAndReply, bob, Pass, {taskid, 3})), 1);
        differs = disagreement(taskid, 4, 87.5, 0);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QCOMPARE(code(b->call(cmConfirmReplyAndComplete, alice, Pass, {taskid, 4})), 1);
        differs = disagreement(taskid, 5, 87.5, 12.5);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        // Completed once: the first server refuses to complete it again.
        QCOMPARE(code(a->call(cmConfirmReplyAndComplete, alice, Pass, {taskid, 4})), 0);
        QCOMPARE(balance(*a, bob), 12.5);
    }

    // The hall shows each publisher's shop: a shop renamed through one server shows in the other's
    // hall page, which that server had kept.
    void profileChangeShowsInTheOtherHall() {
        const QString alice = QStringLiteral("alice");
        const QString taskid = publish(*a, alice, QStringLiteral("1"));
        auto shopInHall = [&](const WireClient& server) {
            const std::optional<ReplyObject> task =
                findTask(server.call(cmGetTaskCenterList, alice, Pass, {1, 0}), taskid);
            return task ? ReplyText(*task, "publishershopkeeperusername") : QStringLiteral("(not in the hall)");
        };
        QCOMPARE(shopInHall(*a), QStringLiteral("alice的店"));
        QCOMPARE(code(b->call(cmSaveUserInfo, alice, Pass,
                              {alice, QStringLiteral("1"), QStringLiteral("新名字"), QStringLiteral("alice_xh")})),
                 1);
        QCOMPARE(shopInHall(*a), QStringLiteral("新名字"));
        QCOMPARE(shopInHall(*b), QStringLiteral("新名字"));
    }

    void passwordChangedOnOneIsChangedOnBoth() {
        const QString carol = QStringLiteral("carol");
        // Both servers have verified carol's password (and remember that they did).
        QCOMPARE(code(login(*a, carol)), 1);
        QCOMPARE(code(login(*b, carol)), 1);
        QCOMPARE(code(a->call(cmModifyPassword, carol, Pass, {QStringLiteral("changed1")})), 1);
        for (const WireClient* server : {b.get(), a.get()}) {
            QCOMPARE(code(login(*server, carol)), 0);
            QCOMPARE(code(server->call(cmGetTaskCenterList, carol, Pass, {1, 0})), 0); // the cached page too
            QCOMPARE(code(login(*server, carol, QStringLiteral("changed1"))), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestServerProcesses)
#include "test_ServerProcesses.moc"
