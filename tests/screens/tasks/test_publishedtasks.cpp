// The published-tasks screen against a scripted loopback server: rows with "-" for untaken tasks,
// the publisher's menu rules at and around the deadlines, the five lifecycle actions with their
// messages and the reload after the success box, the extension input, the dashboard refresh after a
// deletion, contact, copy and search.
#include "model/uCommonVarConst.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "tests/screens/tasks/TaskFixtures.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

namespace {
using Kind = TestPrompter::Kind;

struct Screen {
    ScriptedServer server;
    TestServices t{server.settings()};
    TfrmPublishedTaskManager w{t.services};

    Screen() {
        CurrentUser().Fusername = QStringLiteral("publisher");
        CurrentUser().Fuserpass = QStringLiteral("pw");
        t.clock.set(T0());
    }
    QTableView* list() const { return Child<QTableView>(&w, "lv_task"); }
    QAction* item(const QString& name) const { return w.findChild<QAction*>(name); }
    QMenu* menu() const { return w.findChild<QMenu*>(QStringLiteral("PopupMenu1")); }
    QString bar(const char* name) const {
        if (auto* label = w.findChild<QLabel*>(QString::fromLatin1(name))) return label->text();
        return w.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }
    void load(const std::vector<TaskFixture>& tasks, int total = -1) {
        server.enqueueJson(ListReply(tasks, total));
        w.GetPublishedTaskList();
    }
    void search(const QString& text) {
        w.findChild<QLineEdit*>(QStringLiteral("edt_taskid"))->setText(text);
        w.findChild<QPushButton*>(QStringLiteral("btn_Search"))->click();
    }
    void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
};

const QString Http500 = QStringLiteral("HTTP/1.1 500 Internal Server Error");
const QString BadExtension = QStringLiteral("请输入正确的延长期限，数字！！！");
} // namespace

