// Account and wallet commands of the local platform server through the wire format: sign-up, login
// members, password change, profile, recharge and withdrawal review by the admin action, the
// invitation commission, the downline list, and the demo seed (twice on one database).
#include "ServerTestKit.h"

#include <atomic>
#include <set>
#include <thread>

using namespace kit;

class TestServerAccounts : public QObject {
    Q_OBJECT

    ServerProcess server;
    std::unique_ptr<WireClient> client;

private slots:
    void initTestCase() {
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        client = std::make_unique<WireClient>(server.port());
    }

    void signUpAndLogin() {
        const WireClient& c = *client;
        QCOMPARE(code(registerUser(c, QStringLiteral("张三 user"))), 1);
        QCOMPARE(code(registerUser(c, QStringLiteral("张三 user"))), 0); // name taken
        QCOMPARE(code(c.call(cmRegister, QString(), QString(),
                             {QStringLiteral("x1"), QString(), QStringLiteral("1"), QStringLiteral("s"),
                              QStringLiteral("t"), QString()})),
                 0); // empty password

        const ReplyObject first = login(c, QStringLiteral("张三 user"));
        QCOMPARE(code(first), 1);
        QCOMPARE(ReplyText(first, "username"), QStringLiteral("张三 user"));
        QCOMPARE(ReplyText(first, "userpass"), Pass);
        QCOMPARE(ReplyText(first, "shopkeeperusername"), QStringLiteral("张三 user的店"));
        QCOMPARE(ReplyFloat(first, "accountbalance"), 0.0);
        QCOMPARE(ReplyInt(first, "inviteuserid"), 0);
        QVERIFY(ReplyDateTime(first, "regstertime").isValid());
        QVERIFY(!first.contains("registertime"));
        QVERIFY(first.at("id").is_number_integer());

        // lastuptime is the previous login's time.
        QString output;
        QCOMPARE(server.admin({QStringLiteral("advance-clock"), QStringLiteral("60")}, &output), 0);
        const ReplyObject second = login(c, QStringLiteral("张三 user"));
        const ReplyObject third = login(c, QStringLiteral("张三 user"));
        QVERIFY(ReplyDateTime(third, "lastuptime") >= ReplyDateTime(first, "regstertime").addSecs(3600));
        QVERIFY(ReplyDateTime(second, "lastuptime") < ReplyDateTime(third, "lastuptime"));
    }

    void passwordAndProfile() {
        const WireClient& c = *client;
        const QString name = QStringLiteral("pw");
        QCOMPARE(code(registerUser(c, name)), 1);
        QCOMPARE(code(c.call(cmModifyPassword, name, Pass, {QString()})), 0);
        QCOMPARE(code(c.call(cmModifyPassword, name, Pass, {QStringLiteral("new,pass")})), 1);
        QCOMPARE(code(login(c, name)), 0);
        QCOMPARE(code(login(c, name, QStringLiteral("new,pass"))), 1);
        QCOMPARE(code(c.call(cmModifyPassword, name, QStringLiteral("new,pass"), {Pass})), 1);

        QCOMPARE(
            code(c.call(cmSaveUserInfo, name, Pass,
                        {QStringLiteral("张三 user"), QStringLiteral("1"), QStringLiteral("s"), QStringLiteral("t")})),
            0); // someone else's profile
        QCOMPARE(code(c.call(cmSaveUserInfo, name, Pass,
                             {name, QStringLiteral("99999"), QStringLiteral("新店"), QStringLiteral("新小号")})),
                 1);
        const ReplyObject profile = login(c, name);
        QCOMPARE(ReplyText(profile, "qq"), QStringLiteral("99999"));
        QCOMPARE(ReplyText(profile, "shopkeeperusername"), QStringLiteral("新店"));
        QCOMPARE(ReplyText(profile, "taobaoxiaohao"), QStringLiteral("新小号"));
    }

