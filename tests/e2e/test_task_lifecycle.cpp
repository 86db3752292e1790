// One task from publishing to completion against the real platform server: demo1 publishes through
// the publish dialog, demo2 takes it and confirms payment on the taken-tasks screen, demo1 marks it
// shipped on the published-tasks screen, the server's clock passes the review time, demo2 confirms
// receipt and review, demo1 completes it, and the task money has moved from demo1 to demo2.
#include "model/uCommonVarConst.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishTask.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {
const QString Password = QStringLiteral("demo123");
const QString Keyword = QStringLiteral("端到端测试专用关键词");

// The available balance in fen; -1 when it cannot be had.
qint64 balanceOf(const Services& services, const QString& name) {
    if (!LogInAs(services, name, Password)) return -1;
    const auto reply =
        SendCommand(services, nullptr, cmGetBasicInfo, {}, QStringLiteral("获取基本信息失败，请稍后再试！"));
    if (!reply || !reply->done()) return -1;
    const std::vector<const ReplyObject*> records = ReplyRecords(reply->object);
    if (records.empty()) return -1;
    TBasicInfo info;
    ReadBasicInfo(*records.front(), info);
    return info.Faccountbalance.fen();
}

// The record of `dictionary` published with the test's keyword, or nullptr.
PTaskInfo testTask(TaskDictionary dictionary) {
    for (const auto& [taskid, task] : TaskManager.Dictionary(dictionary))
        if (task->Fgoodskeyword == Keyword) return task.get();
    return nullptr;
}

// Selects the row of `taskid` in the screen's list; false when it is not listed.
bool selectTask(QWidget* screen, const QString& taskid) {
    QAbstractItemView* list = FindList(screen, "lv_task");
    const int row = RowOfId(list, taskid);
    if (row < 0) return false;
    SelectRow(list, row);
    return true;
}

// Whether the menu offers `item` after its rules ran.
bool offers(QWidget* screen, const char* item) {
    return screen->findChild<QAction*>(QString::fromLatin1(item))->isVisible();
}
} // namespace

