// The taken-tasks screen against a scripted loopback server: rows, the handler's menu rules at and
// around the deadlines, the four lifecycle actions with their messages and the reload after the
// success box, contact, copy and search.
#include "model/uCommonVarConst.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "tests/screens/tasks/TaskFixtures.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
using Kind = TestPrompter::Kind;

struct Screen {
    ScriptedServer server;
    TestServices t{server.settings()};
    TfrmHandledTaskManager w{t.services};

    Screen() {
        CurrentUser().Fusername = QStringLiteral("handler");
        CurrentUser().Fuserpass = QStringLiteral("pw");
        t.clock.set(T0());
    }
    QTableView* list() const { return Child<QTableView>(&w, "lv_task"); }
    QAction* item(const char* name) const { return w.findChild<QAction*>(QString::fromLatin1(name)); }
    QMenu* menu() const { return w.findChild<QMenu*>(QStringLiteral("PopupMenu1")); }
    QString bar(const char* name) const {
        if (auto* label = w.findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
        return w.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    void load(const std::vector<TaskFixture>& tasks, int total = -1) {
        server.enqueueJson(ListReply(tasks, total));
        w.GetHandledTaskList();
    }
    void search(const QString& text) {
        w.findChild<QLineEdit*>(QStringLiteral("edt_TaskID"))->setText(text);
        w.findChild<QPushButton*>(QStringLiteral("btn_Search"))->click();
    }
    // Lets any posted reload run, as the event loop would after the handler returned.
    void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
};

const QString Http500 = QStringLiteral("HTTP/1.1 500 Internal Server Error");
} // namespace

class TestHandledTasks : public QObject {
    Q_OBJECT
private slots:
    void pageFetchFillsRowsAndBar() {
        Screen s;
        TaskFixture soon;
        soon.shouldpay = T0().addSecs(5 * 60);
        TaskFixture late{QStringLiteral("T101"), 1, T0(), T0()};
        TaskFixture waiting{QStringLiteral("T102"), 3, T0(), T0().addSecs(3600), 120.5};
        s.w.pagedList()->FCurrentPageIndex = 2;
        s.load({soon, late, waiting}, 45);

        const RecordedRequest request = s.server.lastRequest();
        QCOMPARE(request.headValue(QStringLiteral("head_command")), QStringLiteral("18"));
        QCOMPARE(request.headValue(QStringLiteral("head_username")), QStringLiteral("handler"));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "pageindex=2"}));
        QCOMPARE(s.bar("lbl_totalnum"), QStringLiteral("总:45条"));
        QCOMPARE(s.bar("edt_totalpage"), QStringLiteral("3"));
        QCOMPARE(s.bar("edt_currentpage"), QStringLiteral("2"));

        QTableView* list = s.list();
        QCOMPARE(HeaderTexts(list),
                 QStringList({"ID", "任务编号", "下单日期", "发布人", "联系QQ", "接单日期", "总金额", "订单状态"}));
        QCOMPARE(RowCount(list), 3);
        QCOMPARE(RowTexts(list, 0),
                 QStringList({"", "T100", "2016-04-30 10:00:00", "发布人甲", "12345", "2016-05-01 09:59:00",
                              " 15.00 元", "等待支付[剩余支付时间0天 00时 05分 00秒]"}));
        QCOMPARE(CellText(list, 1, 7), QStringLiteral("支付超时")); // deadline reached exactly
        QCOMPARE(CellText(list, 2, 6), QStringLiteral("120.50 元"));
        QCOMPARE(CellText(list, 2, 7), QStringLiteral("等待好评[好评剩余等待时间0天 01时 00分 00秒]"));
        QCOMPARE(CellColour(list, 0, 1), QColor(0, 153, 0));
        QCOMPARE(CellColour(list, 0, 5), QColor(255, 0, 0));
        QVERIFY(s.t.prompter.entries.empty());
    }

    void fetchFailureAndShowingLoads() {
        Screen s;
        s.load({TaskFixture()});
        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        s.w.findChild<QAction*>(QStringLiteral("N_N3"))->trigger();
        QCOMPARE(RowCount(s.list()), 0);
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("获取已接手任务列表失败，请稍后再试！") + Http500);
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Error);

        // Showing the screen loads the page it shows, from the event loop.
        s.w.pagedList()->FCurrentPageIndex = 4;
        s.server.clearRequests();
        s.server.enqueueJson(ListReply({}, 0));
        s.w.show();
        QTRY_COMPARE(s.server.requestCount(), std::size_t(1));
        QCOMPARE(s.server.lastRequest().dataValue(QStringLiteral("pageindex")), QStringLiteral("4"));
    }

    void menuFollowsTheHandlersRules_data() {
        QTest::addColumn<int>("status"); // -1: no row selected
        QTest::addColumn<QDateTime>("openedAt");
        QTest::addColumn<QString>("shown");
        const QDateTime pay = T0().addSecs(15 * 60);     // payment deadline of the fixture
        const QDateTime review = T0().addSecs(2 * 3600); // review time of the fixture
        const QString always = QStringLiteral("N_ConnectPublisher,N_CopyTaskID,N_ViewTaskInfo");
        QTest::newRow("no row") << -1 << pay << "N_N3,-," + always;
        QTest::newRow("0") << 0 << pay << "N_N3,-," + always;
        QTest::newRow("1 before deadline") << 1 << pay.addSecs(-1) << "N_N3,-,N_ConfirmHasPay,-," + always;
        QTest::newRow("1 at deadline") << 1 << pay << "N_N3,-,N_NoPayOnTime,-," + always;
        QTest::newRow("1 after deadline") << 1 << pay.addSecs(60) << "N_N3,-,N_NoPayOnTime,-," + always;
        QTest::newRow("2 before pay deadline") << 2 << pay.addSecs(-1) << "N_N3,-,N_Back,-," + always;
        QTest::newRow("2 at pay deadline") << 2 << pay << "N_N3,-," + always;
        QTest::newRow("3 before review") << 3 << review.addSecs(-1) << "N_N3,-," + always;
        QTest::newRow("3 at review") << 3 << review << "N_N3,-,N_ConfirmShouhuoAndReply,-," + always;
        QTest::newRow("4 before review") << 4 << review.addSecs(-1) << "N_N3,-,N_Back,-," + always;
        QTest::newRow("4 at review") << 4 << review << "N_N3,-," + always;
        QTest::newRow("5") << 5 << review << "N_N3,-," + always;
    }
    void menuFollowsTheHandlersRules() {
        QFETCH(int, status);
        QFETCH(QDateTime, openedAt);
        QFETCH(QString, shown);
        Screen s;
        TaskFixture task;
        task.status = qMax(status, 0);
        s.load({task});
        if (status >= 0) SelectRow(s.list(), 0);
        // The rules read the clock when the menu opens, not when the list was fetched.
        s.t.clock.set(openedAt);
        s.w.PopupMenu1Popup();
        QCOMPARE(VisibleItems(s.menu()), shown);
        // Opening again for another row state resets what the previous opening showed.
        s.list()->clearSelection();
        s.w.PopupMenu1Popup();
        QCOMPARE(VisibleItems(s.menu()), QStringLiteral("N_N3,-,N_ConnectPublisher,N_CopyTaskID,N_ViewTaskInfo"));
    }

    void actionsAskSendAndReport_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("sendsStatus");
        QTest::addColumn<QString>("success");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("transport");
        QTest::newRow("confirm paid") << "N_ConfirmHasPay" << 1 << "确定已支付货款，要提交吗?" << 30 << true
                                      << "提交申请成功，请等待发单人审核并发货！"
                                      << "提交申请失败"
                                      << "提交申请失败，请稍后再试！";
        QTest::newRow("back from 2") << "N_Back" << 2 << "确定返回上一步吗?" << 29 << true << "操作成功！"
                                     << "操作失败"
                                     << "操作失败，请稍后再试！";
        QTest::newRow("back from 4") << "N_Back" << 4 << "确定返回上一步吗?" << 29 << true << "操作成功！"
                                     << "操作失败"
                                     << "操作失败，请稍后再试！";
        QTest::newRow("receipt and review") << "N_ConfirmShouhuoAndReply" << 3 << "确定已收货并且已经好评，要提交吗?"
                                            << 33 << true << "提交申请成功，请等待发单人审核并完成任务！"
                                            << "提交申请失败"
                                            << "提交申请失败，请稍后再试！";
        QTest::newRow("cancel") << "N1" << 1 << "确定要取消此任务吗?" << 26 << false << "恭喜，取消任务成功！"
                                << "取消任务失败"
                                << "取消任务失败，请稍后再试！";
    }
    void actionsAskSendAndReport() {
        QFETCH(QString, item);
        QFETCH(int, status);
        QFETCH(QString, question);
        QFETCH(int, command);
        QFETCH(bool, sendsStatus);
        QFETCH(QString, success);
        QFETCH(QString, refused);
        QFETCH(QString, transport);
        Screen s;
        TaskFixture task;
        task.status = status;
        s.w.pagedList()->FCurrentPageIndex = 3;
        s.load({task}, 60);
        SelectRow(s.list(), 0);
        QAction* action = s.w.findChild<QAction*>(item);
        QVERIFY(action);
        auto& prompter = s.t.prompter;

        // No: nothing is sent.
        std::size_t count = s.server.requestCount();
        prompter.yesNoAnswers = {false};
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count);
        QCOMPARE(prompter.last()->kind, Kind::Question);
        QCOMPARE(prompter.lastText(), question);
        QCOMPARE(prompter.last()->caption, QStringLiteral("提示"));

        // Refused: the prefix and the server's reason, no reload.
        prompter.yesNoAnswers = {true};
        s.server.enqueueJson({{"returncode", 0}, {"returnmsg", "任务状态已改变"}});
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 1);
        const RecordedRequest sent = s.server.lastRequest();
        QCOMPARE(sent.headValue(QStringLiteral("head_command")), QString::number(command));
        QStringList expected{"clientversion=1.0.0.0", "taskid=T100"};
        if (sendsStatus) expected.append(QStringLiteral("status=%1").arg(status));
        QCOMPARE(sent.data, expected);
        QCOMPARE(prompter.lastText(), refused + QStringLiteral("任务状态已改变"));
        QCOMPARE(prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(RowCount(s.list()), 1);

        // Transport failure: the error box, no reload.
        prompter.yesNoAnswers = {true};
        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 2);
        QCOMPARE(prompter.lastText(), transport + Http500);
        QCOMPARE(prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(prompter.last()->icon, MessageIcon::Error);

        // A reply that cannot be read: the general error box, no reload.
        prompter.yesNoAnswers = {true};
        s.server.enqueue(ScriptedReply::enciphered(QStringLiteral("not json"), QStringLiteral("wrongkey")));
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 3);
        QVERIFY2(prompter.lastText().startsWith(QStringLiteral("处理服务器返回的数据时出错：")),
                 qPrintable(prompter.lastText()));
        QCOMPARE(prompter.last()->icon, MessageIcon::Error);
        count += 1;

        // A returncode other than 0 and 1: nothing shown after the question, no reload.
        prompter.yesNoAnswers = {true};
        s.server.enqueueJson({{"returncode", 2}, {"returnmsg", "?"}});
        const std::size_t shown = prompter.entries.size();
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 3);
        QCOMPARE(prompter.entries.size(), shown + 1);
        QCOMPARE(prompter.last()->kind, Kind::Question);

        // Success: the box first; the current page is fetched again only after it has closed.
        prompter.yesNoAnswers = {true};
        s.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        s.server.enqueueJson(ListReply({task}, 60));
        std::size_t duringBox = 0;
        prompter.onShow = [&](const TestPrompter::Entry& entry) {
            if (entry.kind != Kind::Message) return;
            QCoreApplication::processEvents(); // a real box runs the event loop while it is up
            duringBox = s.server.requestCount();
        };
        action->trigger();
        prompter.onShow = nullptr;
        QCOMPARE(prompter.lastText(), success);
        QCOMPARE(prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(duringBox, count + 4);
        QTRY_COMPARE(s.server.requestCount(), count + 5);
        const RecordedRequest reload = s.server.lastRequest();
        QCOMPARE(reload.headValue(QStringLiteral("head_command")), QStringLiteral("18"));
        QCOMPARE(reload.dataValue(QStringLiteral("pageindex")), QStringLiteral("3"));
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 5); // one reload only
        QCOMPARE(prompter.unanswered, 0);
    }

    void withoutSelectionEveryRowActionDoesNothing() {
        Screen s;
        s.load({TaskFixture()});
        s.list()->clearSelection();
        const std::size_t count = s.server.requestCount();
        for (const char* name : {"N_ConfirmHasPay", "N_Back", "N_ConfirmShouhuoAndReply", "N1", "N_AddPayTime",
                                 "N_ConnectPublisher", "N_CopyTaskID", "N_ViewTaskInfo"})
            s.item(name)->trigger();
        emit s.list()->doubleClicked(s.list()->model()->index(0, 0));
        s.settle();
        QCOMPARE(s.server.requestCount(), count);
        QVERIFY(s.t.prompter.entries.empty());
        QVERIFY(s.t.links.opened.isEmpty());
    }

    void contactAndCopyUseTheSelectedRecord() {
        Screen s;
        TaskFixture other;
        other.taskid = QStringLiteral("T200");
        s.load({TaskFixture(), other});
        SelectRow(s.list(), 1);
        s.item("N_ConnectPublisher")->trigger();
        s.item("N_AddPayTime")->trigger();
        const QString link = QStringLiteral("tencent://message/?uin=12345&Site=12345&Menu=yes");
        QCOMPARE(s.t.links.opened, QStringList({link, link}));

        QApplication::clipboard()->clear();
        s.item("N_CopyTaskID")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("T200"));
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("已复制任务ID到剪切板！"));
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);
    }

    void detailsOpenForTheSelectedRow() {
        Screen s;
        TaskFixture other;
        other.taskid = QStringLiteral("T200");
        s.load({TaskFixture(), other});
        SelectRow(s.list(), 1);
        QCOMPARE(DetailDialogTaskLine([&] { s.item("N_ViewTaskInfo")->trigger(); }), QStringLiteral("任务ID：T200"));
        SelectRow(s.list(), 0);
        QCOMPARE(DetailDialogTaskLine([&] { emit s.list()->doubleClicked(s.list()->model()->index(0, 1)); }),
                 QStringLiteral("任务ID：T100"));
        QCOMPARE(s.server.requestCount(), std::size_t(1)); // the page fetch only: the dialog sends nothing
    }

    void searchReplacesTheRowsAndRefreshBringsThePageBack() {
        Screen s;
        s.w.pagedList()->FCurrentPageIndex = 3;
        s.load({TaskFixture()}, 60);

        // Blanks only: a hint, nothing sent, the list as it was.
        const std::size_t count = s.server.requestCount();
        s.search(QStringLiteral(" \t "));
        QCOMPARE(s.server.requestCount(), count);
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("请输入待查找的任务ID！"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(RowCount(s.list()), 1);

        // Found: trimmed id sent; publisher on three lines; the long expired text; one page shown.
        TaskFixture expired{QStringLiteral("T7"), 1, T0().addSecs(-1), T0()};
        s.server.enqueueJson(ListReply({expired}, 1));
        s.search(QStringLiteral("  T7 "));
        QCOMPARE(s.server.lastRequest().headValue(QStringLiteral("head_command")), QStringLiteral("19"));
        QCOMPARE(s.server.lastRequest().data, QStringList({"clientversion=1.0.0.0", "taskid=T7"}));
        QCOMPARE(RowCount(s.list()), 1);
        QCOMPARE(CellText(s.list(), 0, 3), QStringLiteral("发布人甲\r\n掌柜名[甲店]\r\n联系QQ[12345]"));
        // The row grows to its three lines; a page's rows keep one line's height.
        const int oneLine = s.list()->verticalHeader()->defaultSectionSize();
        QTRY_VERIFY(s.list()->rowHeight(0) >= 3 * s.list()->fontMetrics().height());
        QCOMPARE(CellText(s.list(), 0, 7), QStringLiteral("支付时间过期，请联系发单人延长支付时间或取消该订单"));
        QCOMPARE(s.bar("lbl_totalnum"), QStringLiteral("总:1条"));
        QCOMPARE(s.bar("edt_totalpage"), QStringLiteral("1"));
        QCOMPARE(s.bar("edt_currentpage"), QStringLiteral("1"));
        QCOMPARE(s.w.pagedList()->FCurrentPageIndex, 3);

        // Nothing found: empty list, 总:0条, 1 and 1, no message.
        const std::size_t messages = s.t.prompter.entries.size();
        s.server.enqueueJson(ListReply({}, 0));
        s.search(QStringLiteral("nope"));
        QCOMPARE(RowCount(s.list()), 0);
        QCOMPARE(s.bar("lbl_totalnum"), QStringLiteral("总:0条"));
        QCOMPARE(s.bar("edt_totalpage"), QStringLiteral("1"));
        QCOMPARE(s.bar("edt_currentpage"), QStringLiteral("1"));
        QCOMPARE(s.t.prompter.entries.size(), messages);

        // Transport failure: the page fetch's text.
        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        s.search(QStringLiteral("T7"));
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("获取已接手任务列表失败，请稍后再试！") + Http500);

        // Refresh returns to the page shown before the search.
        s.server.enqueueJson(ListReply({TaskFixture()}, 60));
        s.item("N_N3")->trigger();
        QCOMPARE(s.server.lastRequest().headValue(QStringLiteral("head_command")), QStringLiteral("18"));
        QCOMPARE(s.server.lastRequest().dataValue(QStringLiteral("pageindex")), QStringLiteral("3"));
        QCOMPARE(CellText(s.list(), 0, 1), QStringLiteral("T100"));
        s.settle();
        QCOMPARE(s.list()->rowHeight(0), oneLine);
    }
};

QTEST_MAIN(TestHandledTasks)
#include "test_handledtasks.moc"
