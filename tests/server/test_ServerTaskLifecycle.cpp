// The local platform server through the wire format: a task's whole life between two users with the
// money and both logs checked at each step, the refusals of the lifecycle rules (roles, states,
// deadlines moved with advance-clock, short balance), and concurrent takes and publishes.
#include "ServerTestKit.h"

#include <QDateTime>
#include <atomic>
#include <thread>

using namespace kit;

class TestServerTaskLifecycle : public QObject {
    Q_OBJECT

    ServerProcess server;
    std::unique_ptr<WireClient> client;

    QDateTime time(const ReplyObject& task, const char* name) { return ReplyDateTime(task, name); }

    std::optional<ReplyObject> handled(const ReplyObject& reply, const QString& taskid) {
        return findTask(reply, taskid);
    }

    ReplyObject newestTrade(const QString& user) {
        return rows(client->call(cmGetTradeLogList, user, Pass, {1})).front();
    }
    ReplyObject newestOpt(const QString& user) { return rows(client->call(cmGetOptLogList, user, Pass, {1})).front(); }
    int optCount(const QString& user) { return ReplyInt(client->call(cmGetOptLogList, user, Pass, {1}), "totalnum"); }
    int tradeCount(const QString& user) {
        return ReplyInt(client->call(cmGetTradeLogList, user, Pass, {1}), "totalnum");
    }
    void advance(int minutes) {
        QString output;
        QCOMPARE(server.admin({QStringLiteral("advance-clock"), QString::number(minutes)}, &output), 0);
    }

private slots:
    void initTestCase() {
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        client = std::make_unique<WireClient>(server.port());
        fundedUser(server, *client, QStringLiteral("alice"), 100);
        fundedUser(server, *client, QStringLiteral("bob"), 0);
        fundedUser(server, *client, QStringLiteral("carol"), 50);
    }

