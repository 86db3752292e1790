// The task hall and the task detail view against the scripted loopback server: the page split over
// the two tabs, the categories, the search, taking a task, copying ids, loading when shown, and the
// detail dialog in its states.
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "tests/screens/tasks/TaskFixtures.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// The shared task object (TaskFixtures.h) with this test's id, state, price and buyer account.
nlohmann::json task(const std::string& taskid, int status, double money = 15, const std::string& buyer = "pub_buyer") {
    TaskFixture fixture;
    fixture.taskid = QString::fromStdString(taskid);
    fixture.status = status;
    fixture.money = money;
    fixture.buyer = buyer;
    return TaskJson(fixture);
}

nlohmann::json listReply(int total, const std::vector<nlohmann::json>& tasks) {
    return {{"returncode", 1}, {"returnmsg", ""}, {"totalnum", total}, {"msgbody", nlohmann::json(tasks)}};
}

struct Fixture {
    ScriptedServer server;
    TestServices t{server.settings()};
    TfrmTaskCenter hall{t.services};

    void signIn() { CurrentUser().Fid = 4242; }

    QAbstractItemView* open() const { return FindList(&hall, "lv_task"); }
    QAbstractItemView* taken() const { return FindList(&hall, "lv_handledtask"); }
    QTabWidget* tabs() const { return Child<QTabWidget>(&hall, "pgc_Main"); }
    QAction* action(const char* name) const { return Child<QAction>(&hall, name); }
    QAbstractButton* button(const char* name) const { return Child<QAbstractButton>(&hall, name); }
    QLineEdit* edit() const { return Child<QLineEdit>(&hall, "edt_TaskID"); }
    QString bar(const char* name) const {
        if (const auto* label = Child<QLabel>(&hall, name)) return label->text();
        return Child<QLineEdit>(&hall, name)->text();
    }

    // Fetches a page of three tasks: two open, one waiting for payment.
    void loadMixedPage() {
        server.enqueueJson(listReply(3, {task("T1", 0), task("T2", 1, 20.5), task("T3", 0, 8)}));
        action("N_N2")->trigger();
        server.clearRequests();
        t.prompter.clear();
    }
};

} // namespace

class TestTaskCenter : public QObject {
    Q_OBJECT
private slots:
    void init() { TaskManager.ClearTaskCenterTaskInfo(); }

