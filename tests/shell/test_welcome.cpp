// The welcome dashboard: the labels on showing, the figures of cmGetBasicInfo, the failures that
// leave them in place, and the entry points.
#include "model/uVarConst.h"
#include "screens/account/ufrmInviteInfo.h"
#include "screens/account/ufrmRechargeRequest.h"
#include "screens/account/ufrmWelcome.h"
#include "tests/shell/ShellFixtures.h"
#include "widgets/ClickLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace shell_fixtures;

namespace {
nlohmann::json figures(int base, double balance) {
    return {{"currentopttaskcount", base},       {"waitforhandletaskcount", base + 1},
            {"waitforpaytaskcount", base + 2},   {"waitforfahuotaskcount", base + 3},
            {"waitforreplytaskcount", base + 4}, {"totaloptcount", base + 5},
            {"accountbalance", balance}};
}

QStringList countTexts(const TfrmWelcome& w) {
    return {w.lbl_currentopttaskcount->text(),   w.lbl_waitforhandletaskcount->text(),
            w.lbl_waitforpaytaskcount->text(),   w.lbl_waitforfahuotaskcount->text(),
            w.lbl_waitforreplytaskcount->text(), w.lbl_totaloptcount->text()};
}
} // namespace

class TestWelcome : public QObject {
    Q_OBJECT
private slots:
    void init() {
        CurrentUser().Clear();
        CurrentUser().Fusername = QStringLiteral("alice");
        CurrentUser().Faccountbalance = Money::fromFen(500);
        CurrentUser().Flastuptime = QDateTime(QDate(2016, 5, 1), QTime(8, 30, 0));
    }

    void showingFillsFromTheProfileThenLoads() {
        ScriptedServer server;
        TestServices t(server.settings());
        TfrmWelcome welcome(t.services);
        QCOMPARE(welcome.lbl_waitforpaytaskcount->text(), QStringLiteral("待付款任务：0"));
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额：0"));
        server.enqueueJson({{"returncode", 1}, {"msgbody", {figures(1, 7), figures(10, 1234.5)}}});
        welcome.show();
        QCOMPARE(welcome.lbl_UserName->text(), QStringLiteral("您好，alice 欢迎回来!"));
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额：  5.00 元"));
        QCOMPARE(welcome.lbl_lastuptime->text(), QStringLiteral("上一次登录时间：2016-05-01 08:30:00"));
        QCOMPARE(server.requestCount(), std::size_t(0)); // 100 ms later
        QTRY_COMPARE(server.requestCount(), std::size_t(1));
        const RecordedRequest sent = server.lastRequest();
        QCOMPARE(sent.headValue(QStringLiteral("head_command")), QStringLiteral("15"));
        QCOMPARE(sent.data, QStringList{QStringLiteral("clientversion=1.0.0.0")});
        // The last object's figures remain.
        QCOMPARE(countTexts(welcome), QStringList({"正在操作中的任务数：10", "待接手任务：11", "待付款任务：12",
                                                   "待发货任务：13", "待评价任务：14", "总操作次数：15"}));
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额：1234.50 元"));
        QCOMPARE(CurrentUser().Faccountbalance.fen(), Q_INT64_C(123450));
        QVERIFY(t.prompter.entries.empty());
    }

    void figuresStayWhenTheReloadFails_data() {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("message"); // prefix; empty: nothing shown
        QTest::newRow("refused") << "refused"
                                 << "";
        QTest::newRow("empty list") << "empty"
                                    << "";
        QTest::newRow("unreachable") << "unreachable"
                                     << "获取用户基本任务信息失败，请稍后再试！";
        QTest::newRow("unreadable") << "unreadable"
                                    << "处理服务器返回的数据时出错";
    }
    void figuresStayWhenTheReloadFails() {
        QFETCH(QString, outcome);
        QFETCH(QString, message);
        ScriptedServer server;
        TestServices t(server.settings());
        TfrmWelcome welcome(t.services);
        server.enqueueJson({{"returncode", 1}, {"msgbody", {figures(3, 20)}}});
        welcome.GetBasicInfo();
        const QStringList before = countTexts(welcome);
        QCOMPARE(before.first(), QStringLiteral("正在操作中的任务数：3"));
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额： 20.00 元"));

        if (outcome == "refused") server.enqueueJson({{"returncode", 0}, {"returnmsg", "no"}});
        if (outcome == "empty") server.enqueueJson({{"returncode", 1}, {"msgbody", nlohmann::json::array()}});
        if (outcome == "unreadable") {
            nlohmann::json broken = figures(9, 1);
            broken.erase("accountbalance");
            server.enqueueJson({{"returncode", 1}, {"msgbody", {broken}}});
        }
        if (outcome == "unreachable") t.services.channel = UnreachableChannel();
        welcome.btn_refresh->click();

        if (message.isEmpty()) {
            QVERIFY(t.prompter.entries.empty());
        } else {
            QCOMPARE(int(t.prompter.entries.size()), 1);
            QVERIFY2(t.prompter.lastText().startsWith(message), qPrintable(t.prompter.lastText()));
            QCOMPARE(t.prompter.last()->caption, QStringLiteral("错误"));
            QCOMPARE(t.prompter.last()->icon, MessageIcon::Error);
        }
        QCOMPARE(countTexts(welcome), before);
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额： 20.00 元"));
        QCOMPARE(CurrentUser().Faccountbalance.fen(), Q_INT64_C(2000));
    }

    void linksOpenThroughTheLinkHandler() {
        TestServices t;
        TfrmWelcome welcome(t.services);
        welcome.btn_ConnectQQ->click();
        welcome.btn_publisher->click();
        welcome.btn_Handler->click();
        QCOMPARE(t.links.opened,
                 QStringList({QStringLiteral("tencent://message/?uin=%1&Site=%1&Menu=yes").arg(SupportQQ),
                              SiteAddress() + QStringLiteral("?post=5"), SiteAddress() + QStringLiteral("?post=6")}));
    }

    void entryPointsOpenTheirDialogsModally() {
        ScriptedServer server;
        TestServices t(server.settings());
        TfrmWelcome welcome(t.services);
        const auto recharge = OnNextModal<TfrmRechargeRequest>({});
        welcome.btn_ShowRechargeForm->click();
        QVERIFY(*recharge);
        const auto invite = OnNextModal<TfrmInviteInfo>({});
        QTest::mouseClick(welcome.lbl_inviteURL, Qt::LeftButton);
        QVERIFY(*invite);
    }
};

QTEST_MAIN(TestWelcome)
#include "test_welcome.moc"