    void wholeLifecycle() {
        const WireClient& c = *client;
        const QString alice = QStringLiteral("alice"), bob = QStringLiteral("bob");
        QCOMPARE(balance(c, alice), 100.0);

        // Publishing freezes the money: trade log out, operation log "publish".
        const int aliceOpts = optCount(alice);
        const QString taskid = publish(c, alice, QStringLiteral("12.5"), 0);
        QVERIFY(!taskid.isEmpty());
        QCOMPARE(balance(c, alice), 87.5);
        ReplyObject trade = newestTrade(alice);
        QCOMPARE(ReplyInt(trade, "moneytype"), 1);
        QCOMPARE(ReplyFloat(trade, "outmoney"), 12.5);
        QCOMPARE(ReplyFloat(trade, "currentmoney"), 87.5);
        QCOMPARE(ReplyText(trade, "taskid"), taskid);
        QCOMPARE(ReplyIntFromText(trade, "userid"), userId(c, alice));
        QCOMPARE(optCount(alice), aliceOpts + 1);
        QCOMPARE(ReplyInt(newestOpt(alice), "opttype"), 0);

        // The hall lists it as open, without contact numbers; the hall search finds it.
        const ReplyObject hall = c.call(cmGetTaskCenterList, bob, Pass, {1, 0});
        const std::optional<ReplyObject> open = findTask(hall, taskid);
        QVERIFY(open);
        QCOMPARE(ReplyInt(*open, "status"), 0);
        QCOMPARE(ReplyText(*open, "publisherusername"), alice);
        QCOMPARE(ReplyText(*open, "publisherqq"), QString());
        QCOMPARE(ReplyInt(c.call(cmSearchTaskCenter, bob, Pass, {taskid}), "totalnum"), 1);
        // Category 1 (2-hour tasks) holds it, category 2 (2-day tasks) does not.
        QVERIFY(findTask(c.call(cmGetTaskCenterList, bob, Pass, {1, 1}), taskid));
        QVERIFY(!findTask(c.call(cmGetTaskCenterList, bob, Pass, {1, 2}), taskid));

        // Taking: state 1, payment deadline 15 minutes after taking; both sides get a log entry.
        const int bobOpts = optCount(bob);
        QCOMPARE(code(c.call(cmHandleTask, bob, Pass, {taskid, userId(c, bob)})), 1);
        const ReplyObject mine = c.call(cmGetHandledTaskList, bob, Pass, {1});
        const std::optional<ReplyObject> taken = handled(mine, taskid);
        QVERIFY(taken);
        QCOMPARE(ReplyInt(*taken, "status"), 1);
        QCOMPARE(time(*taken, "handletime").secsTo(time(*taken, "shouldpaytime")), 15 * 60);
        QCOMPARE(ReplyText(*taken, "publisherqq"), QStringLiteral("12345"));
        QCOMPARE(optCount(bob), bobOpts + 1);
        QCOMPARE(ReplyInt(newestOpt(alice), "opttype"), 2);

        // Pay, step back, pay again.
        QCOMPARE(code(c.call(cmConfirmHasPay, bob, Pass, {taskid, 1})), 1);
        QCOMPARE(taskStatus(c, alice, taskid), 2);
        QCOMPARE(code(c.call(cmBackTask, bob, Pass, {taskid, 2})), 1);
        QCOMPARE(taskStatus(c, alice, taskid), 1);
        QCOMPARE(code(c.call(cmConfirmHasPay, bob, Pass, {taskid, 1})), 1);

        // Shipping sets the review time from the 2-hour interval.
        QCOMPARE(code(c.call(cmSetDelivered, alice, Pass, {taskid, 2})), 1);
        const std::optional<ReplyObject> shipped = findTask(c.call(cmGetPublishedTaskList, alice, Pass, {1}), taskid);
        QVERIFY(shipped);
        QCOMPARE(ReplyInt(*shipped, "status"), 3);
        QCOMPARE(time(*shipped, "fahuotime").secsTo(time(*shipped, "shouldshouhuoandreplytime")), 2 * 3600);

        // Receipt is confirmed only from the review time on.
        const ReplyObject early = c.call(cmConfirmShouhuoAndReply, bob, Pass, {taskid, 3});
        QCOMPARE(code(early), 0);
        QVERIFY(!msg(early).isEmpty());
        advance(121);
        QCOMPARE(code(c.call(cmConfirmShouhuoAndReply, bob, Pass, {taskid, 3})), 1);
        QCOMPARE(taskStatus(c, alice, taskid), 4);
        // The review time has passed: no step back any more.
        QCOMPARE(code(c.call(cmBackTask, bob, Pass, {taskid, 4})), 0);

        // Completion pays the handler; the publisher's money was already out.
        QCOMPARE(code(c.call(cmConfirmReplyAndComplete, alice, Pass, {taskid, 4})), 1);
        QCOMPARE(taskStatus(c, alice, taskid), 5);
        QCOMPARE(balance(c, bob), 12.5);
        QCOMPARE(balance(c, alice), 87.5);
        trade = newestTrade(bob);
        QCOMPARE(ReplyInt(trade, "moneytype"), 0);
        QCOMPARE(ReplyFloat(trade, "inmoney"), 12.5);
        QCOMPARE(ReplyFloat(trade, "currentmoney"), 12.5);
        QCOMPARE(ReplyInt(newestOpt(bob), "opttype"), 5);
        QCOMPARE(ReplyInt(newestOpt(alice), "opttype"), 5);
        // Nothing more can happen to a complete task.
        QCOMPARE(code(c.call(cmConfirmReplyAndComplete, alice, Pass, {taskid, 4})), 0);
        QCOMPARE(code(c.call(cmDeleteTask, alice, Pass, {taskid})), 0);
        QCOMPARE(balance(c, bob), 12.5);
    }

