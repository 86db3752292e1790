// The trade log and the operation log: cells per record, the page reload on showing, the search.
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmTradeLog.h"
#include "tests/screens/account/AccountFixture.h"
#include "tests/support/WidgetProbe.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {
nlohmann::json trade(int moneytype, double in, double out, double current, const char* taskid = "T1") {
    return {{"id", 3},           {"userid", "7"},           {"taskid", taskid},
            {"msg", "接手任务"}, {"moneytype", moneytype},  {"inmoney", in},
            {"outmoney", out},   {"currentmoney", current}, {"addtime", "2016-03-05 08:04:09"}};
}
nlohmann::json opt(const char* taskid, const char* action) {
    return {{"id", 1},
            {"userid", "7"},
            {"taskid", taskid},
            {"opttype", 4},
            {"action", action},
            {"marks", "备注"},
            {"addtime", "2016-03-05 08:04:09"}};
}
} // namespace

class TestLogs : public QObject {
    Q_OBJECT
private slots:
    void tradeCellsPerMoneyType_data() {
        QTest::addColumn<int>("moneytype");
        QTest::addColumn<double>("in");
        QTest::addColumn<double>("out");
        QTest::addColumn<double>("current");
        QTest::addColumn<QStringList>("cells"); // 存入金额, 冻结金额, 当前可用余额
        QTest::newRow("in") << 0 << 20.0 << 7.0 << 120.0 << QStringList{"+ 20.00 元", "", "120.00 元"};
        QTest::newRow("out") << 1 << 9.0 << 5.0 << 115.0 << QStringList{"", "-  5.00 元", "115.00 元"};
        QTest::newRow("wide") << 0 << 123456.78 << 0.0 << 1234.5 << QStringList{"+123456.78 元", "", "1234.50 元"};
        QTest::newRow("unknown direction") << 2 << 20.0 << 5.0 << 100.0 << QStringList{"", "", "100.00 元"};
    }
    void tradeCellsPerMoneyType() {
        QFETCH(int, moneytype);
        QFETCH(double, in);
        QFETCH(double, out);
        QFETCH(double, current);
        QFETCH(QStringList, cells);
        AccountFixture f;
        TfrmTradeLog screen(f.t.services);
        f.server.enqueueJson(ListReply(1, nlohmann::json::array({trade(moneytype, in, out, current)})));
        screen.GetTradeLogList();
        QCOMPARE(f.lastCommand(), QStringLiteral("23"));
        QCOMPARE(f.lastData(), QStringList{"pageindex=1"});
        QVERIFY(f.t.prompter.entries.empty());
        const QAbstractItemView* list = FindList(&screen, "lv_trade");
        QCOMPARE(RowCount(list), 1);
        QCOMPARE(RowTexts(list, 0), (QStringList{"", "接手任务"} + cells + QStringList{"2016-03-05 08:04:09"}));
        QCOMPARE(screen.rowRecord(0)->Fid, 3);
        QCOMPARE(int(screen.rowRecord(0)->Fmoneytype), moneytype);
        // The balance column is drawn bold green, the others black.
        QCOMPARE(CellColour(list, 0, 4), QColor(0, 153, 0));
        QVERIFY(CellBold(list, 0, 4));
        QCOMPARE(CellColour(list, 0, 2), QColor(0, 0, 0));
        QVERIFY(!CellBold(list, 0, 2));
    }

    void optLogCellsAndReadingFailure() {
        AccountFixture f;
        TfrmOptLog screen(f.t.services);
        nlohmann::json bad = opt("T3", "确认发货");
        bad["addtime"] = "2016/03/05 08:04:09";
        f.server.enqueueJson(ListReply(3, {opt("T1", "发布任务"), opt("T2", "接手任务"), bad}));
        Child<QAction>(&screen, "N_N1")->trigger();
        QCOMPARE(f.lastCommand(), QStringLiteral("22"));
        // The date with slashes ends the fill; the rows before it stay and the error is shown.
        const QAbstractItemView* list = FindList(&screen, "lv_OptLog");
        QCOMPARE(RowCount(list), 2);
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(RowTexts(list, 0), QStringList({"", "T1", "发布任务", "2016-03-05 08:04:09", "备注"}));
        QCOMPARE(int(screen.rowRecord(1)->Fopttype), int(otClear));
        QVERIFY(!screen.rowRecord(2));
        QVERIFY(CellBold(list, 0, 1));
    }

    void searchFiltersThePageShown() {
        AccountFixture f;
        TfrmOptLog screen(f.t.services);
        f.server.enqueueJson(ListReply(3, {opt("TK1001", "a"), opt("TK2002", "b"), opt("tk1003", "c")}));
        screen.GetOptLogList();
        const QAbstractItemView* list = FindList(&screen, "lv_OptLog");
        auto visible = [list] { return ColumnTexts(list, 1); };
        QLineEdit* edt_TASKID = Child<QLineEdit>(&screen, "edt_TASKID");
        QPushButton* btn_Search = Child<QPushButton>(&screen, "btn_Search");
        edt_TASKID->setText(QStringLiteral(" TK100 "));
        btn_Search->click();
        QCOMPARE(visible(), QStringList({"TK1001", "tk1003"}));
        QCOMPARE(f.server.requestCount(), std::size_t(1)); // no command for searching

        edt_TASKID->setText(QStringLiteral("nope"));
        btn_Search->click();
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("本页没有找到该任务ID的记录！"));
        QCOMPARE(visible().size(), 3);

        edt_TASKID->setText(QStringLiteral("2002"));
        btn_Search->click();
        QCOMPARE(visible(), QStringList{"TK2002"});
        edt_TASKID->clear();
        btn_Search->click();
        QCOMPARE(visible().size(), 3);

        // A fetch shows every row of the page it loads.
        edt_TASKID->setText(QStringLiteral("2002"));
        btn_Search->click();
        f.server.enqueueJson(ListReply(3, {opt("TK1001", "a"), opt("TK2002", "b")}));
        Child<QAction>(&screen, "N_N1")->trigger();
        QCOMPARE(visible().size(), 2);
    }

    void showingAgainReloadsTheCurrentPage() {
        AccountFixture f;
        TfrmTradeLog screen(f.t.services);
        f.server.enqueueJson(ListReply(60, nlohmann::json::array({trade(0, 1, 0, 1)})));
        screen.show();
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        f.server.enqueueJson(ListReply(60, nlohmann::json::array({trade(0, 1, 0, 1)})));
        screen.navigationBar()->btn_Last->click();
        QCOMPARE(f.lastData(), QStringList{"pageindex=3"});
        screen.hide();
        f.server.enqueueJson(ListReply(60, nlohmann::json::array({trade(0, 1, 0, 1)})));
        screen.show();
        QTRY_COMPARE(f.server.requestCount(), std::size_t(3));
        QCOMPARE(f.lastData(), QStringList{"pageindex=3"});
        QCOMPARE(RowCount(FindList(&screen, "lv_trade")), 1);
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(screen.navigationBar()->edt_currentpage->text(), QStringLiteral("3"));
    }

    void transportFailureText() {
        AccountFixture f;
        TfrmTradeLog screen(f.t.services);
        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        screen.GetTradeLogList();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("获取交易记录列表失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        // A refusal is silent.
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "no"}});
        screen.GetTradeLogList();
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(RowCount(FindList(&screen, "lv_trade")), 0);
    }
};

QTEST_MAIN(TestLogs)
#include "test_logs.moc"
