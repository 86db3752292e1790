// Authorisation of the local platform server, command by command: every code of the catalogue is
// refused for bad credentials (sign-up alone needs none), every task step is refused to anyone but
// the side it belongs to, the own-record lists and logs show nothing of another user, and a data line
// naming another user is never taken at its word. Refused requests change nothing (CheckLedger).
#include "ServerTestKit.h"
#include "tests/support/LedgerCheck.h"

#include <map>
#include <set>

using namespace kit;

namespace {

const QString DemoPass = QStringLiteral("demo123");
const QString alice = QStringLiteral("alice"), bob = QStringLiteral("bob"), carol = QStringLiteral("carol");

} // namespace

class TestAuthorisation : public QObject {
    Q_OBJECT

    ServerProcess server{true};
    std::unique_ptr<WireClient> client;
    std::map<QString, int> ids;

    const WireClient& c() const { return *client; }

    void advance(int minutes) {
        QString output;
        QCOMPARE(server.admin({QStringLiteral("advance-clock"), QString::number(minutes)}, &output), 0);
    }

    // The step is refused to each impostor (nothing changes), then done by the user it belongs to.
    void onlyBy(TCommand command, const QString& rightful, const QStringList& impostors,
                const std::vector<CommandValue>& values) {
        for (const QString& impostor : impostors)
            QVERIFY2(code(c().call(command, impostor, Pass, values)) == 0,
                     qPrintable(QStringLiteral("%1 by %2").arg(QLatin1String(CommandSpecOf(command).name), impostor)));
        const ReplyObject reply = c().call(command, rightful, Pass, values);
        QVERIFY2(
            code(reply) == 1,
            qPrintable(
                QStringLiteral("%1 by %2: %3").arg(QLatin1String(CommandSpecOf(command).name), rightful, msg(reply))));
    }

    // Every row of every page of a list command, bounded.
    std::vector<ReplyObject> allRows(TCommand command, const QString& user, const QString& pass) {
        std::vector<ReplyObject> result;
        for (int page = 1; page <= 10; ++page) {
            const ReplyObject reply = c().call(command, user, pass, {page});
            const auto part = rows(reply);
            result.insert(result.end(), part.begin(), part.end());
            if (part.empty() || int(result.size()) >= ReplyInt(reply, "totalnum")) break;
        }
        return result;
    }

    void checkBooks() {
        const QStringList violations = CheckLedger(server.database());
        QVERIFY2(violations.isEmpty(), qPrintable(violations.join(u'\n')));
    }

private slots:
    void initTestCase() {
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        client = std::make_unique<WireClient>(server.port());
        fundedUser(server, c(), alice, 100);
        fundedUser(server, c(), bob, 10);
        fundedUser(server, c(), carol, 10);
        for (const QString& name : {alice, bob, carol}) ids[name] = userId(c(), name);
        for (const QString& name : {QStringLiteral("demo1"), QStringLiteral("demo2"), QStringLiteral("demo3")})
            ids[name] = ReplyInt(c().call(cmLogin, name, DemoPass), "id");
    }

    void badCredentialsAreRefusedForEveryCommand_data() {
        QTest::addColumn<int>("command");
        for (const CommandSpec& spec : CommandCatalogue()) QTest::newRow(spec.name) << int(spec.code);
    }

    void badCredentialsAreRefusedForEveryCommand() {
        QFETCH(int, command);
        const CommandSpec& spec = CommandSpecOf(TCommand(command));
        const QString taskid = publish(c(), alice, QStringLiteral("2"));
        QVERIFY(!taskid.isEmpty());
        // Data that would be good for alice: her own ids, her task, her name.
        static int signups = 0;
        std::vector<CommandValue> values;
        for (const CommandField& field : spec.fields) {
            const QLatin1String name(field.name);
            if (name == QLatin1String("taskid"))
                values.emplace_back(taskid);
            else if (name == QLatin1String("username"))
                values.emplace_back(command == cmRegister ? QStringLiteral("newcomer%1").arg(++signups) : alice);
            else if (name.endsWith(QLatin1String("userid")) && field.format == FieldFormat::Int)
                values.emplace_back(ids[alice]);
            else if (name == QLatin1String("inviteuserid"))
                values.emplace_back(QString());
            else if (field.format == FieldFormat::Int)
                values.emplace_back(name == QLatin1String("status") ? 0 : 1);
            else if (field.format == FieldFormat::Money)
                values.emplace_back(Money::fromFen(100));
            else
                values.emplace_back(QStringLiteral("5"));
        }
        // The hall page is served from a cache once read: have it there, so the cached path is tried too.
        QCOMPARE(code(c().call(cmGetTaskCenterList, bob, Pass, {1, 1})), 1);
        const double before = balance(c(), alice);

        const std::pair<QString, QString> credentials[] = {
            {alice, QStringLiteral("wrong")},
            {alice, QString()},
            {alice, Pass + QStringLiteral(" ")},
            {alice, DemoPass}, // another user's password
            {QStringLiteral("ALICE"), Pass},
            {QStringLiteral("nobody"), Pass},
            {QString(), QString()},
        };
        for (const auto& [user, pass] : credentials) {
            const ReplyObject reply = c().call(TCommand(command), user, pass, values);
            const QString what = QStringLiteral("as '%1' / '%2': %3").arg(user, pass, msg(reply));
            if (command == cmRegister) {
                QVERIFY2(code(reply) == 1, qPrintable(what)); // sign-up needs no login
                values[0] = QStringLiteral("newcomer%1").arg(++signups);
            } else {
                QVERIFY2(code(reply) == 0, qPrintable(what));
                // Names that only ever fail ("ALICE", "nobody") are held back after a few rounds.
                QVERIFY2(msg(reply) == QStringLiteral("用户名或密码错误") ||
                             msg(reply).startsWith(QStringLiteral("密码错误次数过多，请")),
                         qPrintable(what));
            }
        }
        // Nothing was done in alice's name: her password, money and task are as they were.
        QCOMPARE(code(login(c(), alice)), 1);
        QCOMPARE(balance(c(), alice), before);
        QCOMPARE(taskStatus(c(), alice, taskid), 0);
        QCOMPARE(code(c().call(cmDeleteTask, alice, Pass, {taskid})), 1);
        checkBooks();
    }

