// The task hall and the task detail view against the scripted loopback server: the page split over
// the two tabs, the categories, the search, taking a task, copying ids, loading when shown, and the
// detail dialog in its states.
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

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

// A task object carrying every member any hall reader reads.
nlohmann::json task(const std::string& taskid, int status, double money = 15,
                    const std::string& xiaohao = "buyer01") {
    return {
        {"id", 100},
        {"taskid", taskid},
        {"publishtime", "2016-04-30 09:15:02"},
        {"publishuserid", 7},
        {"publishtaobaoxiaohao", xiaohao},
        {"taskmoney", money},
        {"shopkeeperusername", "店主甲"},
        {"goodskeyword", "红色 连衣裙"},
        {"replymsg", "很好"},
        {"detailrequirement", "货比三家"},
        {"status", status},
        {"marks", ""},
        {"handleuserid", 9},
        {"handletime", "2016-05-01 08:00:00"},
        {"shouldpaytime", "2016-05-01 08:15:00"},
        {"paytime", "2016-05-01 08:05:00"},
        {"fahuotime", "2016-05-01 09:00:00"},
        {"shouldshouhuoandreplytime", "2016-05-03 09:00:00"},
        {"shouhuoandreplytime", "2016-05-03 10:00:00"},
        {"publisherusername", "发单人" + taskid},
        {"publishershopkeeperusername", "掌柜乙"},
        {"publishertaobaoxiaohao", "pub_xh"},
        {"publisherqq", "12345"},
        {"handlerusername", "接单人丙"},
        {"handlershopkeeperusername", "掌柜丙"},
        {"handlertaobaoxiaohao", "hand_xh"},
        {"handlerqq", "67890"},
    };
}

nlohmann::json listReply(int total, const std::vector<nlohmann::json>& tasks) {
    return {{"returncode", 1}, {"returnmsg", ""}, {"totalnum", total}, {"msgbody", nlohmann::json(tasks)}};
}

QStringList rowCells(const TListView* list, int row) {
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column) cells.append(list->cellText(row, column));
    return cells;
}

struct Fixture {
    ScriptedServer server;
    TestServices t{server.settings()};
    TfrmTaskCenter hall{t.services};

    void signIn() { CurrentUser().Fid = 4242; }

