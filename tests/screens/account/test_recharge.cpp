// The recharge request dialog and the recharge list against a scripted loopback server.
#include "screens/account/ufrmRechargeInfo.h"
#include "screens/account/ufrmRechargeRequest.h"
#include "tests/screens/account/AccountFixture.h"
#include "tests/support/WidgetProbe.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

class TestRecharge : public QObject {
    Q_OBJECT
private slots:
    void amountConversion_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent"); // empty: refused with the amount message
        QTest::newRow("blanks around") << " 50 "
                                       << "50.00";
        QTest::newRow("exponent") << "1e2"
                                  << "100.00";
        QTest::newRow("fraction rounded") << "3.14159"
                                          << "3.14";
        QTest::newRow("half rounds up") << "12.345"
                                        << "12.35";
        QTest::newRow("zero passes") << "0"
                                     << "0.00";
        QTest::newRow("negative passes") << "-5"
                                         << "-5.00";
        QTest::newRow("grouping") << "1,000"
                                  << "";
        QTest::newRow("letters") << "abc"
                                 << "";
        QTest::newRow("trailing letters") << "12abc"
                                          << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only blanks") << "   "
                                     << "";
        QTest::newRow("infinity word") << "inf"
                                       << "";
        QTest::newRow("nan word") << "nan"
                                  << "";
        QTest::newRow("overflow to infinity") << "1e999"
                                              << "";
        QTest::newRow("hexadecimal") << "0x10"
                                     << "";
    }
    void amountConversion() {
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        AccountFixture f;
        TfrmRechargeRequest dialog(f.t.services);
        dialog.edt_money->setText(typed);
        dialog.edt_tradeid->setText(QStringLiteral(" 2016030521001004 "));
        f.t.prompter.yesNoAnswers = {true};
        f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_Apply->click();

        if (sent.isEmpty()) {
            QCOMPARE(f.shown(), QStringList{"你输入的充值金额有误，请重新输入！"});
            QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
            QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
            QCOMPARE(f.server.requestCount(), std::size_t(0));
            return;
        }
        QCOMPARE(f.lastCommand(), QStringLiteral("5"));
        QCOMPARE(f.lastData(), QStringList({"rechargeamount=" + sent, "tradetype=支付宝", "tradeid=2016030521001004"}));
        QCOMPARE(f.shown(), QStringList({"确定要提交充值申请吗?", "恭喜，充值申请提交成功，请等待管理员审核！"}));
        QCOMPARE(f.t.prompter.entries[0].kind, TestPrompter::Kind::Question);
        QCOMPARE(f.t.prompter.entries[0].caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
        // The dialog stays open with its boxes as they were.
        QCOMPARE(dialog.edt_money->text(), typed);
    }

    void amountIsTestedBeforeTradeNumberAndNoSendsNothing() {
        AccountFixture f;
        TfrmRechargeRequest dialog(f.t.services);
        QCOMPARE(dialog.edt_tradetype->text(), QStringLiteral("支付宝"));
        QVERIFY(dialog.edt_tradetype->isReadOnly());
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"你输入的充值金额有误，请重新输入！"});

        f.t.prompter.clear();
        dialog.edt_money->setText(QStringLiteral("100"));
        dialog.edt_tradeid->setText(QStringLiteral(" \t "));
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"请输入你的充值流水交易号，此交易号是充值唯一凭证！"});

        f.t.prompter.clear();
        dialog.edt_tradeid->setText(QStringLiteral("T1"));
        f.t.prompter.yesNoAnswers = {false};
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"确定要提交充值申请吗?"});
        QCOMPARE(f.server.requestCount(), std::size_t(0));
        QCOMPARE(dialog.edt_money->text(), QStringLiteral("100"));
        QCOMPARE(dialog.edt_tradeid->text(), QStringLiteral("T1"));
    }

    void refusalsAndTransportFailure() {
        AccountFixture f;
        TfrmRechargeRequest dialog(f.t.services);
        dialog.edt_money->setText(QStringLiteral("10"));
        dialog.edt_tradeid->setText(QStringLiteral("T1"));

        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "交易号已存在"}});
        f.t.prompter.yesNoAnswers = {true};
        dialog.btn_Apply->click();
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("充值申请提交失败交易号已存在"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);

        f.t.prompter.clear();
        f.server.enqueueJson({{"returncode", 2}, {"returnmsg", "x"}});
        f.t.prompter.yesNoAnswers = {true};
        dialog.btn_Apply->click();
        QCOMPARE(f.shown(), QStringList{"确定要提交充值申请吗?"});

        f.t.prompter.clear();
        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        f.t.prompter.yesNoAnswers = {true};
        dialog.btn_Apply->click();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("充值申请提交失败，请稍后再试！")));
        QVERIFY(f.t.prompter.lastText().size() > QStringLiteral("充值申请提交失败，请稍后再试！").size());
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(f.server.requestCount(), std::size_t(3));
    }

    void listRowsNumberedPerPageWithStatusCells() {
        AccountFixture f;
        TfrmRechargeInfo screen(f.t.services);
        QCOMPARE(screen.windowTitle(), QStringLiteral("充值申请"));
        QCOMPARE(screen.size(), QSize(617, 431));
        f.server.enqueueJson(ListReply(25, {{{"money", 100},
                                             {"tradetype", "支付宝"},
                                             {"tradeid", "A1"},
                                             {"addtime", "2016-03-05 08:04:09"},
                                             {"status", 0},
                                             {"handletime", "2016-03-06 10:00:00"}},
                                            {{"money", "100.00"},
                                             {"tradetype", "支付宝"},
                                             {"tradeid", "A2"},
                                             {"addtime", "2016-03-05 09:00:00"},
                                             {"status", 2},
                                             {"handletime", "2016-03-06 11:00:00"}},
                                            {{"money", 12.5},
                                             {"tradetype", "支付宝"},
                                             {"tradeid", "A3"},
                                             {"addtime", "2016-03-05 10:00:00"},
                                             {"status", 7},
                                             {"handletime", "2016-03-06 12:00:00"}}}));
        Child<QAbstractButton>(&screen, "btn_refreshrecharge")->click();
        QCOMPARE(f.lastCommand(), QStringLiteral("10"));
        QCOMPARE(f.lastData(), QStringList{"pageindex=1"});

        const QAbstractItemView* list = FindList(&screen, "lv_recharge");
        QCOMPARE(RowCount(list), 3);
        const QList<QStringList> expected = {
            {"1", "100", "支付宝", "A1", "2016-03-05 08:04:09", "-", "未处理"},
            {"2", "100.00", "支付宝", "A2", "2016-03-05 09:00:00", "2016-03-06 11:00:00", "充值失败"},
            {"3", "12.5", "支付宝", "A3", "2016-03-05 10:00:00", "2016-03-06 12:00:00", "未知状态(7)"},
        };
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 7; ++column) QCOMPARE(CellText(list, row, column), expected[row][column]);
        QCOMPARE(screen.navigationBar()->lbl_totalnum->text(), QStringLiteral("总:25条"));

        // The next page starts numbering at 1 again.
        f.server.enqueueJson(ListReply(25, {{{"money", 5},
                                             {"tradetype", "支付宝"},
                                             {"tradeid", "B1"},
                                             {"addtime", "2016-03-07 08:00:00"},
                                             {"status", 1},
                                             {"handletime", "2016-03-07 09:00:00"}}}));
        screen.navigationBar()->btn_Next->click();
        QCOMPARE(f.lastData(), QStringList{"pageindex=2"});
        QCOMPARE(RowCount(list), 1);
        QCOMPARE(CellText(list, 0, 0), QStringLiteral("1"));
        QCOMPARE(CellText(list, 0, 5), QStringLiteral("2016-03-07 09:00:00"));
        QCOMPARE(CellText(list, 0, 6), QStringLiteral("充值成功"));
        QVERIFY(f.t.prompter.entries.empty());
    }

    void unreadableStatusKeepsEarlierRows() {
        AccountFixture f;
        TfrmRechargeInfo screen(f.t.services);
        f.server.enqueueJson(ListReply(
            2, {{{"money", 1}, {"tradetype", "支付宝"}, {"tradeid", "A1"}, {"addtime", "x"}, {"status", 0}},
                {{"money", 2}, {"tradetype", "支付宝"}, {"tradeid", "A2"}, {"addtime", "x"}, {"status", "one"}}}));
        Child<QAbstractButton>(&screen, "btn_refreshrecharge")->click();
        QCOMPARE(RowCount(FindList(&screen, "lv_recharge")), 1);
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
    }

    void loadsAfterShowingAndAfterRequestDialogCloses() {
        AccountFixture f;
        TfrmRechargeInfo screen(f.t.services);
        f.server.enqueueJson(ListReply(0, nlohmann::json::array()));
        screen.show();
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.lastCommand(), QStringLiteral("10"));
        QCOMPARE(screen.navigationBar()->lbl_totalnum->text(), QStringLiteral("总:0条"));

        // Closing the request dialog without submitting still refreshes the page shown.
        bool opened = false;
        WhenModal<TfrmRechargeRequest>([&opened](TfrmRechargeRequest* dialog) {
            opened = dialog->windowTitle() == QStringLiteral("提交充值申请");
            dialog->reject();
        });
        f.server.enqueueJson(ListReply(0, nlohmann::json::array()));
        Child<QAbstractButton>(&screen, "btn_RechargeRequest")->click();
        QVERIFY(opened);
        QCOMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.lastData(), QStringList{"pageindex=1"});
        QVERIFY(f.t.prompter.entries.empty());
    }
};

QTEST_MAIN(TestRecharge)
#include "test_recharge.moc"