    void taskStepsBelongToOneSide() {
        const double bobBefore = balance(c(), bob), carolBefore = balance(c(), carol);
        const int carolTrades = ReplyInt(c().call(cmGetTradeLogList, carol, Pass, {1}), "totalnum");

        const QString spare = publish(c(), alice, QStringLiteral("3"));
        onlyBy(cmDeleteTask, alice, {bob, carol}, {spare});

        const QString task = publish(c(), alice, QStringLiteral("10"));
        QCOMPARE(code(c().call(cmHandleTask, alice, Pass, {task, ids[alice]})), 0); // own task
        QCOMPARE(code(c().call(cmHandleTask, carol, Pass, {task, ids[bob]})), 0);   // in another's name
        QCOMPARE(code(c().call(cmHandleTask, bob, Pass, {task, ids[carol]})), 0);
        QCOMPARE(code(c().call(cmHandleTask, bob, Pass, {task, ids[bob]})), 1);
        onlyBy(cmConfirmHasPay, bob, {alice, carol}, {task, 1});
        onlyBy(cmBackTask, bob, {alice, carol}, {task, 2});
        onlyBy(cmConfirmHasPay, bob, {alice, carol}, {task, 1});
        onlyBy(cmSetDelivered, alice, {bob, carol}, {task, 2});
        advance(121);
        onlyBy(cmConfirmShouhuoAndReply, bob, {alice, carol}, {task, 3});
        for (const QString& impostor : {alice, carol})
            QCOMPARE(code(c().call(cmBackTask, impostor, Pass, {task, 4})), 0);
        onlyBy(cmConfirmReplyAndComplete, alice, {bob, carol}, {task, 4});

        // The payment deadline's steps: extend and cancel belong to the publisher, give up to the handler.
        const QString late = publish(c(), alice, QStringLiteral("4"));
        QCOMPARE(code(c().call(cmHandleTask, bob, Pass, {late, ids[bob]})), 1);
        advance(16);
        onlyBy(cmCancelHandledTask, bob, {alice, carol}, {late});
        QCOMPARE(code(c().call(cmHandleTask, bob, Pass, {late, ids[bob]})), 1);
        advance(16);
        onlyBy(cmExtendPayTime, alice, {bob, carol}, {late, QStringLiteral("5")});
        advance(6);
        onlyBy(cmCancelTaskNoPayOnTime, alice, {bob, carol}, {late});

        // Searches and lists of own tasks find only one's own.
        struct Case {
            TCommand command;
            QString user;
            bool finds;
        };
        const Case searches[] = {{cmSearchHandledTask, bob, true},    {cmSearchHandledTask, alice, false},
                                 {cmSearchHandledTask, carol, false}, {cmSearchPublishedTask, alice, true},
                                 {cmSearchPublishedTask, bob, false}, {cmSearchPublishedTask, carol, false}};
        for (const Case& s : searches)
            QVERIFY2(rows(c().call(s.command, s.user, Pass, {task})).size() == (s.finds ? 1u : 0u),
                     qPrintable(QStringLiteral("%1 by %2").arg(QLatin1String(CommandSpecOf(s.command).name), s.user)));
        for (const QString& user : {alice, carol})
            QVERIFY(!findTask(c().call(cmGetHandledTaskList, user, Pass, {1}), task));
        for (const QString& user : {bob, carol})
            QVERIFY(!findTask(c().call(cmGetPublishedTaskList, user, Pass, {1}), task));

        // Only the rightful steps moved money: bob earned the task money, carol nothing at all.
        QCOMPARE(balance(c(), bob), bobBefore + 10);
        QCOMPARE(balance(c(), carol), carolBefore);
        QCOMPARE(ReplyInt(c().call(cmGetTradeLogList, carol, Pass, {1}), "totalnum"), carolTrades);
        checkBooks();
    }

