// Withdrawal requests, the Alipay binding and the withdrawal list against a scripted loopback server.
#include "model/uAccountInput.h"
#include "screens/account/ufrmBindAlipayAccount.h"
#include "screens/account/ufrmWithdrawInfo.h"
#include "screens/account/ufrmWithdrawRequest.h"
#include "tests/screens/account/AccountFixture.h"
#include "tests/support/WidgetProbe.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
void bindable(double balance) {
    CurrentUser().Falipayaccount = QStringLiteral("alice@example.com");
    CurrentUser().Falipayusername = QStringLiteral("张三");
    CurrentUser().Finviteaccountbalance = balance;
}
} // namespace

class TestWithdraw : public QObject {
    Q_OBJECT
private slots:
    void noAlipayAccountAsksToBindBeforeTheBalanceTest() {
        AccountFixture f;
        CurrentUser().Finviteaccountbalance = 0;
        TfrmWithdrawRequest dialog(f.t.services);
        dialog.edt_TixianAmount->setText(QStringLiteral("10"));
        f.t.prompter.yesNoAnswers = {false};
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"尚未绑定支付宝账户，无法提现！ 是否立即进行绑定？"});
        QCOMPARE(f.t.prompter.last()->kind, TestPrompter::Kind::Question);
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }

    void afterBindingTheTestsGoOn() {
        AccountFixture f;
        CurrentUser().Finviteaccountbalance = 150;
        TfrmWithdrawRequest dialog(f.t.services);
        QCOMPARE(dialog.edt_inviteaccountbalance->text(), QStringLiteral("150"));
        QVERIFY(!dialog.edt_inviteaccountbalance->isEnabled());
        dialog.edt_TixianAmount->setText(QStringLiteral("37.5"));

        // Yes opens the binding dialog; bind there and close it.
        bool bound = false;
        WhenModal<TfrmBindAlipayAccount>([&](TfrmBindAlipayAccount* bind) {
            bind->edt_alipayaccount->setText(QStringLiteral(" bob@example.com "));
            bind->edt_alipayusername->setText(QStringLiteral("李四"));
            f.t.prompter.yesNoAnswers = {true};
            f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
            bind->btn_BindAlipay->click();
            bound = true;
            bind->reject();
        });
        f.t.prompter.yesNoAnswers = {true};
        dialog.btn_Apply->click();
        QVERIFY(bound);
        QCOMPARE(f.lastCommand(), QStringLiteral("4"));
        QCOMPARE(f.lastData(), QStringList({"alipayaccount=bob@example.com", "alipayusername=李四"}));
        QCOMPARE(CurrentUser().Falipayaccount, QStringLiteral("bob@example.com"));
        QCOMPARE(CurrentUser().Falipayusername, QStringLiteral("李四"));
        QCOMPARE(f.shown(), QStringList({"尚未绑定支付宝账户，无法提现！ 是否立即进行绑定？", "确定要绑定支付宝账户信息吗？",
                                         "恭喜，支付宝信息绑定成功！"}));
        QCOMPARE(f.server.requestCount(), std::size_t(1)); // the binding only: nothing withdrawn yet
        // The dialog's own Alipay boxes keep what they showed when it was created.
        QCOMPARE(dialog.edt_alipayaccount->text(), QString());

        // Pressing "提交申请" again now reaches the amount: 150 - 37.5 leaves 112.5.
        f.t.prompter.clear();
        f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_Apply->click();
        QCOMPARE(f.lastCommand(), QStringLiteral("6"));
        QCOMPARE(f.lastData(), QStringList{"tixianamount=37.50"});
        QCOMPARE(CurrentUser().Finviteaccountbalance, 112.5);
        QCOMPARE(dialog.edt_inviteaccountbalance->text(), QStringLiteral("112.5"));
        QCOMPARE(f.shown(), QStringList{"恭喜，提现申请提交成功，请等待管理员审核！"});
        QCOMPARE(dialog.edt_TixianAmount->text(), QStringLiteral("37.5"));
    }

    void amountTests_data() {
        QTest::addColumn<double>("balance");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: sent
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("balanceAfter");
        QTest::newRow("zero balance") << 0.0 << "10" << "你的可提现推广提成为0，无法提现！" << "" << "0";
        QTest::newRow("negative balance") << -3.0 << "10" << "你的可提现推广提成为0，无法提现！" << "" << "-3";
        QTest::newRow("empty amount") << 150.0 << "" << "你输入的提现金额有误，无法提现！" << "" << "150";
        QTest::newRow("letters") << 150.0 << "ten" << "你输入的提现金额有误，无法提现！" << "" << "150";
        QTest::newRow("grouping") << 150.0 << "1,00" << "你输入的提现金额有误，无法提现！" << "" << "150";
        QTest::newRow("infinity") << 150.0 << "inf" << "你输入的提现金额有误，无法提现！" << "" << "150";
        QTest::newRow("above balance") << 150.0 << "150.01" << "你的可提现推广提成不足，无法提现！" << "" << "150";
        QTest::newRow("whole balance") << 150.0 << " 150 " << "" << "150.00" << "0";
        QTest::newRow("zero amount") << 150.0 << "0" << "" << "0.00" << "150";
        QTest::newRow("negative amount") << 150.0 << "-5" << "" << "-5.00" << "155";
        QTest::newRow("cents as sent") << 150.0 << "0.105" << "" << "0.11" << "149.89";
    }
    void amountTests() {
        QFETCH(double, balance);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, sent);
        QFETCH(QString, balanceAfter);
        AccountFixture f;
        bindable(balance);
        TfrmWithdrawRequest dialog(f.t.services);
        dialog.edt_TixianAmount->setText(typed);
        f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_Apply->click();
        if (!message.isEmpty()) {
            QCOMPARE(f.shown(), QStringList{message});
            QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
            QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Information);
            QCOMPARE(f.server.requestCount(), std::size_t(0));
        } else {
            QCOMPARE(f.lastData(), QStringList{"tixianamount=" + sent});
        }
        QCOMPARE(dialog.edt_inviteaccountbalance->text(), balanceAfter);
        QCOMPARE(GeneralNumberText(CurrentUser().Finviteaccountbalance), balanceAfter);
    }

    void refusalKeepsTheBalance() {
        AccountFixture f;
        bindable(150);
        TfrmWithdrawRequest dialog(f.t.services);
        dialog.edt_TixianAmount->setText(QStringLiteral("20"));
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "今日已提现"}});
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"提现申请提交失败今日已提现"});
        f.server.enqueue(TScriptedReply::status_(503, "Service Unavailable"));
        dialog.btn_Apply->click();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("提现申请提交失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Error);
        QCOMPARE(CurrentUser().Finviteaccountbalance, 150.0);
        QCOMPARE(dialog.edt_inviteaccountbalance->text(), QStringLiteral("150"));
    }

    void bindingChecks() {
        AccountFixture f;
        bindable(0);
        TfrmBindAlipayAccount dialog(f.t.services);
        dialog.show();
        QCOMPARE(dialog.edt_alipayaccount->text(), QStringLiteral("alice@example.com"));
        QCOMPARE(dialog.edt_alipayusername->text(), QStringLiteral("张三"));

        // The question comes before any test of the boxes; No ends the press.
        dialog.edt_alipayaccount->clear();
        dialog.edt_alipayusername->clear();
        f.t.prompter.yesNoAnswers = {false, true};
        dialog.btn_BindAlipay->click();
        dialog.btn_BindAlipay->click();
        QCOMPARE(f.shown(), QStringList({"确定要绑定支付宝账户信息吗？", "确定要绑定支付宝账户信息吗？",
                                         "请输入欲绑定的支付宝账户！"}));

        f.t.prompter.clear();
        dialog.edt_alipayaccount->setText(QStringLiteral("a"));
        f.t.prompter.yesNoAnswers = {true};
        dialog.btn_BindAlipay->click();
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("请输入欲绑定的支付宝账户姓名！"));

        // Same account in other letter case and the same name: nothing changed, nothing sent.
        f.t.prompter.clear();
        dialog.edt_alipayaccount->setText(QStringLiteral("ALICE@Example.COM"));
        dialog.edt_alipayusername->setText(QStringLiteral(" 张三 "));
        f.t.prompter.yesNoAnswers = {true};
        dialog.btn_BindAlipay->click();
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("支付宝绑定信息未改变！"));
        QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Information);
        QCOMPARE(f.server.requestCount(), std::size_t(0));

        // Changing only the name sends; a refusal leaves the profile alone.
        f.t.prompter.clear();
        dialog.edt_alipayusername->setText(QStringLiteral("张三丰"));
        f.t.prompter.yesNoAnswers = {true};
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "账户无效"}});
        dialog.btn_BindAlipay->click();
        QCOMPARE(f.lastData(), QStringList({"alipayaccount=ALICE@Example.COM", "alipayusername=张三丰"}));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("支付宝信息绑定失败账户无效"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(CurrentUser().Falipayusername, QStringLiteral("张三"));

        f.t.prompter.yesNoAnswers = {true};
        f.server.enqueue(TScriptedReply::status_(500, "Internal Server Error"));
        dialog.btn_BindAlipay->click();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("支付宝信息绑定失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Error);
        QVERIFY(dialog.isVisible());
    }

    void listMoneyFormatsAndStatuses() {
        AccountFixture f;
        TfrmWithdrawInfo screen(f.t.services);
        QCOMPARE(screen.size(), QSize(635, 447));
        f.server.enqueueJson(ListReply(
            4, {{{"money", 5}, {"addtime", "2016-03-05 08:04:09"}, {"status", 0}, {"handletime", "2016-03-06"}},
                {{"money", 1234.5}, {"addtime", "2016-03-05 09:00:00"}, {"status", 1},
                 {"handletime", "2016-03-06 10:00:00"}},
                {{"money", "123456.78"}, {"addtime", "2016-03-05 10:00:00"}, {"status", 2},
                 {"handletime", "2016-03-06 11:00:00"}},
                {{"money", 0.5}, {"addtime", "2016-03-05 11:00:00"}, {"status", -1},
                 {"handletime", "2016-03-06 12:00:00"}}}));
        Child<QAbstractButton>(&screen, "btn_refreshwithdraw")->click();
        QCOMPARE(f.lastCommand(), QStringLiteral("9"));
        QCOMPARE(f.lastData(), QStringList{"pageindex=1"});
        const QList<QStringList> expected = {
            {"1", "  5.00 元", "2016-03-05 08:04:09", "-", "未处理"},
            {"2", "1234.50 元", "2016-03-05 09:00:00", "2016-03-06 10:00:00", "提现成功"},
            {"3", "123456.78 元", "2016-03-05 10:00:00", "2016-03-06 11:00:00", "提现失败"},
            {"4", "  0.50 元", "2016-03-05 11:00:00", "2016-03-06 12:00:00", "未知状态(-1)"},
        };
        QCOMPARE(RowCount(FindList(&screen, "lv_withdraw")), 4);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 5; ++column)
                QCOMPARE(CellText(FindList(&screen, "lv_withdraw"), row, column), expected[row][column]);

        // Closing the request dialog refreshes the list.
        bindable(10);
        WhenModal<TfrmWithdrawRequest>([](TfrmWithdrawRequest* dialog) {
            QCOMPARE(dialog->edt_alipayaccount->text(), QStringLiteral("alice@example.com"));
            dialog->reject();
        });
        f.server.enqueueJson(ListReply(0, nlohmann::json::array()));
        Child<QAbstractButton>(&screen, "btn_WithdrawRequest")->click();
        QCOMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.lastCommand(), QStringLiteral("9"));
        QCOMPARE(RowCount(FindList(&screen, "lv_withdraw")), 0);
    }
};

QTEST_MAIN(TestWithdraw)
#include "test_withdraw.moc"
