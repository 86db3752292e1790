// The models behind the eight lists, each watched by QAbstractItemModelTester while its screen fills
// it from a scripted loopback server, empties it and fills it again (and, for the logs, filters it);
// and the columns of every list, which are never narrower than their content once rows have come in
// (no date-time, amount or task id is cut).
#include "model/uTaskManagerClass.h"
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmRechargeInfo.h"
#include "screens/account/ufrmSubUserList.h"
#include "screens/account/ufrmTradeLog.h"
#include "screens/account/ufrmWithdrawInfo.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "tests/screens/tasks/TaskFixtures.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAbstractProxyModel>
#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <memory>

namespace {

nlohmann::json listReply(int total, const nlohmann::json& records) {
    return {{"returncode", 1}, {"returnmsg", ""}, {"totalnum", total}, {"msgbody", records}};
}

nlohmann::json tasks(std::initializer_list<TaskFixture> fixtures) {
    nlohmann::json body = nlohmann::json::array();
    for (const TaskFixture& fixture : fixtures) body.push_back(TaskJson(fixture));
    return body;
}

nlohmann::json logs(int count) {
    nlohmann::json body = nlohmann::json::array();
    for (int i = 0; i < count; ++i)
        body.push_back({{"id", i},
                        {"userid", "7"},
                        {"taskid", "TK100" + std::to_string(i)},
                        {"msg", "接手任务"},
                        {"moneytype", i % 2},
                        {"inmoney", 123456.78},
                        {"outmoney", 5},
                        {"currentmoney", 99999.5},
                        {"opttype", 1},
                        {"action", "确认发货"},
                        {"marks", "备注"},
                        {"addtime", "2016-03-05 08:04:09"}});
    return body;
}

nlohmann::json requests(int count) {
    nlohmann::json body = nlohmann::json::array();
    for (int i = 0; i < count; ++i)
        body.push_back({{"money", 1234.5},
                        {"tradetype", "支付宝"},
                        {"tradeid", "2016030521001004560200012345"},
                        {"addtime", "2016-03-05 08:04:09"},
                        {"status", i % 3},
                        {"handletime", "2016-03-06 10:00:00"}});
    return body;
}

nlohmann::json users(int count) {
    nlohmann::json body = nlohmann::json::array();
    for (int i = 0; i < count; ++i)
        body.push_back({{"username", "user" + std::to_string(i)}, {"registertime", "2016-03-05 08:04:09"}});
    return body;
}

// Open tasks whose publisher column holds an empty cell first and a long name after it (the cells
// are measured by the first one's margins), a wide price, and a taken task.
nlohmann::json hallPage() {
    nlohmann::json page = tasks({{"T1", 0}, {"T2", 1}, {"T3", 0, T0(), T0(), 123456.78}});
    page[0]["publisherusername"] = "";
    page[2]["publisherusername"] = "一位名字很长很长很长很长的发布人";
    return page;
}

struct ListCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>(const Services&)> make;
    QList<const char*> lists;
    // Two pages of different sizes, each as one list reply.
    nlohmann::json first, second;
    // What fetches the current page.
    std::function<void(QWidget*)> fetch;
    // A search on the page or a search command, with the reply it needs (if any).
    std::function<void(QWidget*, ScriptedServer&)> search;
};

void trigger(QWidget* screen, const char* action) {
    screen->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

void click(QWidget* screen, const char* button) {
    screen->findChild<QAbstractButton*>(QString::fromLatin1(button))->click();
}

void typeAndSearch(QWidget* screen, const char* edit, const QString& text) {
    screen->findChild<QLineEdit*>(QString::fromLatin1(edit))->setText(text);
    click(screen, "btn_Search");
}

std::function<void(QWidget*, ScriptedServer&)> taskSearch(const char* edit) {
    return [edit](QWidget* screen, ScriptedServer& server) {
        server.enqueueJson(listReply(1, tasks({{"T-77", 2}})));
        typeAndSearch(screen, edit, QStringLiteral("T-77"));
    };
}

const QList<ListCase>& cases() {
    static const QList<ListCase> all = {
        {"task hall",
         [](const Services& s) { return std::make_unique<TfrmTaskCenter>(s); },
         {"lv_task", "lv_handledtask"},
         listReply(3, hallPage()),
         listReply(1, tasks({{"T9", 3}})),
         [](QWidget* w) { trigger(w, "N_N2"); },
         taskSearch("edt_TaskID")},
        {"taken tasks",
         [](const Services& s) { return std::make_unique<TfrmHandledTaskManager>(s); },
         {"lv_task"},
         listReply(3, tasks({{"T1", 1}, {"T2", 3}, {"T3", 5}})),
         listReply(1, tasks({{"T9", 2}})),
         [](QWidget* w) { trigger(w, "N_N3"); },
         taskSearch("edt_TaskID")},
        {"published tasks",
         [](const Services& s) { return std::make_unique<TfrmPublishedTaskManager>(s); },
         {"lv_task"},
         listReply(3, tasks({{"T1", 0}, {"T2", 1}, {"T3", 4}})),
         listReply(1, tasks({{"T9", 2}})),
         [](QWidget* w) { trigger(w, "N_Refresh"); },
         taskSearch("edt_taskid")},
        {"operation log",
         [](const Services& s) { return std::make_unique<TfrmOptLog>(s); },
         {"lv_OptLog"},
         listReply(30, logs(20)),
         listReply(30, logs(10)),
         [](QWidget* w) { trigger(w, "N_N1"); },
         [](QWidget* w, ScriptedServer&) {
             typeAndSearch(w, "edt_TASKID", QStringLiteral("tk1002"));
             typeAndSearch(w, "edt_TASKID", QString());
         }},
        {"trade log",
         [](const Services& s) { return std::make_unique<TfrmTradeLog>(s); },
         {"lv_trade"},
         listReply(30, logs(20)),
         listReply(30, logs(10)),
         [](QWidget* w) { trigger(w, "N_N1"); },
         [](QWidget* w, ScriptedServer&) { typeAndSearch(w, "edt_TASKID", QStringLiteral("1003")); }},
        {"recharge requests",
         [](const Services& s) { return std::make_unique<TfrmRechargeInfo>(s); },
         {"lv_recharge"},
         listReply(25, requests(20)),
         listReply(25, requests(5)),
         [](QWidget* w) { click(w, "btn_refreshrecharge"); },
         {}},
        {"withdrawal requests",
         [](const Services& s) { return std::make_unique<TfrmWithdrawInfo>(s); },
         {"lv_withdraw"},
         listReply(25, requests(20)),
         listReply(25, requests(5)),
         [](QWidget* w) { click(w, "btn_refreshwithdraw"); },
         {}},
        {"downline",
         [](const Services& s) { return std::make_unique<TfrmSubUserList>(s); },
         {"lv_user"},
         listReply(21, users(20)),
         listReply(21, users(1)),
         [](QWidget* w) { QMetaObject::invokeMethod(w, "GetSubUserList"); },
         {}},
    };
    return all;
}

struct Fixture : ScriptedScreen {
    explicit Fixture(const ListCase& c) : ScriptedScreen(c.make) {}
    QTableView* list(const char* name) const { return screen->findChild<QTableView*>(QString::fromLatin1(name)); }
};

} // namespace

