// The task hall against the real platform server: a page of the demo data reads without an error and
// splits over the two tabs, a category button narrows the page, a search shows the masked buyer
// account, a take succeeds and reloads, and a take that another handler won first is refused.
#include "model/uCommonVarConst.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"
#include "tests/support/WireClient.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {
const QString Password = QStringLiteral("demo123");

int userId(const WireClient& wire, const QString& name) { return ReplyInt(wire.call(cmLogin, name, Password), "id"); }

// Publishes a task as `name` over the wire and returns its task id (the newest of the publisher's).
QString publish(const WireClient& wire, const QString& name, const QString& keyword, int interval) {
    const ReplyObject published =
        wire.call(cmPublishTask, name, Password,
                  {userId(wire, name), name + QStringLiteral("_xiaohao"), name + QStringLiteral("的小店"),
                   QStringLiteral("18.00"), keyword, QStringLiteral("好评"), QString(), interval});
    if (ReplyReturnCode(published) != 1) return {};
    const ReplyObject list = wire.call(cmGetPublishedTaskList, name, Password, {1});
    for (const ReplyObject* task : ReplyRecords(list))
        if (ReplyText(*task, "goodskeyword") == keyword) return ReplyText(*task, "taskid");
    return {};
}

int rowOf(const QAbstractItemView* list, const QString& taskid) { return RowOfId(list, taskid); }

bool anyError(const TestPrompter& prompter) {
    for (const TestPrompter::Entry& entry : prompter.entries)
        if (entry.caption == QStringLiteral("错误")) return true;
    return false;
}
} // namespace

class TestTaskHallEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void hallAgainstTheServer() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient wire(server.port());
        TestServices t(server.channel());
        const QString fourDays = publish(wire, QStringLiteral("demo1"), QStringLiteral("大厅测试四天"), it96Hour);
        QVERIFY(!fourDays.isEmpty());

        QVERIFY(LogInAs(t.services, QStringLiteral("demo2"), Password));
        TfrmTaskCenter hall(t.services);
        QAbstractItemView* open = FindList(&hall, "lv_task");
        QAbstractItemView* taken = FindList(&hall, "lv_handledtask");
        const auto button = [&hall](const char* name) { return Child<QAbstractButton>(&hall, name); };
        QLineEdit* taskId = Child<QLineEdit>(&hall, "edt_TaskID");
        QLabel* total = Child<QLabel>(&hall, "lbl_totalnum");
        QAction* take = Child<QAction>(&hall, "N1");
        hall.GetTaskListFromTaskCenter();
        QVERIFY2(t.prompter.entries.empty(), qPrintable(t.prompter.lastText()));
        QVERIFY(RowCount(open) > 1);
        QVERIFY(total->text() != QStringLiteral("总:0条"));
        QCOMPARE(rowOf(open, fourDays), 0); // open tasks first, newest first
        QCOMPARE(CellText(open, 0, 2), QStringLiteral("demo1"));
        QCOMPARE(CellText(open, 0, 3), QStringLiteral(" 18.00 元"));

        // Categories: the 4-day task is listed under "4天任务", not under "2小时任务".
        button("btn_2hour")->click();
        QTRY_COMPARE(rowOf(open, fourDays), -1);
        QVERIFY(RowCount(open) > 0); // the demo's 2-hour tasks
        button("btn_4day")->click();
        QTRY_COMPARE(rowOf(open, fourDays), 0);
        QVERIFY(!anyError(t.prompter));

        // A search shows the masked buyer account of the publisher.
        taskId->setText(QStringLiteral(" ") + fourDays);
        button("btn_Search")->click();
        QCOMPARE(RowCount(open), 1);
        QCOMPARE(CellText(open, 0, 2), QStringLiteral("demo1_xiaoh**"));
        QCOMPARE(total->text(), QStringLiteral("总:1条"));

        // Take it: success box, then the page is reloaded without it among the open tasks.
        SelectRow(open, 0);
        t.prompter.yesNoAnswers = {true};
        take->trigger();
        QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，任务接手成功，请尽快完成支付操作！"));
        QTRY_VERIFY(RowCount(open) > 1 || RowCount(taken) > 0);
        QCOMPARE(rowOf(open, fourDays), -1);
        button("btn_Search")->click();
        QCOMPARE(RowCount(open), 0);
        QCOMPARE(rowOf(taken, fourDays), 0);
        QCOMPARE(CellText(taken, 0, 5), QStringLiteral("等待支付"));
        QVERIFY(!anyError(t.prompter));

        // Another handler wins the race for a listed task: the take is refused with the server's text.
        const QString raced = publish(wire, QStringLiteral("demo1"), QStringLiteral("大厅测试抢单"), it2Hour);
        taskId->setText(raced);
        button("btn_Search")->click();
        QCOMPARE(rowOf(open, raced), 0);
        const ReplyObject handled =
            wire.call(cmHandleTask, QStringLiteral("demo3"), Password, {raced, userId(wire, QStringLiteral("demo3"))});
        QCOMPARE(ReplyReturnCode(handled), 1);
        SelectRow(open, 0);
        t.prompter.yesNoAnswers = {true};
        t.prompter.clear();
        take->trigger();
        QCOMPARE(t.prompter.entries.size(), std::size_t(2));
        QVERIFY2(t.prompter.lastText().startsWith(QStringLiteral("任务接手失败")), qPrintable(t.prompter.lastText()));
        QVERIFY(t.prompter.lastText().size() > QStringLiteral("任务接手失败").size());
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
        QTest::qWait(100);
        QCOMPARE(rowOf(open, raced), 0); // no reload after a refusal
    }
};

QTEST_MAIN(TestTaskHallEndToEnd)
#include "test_taskhall.moc"