    void recordsStayWithTheirOwner() {
        // The admin's listing says whose each request is.
        QString output;
        QCOMPARE(server.admin({QStringLiteral("list-requests")}, &output), 0);
        std::map<QString, std::set<qint64>> owned; // "recharge demo1" -> ids
        static const QRegularExpression line(QStringLiteral(R"(^(recharge|withdraw) (\d+) \w+ user=(\S+))"),
                                             QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(output); it.hasNext();) {
            const auto m = it.next();
            owned[m.captured(1) + u' ' + m.captured(3)].insert(m.captured(2).toLongLong());
        }
        QVERIFY(!owned[QStringLiteral("withdraw demo1")].empty());
        QVERIFY(!owned[QStringLiteral("recharge demo2")].empty());

        for (const QString& user : {QStringLiteral("demo1"), QStringLiteral("demo2")}) {
            for (const auto& [command, kind] : {std::pair{cmGetRechargeList, QStringLiteral("recharge")},
                                                std::pair{cmGetWithdrawList, QStringLiteral("withdraw")}}) {
                std::set<qint64> listed;
                for (const ReplyObject& row : allRows(command, user, DemoPass)) listed.insert(ReplyInt(row, "id"));
                QVERIFY2(listed == owned[kind + u' ' + user], qPrintable(kind + u' ' + user));
            }
            for (const TCommand command : {cmGetTradeLogList, cmGetOptLogList}) {
                const auto entries = allRows(command, user, DemoPass);
                QVERIFY(!entries.empty());
                for (const ReplyObject& entry : entries) QCOMPARE(ReplyIntFromText(entry, "userid"), ids[user]);
            }
        }
        // The downline: one's own only.
        const auto downline =
            rows(c().call(cmGetSubUserList, QStringLiteral("demo1"), DemoPass, {1, ids[QStringLiteral("demo1")]}));
        QCOMPARE(downline.size(), size_t(1));
        QCOMPARE(ReplyText(downline.front(), "username"), QStringLiteral("demo3"));
    }

    // A data line that names a user (an id or a user name) must name the one who sends it.
    void dataNamingAnotherUserIsRefused_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("field");
        QTest::newRow("publish as another") << int(cmPublishTask) << QStringLiteral("publishuserid");
        QTest::newRow("take as another") << int(cmHandleTask) << QStringLiteral("handleuserid");
        QTest::newRow("another's downline") << int(cmGetSubUserList) << QStringLiteral("userid");
        QTest::newRow("another's profile") << int(cmSaveUserInfo) << QStringLiteral("username");
    }

    void dataNamingAnotherUserIsRefused() {
        QFETCH(int, command);
        QFETCH(QString, field);
        const QString demo1 = QStringLiteral("demo1");
        const QString open = publish(c(), alice, QStringLiteral("1"));
        const ReplyObject victimBefore = c().call(cmLogin, demo1, DemoPass);
        const int victimTrades = ReplyInt(c().call(cmGetTradeLogList, demo1, DemoPass, {1}), "totalnum");
        // The same request naming `who` in `field`; otherwise good.
        auto naming = [&](const QString& who) {
            std::vector<CommandValue> values;
            for (const CommandField& f : CommandSpecOf(TCommand(command)).fields) {
                const QLatin1String name(f.name);
                if (name == field)
                    values.emplace_back(name == QLatin1String("username") ? CommandValue(who) : CommandValue(ids[who]));
                else if (name == QLatin1String("taskid"))
                    values.emplace_back(open);
                else if (f.format == FieldFormat::Int)
                    values.emplace_back(name == QLatin1String("pageindex") ? 1 : 0);
                else
                    values.emplace_back(QStringLiteral("1"));
            }
            return values;
        };
        QCOMPARE(code(c().call(TCommand(command), carol, Pass, naming(demo1))), 0);
        // demo1's profile, money and logs are untouched.
        const ReplyObject victimAfter = c().call(cmLogin, demo1, DemoPass);
        for (const char* member : {"qq", "shopkeeperusername", "taobaoxiaohao", "accountbalance"})
            QCOMPARE(ReplyText(victimAfter, member), ReplyText(victimBefore, member));
        QCOMPARE(ReplyInt(c().call(cmGetTradeLogList, demo1, DemoPass, {1}), "totalnum"), victimTrades);
        // Naming herself, carol is served: the refusal was about the name alone.
        const ReplyObject own = c().call(TCommand(command), carol, Pass, naming(carol));
        QVERIFY2(code(own) == 1, qPrintable(msg(own)));
        checkBooks();
    }
};

QTEST_GUILESS_MAIN(TestAuthorisation)
#include "test_authorisation.moc"