class TestListModels : public QObject {
    Q_OBJECT
private slots:
    void init() {
        TaskManager.ClearTaskCenterTaskInfo();
        TaskManager.ClearHandledTaskInfo();
        TaskManager.ClearPublishedTaskInfo();
    }

    void modelsKeepTheirContract_data() { screens(); }
    // Every change a screen makes to its lists goes through the model tester.
    void modelsKeepTheirContract() {
        QFETCH(int, index);
        const ListCase& c = cases().at(index);
        Fixture f(c);
        std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
        const auto watch = [&testers](QAbstractItemModel* model) {
            testers.push_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        };
        for (const char* name : c.lists) {
            QTableView* view = f.list(name);
            QVERIFY2(view && view->model(), name);
            watch(view->model());
            // The logs' search filter and the records under it.
            if (const auto* filter = qobject_cast<QAbstractProxyModel*>(view->model())) watch(filter->sourceModel());
        }
        int rows = 0;
        const auto shown = [&] {
            int count = 0;
            for (const char* name : c.lists) count += f.list(name)->model()->rowCount();
            return count;
        };
        f.server.enqueueJson(c.first);
        c.fetch(f.screen.get());
        rows = shown();
        QVERIFY2(rows > 1, c.name);
        f.server.enqueueJson(c.second);
        c.fetch(f.screen.get());
        QVERIFY(shown() < rows && shown() > 0);
        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        c.fetch(f.screen.get());
        QCOMPARE(shown(), 0);
        f.server.enqueueJson(c.first);
        c.fetch(f.screen.get());
        QCOMPARE(shown(), rows);
        if (c.search) c.search(f.screen.get(), f.server);
    }

    void columnsAreNeverNarrowerThanTheirContent_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("width");
        for (int index = 0; index < cases().size(); ++index)
            for (const int width : {900, 500})
                QTest::addRow("%s, %d px", cases().at(index).name, width) << index << width;
    }
    // Once a page has come in, each column is at least as wide as its content, in a list wide enough
    // for every column (the last one may fill the rest) and in one too narrow (it scrolls).
    void columnsAreNeverNarrowerThanTheirContent() {
        QFETCH(int, index);
        QFETCH(int, width);
        const ListCase& c = cases().at(index);
        Fixture f(c);
        f.screen->resize(width, 560); // the request dialogs keep their fixed size
        f.screen->show();
        f.server.setDefault(ScriptedReply::json(c.first));
        c.fetch(f.screen.get());
        QTRY_VERIFY(f.server.requestCount() >= 1);
        QTest::qWait(20); // any load after showing and the columns' fitting run from the event loop
        for (const char* name : c.lists) {
            QTableView* view = f.list(name);
            // The content's width as the view measures it (public through the base class).
            const QAbstractItemView* measure = view;
            const int columns = view->model()->columnCount();
            int total = 0;
            for (int column = 0; column < columns; ++column) {
                total += view->columnWidth(column);
                const QString where = QStringLiteral("%1, column %2 (%3)")
                                          .arg(QString::fromLatin1(name))
                                          .arg(column)
                                          .arg(view->model()->headerData(column, Qt::Horizontal).toString());
                QVERIFY2(view->columnWidth(column) >= measure->sizeHintForColumn(column),
                         qPrintable(where + QStringLiteral(": %1 < %2")
                                                .arg(view->columnWidth(column))
                                                .arg(measure->sizeHintForColumn(column))));
            }
            if (view->horizontalHeader()->stretchLastSection())
                QVERIFY2(total >= view->viewport()->width(), name); // the last column fills the rest
        }
    }

private:
    static void screens() {
        QTest::addColumn<int>("index");
        for (int index = 0; index < cases().size(); ++index) QTest::newRow(cases().at(index).name) << index;
    }
};

QTEST_MAIN(TestListModels)
#include "test_listmodels.moc"
