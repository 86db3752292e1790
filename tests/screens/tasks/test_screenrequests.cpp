// The requests of the three task screens against a scripted loopback server, where they meet the
// event loop: a search typed while the load timer is pending, the window coming back from
// minimised after a search, and the detail dialog across a reload of its list. Everything is found
// by object name, so the screens' widgets stay their own.
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "tests/screens/tasks/TaskFixtures.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace {

struct ScreenKind {
    const char* name;
    std::function<std::unique_ptr<QWidget>(const Services&)> make;
    const char* searchEdit;
    int pageCommand;
    int searchCommand;
    // The list a found task in state 1 is shown in (the hall puts taken tasks on its second tab).
    const char* foundList;
    // How the screen fetches its current page (its refresh item).
    const char* refreshItem;
};

const ScreenKind Kinds[] = {
    {"task hall", [](const Services& s) { return std::make_unique<TfrmTaskCenter>(s); }, "edt_TaskID", 16, 17,
     "lv_handledtask", "N_N2"},
    {"taken tasks", [](const Services& s) { return std::make_unique<TfrmHandledTaskManager>(s); }, "edt_TaskID", 18, 19,
     "lv_task", "N_N3"},
    {"published tasks", [](const Services& s) { return std::make_unique<TfrmPublishedTaskManager>(s); }, "edt_taskid",
     20, 21, "lv_task", "N_Refresh"},
};

// The task ids in column 1 of a list, top to bottom.
QStringList taskIds(const QWidget* screen, const char* list) {
    const auto* view = screen->findChild<QAbstractItemView*>(QString::fromLatin1(list));
    QStringList ids;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        ids.append(view->model()->index(row, 1).data().toString());
    return ids;
}

void selectRow(const QWidget* screen, const char* list, int row) {
    const auto* view = screen->findChild<QAbstractItemView*>(QString::fromLatin1(list));
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QStringList commands(const ScriptedServer& server) {
    QStringList sent;
    for (const RecordedRequest& request : server.requests())
        sent.append(request.headValue(QStringLiteral("head_command")));
    return sent;
}

struct Fixture : ScriptedScreen {
    explicit Fixture(const ScreenKind& kind) : ScriptedScreen(kind.make) {}
    QTimer* loadTimer() const { return screen->findChild<QTimer*>(QStringLiteral("Timer1")); }
    void search(const ScreenKind& kind, const QString& text) {
        screen->findChild<QLineEdit*>(QString::fromLatin1(kind.searchEdit))->setText(text);
        screen->findChild<QPushButton*>(QStringLiteral("btn_Search"))->click();
    }
};

TaskFixture taken(const char* id) {
    return TaskFixture{QString::fromLatin1(id), 1, T0().addSecs(600), T0().addSecs(7200)};
}

} // namespace

class TestScreenRequests : public QObject {
    Q_OBJECT
    // One row per screen kind, from `first` on (the hall has no detail dialog).
    static void kinds(int first = 0) {
        QTest::addColumn<int>("index");
        for (int index = first; index < int(std::size(Kinds)); ++index) QTest::newRow(Kinds[index].name) << index;
    }

private slots:
    void init() {
        TaskManager.ClearTaskCenterTaskInfo();
        TaskManager.ClearHandledTaskInfo();
        TaskManager.ClearPublishedTaskInfo();
    }

    void searchBeforeTheLoadTimerShowsTheSearchResult_data() { kinds(); }
    // The user searches before the load timer of a screen just shown has fired, and the server takes
    // its time: the search is all that is sent, and its result is what the user sees.
    void searchBeforeTheLoadTimerShowsTheSearchResult() {
        QFETCH(int, index);
        const ScreenKind& kind = Kinds[index];
        {
            Fixture f(kind);
            ScriptedReply slow = ScriptedReply::json(ListReply({taken("T77")}, 1));
            slow.delayMs = 400;
            f.server.enqueue(slow);
            f.server.setDefault(ScriptedReply::json(ListReply({taken("T77"), TaskFixture{"T1", 0}}, 2)));
            f.screen->show();
            QVERIFY2(f.loadTimer() && f.loadTimer()->isActive(), kind.name);
            f.search(kind, QStringLiteral("T77"));

            QVERIFY2(f.t.prompter.entries.empty(),
                     qPrintable(QString::fromLatin1(kind.name) + QStringLiteral(": ") + f.t.prompter.lastText()));
            QCOMPARE(commands(f.server), QStringList{QString::number(kind.searchCommand)});
            QCOMPARE(taskIds(f.screen.get(), kind.foundList), QStringList{"T77"});
            // The load asked for before the search does not come afterwards either.
            QTest::qWait(250);
            QCOMPARE(commands(f.server), QStringList{QString::number(kind.searchCommand)});
            QCOMPARE(taskIds(f.screen.get(), kind.foundList), QStringList{"T77"});
            QVERIFY2(f.t.prompter.entries.empty(), kind.name);
        }
    }