class TestTaskLifecycle : public QObject {
    Q_OBJECT
private slots:
    void publishTakePayShipReviewComplete() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());
        auto& prompter = t.prompter;

        const qint64 publisherBefore = balanceOf(t.services, QStringLiteral("demo1"));
        const qint64 handlerBefore = balanceOf(t.services, QStringLiteral("demo2"));
        QVERIFY(publisherBefore >= 2500);
        QVERIFY(handlerBefore >= 0);

        // demo1 publishes through the dialog.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        {
            TfrmPublishTask dialog(t.services);
            dialog.show();
            dialog.findChild<QLineEdit*>(QStringLiteral("edt_taskmoney"))->setText(QStringLiteral(" 25 "));
            dialog.findChild<QLineEdit*>(QStringLiteral("edt_goodskeyword"))->setText(Keyword);
            prompter.yesNoAnswers = {true};
            dialog.findChild<QPushButton*>(QStringLiteral("btn_PublishTask"))->click();
            QCOMPARE(prompter.lastText(), QStringLiteral("恭喜，任务发布成功！"));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        TfrmPublishedTaskManager published(t.services);
        published.GetPublishedTaskList();
        PTaskInfo task = testTask(tdPublished);
        QVERIFY(task);
        const QString taskid = task->Ftaskid;
        QCOMPARE(task->Fstatus, tsWaitforHandle);
        QCOMPARE(task->Ftaskmoney.fen(), Q_INT64_C(2500));

        // demo2 takes it and confirms payment before the deadline.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo2"), Password));
        const int handlerId = CurrentUser().Fid;
        const auto taken = SendCommand(t.services, nullptr, cmHandleTask, {taskid, handlerId},
                                       QStringLiteral("接手任务失败，请稍后再试！"));
        QVERIFY(taken && taken->done());
        TfrmHandledTaskManager handled(t.services);
        handled.GetHandledTaskList();
        QVERIFY(selectTask(&handled, taskid));
        task = testTask(tdHandled);
        QVERIFY(task);
        QCOMPARE(task->Fstatus, tsWaitforPay);
        t.clock.set(task->Fhandletime);
        handled.PopupMenu1Popup();
        QVERIFY(offers(&handled, "N_ConfirmHasPay"));
        prompter.yesNoAnswers = {true};
        handled.findChild<QAction*>(QStringLiteral("N_ConfirmHasPay"))->trigger();
        QCOMPARE(prompter.lastText(), QStringLiteral("提交申请成功，请等待发单人审核并发货！"));
        QTRY_VERIFY(testTask(tdHandled) && testTask(tdHandled)->Fstatus == tsWaitforDelivergoods);

        // demo1 marks it shipped.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        published.GetPublishedTaskList();
        QVERIFY(selectTask(&published, taskid));
        published.PopupMenu1Popup();
        QVERIFY(offers(&published, "N_Yifahuo"));
        prompter.yesNoAnswers = {true};
        published.findChild<QAction*>(QStringLiteral("N_Yifahuo"))->trigger();
        QCOMPARE(prompter.lastText(), QStringLiteral("恭喜，设置此任务已发货成功！"));
        QTRY_VERIFY(testTask(tdPublished) && testTask(tdPublished)->Fstatus == tsWaitforReply);

        // The server's clock passes the two-hour review wait chosen by default.
        QString output;
        QCOMPARE(server.admin({QStringLiteral("advance-clock"), QStringLiteral("130")}, &output), 0);

        // demo2 confirms receipt and review once the review time is reached.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo2"), Password));
        handled.GetHandledTaskList();
        QVERIFY(selectTask(&handled, taskid));
        task = testTask(tdHandled);
        QCOMPARE(task->Fstatus, tsWaitforReply);
        t.clock.set(task->Fshouldshouhuoandreplytime);
        handled.PopupMenu1Popup();
        QVERIFY(offers(&handled, "N_ConfirmShouhuoAndReply"));
        prompter.yesNoAnswers = {true};
        handled.findChild<QAction*>(QStringLiteral("N_ConfirmShouhuoAndReply"))->trigger();
        QCOMPARE(prompter.lastText(), QStringLiteral("提交申请成功，请等待发单人审核并完成任务！"));
        QTRY_VERIFY(testTask(tdHandled) && testTask(tdHandled)->Fstatus == tsWaitforConfirmReply);

        // demo1 completes it.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        published.GetPublishedTaskList();
        QVERIFY(selectTask(&published, taskid));
        published.PopupMenu1Popup();
        QVERIFY(offers(&published, "N_ConfirmReplyAndtaskComplete"));
        prompter.yesNoAnswers = {true};
        published.findChild<QAction*>(QStringLiteral("N_ConfirmReplyAndtaskComplete"))->trigger();
        QCOMPARE(prompter.lastText(), QStringLiteral("恭喜，任务完成！"));
        QTRY_VERIFY(testTask(tdPublished) && testTask(tdPublished)->Fstatus == tsTaskComplete);
        QVERIFY(selectTask(&published, taskid));
        QAbstractItemView* list = FindList(&published, "lv_task");
        QCOMPARE(CellText(list, list->currentIndex().row(), 7), QStringLiteral("已经完成"));

        // The money moved from the publisher to the handler.
        QCOMPARE(balanceOf(t.services, QStringLiteral("demo1")), publisherBefore - 2500);
        QCOMPARE(balanceOf(t.services, QStringLiteral("demo2")), handlerBefore + 2500);
        // Nothing went wrong on the way: no error box, every question answered.
        for (const TestPrompter::Entry& entry : prompter.entries)
            QVERIFY2(entry.icon != MessageIcon::Error, qPrintable(entry.text));
        QCOMPARE(prompter.unanswered, 0);
    }
};

QTEST_MAIN(TestTaskLifecycle)
#include "test_task_lifecycle.moc"