    void refusalsOfRolesAndStates() {
        const WireClient& c = *client;
        const QString alice = QStringLiteral("alice"), bob = QStringLiteral("bob"), carol = QStringLiteral("carol");
        const double aliceBefore = balance(c, alice);
        const int aliceTrades = tradeCount(alice);

        QCOMPARE(code(login(c, alice, QStringLiteral("wrong"))), 0);
        QCOMPARE(code(c.call(cmGetBasicInfo, QStringLiteral("nobody"), Pass)), 0);

        // Short balance: nothing moves, nothing is logged.
        QCOMPARE(publish(c, alice, QStringLiteral("1000")), QString());
        QCOMPARE(balance(c, alice), aliceBefore);
        QCOMPARE(tradeCount(alice), aliceTrades);
        // Bad prices and another user's id as publisher.
        for (const QString& price : {QStringLiteral("0"), QStringLiteral("-3"), QStringLiteral("abc"), QString()})
            QCOMPARE(publish(c, alice, price), QString());
        QCOMPARE(code(c.call(cmPublishTask, bob, Pass,
                             {userId(c, alice), QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("5"),
                              QStringLiteral("k"), QString(), QString(), 0})),
                 0);

        const QString taskid = publish(c, alice, QStringLiteral("10"), 1);
        QVERIFY(!taskid.isEmpty());
        QCOMPARE(code(c.call(cmHandleTask, alice, Pass, {taskid, userId(c, alice)})), 0); // own task
        QCOMPARE(code(c.call(cmHandleTask, carol, Pass, {taskid, userId(c, bob)})), 0);   // as someone else
        QCOMPARE(code(c.call(cmDeleteTask, bob, Pass, {taskid})), 0);                     // not bob's
        QCOMPARE(code(c.call(cmSetDelivered, alice, Pass, {taskid, 2})), 0);              // wrong state
        QCOMPARE(code(c.call(cmHandleTask, bob, Pass, {QStringLiteral("nosuchtask"), userId(c, bob)})), 0);

        QCOMPARE(code(c.call(cmHandleTask, bob, Pass, {taskid, userId(c, bob)})), 1);
        QCOMPARE(code(c.call(cmHandleTask, carol, Pass, {taskid, userId(c, carol)})), 0);        // already taken
        QCOMPARE(code(c.call(cmConfirmHasPay, carol, Pass, {taskid, 1})), 0);                    // not carol's
        QCOMPARE(code(c.call(cmDeleteTask, alice, Pass, {taskid})), 0);                          // taken: no delete
        QCOMPARE(code(c.call(cmCancelHandledTask, bob, Pass, {taskid})), 0);                     // before the deadline
        QCOMPARE(code(c.call(cmCancelTaskNoPayOnTime, alice, Pass, {taskid})), 0);               // before the deadline
        QCOMPARE(code(c.call(cmExtendPayTime, alice, Pass, {taskid, QStringLiteral("10")})), 0); // not expired yet
        QCOMPARE(code(c.call(cmConfirmHasPay, bob, Pass, {taskid, 2})), 0);                      // stale status

        // The payment deadline passes: paying is refused, the publisher extends by whole minutes only.
        advance(16);
        QCOMPARE(code(c.call(cmConfirmHasPay, bob, Pass, {taskid, 1})), 0);
        for (const QString& minutes :
             {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc"), QStringLiteral("2.5"), QString()})
            QCOMPARE(code(c.call(cmExtendPayTime, alice, Pass, {taskid, minutes})), 0);
        QCOMPARE(code(c.call(cmExtendPayTime, bob, Pass, {taskid, QStringLiteral("10")})), 0); // handler may not
        QCOMPARE(code(c.call(cmExtendPayTime, alice, Pass, {taskid, QStringLiteral("10")})), 1);
        const std::optional<ReplyObject> extended = findTask(c.call(cmGetHandledTaskList, bob, Pass, {1}), taskid);
        QVERIFY(extended);
        QVERIFY(time(*extended, "shouldpaytime") > QDateTime::currentDateTime().addSecs(16 * 60));
        QCOMPARE(code(c.call(cmConfirmHasPay, bob, Pass, {taskid, 1})), 1);
        // Step back is allowed only before the payment deadline.
        advance(11);
        QCOMPARE(code(c.call(cmBackTask, bob, Pass, {taskid, 2})), 0);
        QCOMPARE(taskStatus(c, alice, taskid), 2);
        QCOMPARE(balance(c, alice), aliceBefore - 10);
    }

    void cancelsAfterMissedPaymentReturnTheTaskToTheHall() {
        const WireClient& c = *client;
        const QString alice = QStringLiteral("alice"), bob = QStringLiteral("bob");
        const double before = balance(c, alice);
        const QString first = publish(c, alice, QStringLiteral("3"));
        const QString second = publish(c, alice, QStringLiteral("4"));
        QCOMPARE(code(c.call(cmHandleTask, bob, Pass, {first, userId(c, bob)})), 1);
        QCOMPARE(code(c.call(cmHandleTask, bob, Pass, {second, userId(c, bob)})), 1);
        advance(15); // exactly at the deadline counts as passed
        QCOMPARE(code(c.call(cmCancelTaskNoPayOnTime, alice, Pass, {first})), 1);
        QCOMPARE(code(c.call(cmCancelHandledTask, bob, Pass, {second})), 1);
        for (const QString& taskid : {first, second}) {
            const auto found = rows(c.call(cmSearchTaskCenter, bob, Pass, {taskid}));
            QCOMPARE(found.size(), size_t(1));
            QCOMPARE(ReplyInt(found.front(), "status"), 0);
            QCOMPARE(ReplyInt(found.front(), "handleuserid"), 0);
            QVERIFY(!findTask(c.call(cmGetHandledTaskList, bob, Pass, {1}), taskid));
        }
        // Back in the hall it can be taken again, or deleted, which returns the money.
        QCOMPARE(code(c.call(cmDeleteTask, alice, Pass, {first})), 1);
        QCOMPARE(code(c.call(cmDeleteTask, alice, Pass, {second})), 1);
        QCOMPARE(code(c.call(cmDeleteTask, alice, Pass, {second})), 0);
        QCOMPARE(balance(c, alice), before);
        const ReplyObject trade = newestTrade(alice);
        QCOMPARE(ReplyInt(trade, "moneytype"), 0);
        QCOMPARE(ReplyFloat(trade, "inmoney"), 4.0);
        QCOMPARE(ReplyInt(newestOpt(alice), "opttype"), 4);
    }

    void concurrentTakesHaveOneWinner() {
        const WireClient& c = *client;
        const QString alice = QStringLiteral("alice");
        std::vector<QString> takers;
        for (int i = 0; i < 8; ++i) {
            takers.push_back(QStringLiteral("taker%1").arg(i));
            fundedUser(server, c, takers.back(), 0);
        }
        std::vector<int> ids;
        for (const QString& name : takers) ids.push_back(userId(c, name));
        const double aliceBefore = balance(c, alice);
        const QString taskid = publish(c, alice, QStringLiteral("6"));

        std::atomic<int> winners{0}, refused{0}, errors{0};
        std::vector<std::thread> threads;
        for (size_t i = 0; i < takers.size(); ++i)
            threads.emplace_back([&, i] {
                try {
                    const int rc = ReplyReturnCode(c.call(cmHandleTask, takers[i], Pass, {taskid, ids[i]}));
                    (rc == 1 ? winners : refused)++;
                } catch (...) {
                    errors++;
                }
            });
        for (auto& t : threads) t.join();
        QCOMPARE(errors.load(), 0);
        QCOMPARE(winners.load(), 1);
        QCOMPARE(refused.load(), 7);
        QCOMPARE(taskStatus(c, alice, taskid), 1);
        QCOMPARE(balance(c, alice), aliceBefore - 6);
    }

    void concurrentPublishesNeverOverdraw() {
        const WireClient& c = *client;
        const QString dave = QStringLiteral("dave");
        fundedUser(server, c, dave, 100);
        const int id = userId(c, dave);
        std::atomic<int> published{0}, errors{0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&] {
                try {
                    const ReplyObject reply =
                        c.call(cmPublishTask, dave, Pass,
                               {id, QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("30"), QStringLiteral("k"),
                                QString(), QString(), 0});
                    if (ReplyReturnCode(reply) == 1) published++;
                } catch (...) {
                    errors++;
                }
            });
        for (auto& t : threads) t.join();
        QCOMPARE(errors.load(), 0);
        QCOMPARE(published.load(), 3);
        QCOMPARE(balance(c, dave), 10.0);
        // One recharge plus three freezes in the trade log; the published list holds the three.
        QCOMPARE(ReplyInt(c.call(cmGetTradeLogList, dave, Pass, {1}), "totalnum"), 4);
        QCOMPARE(ReplyInt(c.call(cmGetPublishedTaskList, dave, Pass, {1}), "totalnum"), 3);
    }
};

QTEST_GUILESS_MAIN(TestServerTaskLifecycle)
#include "test_ServerTaskLifecycle.moc"