    void restoringAfterASearchReloadsNothing_data() { kinds(); }
    // Minimising the window and restoring it reloads nothing: the search result stays, and so does
    // the hall's tab.
    void restoringAfterASearchReloadsNothing() {
        QFETCH(int, index);
        const ScreenKind& kind = Kinds[index];
        {
            Fixture f(kind);
            f.server.setDefault(ScriptedReply::json(ListReply({TaskFixture{"T1", 0}, TaskFixture{"T2", 0}}, 2)));
            f.screen->show();
            QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
            f.server.enqueueJson(ListReply({taken("T77")}, 1));
            f.search(kind, QStringLiteral("T77"));
            QCOMPARE(taskIds(f.screen.get(), kind.foundList), QStringList{"T77"});
            auto* tabs = f.screen->findChild<QTabWidget*>(QStringLiteral("pgc_Main"));
            if (tabs) tabs->setCurrentIndex(1);

            f.screen->showMinimized();
            QVERIFY(f.screen->isMinimized());
            f.screen->showNormal();
            QVERIFY2(!f.loadTimer()->isActive(), kind.name);
            QTest::qWait(250);
            QCOMPARE(f.server.requestCount(), std::size_t(2));
            QCOMPARE(taskIds(f.screen.get(), kind.foundList), QStringList{"T77"});
            if (tabs) QCOMPARE(tabs->currentIndex(), 1);
            QVERIFY2(f.t.prompter.entries.empty(), qPrintable(f.t.prompter.lastText()));
        }
    }

    void detailDialogKeepsItsTaskAcrossAReload_data() { kinds(1); }
    // The detail dialog keeps the task it was opened for while its list is fetched again and shows
    // it again after being hidden (the sanitizer build sees any read of a released record).
    void detailDialogKeepsItsTaskAcrossAReload() {
        QFETCH(int, index);
        const ScreenKind& kind = Kinds[index];
        {
            Fixture f(kind);
            f.server.enqueueJson(ListReply({taken("T100"), taken("T200")}, 2));
            f.screen->findChild<QAction*>(QString::fromLatin1(kind.refreshItem))->trigger();
            QCOMPARE(taskIds(f.screen.get(), "lv_task"), QStringList({"T100", "T200"}));
            selectRow(f.screen.get(), "lv_task", 0);

            QStringList lines;
            bool opened = false;
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!dialog || dialog->objectName() != QStringLiteral("frmViewTaskInfo")) return;
                opened = true;
                // The list is fetched again while the dialog is up: other tasks now.
                f.server.enqueueJson(ListReply({TaskFixture{"T300", 0}}, 1));
                f.screen->findChild<QAction*>(QString::fromLatin1(kind.refreshItem))->trigger();
                dialog->hide();
                dialog->show();
                for (const char* name : {"lbl_taskid", "lbl_TaskStatus", "lbl_Handlerusername"})
                    lines.append(dialog->findChild<QLabel*>(QString::fromLatin1(name))->text());
                dialog->reject();
            });
            f.screen->findChild<QAction*>(QStringLiteral("N_ViewTaskInfo"))->trigger();
            QVERIFY2(opened, kind.name);
            QCOMPARE(taskIds(f.screen.get(), "lv_task"), QStringList{"T300"});
            QCOMPARE(lines, QStringList({"任务ID：T100", "任务状态：等待支付", "接单人：接手人乙"}));
        }
    }
};

QTEST_MAIN(TestScreenRequests)
#include "test_screenrequests.moc"