class TestPublishedTasks : public QObject {
    Q_OBJECT
private slots:
    void pageFetchShowsDashesForUntakenTasks() {
        Screen s;
        TaskFixture open{QStringLiteral("T1"), 0};
        TaskFixture late{QStringLiteral("T2"), 1, T0(), T0()};
        s.load({open, late}, 2);
        QCOMPARE(s.server.lastRequest().headValue(QStringLiteral("head_command")), QStringLiteral("20"));
        QCOMPARE(s.server.lastRequest().data, QStringList({"clientversion=1.0.0.0", "pageindex=1"}));
        QTableView* list = s.list();
        QCOMPARE(HeaderTexts(list),
                 QStringList({"ID", "任务编号", "发布日期", "接单人", "联系QQ", "接单时间", "任务价格", "任务状态"}));
        QCOMPARE(RowTexts(list, 0),
                 QStringList({"", "T1", "2016-04-30 10:00:00", "-", "-", "-", " 15.00 元", "等待接手"}));
        QCOMPARE(RowTexts(list, 1), QStringList({"", "T2", "2016-04-30 10:00:00", "接手人乙", "67890",
                                                 "2016-05-01 09:59:00", " 15.00 元", "支付超时"}));
        QCOMPARE(s.bar("lbl_totalnum"), QStringLiteral("总:2条"));

        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        s.item(QStringLiteral("N_Refresh"))->trigger();
        QCOMPARE(RowCount(list), 0);
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("获取已发布任务列表失败，请稍后再试！") + Http500);
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("错误"));
    }

    void menuFollowsThePublishersRules_data() {
        QTest::addColumn<int>("status"); // -1: no row selected
        QTest::addColumn<QDateTime>("openedAt");
        QTest::addColumn<QString>("shown");
        const QDateTime pay = T0().addSecs(15 * 60);
        const QString always = QStringLiteral("N_ConnectHandler,N_CopyTaskID,N_ViewTaskInfo");
        QTest::newRow("no row") << -1 << pay << "N_Refresh,-," + always;
        QTest::newRow("0") << 0 << pay << "N_Refresh,-,N_DeleteTask," + always;
        QTest::newRow("1 before deadline") << 1 << pay.addSecs(-1) << "N_Refresh,-," + always;
        QTest::newRow("1 at deadline") << 1 << pay << "N_Refresh,-,N_NoPayontime,-," + always;
        QTest::newRow("1 after deadline") << 1 << pay.addDays(1) << "N_Refresh,-,N_NoPayontime,-," + always;
        QTest::newRow("2") << 2 << pay.addDays(1) << "N_Refresh,-,N_Yifahuo,-," + always;
        QTest::newRow("3") << 3 << pay << "N_Refresh,-," + always;
        QTest::newRow("4") << 4 << pay << "N_Refresh,-,N_ConfirmReplyAndtaskComplete,-," + always;
        QTest::newRow("5") << 5 << pay << "N_Refresh,-," + always;
    }
    void menuFollowsThePublishersRules() {
        QFETCH(int, status);
        QFETCH(QDateTime, openedAt);
        QFETCH(QString, shown);
        Screen s;
        TaskFixture task;
        task.status = qMax(status, 0);
        s.load({task});
        if (status >= 0) SelectRow(s.list(), 0);
        s.t.clock.set(openedAt);
        s.w.PopupMenu1Popup();
        QCOMPARE(VisibleItems(s.menu()), shown);
    }

    void actionsAskSendAndReport_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("question");
        QTest::addColumn<int>("command");
        QTest::addColumn<QStringList>("lines"); // after the version line
        QTest::addColumn<QString>("success");
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("transport");
        QTest::newRow("extend") << "N_AddfukuanTime" << 1 << "确定要延长此任务的付款时限吗?" << 31
                                << QStringList{"taskid=T100", "extendpaytime=15"} << "恭喜，延长接单人付款时限成功！"
                                << "延长接单人付款时限失败"
                                << "延长接单人付款时限失败，请稍后再试！";
        QTest::newRow("cancel deal") << "N_CancelTaskNoPayOnTime" << 1 << "确定要取消此任务吗?" << 27
                                     << QStringList{"taskid=T100"} << "恭喜，取消任务成功！"
                                     << "取消任务失败"
                                     << "取消任务失败，请稍后再试！";
        QTest::newRow("shipped") << "N_Yifahuo" << 2 << "确定此任务已发货吗?" << 32
                                 << QStringList{"taskid=T100", "status=2"} << "恭喜，设置此任务已发货成功！"
                                 << "设置此任务已发货失败"
                                 << "设置此任务已发货失败，请稍后再试！";
        QTest::newRow("complete") << "N_ConfirmReplyAndtaskComplete" << 4
                                  << "确定此任务已好评，任务完成吗? 确定后你的余额会转入接单人账户中" << 34
                                  << QStringList{"taskid=T100", "status=4"} << "恭喜，任务完成！"
                                  << "设置任务状态失败"
                                  << "设置此任务状态失败，请稍后再试！";
        QTest::newRow("delete") << "N_DeleteTask" << 0 << "确定要彻底删除此任务吗，任务金额会返回账户余额?" << 28
                                << QStringList{"taskid=T100"} << "恭喜，彻底删除任务成功！"
                                << "彻底删除任务失败"
                                << "彻底删除任务失败，请稍后再试！";
    }
    void actionsAskSendAndReport() {
        QFETCH(QString, item);
        QFETCH(int, status);
        QFETCH(QString, question);
        QFETCH(int, command);
        QFETCH(QStringList, lines);
        QFETCH(QString, success);
        QFETCH(QString, refused);
        QFETCH(QString, transport);
        Screen s;
        TaskFixture task;
        task.status = status;
        s.w.pagedList()->FCurrentPageIndex = 2;
        s.load({task}, 30);
        SelectRow(s.list(), 0);
        QAction* action = s.item(item);
        QVERIFY(action);
        auto& prompter = s.t.prompter;
        const bool asksMinutes = command == 31;
        const auto answer = [&] {
            prompter.yesNoAnswers = {true};
            if (asksMinutes) prompter.inputAnswers = {QStringLiteral("15")};
        };
        QSignalSpy dashboard(&s.w, &TfrmPublishedTaskManager::requestDashboardRefresh);
        const std::size_t count = s.server.requestCount();

        prompter.yesNoAnswers = {false};
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count);
        QCOMPARE(prompter.entries.size(), std::size_t(1)); // the question alone: no input box either
        QCOMPARE(prompter.lastText(), question);
        QCOMPARE(prompter.last()->kind, Kind::Question);
        QCOMPARE(prompter.last()->caption, QStringLiteral("提示"));

        answer();
        s.server.enqueueJson({{"returncode", 0}, {"returnmsg", "不能操作"}});
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 1);
        QCOMPARE(s.server.lastRequest().headValue(QStringLiteral("head_command")), QString::number(command));
        QCOMPARE(s.server.lastRequest().data, QStringList{"clientversion=1.0.0.0"} + lines);
        QCOMPARE(prompter.lastText(), refused + QStringLiteral("不能操作"));
        QCOMPARE(prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(prompter.last()->icon, MessageIcon::Information);

        answer();
        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        action->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count + 2);
        QCOMPARE(prompter.lastText(), transport + Http500);
        QCOMPARE(prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(dashboard.count(), 0);

        answer();
        s.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        s.server.enqueueJson(ListReply({task}, 30));
        std::size_t duringBox = 0;
        std::size_t atDashboardSignal = 0;
        connect(&s.w, &TfrmPublishedTaskManager::requestDashboardRefresh, this,
                [&] { atDashboardSignal = s.server.requestCount(); });
        prompter.onShow = [&](const TestPrompter::Entry& entry) {
            if (entry.kind != Kind::Message) return;
            QCoreApplication::processEvents();
            duringBox = s.server.requestCount();
            QCOMPARE(dashboard.count(), 0); // not before the box has closed
        };
        action->trigger();
        prompter.onShow = nullptr;
        QCOMPARE(prompter.lastText(), success);
        QCOMPARE(prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(duringBox, count + 3);
        QTRY_COMPARE(s.server.requestCount(), count + 4);
        QCOMPARE(s.server.lastRequest().headValue(QStringLiteral("head_command")), QStringLiteral("20"));
        QCOMPARE(s.server.lastRequest().dataValue(QStringLiteral("pageindex")), QStringLiteral("2"));
        // Only a deletion has the dashboard reload, after its box and before the list's reload.
        QCOMPARE(dashboard.count(), command == 28 ? 1 : 0);
        if (command == 28) QCOMPARE(atDashboardSignal, count + 3);
        QCOMPARE(prompter.unanswered, 0);
    }

    void extensionAcceptsWholeMinutesAboveZero_data() {
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<QString>("sent"); // empty: nothing is sent
        QTest::addColumn<bool>("refused");
        QTest::newRow("30") << std::optional<QString>(QStringLiteral("30")) << "30" << false;
        QTest::newRow("blanks around") << std::optional<QString>(QStringLiteral(" 30 ")) << "30" << false;
        QTest::newRow("0") << std::optional<QString>(QStringLiteral("0")) << "" << true;
        QTest::newRow("-5") << std::optional<QString>(QStringLiteral("-5")) << "" << true;
        QTest::newRow("abc") << std::optional<QString>(QStringLiteral("abc")) << "" << true;
        QTest::newRow("1.5") << std::optional<QString>(QStringLiteral("1.5")) << "" << true;
        QTest::newRow("empty") << std::optional<QString>(QString()) << "" << true;
        QTest::newRow("blanks") << std::optional<QString>(QStringLiteral("   ")) << "" << true;
        QTest::newRow("cancel") << std::optional<QString>() << "" << false;
    }
    void extensionAcceptsWholeMinutesAboveZero() {
        QFETCH(std::optional<QString>, typed);
        QFETCH(QString, sent);
        QFETCH(bool, refused);
        Screen s;
        s.load({TaskFixture{QStringLiteral("T100"), 1, T0(), T0()}});
        SelectRow(s.list(), 0);
        const std::size_t count = s.server.requestCount();
        s.t.prompter.yesNoAnswers = {true};
        s.t.prompter.inputAnswers = {typed};
        s.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        s.server.enqueueJson(ListReply({}, 0));
        s.item(QStringLiteral("N_AddfukuanTime"))->trigger();

        const auto& entries = s.t.prompter.entries;
        QVERIFY(entries.size() >= 2);
        QCOMPARE(entries[1].kind, Kind::Input);
        QCOMPARE(entries[1].caption, QStringLiteral("延长付款时限"));
        QCOMPARE(entries[1].text, QStringLiteral("请输入时长(单位：分)："));
        QCOMPARE(s.t.prompter.inputInitials, QStringList{"15"});
        if (sent.isEmpty()) {
            s.settle();
            QCOMPARE(s.server.requestCount(), count);
            if (refused) {
                QCOMPARE(entries.size(), std::size_t(3));
                QCOMPARE(entries[2].text, BadExtension);
                QCOMPARE(entries[2].caption, QStringLiteral("提示"));
                QCOMPARE(entries[2].icon, MessageIcon::Error);
            } else {
                QCOMPARE(entries.size(), std::size_t(2));
            }
        } else {
            QCOMPARE(s.server.requests().at(count).dataValue(QStringLiteral("extendpaytime")), sent);
            QCOMPARE(s.t.prompter.lastText(), QStringLiteral("恭喜，延长接单人付款时限成功！"));
        }
    }

    void withoutSelectionEveryRowActionDoesNothing() {
        Screen s;
        s.load({TaskFixture()});
        s.list()->clearSelection();
        const std::size_t count = s.server.requestCount();
        for (const char* name :
             {"N_AddfukuanTime", "N_CancelTaskNoPayOnTime", "N_Yifahuo", "N_ConfirmReplyAndtaskComplete",
              "N_DeleteTask", "N_ConnectHandler", "N_CopyTaskID", "N_ViewTaskInfo"})
            s.item(QString::fromLatin1(name))->trigger();
        s.settle();
        QCOMPARE(s.server.requestCount(), count);
        QVERIFY(s.t.prompter.entries.empty());
        QVERIFY(s.t.links.opened.isEmpty());
    }

    void contactAndCopyUseTheSelectedRecord() {
        Screen s;
        s.load({TaskFixture{QStringLiteral("T1"), 0}, TaskFixture{QStringLiteral("T2"), 2}});
        // Not validated even for an untaken task: the handler's QQ of the record as read.
        SelectRow(s.list(), 0);
        s.item(QStringLiteral("N_ConnectHandler"))->trigger();
        QCOMPARE(s.t.links.opened, QStringList{"tencent://message/?uin=67890&Site=67890&Menu=yes"});
        SelectRow(s.list(), 1);
        s.item(QStringLiteral("N_CopyTaskID"))->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("T2"));
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("已复制任务ID到剪切板！"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);
    }

    void detailsOpenForTheSelectedRow() {
        Screen s;
        s.load({TaskFixture{QStringLiteral("T1"), 0}, TaskFixture{QStringLiteral("T2"), 2}});
        SelectRow(s.list(), 1);
        QCOMPARE(DetailDialogTaskLine([&] { s.item(QStringLiteral("N_ViewTaskInfo"))->trigger(); }),
                 QStringLiteral("任务ID：T2"));
        SelectRow(s.list(), 0);
        QCOMPARE(DetailDialogTaskLine([&] { emit s.list()->doubleClicked(s.list()->model()->index(0, 3)); }),
                 QStringLiteral("任务ID：T1"));
    }

    void searchTexts() {
        Screen s;
        s.w.pagedList()->FCurrentPageIndex = 2;
        s.load({TaskFixture()}, 30);

        const std::size_t count = s.server.requestCount();
        s.search(QStringLiteral("   "));
        QCOMPARE(s.server.requestCount(), count);
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("请输入要查找的任务ID!"));
        QCOMPARE(RowCount(s.list()), 1);

        // Found: the status name alone, even past the payment deadline.
        s.server.enqueueJson(ListReply({TaskFixture{QStringLiteral("T9"), 1, T0().addSecs(-60), T0()}}, 1));
        s.search(QStringLiteral(" T9 "));
        QCOMPARE(s.server.lastRequest().headValue(QStringLiteral("head_command")), QStringLiteral("21"));
        QCOMPARE(s.server.lastRequest().data, QStringList({"clientversion=1.0.0.0", "taskid=T9"}));
        QCOMPARE(RowCount(s.list()), 1);
        QCOMPARE(CellText(s.list(), 0, 7), QStringLiteral("等待支付"));
        QCOMPARE(s.bar("lbl_totalnum"), QStringLiteral("总:1条"));
        QCOMPARE(s.bar("edt_totalpage"), QStringLiteral("1"));
        QCOMPARE(s.bar("edt_currentpage"), QStringLiteral("2"));

        s.server.enqueueJson(ListReply({}, 0));
        s.search(QStringLiteral("nope"));
        QCOMPARE(RowCount(s.list()), 0);
        QCOMPARE(s.bar("lbl_totalnum"), QStringLiteral("总:0条"));
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("没有搜索到相关任务！"));
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);

        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        s.search(QStringLiteral("T9"));
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("搜索任务失败，请稍后再试！") + Http500);
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("错误"));

        s.server.enqueueJson(ListReply({TaskFixture()}, 30));
        s.item(QStringLiteral("N_Refresh"))->trigger();
        QCOMPARE(s.server.lastRequest().dataValue(QStringLiteral("pageindex")), QStringLiteral("2"));
        QCOMPARE(CellText(s.list(), 0, 1), QStringLiteral("T100"));
    }
};

QTEST_MAIN(TestPublishedTasks)
#include "test_publishedtasks.moc"