    // Fetches a page of three tasks: two open, one waiting for payment.
    void loadMixedPage() {
        server.enqueueJson(listReply(3, {task("T1", 0), task("T2", 1, 20.5), task("T3", 0, 8)}));
        hall.N_N2->trigger();
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
        f.hall.pgc_Main->setCurrentIndex(1);
        f.server.enqueueJson(listReply(3, {task("T1", 0), task("T2", 1, 20.5), task("T3", 0, 8)}));
        f.hall.N_N2->trigger();

        const TRecordedRequest request = f.server.lastRequest();
        QCOMPARE(request.head.value(0), QStringLiteral("head_command=16"));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "pageindex=1", "taskttimetype=0"}));
        QCOMPARE(f.hall.pgc_Main->currentIndex(), 0);
        QCOMPARE(f.hall.pnl_Navigation->lbl_totalnum->text(), QStringLiteral("总:3条"));

        QCOMPARE(f.hall.lv_task->rowCount(), 2);
        QCOMPARE(rowCells(f.hall.lv_task, 0), QStringList({"", "T1", "发单人T1", " 15.00 元", "2016-04-30 09:15:02",
                                                           "等待接手", "单击鼠标右键进行操作"}));
        QCOMPARE(f.hall.lv_task->cellText(1, 1), QStringLiteral("T3"));
        QCOMPARE(f.hall.lv_handledtask->columnCount(), 6);
        QCOMPARE(f.hall.lv_handledtask->rowCount(), 1);
        QCOMPARE(rowCells(f.hall.lv_handledtask, 0),
                 QStringList({"", "T2", "发单人T2", " 20.50 元", "2016-04-30 09:15:02", "等待支付"}));

        // Each row points at its record in the hall's dictionary of the store.
        const auto& records = TaskManager.Dictionary(tdTaskCenter);
        QCOMPARE(records.size(), std::size_t(3));
        QCOMPARE(f.hall.lv_handledtask->rowData(0).value<void*>(), static_cast<void*>(records.at("T2").get()));

        // Task id bold green, price red, the rest black.
        const QTableWidgetItem* id = f.hall.lv_task->item(0, 1);
        QCOMPARE(id->foreground().color(), QColor(0, 153, 0));
        QVERIFY(id->font().bold());
        QCOMPARE(f.hall.lv_task->item(0, 3)->foreground().color(), QColor(255, 0, 0));
        QCOMPARE(f.hall.lv_handledtask->item(0, 2)->foreground().color(), QColor(0, 0, 0));

        // The next fetch replaces the records and the rows.
        f.server.enqueueJson(listReply(1, {task("T9", 2)}));
        f.hall.N_N2->trigger();
        QCOMPARE(f.hall.lv_task->rowCount(), 0);
        QCOMPARE(f.hall.lv_handledtask->rowCount(), 1);
        QCOMPARE(TaskManager.Dictionary(tdTaskCenter).size(), std::size_t(1));
        QVERIFY(f.t.prompter.entries.empty());
    }

    void categoryButtonFetchesPageOneOfItsCategory() {
        Fixture f;
        f.hall.pagedList().FCurrentPageIndex = 4;
        f.server.enqueueJson(listReply(0, {}));
        f.hall.btn_3day->click();
        QCOMPARE(f.server.requestCount(), std::size_t(0)); // the reload is posted
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.server.lastRequest().data,
                 QStringList({"clientversion=1.0.0.0", "pageindex=1", "taskttimetype=3"}));
        QCOMPARE(f.hall.FTaskTimeType, tt3day);
        QVERIFY(f.hall.btn_3day->isChecked());
        QVERIFY(!f.hall.btn_All->isChecked());

        // Paging keeps the category.
        f.server.enqueueJson(listReply(0, {}));
        f.hall.pnl_Navigation->btn_First->click();
        QCOMPARE(f.server.lastRequest().dataValue("taskttimetype"), QStringLiteral("3"));
    }

    void maskedBuyerAccount_data() {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("shown");
        QTest::newRow("six") << "abcdef" << "abcd**";
        QTest::newRow("three") << "abc" << "a**";
        QTest::newRow("two") << "ab" << "**";
        QTest::newRow("one") << "a" << "**";
        QTest::newRow("empty") << "" << "**";
        QTest::newRow("chinese") << "王小二三" << "王小**";
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
        f.hall.edt_TaskID->setText(QStringLiteral(" \t  "));
        f.hall.btn_Search->click();
        QCOMPARE(f.server.requestCount(), std::size_t(0));
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("请输入要查找的任务ID!"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Information);
        QCOMPARE(f.hall.lv_task->rowCount(), 2); // nothing cleared
    }

    // A found task in state 1 goes to the taken tab with the masked buyer account; the tab and the
    // page index stay.
    void searchShowsTheFoundTaskWithTheMaskedBuyer() {
        Fixture f;
        f.loadMixedPage();
        f.hall.pagedList().FCurrentPageIndex = 2;
        f.hall.pgc_Main->setCurrentIndex(0);
        nlohmann::json found = task("T-77", 1, 30, "abcdef");
        found.erase("handlerqq");
        found.erase("publisherusername");
        f.server.enqueueJson(listReply(1, {found}));
        f.hall.edt_TaskID->setText(QStringLiteral("  T-77\t"));
        f.hall.btn_Search->click();

        const TRecordedRequest request = f.server.lastRequest();
        QCOMPARE(request.head.value(0), QStringLiteral("head_command=17"));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "taskid=T-77"}));
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(f.hall.lv_task->rowCount(), 0);
        QCOMPARE(f.hall.lv_handledtask->rowCount(), 1);
        QCOMPARE(f.hall.lv_handledtask->cellText(0, 2), QStringLiteral("abcd**"));
        QCOMPARE(f.hall.pgc_Main->currentIndex(), 0);
        QCOMPARE(f.hall.pnl_Navigation->lbl_totalnum->text(), QStringLiteral("总:1条"));
        QCOMPARE(f.hall.pnl_Navigation->edt_currentpage->text(), QStringLiteral("2"));
        QCOMPARE(f.hall.pagedList().FCurrentPageIndex, 2);
        const PTaskInfo record = TaskManager.Dictionary(tdTaskCenter).at("T-77").get();
        QCOMPARE(record->Fhandlerusername, QStringLiteral("接单人丙"));
        QVERIFY(record->Fhandlerqq.isEmpty());

        // Refresh returns to the paged list at the page index.
        f.server.enqueueJson(listReply(30, {}));
        f.hall.N_N2->trigger();
        QCOMPARE(f.server.lastRequest().dataValue("pageindex"), QStringLiteral("2"));
    }

    void searchAndPageFailures() {
        Fixture f;
        f.loadMixedPage();
        f.hall.edt_TaskID->setText(QStringLiteral("T1"));
        f.server.enqueue(TScriptedReply::status_(500, "Internal Server Error"));
        f.hall.btn_Search->click();
        const QString prefix = QStringLiteral("搜索任务失败，请稍后再试！");
        QVERIFY(f.t.prompter.lastText().startsWith(prefix));
        QVERIFY(f.t.prompter.lastText().size() > prefix.size());
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Error);
        QCOMPARE(f.hall.lv_task->rowCount() + f.hall.lv_handledtask->rowCount(), 0);

        // The page fetch names its own operation.
        f.loadMixedPage();
        f.server.enqueue(TScriptedReply::status_(500, "Internal Server Error"));
        f.hall.N_N2->trigger();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("获取已发布任务列表失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.hall.lv_task->rowCount() + f.hall.lv_handledtask->rowCount(), 0);

        // Not found (returncode 0): silent, both lists empty.
        f.loadMixedPage();
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "没有找到"}});
        f.hall.btn_Search->click();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(f.hall.lv_task->rowCount() + f.hall.lv_handledtask->rowCount(), 0);
    }

    void takeWithoutSelectionOrWithNoSendsNothing() {
        Fixture f;
        f.signIn();
        f.loadMixedPage();
        f.hall.N1->trigger();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(f.server.requestCount(), std::size_t(0));

        f.hall.lv_task->selectRow(1);
        f.t.prompter.yesNoAnswers = {false};
        f.hall.N1->trigger();
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
        f.hall.lv_task->selectRow(1);
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
        f.hall.N1->trigger();

        QCOMPARE(f.server.requestCount(), std::size_t(1));
        const TRecordedRequest take = f.server.lastRequest();
        QCOMPARE(take.head.value(0), QStringLiteral("head_command=24"));
        QCOMPARE(take.data, QStringList({"clientversion=1.0.0.0", "taskid=T3", "handleuserid=4242"}));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("恭喜，任务接手成功，请尽快完成支付操作！"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, TMsgIcon::Information);
        QCOMPARE(requestsWhileBoxUp, std::vector<std::size_t>({1, 1}));

        QTRY_COMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.server.lastRequest().data,
                 QStringList({"clientversion=1.0.0.0", "pageindex=2", "taskttimetype=2"}));
        QTRY_COMPARE(f.hall.lv_task->rowCount(), 1);
    }

    void takeRefusedOrFailedDoesNotReload_data() {
        QTest::addColumn<int>("status");      // 0: a JSON reply with `code`; otherwise an HTTP status
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // expected text (a prefix for the transport failure)
        QTest::addColumn<QString>("caption");
        QTest::newRow("refused") << 0 << 0 << "任务接手失败余额不足" << "提示";
        QTest::newRow("other returncode") << 0 << 2 << "" << "";
        QTest::newRow("transport failure") << 503 << 0 << "接手任务失败，请稍后再试！" << "错误";
    }
    void takeRefusedOrFailedDoesNotReload() {
        QFETCH(int, status);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        Fixture f;
        f.signIn();
        f.loadMixedPage();
        f.hall.lv_task->selectRow(0);
        f.t.prompter.yesNoAnswers = {true};
        if (status == 0) f.server.enqueueJson({{"returncode", code}, {"returnmsg", "余额不足"}});
        else f.server.enqueue(TScriptedReply::status_(status, "Service Unavailable"));
        f.hall.N1->trigger();
        QCOMPARE(f.server.lastRequest().dataValue("taskid"), QStringLiteral("T1"));

        if (message.isEmpty()) {
            QCOMPARE(f.t.prompter.entries.size(), std::size_t(1)); // the question only
        } else {
            QCOMPARE(f.t.prompter.entries.size(), std::size_t(2));
            QVERIFY2(f.t.prompter.lastText().startsWith(message), qPrintable(f.t.prompter.lastText()));
            if (status == 0) QCOMPARE(f.t.prompter.lastText(), message);
            QCOMPARE(f.t.prompter.last()->caption, caption);
            QCOMPARE(f.t.prompter.last()->icon, status == 0 ? TMsgIcon::Information : TMsgIcon::Error);
        }
        QTest::qWait(50);
        QCOMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.hall.lv_task->rowCount(), 2);
    }

    // A reload that runs while the question is up (the load timer, a posted reload) disposes the
    // records; the take still sends the task the user was asked about.
    void takeSendsTheAskedTaskAfterAReloadUnderTheQuestion() {
        Fixture f;
        f.signIn();
        f.loadMixedPage();
        f.hall.lv_task->selectRow(1);
        f.server.enqueueJson(listReply(2, {task("R1", 0), task("R2", 0)}));
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "已被接手"}});
        f.t.prompter.yesNoAnswers = {true};
        f.t.prompter.onShow = [&](const TestPrompter::Entry& entry) {
            if (entry.kind == TestPrompter::Kind::Question) f.hall.GetTaskListFromTaskCenter();
        };
        f.hall.N1->trigger();
        QCOMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(f.server.lastRequest().dataValue("taskid"), QStringLiteral("T3"));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("任务接手失败已被接手"));
    }

    void copyTaskIdFromEitherList() {
        Fixture f;
        f.loadMixedPage();
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        f.hall.N_CopyTaskID->trigger();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

        f.hall.lv_handledtask->selectRow(0);
        f.hall.N_CopyTaskID2->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("T2"));
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("已复制任务ID到剪切板！"));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));

        f.hall.lv_task->selectRow(1);
        f.hall.N_CopyTaskID->trigger();
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
        QCOMPARE(f.server.lastRequest().data,
                 QStringList({"clientversion=1.0.0.0", "pageindex=2", "taskttimetype=1"}));
        QTRY_COMPARE(f.hall.lv_task->rowCount(), 1);
    }

    void detailView_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("handled");
        QTest::addColumn<QString>("handleTime");
        QTest::addColumn<QString>("replyTime");
        QTest::newRow("open") << 0 << false << "接手日期：" << "";
        QTest::newRow("waiting for shipping") << 2 << true << "接手日期：" << "2016-05-03 09:00:00";
        QTest::newRow("waiting for the review") << 3 << true << "接单日期：2016-05-01 08:00:00"
                                                << "2016-05-03 09:00:00";
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

        TfrmViewTaskInfo dialog(t.services, &record);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("查看任务详情"));
        QCOMPARE(dialog.PageControl1->currentIndex(), 0);
        QCOMPARE(dialog.lbl_taskid->text(), QStringLiteral("任务ID：T5"));
        QCOMPARE(dialog.lbl_PublishTime->text(), QStringLiteral("发布日期：2016-04-30 09:15:02"));
        QCOMPARE(dialog.lbl_TaskStatus->text(), QStringLiteral("任务状态：") + TaskStatusNames[std::size_t(status)]);
        QCOMPARE(dialog.edt_taskmoney->text(), QStringLiteral("20"));
        QCOMPARE(dialog.edt_publisher->text(), QStringLiteral("发单人T5  买入小号[pub_xh]"));
        QCOMPARE(dialog.edt_publishershopkeeperusername->text(), QStringLiteral("掌柜乙"));
        QCOMPARE(dialog.edt_goodskeyword->text(), QStringLiteral("红色 连衣裙"));
        QCOMPARE(dialog.edt_replymsg->text(), QStringLiteral("很好"));
        QCOMPARE(dialog.mmo_detailrequirement->toPlainText(), QStringLiteral("货比三家"));
        QCOMPARE(dialog.edt_ShouldreplyTime->text(), replyTime);
        QCOMPARE(dialog.pnl_UnHandle->isHidden(), handled); // the handler tab itself is not the current one
        QCOMPARE(dialog.pnl_Info->isHidden(), !handled);
        QCOMPARE(dialog.lbl_HandleTime->text(), handleTime);
        if (handled) {
            QCOMPARE(dialog.lbl_Handlerusername->text(), QStringLiteral("接单人：接单人丙"));
            QCOMPARE(dialog.lbl_handlershopkeeperusername->text(), QStringLiteral("掌柜名：掌柜丙"));
            QCOMPARE(dialog.lbl_handlertaobaoxiaohao->text(), QStringLiteral("买入小号：hand_xh"));
            QCOMPARE(dialog.lbl_handlerqq->text(), QStringLiteral("联系QQ：67890"));
        }

        dialog.img_QQHandler->click();
        dialog.img_QQPublisher->click();
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
        TfrmViewTaskInfo dialog(t.services, &record);
        dialog.show();
        QCOMPARE(dialog.edt_taskmoney->text(), QStringLiteral("12.5"));
        QCOMPARE(dialog.edt_ShouldreplyTime->text(), QString());
        QVERIFY(!dialog.pnl_UnHandle->isHidden());
        QVERIFY(dialog.pnl_Info->isHidden());
        QCOMPARE(dialog.Label5->text(), QStringLiteral("此任务尚未被接手！"));
    }
};

QTEST_MAIN(TestTaskCenter)
#include "test_taskcenter.moc"
