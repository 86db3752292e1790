// What the server tells whom: the hall names no handler (its page is the same for every user, the
// search names one only to the task's two sides); a published task carries the publisher's own shop
// and buyer account, whatever the request claims; a commission move's trade-log entry states the
// commission balance it moved, beside the members and kinds the client reads.
#include "ServerTestKit.h"

using namespace kit;

namespace {

const char* const HandlerIdentity[] = {"handlerusername", "handlershopkeeperusername", "handlertaobaoxiaohao",
                                       "handlerqq"};

} // namespace

class TestServerDisclosure : public QObject {
    Q_OBJECT

    ServerProcess server;
    std::unique_ptr<WireClient> client;

private slots:
    void initTestCase() {
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        client = std::make_unique<WireClient>(server.port());
        fundedUser(server, *client, QStringLiteral("alice"), 100);
        fundedUser(server, *client, QStringLiteral("bob"), 0);
        fundedUser(server, *client, QStringLiteral("carol"), 0);
    }

    void hallNamesNoHandler() {
        const WireClient& c = *client;
        const QString alice = QStringLiteral("alice"), bob = QStringLiteral("bob"), carol = QStringLiteral("carol");
        const QString taskid = publish(c, alice, QStringLiteral("5"));
        QCOMPARE(code(c.call(cmHandleTask, bob, Pass, {taskid, userId(c, bob)})), 1);

        for (const QString& asker : {carol, bob, alice}) {
            const std::optional<ReplyObject> row = findTask(c.call(cmGetTaskCenterList, asker, Pass, {1, 0}), taskid);
            QVERIFY(row);
            QCOMPARE(ReplyInt(*row, "status"), 1);
            QCOMPARE(ReplyText(*row, "publisherusername"), alice);
            for (const char* member : HandlerIdentity)
                QVERIFY2(ReplyText(*row, member).isEmpty(), qPrintable(asker + u' ' + QLatin1String(member)));
        }
        // The search: the handler is named to the two sides only.
        struct Case {
            QString asker;
            bool named;
        };
        for (const Case& s : {Case{carol, false}, Case{bob, true}, Case{alice, true}}) {
            const auto found = rows(c.call(cmSearchTaskCenter, s.asker, Pass, {taskid}));
            QCOMPARE(found.size(), size_t(1));
            const ReplyObject& row = found.front();
            QCOMPARE(ReplyText(row, "handlerusername"), s.named ? bob : QString());
            QCOMPARE(ReplyText(row, "handlertaobaoxiaohao"), s.named ? bob + QStringLiteral("_xh") : QString());
            QCOMPARE(ReplyText(row, "handlershopkeeperusername"), s.named ? bob + QStringLiteral("的店") : QString());
            QCOMPARE(ReplyInt(row, "handleuserid"), s.named ? userId(c, bob) : 0);
            QCOMPARE(ReplyText(row, "handlerqq"), QString());
            QVERIFY(ReplyDateTime(row, "handletime").isValid()); // the progress is not a secret
        }
    }

    void publishedTaskCarriesThePublishersOwnShop() {
        const WireClient& c = *client;
        const QString alice = QStringLiteral("alice");
        const int id = userId(c, alice);
        // The newest published task after publishing one that claims this buyer account and shop.
        auto publishClaiming = [&](const QString& buyer, const QString& shop) -> ReplyObject {
            const ReplyObject reply =
                c.call(cmPublishTask, alice, Pass,
                       {id, buyer, shop, QStringLiteral("2"), QStringLiteral("保温杯"), QString(), QString(), 0});
            if (code(reply) != 1) return {};
            return rows(c.call(cmGetPublishedTaskList, alice, Pass, {1})).front();
        };
        ReplyObject task = publishClaiming(QStringLiteral("someone_else"), QStringLiteral("别人的店"));
        QVERIFY(!task.is_null());
        QCOMPARE(ReplyText(task, "publishtaobaoxiaohao"), QStringLiteral("alice_xh"));
        QCOMPARE(ReplyText(task, "shopkeeperusername"), QStringLiteral("alice的店"));
        // The profile is what counts, as it stands at publishing.
        QCOMPARE(code(c.call(cmSaveUserInfo, alice, Pass,
                             {alice, QStringLiteral("12345"), QStringLiteral("新店"), QStringLiteral("新小号")})),
                 1);
        task = publishClaiming(QStringLiteral("alice_xh"), QStringLiteral("alice的店"));
        QVERIFY(!task.is_null());
        QCOMPARE(ReplyText(task, "publishtaobaoxiaohao"), QStringLiteral("新小号"));
        QCOMPARE(ReplyText(task, "shopkeeperusername"), QStringLiteral("新店"));
    }

    void commissionEntriesStateTheCommissionBalance() {
        const WireClient& c = *client;
        const QString boss = QStringLiteral("boss"), recruit = QStringLiteral("recruit");
        // The inviter's own money (50.00) and commission (from 200.00 recharged by the recruit: 10.00)
        // differ, so an entry stating the wrong one shows.
        fundedUser(server, c, boss, 50);
        QCOMPARE(code(registerUser(c, recruit, QString::number(userId(c, boss)))), 1);
        QCOMPARE(code(c.call(cmRechargeRequest, recruit, Pass,
                             {Money::fromFen(20000), QStringLiteral("支付宝"), QStringLiteral("R-1")})),
                 1);
        QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("approve")), 0);
        QCOMPARE(code(c.call(cmBindAlipay, boss, Pass, {QStringLiteral("b@c.d"), QStringLiteral("老板")})), 1);
        QCOMPARE(code(c.call(cmWithdrawRequest, boss, Pass, {Money::fromFen(400)})), 1);
        QCOMPARE(reviewNewest(server, QStringLiteral("withdraw"), QStringLiteral("reject")), 0);

        // Newest first: the refund, the reserve, the commission, boss's own recharge.
        const auto log = rows(c.call(cmGetTradeLogList, boss, Pass, {1}));
        QCOMPARE(log.size(), size_t(4));
        struct Expected {
            int moneytype;
            const char* inmoney;
            const char* outmoney;
            const char* currentmoney;
        };
        const Expected expected[] = {{0, "4.00", "0.00", "10.00"},
                                     {1, "0.00", "4.00", "6.00"},
                                     {0, "10.00", "0.00", "10.00"},
                                     {0, "50.00", "0.00", "50.00"}};
        for (size_t i = 0; i < log.size(); ++i) {
            const QString what = ReplyText(log[i], "msg");
            QVERIFY2(ReplyInt(log[i], "moneytype") == expected[i].moneytype, qPrintable(what));
            QVERIFY2(ReplyText(log[i], "inmoney") == QLatin1String(expected[i].inmoney), qPrintable(what));
            QVERIFY2(ReplyText(log[i], "outmoney") == QLatin1String(expected[i].outmoney), qPrintable(what));
            QVERIFY2(ReplyText(log[i], "currentmoney") == QLatin1String(expected[i].currentmoney),
                     qPrintable(what + QStringLiteral(" states ") + ReplyText(log[i], "currentmoney")));
        }
        QCOMPARE(balance(c, boss), 50.0);
        QCOMPARE(inviteBalance(c, boss), 10.0);
    }
};

QTEST_GUILESS_MAIN(TestServerDisclosure)
#include "test_ServerDisclosure.moc"
