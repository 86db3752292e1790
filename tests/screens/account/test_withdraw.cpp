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
void bindable(qint64 fen) {
    CurrentUser().Falipayaccount = QStringLiteral("alice@example.com");
    CurrentUser().Falipayusername = QStringLiteral("张三");
    CurrentUser().Finviteaccountbalance = Money::fromFen(fen);
}
} // namespace

class TestWithdraw : public QObject {
    Q_OBJECT
private slots:
    void noAlipayAccountAsksToBindBeforeTheBalanceTest() {
        AccountFixture f;
        CurrentUser().Finviteaccountbalance = Money();
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
        CurrentUser().Finviteaccountbalance = Money::fromFen(15000);
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
        QCOMPARE(f.shown(), QStringList({"尚未绑定支付宝账户，无法提现！ 是否立即进行绑定？",
                                         "确定要绑定支付宝账户信息吗？", "恭喜，支付宝信息绑定成功！"}));
        QCOMPARE(f.server.requestCount(), std::size_t(1)); // the binding only: nothing withdrawn yet
        // The dialog's own Alipay boxes keep what they showed when it was created.
        QCOMPARE(dialog.edt_alipayaccount->text(), QString());

        // Pressing "提交申请" again now reaches the amount: 150 - 37.5 leaves 112.5.
        f.t.prompter.clear();
        f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_Apply->click();
        QCOMPARE(f.lastCommand(), QStringLiteral("6"));
        QCOMPARE(f.lastData(), QStringList{"tixianamount=37.50"});
        QCOMPARE(CurrentUser().Finviteaccountbalance.fen(), Q_INT64_C(11250));
        QCOMPARE(dialog.edt_inviteaccountbalance->text(), QStringLiteral("112.5"));
        QCOMPARE(f.shown(), QStringList{"恭喜，提现申请提交成功，请等待管理员审核！"});
        QCOMPARE(dialog.edt_TixianAmount->text(), QStringLiteral("37.5"));
    }