    void pageFillsBothTabsAndShowsTheFirst() {
        Fixture f;
        f.tabs()->setCurrentIndex(1);
        f.server.enqueueJson(listReply(3, {task("T1", 0), task("T2", 1, 20.5), task("T3", 0, 8)}));
        f.action("N_N2")->trigger();

        const RecordedRequest request = f.server.lastRequest();
        QCOMPARE(request.head.value(0), QStringLiteral("head_command=16"));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "pageindex=1", "taskttimetype=0"}));
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QCOMPARE(f.bar("lbl_totalnum"), QStringLiteral("总:3条"));

        QCOMPARE(RowCount(f.open()), 2);
        QCOMPARE(RowTexts(f.open(), 0), QStringList({"", "T1", "发布人甲", " 15.00 元", "2016-04-30 10:00:00",
                                                     "等待接手", "单击鼠标右键进行操作"}));
        QCOMPARE(CellText(f.open(), 1, 1), QStringLiteral("T3"));
        QCOMPARE(f.taken()->model()->columnCount(), 6);
        QCOMPARE(RowCount(f.taken()), 1);
        QCOMPARE(RowTexts(f.taken(), 0),
                 QStringList({"", "T2", "发布人甲", " 20.50 元", "2016-04-30 10:00:00", "等待支付"}));

        // The records are filed in the hall's dictionary of the store; the rows hold copies.
        QCOMPARE(TaskManager.Dictionary(tdTaskCenter).size(), std::size_t(3));
        QCOMPARE(CellData(f.taken(), 0, 1, ListModel::IdRole).toString(), QStringLiteral("T2"));

        // Task id bold green, price red with the shield, the rest black; the document picture first.
        QCOMPARE(CellColour(f.open(), 0, 1), QColor(0, 153, 0));
        QVERIFY(CellBold(f.open(), 0, 1));
        QCOMPARE(CellColour(f.open(), 0, 3), QColor(255, 0, 0));
        QVERIFY(!CellBold(f.open(), 0, 3));
        QCOMPARE(CellColour(f.taken(), 0, 2), QColor(0, 0, 0));
        QVERIFY(CellData(f.open(), 0, 0, Qt::DecorationRole).isValid());
        QVERIFY(CellData(f.taken(), 0, 3, Qt::DecorationRole).isValid());
        QVERIFY(!CellData(f.taken(), 0, 2, Qt::DecorationRole).isValid());
        QCOMPARE(CellData(f.open(), 0, 1, Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QCOMPARE(CellData(f.open(), 0, 3, Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(HeaderTexts(f.open()),
                 QStringList({"ID", "任务ID", "发布人", "任务总价", "发布时间", "状态", "操作"}));

        // The next fetch replaces the records and the rows.
        f.server.enqueueJson(listReply(1, {task("T9", 2)}));
        f.action("N_N2")->trigger();
        QCOMPARE(RowCount(f.open()), 0);
        QCOMPARE(RowCount(f.taken()), 1);
        QCOMPARE(TaskManager.Dictionary(tdTaskCenter).size(), std::size_t(1));
        QVERIFY(f.t.prompter.entries.empty());
    }

    void categoryButtonFetchesPageOneOfItsCategory() {
        Fixture f;
        f.hall.pagedList().FCurrentPageIndex = 4;
        f.server.enqueueJson(listReply(0, {}));
        f.button("btn_3day")->click();
        QCOMPARE(f.server.requestCount(), std::size_t(0)); // the reload is posted
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.server.lastRequest().data, QStringList({"clientversion=1.0.0.0", "pageindex=1", "taskttimetype=3"}));
        QCOMPARE(f.hall.FTaskTimeType, tt3day);
        QVERIFY(f.button("btn_3day")->isChecked());
        QVERIFY(!f.button("btn_All")->isChecked());

        // Paging keeps the category.
        f.server.enqueueJson(listReply(0, {}));
        f.button("btn_First")->click();
        QCOMPARE(f.server.lastRequest().dataValue("taskttimetype"), QStringLiteral("3"));
    }

    void maskedBuyerAccount_data() {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("shown");
        QTest::newRow("six") << "abcdef"
                             << "abcd**";
        QTest::newRow("three") << "abc"
                               << "a**";
        QTest::newRow("two") << "ab"
                             << "**";
        QTest::newRow("one") << "a"
                             << "**";
        QTest::newRow("empty") << ""
                               << "**";
        QTest::newRow("chinese") << "王小二三"
                                 << "王小**";
        QTest::newRow("outside the basic plane") << QString::fromUcs4(U"x😀😀y") << QString::fromUcs4(U"x😀**");
    }
    void maskedBuyerAccount() {
        QFETCH(QString, account);
        QFETCH(QString, shown);
        QCOMPARE(MaskTaobaoAccount(account), shown);
    }

    void searchWithBlanksOnlySendsNothing() {
        Fixture f;
        f.loadMixedPage();
        f.edit()->setText(QStringLiteral(" \t  "));
        f.button("btn_Search")->click();
        QCOMPARE(f.server.requestCount(), std::size_t(0));
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("请输入要查找的任务ID!"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(RowCount(f.open()), 2); // nothing cleared
    }

    // A found task in state 1 goes to the taken tab with the masked buyer account; the tab and the
    // page index stay.
    void searchShowsTheFoundTaskWithTheMaskedBuyer() {
        Fixture f;
        f.loadMixedPage();
        f.hall.pagedList().FCurrentPageIndex = 2;
        f.tabs()->setCurrentIndex(0);
        nlohmann::json found = task("T-77", 1, 30, "abcdef");
        found.erase("handlerqq");
        found.erase("publisherusername");
        f.server.enqueueJson(listReply(1, {found}));
        f.edit()->setText(QStringLiteral("  T-77\t"));
        f.button("btn_Search")->click();

        const RecordedRequest request = f.server.lastRequest();
        QCOMPARE(request.head.value(0), QStringLiteral("head_command=17"));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "taskid=T-77"}));
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(RowCount(f.open()), 0);
        QCOMPARE(RowCount(f.taken()), 1);
        QCOMPARE(CellText(f.taken(), 0, 2), QStringLiteral("abcd**"));
        QCOMPARE(f.tabs()->currentIndex(), 0);
        QCOMPARE(f.bar("lbl_totalnum"), QStringLiteral("总:1条"));
        QCOMPARE(f.bar("edt_currentpage"), QStringLiteral("2"));
        QCOMPARE(f.hall.pagedList().FCurrentPageIndex, 2);
        const PTaskInfo record = TaskManager.Dictionary(tdTaskCenter).at("T-77").get();
        QCOMPARE(record->Fhandlerusername, QStringLiteral("接手人乙"));
        QVERIFY(record->Fhandlerqq.isEmpty());

        // Refresh returns to the paged list at the page index.
        f.server.enqueueJson(listReply(30, {}));
        f.action("N_N2")->trigger();
        QCOMPARE(f.server.lastRequest().dataValue("pageindex"), QStringLiteral("2"));
    }

    void searchAndPageFailures() {
        Fixture f;
        f.loadMixedPage();
        f.edit()->setText(QStringLiteral("T1"));
        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        f.button("btn_Search")->click();
        const QString prefix = QStringLiteral("搜索任务失败，请稍后再试！");
        QVERIFY(f.t.prompter.lastText().startsWith(prefix));
        QVERIFY(f.t.prompter.lastText().size() > prefix.size());
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(RowCount(f.open()) + RowCount(f.taken()), 0);

        // The page fetch names its own operation.
        f.loadMixedPage();
        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        f.action("N_N2")->trigger();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("获取已发布任务列表失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(RowCount(f.open()) + RowCount(f.taken()), 0);

        // Not found (returncode 0): silent, both lists empty.
        f.loadMixedPage();
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "没有找到"}});
        f.button("btn_Search")->click();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(RowCount(f.open()) + RowCount(f.taken()), 0);
    }

    void takeWithoutSelectionOrWithNoSendsNothing() {
        Fixture f;
        f.signIn();
        f.loadMixedPage();
        f.action("N1")->trigger();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(f.server.requestCount(), std::size_t(0));

        SelectRow(f.open(), 1);
        f.t.prompter.yesNoAnswers = {false};
        f.action("N1")->trigger();
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("确定要接手此任务吗?"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }

    // Accepted: the success box first, the reload of the same page and category only after it closed.
    void takeAcceptedReloadsAfterTheBox() {
        Fixture f;
        f.signIn();
        f.hall.FTaskTimeType = tt2day;
        f.hall.pagedList().FCurrentPageIndex = 2;
        f.loadMixedPage();
        SelectRow(f.open(), 1);
        f.t.prompter.yesNoAnswers = {true};
        f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        f.server.enqueueJson(listReply(2, {task("T1", 0)}));
        std::vector<std::size_t> requestsWhileBoxUp;
        f.t.prompter.onShow = [&](const TestPrompter::Entry& entry) {
            if (entry.kind == TestPrompter::Kind::Message) {
                requestsWhileBoxUp.push_back(f.server.requestCount());
                QCoreApplication::processEvents(); // a box runs its own loop: still no reload
                requestsWhileBoxUp.push_back(f.server.requestCount());
            }
        };
        f.action("N1")->trigger();

        QCOMPARE(f.server.requestCount(), std::size_t(1));
        const RecordedRequest take = f.server.lastRequest();
        QCOMPARE(take.head.value(0), QStringLiteral("head_command=24"));
        QCOMPARE(take.data, QStringList({"clientversion=1.0.0.0", "taskid=T3", "handleuserid=4242"}));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("恭喜，任务接手成功，请尽快完成支付操作！"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(requestsWhileBoxUp, std::vector<std::size_t>({1, 1}));

        QTRY_COMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.server.lastRequest().data, QStringList({"clientversion=1.0.0.0", "pageindex=2", "taskttimetype=2"}));
        QTRY_COMPARE(RowCount(f.open()), 1);
    }

    void takeRefusedOrFailedDoesNotReload_data() {
        QTest::addColumn<int>("status"); // 0: a JSON reply with `code`; otherwise an HTTP status
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // expected text (a prefix for the transport failure)
        QTest::addColumn<QString>("caption");
        QTest::newRow("refused") << 0 << 0 << "任务接手失败余额不足"
                                 << "提示";
        QTest::newRow("other returncode") << 0 << 2 << ""
                                          << "";
        QTest::newRow("transport failure") << 503 << 0 << "接手任务失败，请稍后再试！"
                                           << "错误";
    }
    void takeRefusedOrFailedDoesNotReload() {
        QFETCH(int, status);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        Fixture f;
        f.signIn();
        f.loadMixedPage();
        SelectRow(f.open(), 0);
        f.t.prompter.yesNoAnswers = {true};
        if (status == 0)
            f.server.enqueueJson({{"returncode", code}, {"returnmsg", "余额不足"}});
        else
            f.server.enqueue(ScriptedReply::status_(status, "Service Unavailable"));
        f.action("N1")->trigger();
        QCOMPARE(f.server.lastRequest().dataValue("taskid"), QStringLiteral("T1"));

        if (message.isEmpty()) {
            QCOMPARE(f.t.prompter.entries.size(), std::size_t(1)); // the question only
        } else {
            QCOMPARE(f.t.prompter.entries.size(), std::size_t(2));
            QVERIFY2(f.t.prompter.lastText().startsWith(message), qPrintable(f.t.prompter.lastText()));
            if (status == 0) QCOMPARE(f.t.prompter.lastText(), message);
            QCOMPARE(f.t.prompter.last()->caption, caption);
            QCOMPARE(f.t.prompter.last()->icon, status == 0 ? MessageIcon::Information : MessageIcon::Error);
        }
        QTest::qWait(50);
        QCOMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(RowCount(f.open()), 2);
    }

    // A reload that runs while the question is up (the load timer, a posted reload) disposes the
    // records; the take still sends the task the user was asked about.
    void takeSendsTheAskedTaskAfterAReloadUnderTheQuestion() {
        Fixture f;
        f.signIn();
        f.loadMixedPage();
        SelectRow(f.open(), 1);
        f.server.enqueueJson(listReply(2, {task("R1", 0), task("R2", 0)}));
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "已被接手"}});
        f.t.prompter.yesNoAnswers = {true};
        f.t.prompter.onShow = [&](const TestPrompter::Entry& entry) {
            if (entry.kind == TestPrompter::Kind::Question) f.hall.GetTaskListFromTaskCenter();
        };
        f.action("N1")->trigger();
        QCOMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.server.lastRequest().dataValue("taskid"), QStringLiteral("T3"));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("任务接手失败已被接手"));
    }

    void copyTaskIdFromEitherList() {
        Fixture f;
        f.loadMixedPage();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        f.action("N_CopyTaskID")->trigger();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        SelectRow(f.taken(), 0);
        f.action("N_CopyTaskID2")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("T2"));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("已复制任务ID到剪切板！"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));

        SelectRow(f.open(), 1);
        f.action("N_CopyTaskID")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("T3"));
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }

    // Leaving the hall on page 2 and coming back reloads page 2 of the same category.
    void showingReloadsThePageLeft() {
        Fixture f;
        f.hall.FTaskTimeType = tt2Hour;
        f.hall.pagedList().FCurrentPageIndex = 2;
        f.server.enqueueJson(listReply(25, {task("T21", 0)}));
        f.server.enqueueJson(listReply(25, {task("T21", 0)}));
        f.hall.show();
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        f.hall.hide();
        f.hall.show();
        QTRY_COMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.server.lastRequest().data, QStringList({"clientversion=1.0.0.0", "pageindex=2", "taskttimetype=1"}));
        QTRY_COMPARE(RowCount(f.open()), 1);
    }

    void detailView_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<QString>("handleTime");
        QTest::addColumn<QString>("replyTime");
        QTest::newRow("open") << 0 << false << "接手日期："
                              << "";
        QTest::newRow("waiting for shipping") << 2 << true << "接手日期："
                                              << "2016-05-01 12:00:00";
        QTest::newRow("waiting for the review") << 3 << true << "接单日期：2016-05-01 09:59:00"
                                                << "2016-05-01 12:00:00";
    }
    void detailView() {
        QFETCH(int, status);
        QFETCH(bool, handled);
        QFETCH(QString, handleTime);
        QFETCH(QString, replyTime);
        TestServices t;
        TTaskInfo record;
        ReadTaskInfo(task("T5", status, 20), trHandledPage, record);
        record.Fpublisherqq.clear(); // an empty number still opens a link, with empty placeholders

        TfrmViewTaskInfo dialog(t.services, record);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("查看任务详情"));
        QCOMPARE(Child<QTabWidget>(&dialog, "PageControl1")->currentIndex(), 0);
        QCOMPARE(Child<QLabel>(&dialog, "lbl_taskid")->text(), QStringLiteral("任务ID：T5"));
        QCOMPARE(Child<QLabel>(&dialog, "lbl_PublishTime")->text(), QStringLiteral("发布日期：2016-04-30 10:00:00"));
        QCOMPARE(Child<QLabel>(&dialog, "lbl_TaskStatus")->text(),
                 QStringLiteral("任务状态：") + TaskStatusNames[std::size_t(status)]);
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_taskmoney")->text(), QStringLiteral("20"));
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_publisher")->text(), QStringLiteral("发布人甲  买入小号[pub_buyer]"));
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_publishershopkeeperusername")->text(), QStringLiteral("甲店"));
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_goodskeyword")->text(), QStringLiteral("红色 连衣裙"));
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_replymsg")->text(), QStringLiteral("很好"));
        QCOMPARE(Child<QPlainTextEdit>(&dialog, "mmo_detailrequirement")->toPlainText(), QStringLiteral("无"));
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_ShouldreplyTime")->text(), replyTime);
        QCOMPARE(Child<QWidget>(&dialog, "pnl_UnHandle")->isHidden(),
                 handled); // the handler tab itself is not the current one
        QCOMPARE(Child<QWidget>(&dialog, "pnl_Info")->isHidden(), !handled);
        QCOMPARE(Child<QLabel>(&dialog, "lbl_HandleTime")->text(), handleTime);
        if (handled) {
            QCOMPARE(Child<QLabel>(&dialog, "lbl_Handlerusername")->text(), QStringLiteral("接单人：接手人乙"));
            QCOMPARE(Child<QLabel>(&dialog, "lbl_handlershopkeeperusername")->text(), QStringLiteral("掌柜名：乙店"));
            QCOMPARE(Child<QLabel>(&dialog, "lbl_handlertaobaoxiaohao")->text(), QStringLiteral("买入小号：hdl_buyer"));
            QCOMPARE(Child<QLabel>(&dialog, "lbl_handlerqq")->text(), QStringLiteral("联系QQ：67890"));
        }

        Child<QToolButton>(&dialog, "img_QQHandler")->click();
        Child<QToolButton>(&dialog, "img_QQPublisher")->click();
        QCOMPARE(t.links.opened, QStringList({"tencent://message/?uin=67890&Site=67890&Menu=yes",
                                              "tencent://message/?uin=&Site=&Menu=yes"}));

        QTest::keyClick(&dialog, Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void detailViewPriceInShortestForm() {
        TestServices t;
        TTaskInfo record;
        record.Ftaskmoney = Money::fromFen(1250);
        TfrmViewTaskInfo dialog(t.services, record);
        dialog.show();
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_taskmoney")->text(), QStringLiteral("12.5"));
        QCOMPARE(Child<QLineEdit>(&dialog, "edt_ShouldreplyTime")->text(), QString());
        QVERIFY(!Child<QWidget>(&dialog, "pnl_UnHandle")->isHidden());
        QVERIFY(Child<QWidget>(&dialog, "pnl_Info")->isHidden());
        QCOMPARE(Child<QLabel>(&dialog, "Label5")->text(), QStringLiteral("此任务尚未被接手！"));
    }
};

QTEST_MAIN(TestTaskCenter)
#include "test_taskcenter.moc"