    void rechargeReviewAndCommission() {
        const WireClient& c = *client;
        const QString inviter = QStringLiteral("inviter"), invitee = QStringLiteral("invitee");
        QCOMPARE(code(registerUser(c, inviter)), 1);
        const int inviterId = userId(c, inviter);
        QCOMPARE(code(registerUser(c, invitee, QString::number(inviterId))), 1);
        QCOMPARE(code(registerUser(c, QStringLiteral("stray"), QStringLiteral("987654"))), 1); // unknown inviter
        QCOMPARE(ReplyInt(login(c, QStringLiteral("stray")), "inviteuserid"), 0);
        QCOMPARE(ReplyInt(login(c, invitee), "inviteuserid"), inviterId);

        // The downline: only one's own.
        const auto downline = rows(c.call(cmGetSubUserList, inviter, Pass, {1, inviterId}));
        QCOMPARE(downline.size(), size_t(1));
        QCOMPARE(ReplyText(downline.front(), "username"), invitee);
        QVERIFY(ReplyDateTime(downline.front(), "registertime").isValid());
        QCOMPARE(code(c.call(cmGetSubUserList, invitee, Pass, {1, inviterId})), 0);

        QCOMPARE(code(c.call(cmRechargeRequest, invitee, Pass,
                             {Money::fromFen(20000), QStringLiteral("支付宝"), QStringLiteral("TX1")})),
                 1);
        QCOMPARE(code(c.call(cmRechargeRequest, inviter, Pass,
                             {Money::fromFen(1000), QStringLiteral("支付宝"), QStringLiteral("TX1")})),
                 0); // the same payment twice
        auto list = rows(c.call(cmGetRechargeList, invitee, Pass, {1}));
        QCOMPARE(list.size(), size_t(1));
        QCOMPARE(ReplyInt(list.front(), "status"), 0);
        QCOMPARE(ReplyText(list.front(), "money"), QStringLiteral("200.00"));
        QCOMPARE(balance(c, invitee), 0.0);

        QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("approve")), 0);
        QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("reject")), 1); // already reviewed
        list = rows(c.call(cmGetRechargeList, invitee, Pass, {1}));
        QCOMPARE(ReplyInt(list.front(), "status"), 1);
        QVERIFY(ReplyDateTime(list.front(), "handletime").isValid());
        QCOMPARE(balance(c, invitee), 200.0);
        QCOMPARE(inviteBalance(c, inviter), 10.0); // 5 % of the recharge
        QCOMPARE(balance(c, inviter), 0.0);

        QCOMPARE(code(c.call(cmRechargeRequest, invitee, Pass,
                             {Money::fromFen(5000), QStringLiteral("支付宝"), QStringLiteral("TX2")})),
                 1);
        QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("reject")), 0);
        QCOMPARE(balance(c, invitee), 200.0);
        QCOMPARE(inviteBalance(c, inviter), 10.0);
        QCOMPARE(ReplyInt(rows(c.call(cmGetRechargeList, invitee, Pass, {1})).front(), "status"), 2);
        QCOMPARE(ReplyInt(c.call(cmGetTradeLogList, invitee, Pass, {1}), "totalnum"), 1);

        // Withdrawals take from the commission, reserved at request time.
        QCOMPARE(code(c.call(cmWithdrawRequest, inviter, Pass, {Money::fromFen(400)})), 0); // no Alipay account yet
        QCOMPARE(code(c.call(cmBindAlipay, inviter, Pass, {QStringLiteral("a@b.c"), QStringLiteral("李四")})), 1);
        QCOMPARE(ReplyText(login(c, inviter), "alipayaccount"), QStringLiteral("a@b.c"));
        QCOMPARE(code(c.call(cmWithdrawRequest, inviter, Pass, {Money::fromFen(1001)})), 0);
        QCOMPARE(code(c.call(cmWithdrawRequest, inviter, Pass, {Money::fromFen(-100)})), 0);
        QCOMPARE(code(c.call(cmWithdrawRequest, inviter, Pass, {Money::fromFen(400)})), 1);
        QCOMPARE(inviteBalance(c, inviter), 6.0);
        QCOMPARE(ReplyInt(rows(c.call(cmGetWithdrawList, inviter, Pass, {1})).front(), "status"), 0);
        QCOMPARE(reviewNewest(server, QStringLiteral("withdraw"), QStringLiteral("reject")), 0);
        QCOMPARE(inviteBalance(c, inviter), 10.0);
        QCOMPARE(code(c.call(cmWithdrawRequest, inviter, Pass, {Money::fromFen(1000)})), 1);
        QCOMPARE(reviewNewest(server, QStringLiteral("withdraw"), QStringLiteral("approve")), 0);
        QCOMPARE(inviteBalance(c, inviter), 0.0);
        const auto withdrawals = rows(c.call(cmGetWithdrawList, inviter, Pass, {1}));
        QCOMPARE(withdrawals.size(), size_t(2));
        QCOMPARE(ReplyInt(withdrawals.at(0), "status"), 1);
        QCOMPARE(ReplyInt(withdrawals.at(1), "status"), 2);
        QCOMPARE(ReplyFloat(withdrawals.at(0), "money"), 10.0);
    }

    // What must be unique is kept unique by the database, also for requests arriving at one moment:
    // one payment's trade number backs one live recharge request, a user name names one user.
    void uniqueValuesUnderRace() {
        const WireClient& c = *client;
        constexpr int Racers = 8;
        std::vector<QString> names;
        for (int i = 0; i < Racers; ++i) {
            names.push_back(QStringLiteral("racer%1").arg(i));
            QCOMPARE(code(registerUser(c, names.back())), 1);
        }
        // Every thread's reply text, by what it was asked.
        auto race = [&](const std::function<ReplyObject(int)>& request) {
            std::vector<QString> replies(Racers);
            std::vector<std::thread> threads;
            for (int i = 0; i < Racers; ++i)
                threads.emplace_back([&, i] {
                    try {
                        const ReplyObject reply = request(i);
                        replies[size_t(i)] = code(reply) == 1 ? QStringLiteral("ok") : msg(reply);
                    } catch (const std::exception& error) {
                        replies[size_t(i)] = QString::fromUtf8(error.what());
                    }
                });
            for (std::thread& t : threads) t.join();
            std::multiset<QString> tally(replies.begin(), replies.end());
            return tally;
        };
        const auto recharges = race([&](int i) {
            return c.call(cmRechargeRequest, names[size_t(i)], Pass,
                          {Money::fromFen(500), QStringLiteral("支付宝"), QStringLiteral("SAME-1")});
        });
        QCOMPARE(recharges.count(QStringLiteral("ok")), size_t(1));
        QCOMPARE(recharges.count(QStringLiteral("该交易单号已提交过充值申请")), size_t(Racers - 1));
        // A rejected request frees its number.
        QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("reject")), 0);
        QCOMPARE(code(c.call(cmRechargeRequest, names[0], Pass,
                             {Money::fromFen(500), QStringLiteral("支付宝"), QStringLiteral("SAME-1")})),
                 1);

        const auto signups = race([&](int) { return registerUser(c, QStringLiteral("same-name")); });
        QCOMPARE(signups.count(QStringLiteral("ok")), size_t(1));
        QCOMPARE(signups.count(QStringLiteral("用户名已存在")), size_t(Racers - 1));
    }

    void pagingOfLists() {
        const WireClient& c = *client;
        const QString name = QStringLiteral("pager");
        fundedUser(server, c, name, 100);
        for (int i = 0; i < 21; ++i) QVERIFY(!publish(c, name, QStringLiteral("1")).isEmpty());
        const ReplyObject first = c.call(cmGetPublishedTaskList, name, Pass, {1});
        QCOMPARE(ReplyInt(first, "totalnum"), 21);
        QCOMPARE(rows(first).size(), size_t(20));
        QCOMPARE(rows(c.call(cmGetPublishedTaskList, name, Pass, {2})).size(), size_t(1));
        QCOMPARE(rows(c.call(cmGetPublishedTaskList, name, Pass, {3})).size(), size_t(0));
        QCOMPARE(ReplyInt(c.call(cmGetOptLogList, name, Pass, {2}), "totalnum"), 21);
        QCOMPARE(ReplyInt(c.call(cmGetTradeLogList, name, Pass, {2}), "totalnum"), 22);
        QCOMPARE(ReplyInt(c.call(cmSearchPublishedTask, name, Pass, {QStringLiteral("none")}), "totalnum"), 0);
        QCOMPARE(
            ReplyInt(c.call(cmSearchHandledTask, name, Pass, {ReplyText(rows(first).front(), "taskid")}), "totalnum"),
            0); // published, not taken, by this user
    }

    void demoSeedFillsEveryScreenAndSeedsOnce() {
        ServerProcess demo(true);
        QVERIFY2(demo.start(), qPrintable(demo.errorText()));
        WireClient c(demo.port());
        const QString demo1 = QStringLiteral("demo1"), pass = QStringLiteral("demo123");
        QCOMPARE(code(c.call(cmLogin, demo1, pass)), 1);
        std::set<int> published, handled;
        for (const ReplyObject& t : rows(c.call(cmGetPublishedTaskList, demo1, pass, {1})))
            published.insert(ReplyInt(t, "status"));
        for (const ReplyObject& t : rows(c.call(cmGetHandledTaskList, demo1, pass, {1})))
            handled.insert(ReplyInt(t, "status"));
        QCOMPARE(published, (std::set<int>{0, 1, 2, 3, 4, 5}));
        QCOMPARE(handled, (std::set<int>{1, 2, 3, 4, 5}));
        std::set<int> recharge, withdraw;
        for (const ReplyObject& r : rows(c.call(cmGetRechargeList, demo1, pass, {1})))
            recharge.insert(ReplyInt(r, "status"));
        for (const ReplyObject& r : rows(c.call(cmGetWithdrawList, demo1, pass, {1})))
            withdraw.insert(ReplyInt(r, "status"));
        QCOMPARE(recharge, (std::set<int>{0, 1}));
        QCOMPARE(withdraw, (std::set<int>{0, 1, 2}));
        QVERIFY(
            !rows(c.call(cmGetSubUserList, demo1, pass, {1, ReplyInt(c.call(cmLogin, demo1, pass), "id")})).empty());
        const int trades = ReplyInt(c.call(cmGetTradeLogList, demo1, pass, {1}), "totalnum");
        const int hall = ReplyInt(c.call(cmGetTaskCenterList, demo1, pass, {1, 0}), "totalnum");
        QVERIFY(trades > 5);
        QVERIFY(hall > 10);
        const double money = ReplyFloat(rows(c.call(cmGetBasicInfo, demo1, pass)).front(), "accountbalance");

        // The same database seeded again: nothing changes.
        demo.stop();
        QVERIFY2(demo.start(), qPrintable(demo.errorText()));
        WireClient again(demo.port());
        QCOMPARE(ReplyInt(again.call(cmGetTradeLogList, demo1, pass, {1}), "totalnum"), trades);
        QCOMPARE(ReplyInt(again.call(cmGetTaskCenterList, demo1, pass, {1, 0}), "totalnum"), hall);
        QCOMPARE(ReplyFloat(rows(again.call(cmGetBasicInfo, demo1, pass)).front(), "accountbalance"), money);
    }
};

QTEST_GUILESS_MAIN(TestServerAccounts)
#include "test_ServerAccounts.moc"