    void amountTests_data() {
        QTest::addColumn<qint64>("balance"); // fen
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: sent
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("balanceAfter");
        QTest::newRow("zero balance") << Q_INT64_C(0) << "10"
                                      << "你的可提现推广提成为0，无法提现！"
                                      << ""
                                      << "0";
        QTest::newRow("negative balance") << Q_INT64_C(-300) << "10"
                                          << "你的可提现推广提成为0，无法提现！"
                                          << ""
                                          << "-3";
        QTest::newRow("empty amount") << Q_INT64_C(15000) << ""
                                      << "你输入的提现金额有误，无法提现！"
                                      << ""
                                      << "150";
        QTest::newRow("letters") << Q_INT64_C(15000) << "ten"
                                 << "你输入的提现金额有误，无法提现！"
                                 << ""
                                 << "150";
        QTest::newRow("grouping") << Q_INT64_C(15000) << "1,00"
                                  << "你输入的提现金额有误，无法提现！"
                                  << ""
                                  << "150";
        QTest::newRow("infinity") << Q_INT64_C(15000) << "inf"
                                  << "你输入的提现金额有误，无法提现！"
                                  << ""
                                  << "150";
        QTest::newRow("above balance") << Q_INT64_C(15000) << "150.01"
                                       << "你的可提现推广提成不足，无法提现！"
                                       << ""
                                       << "150";
        QTest::newRow("whole balance") << Q_INT64_C(15000) << " 150 "
                                       << ""
                                       << "150.00"
                                       << "0";
        QTest::newRow("zero amount") << Q_INT64_C(15000) << "0"
                                     << ""
                                     << "0.00"
                                     << "150";
        QTest::newRow("negative amount") << Q_INT64_C(15000) << "-5"
                                         << ""
                                         << "-5.00"
                                         << "155";
        QTest::newRow("cents as sent") << Q_INT64_C(15000) << "0.105"
                                       << ""
                                       << "0.11"
                                       << "149.89";
    }
    void amountTests() {
        QFETCH(qint64, balance);
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
            QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
            QCOMPARE(f.server.requestCount(), std::size_t(0));
        } else {
            QCOMPARE(f.lastData(), QStringList{"tixianamount=" + sent});
        }
        QCOMPARE(dialog.edt_inviteaccountbalance->text(), balanceAfter);
        QCOMPARE(CurrentUser().Finviteaccountbalance.generalText(), balanceAfter);
    }

    // Balances and amounts whose decimal forms have no exact binary form: every step takes exactly
    // the amount typed, and what is left is shown as the server would count it.
    void amountsAreCountedInFen_data() {
        QTest::addColumn<QString>("balance"); // as the login reply carries it
        QTest::addColumn<QStringList>("amounts");
        QTest::addColumn<QStringList>("left"); // the balance box after each step
        QTest::addColumn<QString>("lastMessage");
        QTest::newRow("13.00 - 12.99 - 0.01") << "13.00" << QStringList{"12.99", "0.01"} << QStringList{"0.01", "0"}
                                              << "恭喜，提现申请提交成功，请等待管理员审核！";
        QTest::newRow("0.3 in three steps")
            << "0.3" << QStringList{"0.1", "0.1", "0.1"} << QStringList{"0.2", "0.1", "0"}
            << "恭喜，提现申请提交成功，请等待管理员审核！";
        QTest::newRow("0.3 - 0.1 - 0.2") << "0.3" << QStringList{"0.1", "0.2"} << QStringList{"0.2", "0"}
                                         << "恭喜，提现申请提交成功，请等待管理员审核！";
        QTest::newRow("100.10 - 0.2 - 99.9") << "100.10" << QStringList{"0.2", "99.9"} << QStringList{"99.9", "0"}
                                             << "恭喜，提现申请提交成功，请等待管理员审核！";
        QTest::newRow("one fen too many") << "19.99" << QStringList{"19.98", "0.02"} << QStringList{"0.01", "0.01"}
                                          << "你的可提现推广提成不足，无法提现！";
        QTest::newRow("rounded to the fen sent")
            << "1.15" << QStringList{"1.145", "0.005"} << QStringList{"0", "0"} << "你的可提现推广提成为0，无法提现！";
    }
    void amountsAreCountedInFen() {
        QFETCH(QString, balance);
        QFETCH(QStringList, amounts);
        QFETCH(QStringList, left);
        QFETCH(QString, lastMessage);
        AccountFixture f;
        nlohmann::json login = {{"id", 7},
                                {"username", "alice"},
                                {"userpass", "secret"},
                                {"regstertime", "2016-04-01 10:00:00"},
                                {"qq", "1"},
                                {"shopkeeperusername", "s"},
                                {"taobaoxiaohao", "x"},
                                {"accountbalance", 0},
                                {"alipayusername", "张三"},
                                {"alipayaccount", "alice@example.com"},
                                {"inviteuserid", 0},
                                {"inviteaccountbalance", balance.toStdString()},
                                {"lastuptime", "2016-05-01 08:30:00"},
                                {"marks", ""}};
        FillUserInfoFromLoginReply(CurrentUser(), login);
        TfrmWithdrawRequest dialog(f.t.services);
        for (qsizetype i = 0; i < amounts.size(); ++i) {
            f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
            dialog.edt_TixianAmount->setText(amounts[i]);
            dialog.btn_Apply->click();
            QCOMPARE(dialog.edt_inviteaccountbalance->text(), left[i]);
        }
        QCOMPARE(f.t.prompter.lastText(), lastMessage);
    }

    void refusalKeepsTheBalance() {
        AccountFixture f;
        bindable(15000);
        TfrmWithdrawRequest dialog(f.t.services);
        dialog.edt_TixianAmount->setText(QStringLiteral("20"));
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "今日已提现"}});
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"提现申请提交失败今日已提现"});
        f.server.enqueue(ScriptedReply::status_(503, "Service Unavailable"));
        dialog.btn_Apply->click();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("提现申请提交失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(CurrentUser().Finviteaccountbalance.fen(), Q_INT64_C(15000));
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
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
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
        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        dialog.btn_BindAlipay->click();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("支付宝信息绑定失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
        QVERIFY(dialog.isVisible());
    }

    void listMoneyFormatsAndStatuses() {
        AccountFixture f;
        TfrmWithdrawInfo screen(f.t.services);
        QCOMPARE(screen.size(), QSize(635, 447));
        f.server.enqueueJson(ListReply(
            4, {{{"money", 5}, {"addtime", "2016-03-05 08:04:09"}, {"status", 0}, {"handletime", "2016-03-06"}},
                {{"money", 1234.5},
                 {"addtime", "2016-03-05 09:00:00"},
                 {"status", 1},
                 {"handletime", "2016-03-06 10:00:00"}},
                {{"money", "123456.78"},
                 {"addtime", "2016-03-05 10:00:00"},
                 {"status", 2},
                 {"handletime", "2016-03-06 11:00:00"}},
                {{"money", 0.5},
                 {"addtime", "2016-03-05 11:00:00"},
                 {"status", -1},
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
