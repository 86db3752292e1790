// The paging shared by the list screens, driven through a small list screen of its own against the
// scripted loopback server: page counts, the navigation buttons at both ends, totals, failures,
// refresh, the deferred reload and the load after showing.
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"
#include "widgets/ListView.h"
#include "widgets/PagedList.h"
#include "widgets/RequestQueue.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString Failure = QStringLiteral("获取操作记录列表失败，请稍后再试！");

// The smallest paged screen: one list, the bar, a fetch of cmGetOptLogList (no fields of its own).
class TinyListScreen : public QWidget {
public:
    explicit TinyListScreen(const Services& services)
        : rows(new RecordTableModel<QString>(
              {{QStringLiteral("ID"), 60}, {QStringLiteral("任务编号"), 120}}, [](const QString& id) { return id; },
              this)),
          list(new ListView(QStringLiteral("lv_tiny"), this)), bar(new PageNavigationBar(this)),
          requests(new RequestQueue(this)) {
        list->setModel(rows);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(list);
        layout->addWidget(bar);
        paged = new PagedList(this, services, bar,
                              PagedListConfig{
                                  .command = cmGetOptLogList,
                                  .failurePrefix = Failure,
                                  .extraValues = {},
                                  .clearRows = [this] { rows->clear(); },
                                  .addRows =
                                      [this](const ReplyObject& reply) {
                                          for (const ReplyObject* row : ReplyRecords(reply)) {
                                              const QString id = ReplyText(*row, "taskid");
                                              rows->append(id, {QString(), id});
                                          }
                                      },
                                  .onRefused = {},
                              },
                              *requests);
    }

    RecordTableModel<QString>* rows;
    ListView* list;
    PageNavigationBar* bar;
    RequestQueue* requests;
    PagedList* paged;
};

nlohmann::json page(int total, int rows) {
    nlohmann::json body = nlohmann::json::array();
    for (int i = 0; i < rows; ++i) body.push_back({{"taskid", "T" + std::to_string(i + 1)}});
    return {{"returncode", 1}, {"returnmsg", ""}, {"totalnum", total}, {"msgbody", body}};
}

QStringList barTexts(const PageNavigationBar* bar) {
    return {bar->lbl_totalnum->text(), bar->edt_totalpage->text(), bar->edt_currentpage->text()};
}

struct Fixture {
    ScriptedServer server;
    TestServices t{server.settings()};
    TinyListScreen screen{t.services};

    // Loads `page` of a list of `total` rows (the page's rows are all present).
    void loadPage(int pageIndex, int total) {
        screen.paged->FCurrentPageIndex = pageIndex;
        server.enqueueJson(page(total, qMin(PageSize, qMax(0, total - (pageIndex - 1) * PageSize))));
        screen.paged->Fetch();
        server.clearRequests();
        t.prompter.clear();
    }
    QString sentPage() const { return server.lastRequest().dataValue(QStringLiteral("pageindex")); }
};

} // namespace

class TestPagedList : public QObject {
    Q_OBJECT
private slots:
    void pageCount_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("pages");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("one row") << 1 << 1;
        QTest::newRow("one full page") << 20 << 1;
        QTest::newRow("one more") << 21 << 2;
        QTest::newRow("two full pages") << 40 << 2;
        QTest::newRow("41") << 41 << 3;
        QTest::newRow("negative total") << -3 << 0;
    }
    void pageCount() {
        QFETCH(int, total);
        QFETCH(int, pages);
        TestServices t;
        TinyListScreen screen(t.services);
        // The rows-per-page argument is ignored: pages always hold 20 rows.
        screen.paged->CalculatePageInfo(total, 7);
        QCOMPARE(screen.paged->FTotalPageCount, pages);
        QCOMPARE(PageCountFor(total), pages);
    }

    void fetchSendsThePageAndShowsTheTotals() {
        Fixture f;
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:0条", "0", "0"}));
        f.screen.paged->FCurrentPageIndex = 2;
        f.server.enqueueJson(page(45, 20));
        f.screen.paged->Fetch();
        const RecordedRequest request = f.server.lastRequest();
        QCOMPARE(request.head.value(0), QStringLiteral("head_command=22"));
        QCOMPARE(request.head.value(1), QStringLiteral("head_clienttype=2"));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "pageindex=2"}));
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:45条", "3", "2"}));
        QCOMPARE(RowCount(f.screen.list), 20);
        QCOMPARE(CellText(f.screen.list, 19, 1), QStringLiteral("T20"));
        QVERIFY(f.t.prompter.entries.empty());
    }

    // Both ends of an empty list: the two messages, no request; Last asks for page 1, never page 0.
    void endsOfAnEmptyList() {
        Fixture f;
        f.loadPage(1, 0);
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:0条", "0", "1"}));

        struct Case {
            QToolButton* button;
            QString message;
        };
        for (const Case& c : {Case{f.screen.bar->btn_Next, QStringLiteral("已经是最后一页！")},
                              Case{f.screen.bar->btn_Prev, QStringLiteral("已经是第一页！")}}) {
            f.t.prompter.clear();
            c.button->click();
            QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
            QCOMPARE(f.t.prompter.lastText(), c.message);
            QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
            QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
            QCOMPARE(f.server.requestCount(), std::size_t(0));
        }

        f.server.enqueueJson(page(0, 0));
        f.screen.bar->btn_Last->click();
        QCOMPARE(f.sentPage(), QStringLiteral("1"));
        QCOMPARE(f.screen.paged->FCurrentPageIndex, 1);
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:0条", "0", "1"}));
    }

    // Prev goes one page back (not to page 1); First, Next and Last as named.
    void navigationButtons() {
        struct Case {
            const char* name;
            int from;
            QToolButton* PageNavigationBar::*button;
            int expected;
        };
        const Case cases[] = {
            {"prev from 3", 3, &PageNavigationBar::btn_Prev, 2}, {"prev from 2", 2, &PageNavigationBar::btn_Prev, 1},
            {"next from 3", 3, &PageNavigationBar::btn_Next, 4}, {"first from 3", 3, &PageNavigationBar::btn_First, 1},
            {"last from 3", 3, &PageNavigationBar::btn_Last, 5},
        };
        for (const Case& c : cases) {
            Fixture f;
            f.loadPage(c.from, 100);
            f.server.enqueueJson(page(100, 20));
            (f.screen.bar->*c.button)->click();
            QVERIFY2(f.t.prompter.entries.empty(), c.name);
            QCOMPARE(f.server.requestCount(), std::size_t(1));
            QCOMPARE(f.sentPage(), QString::number(c.expected));
            QCOMPARE(f.screen.bar->edt_currentpage->text(), QString::number(c.expected));
        }

        Fixture f;
        f.loadPage(5, 100);
        f.screen.bar->btn_Next->click();
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("已经是最后一页！"));
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }

    // A failed fetch empties the list and leaves the bar on the last good totals.
    void failedFetchKeepsThePreviousTotals() {
        Fixture f;
        f.loadPage(2, 45);
        QCOMPARE(RowCount(f.screen.list), 20);

        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        f.screen.paged->Fetch();
        QCOMPARE(RowCount(f.screen.list), 0);
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:45条", "3", "2"}));
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QVERIFY(f.t.prompter.lastText().startsWith(Failure));
        QVERIFY(f.t.prompter.lastText().size() > Failure.size());
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);

        // Refused: silent, list empty, bar unchanged.
        f.t.prompter.clear();
        f.loadPage(2, 45);
        f.server.enqueueJson(
            {{"returncode", 0}, {"returnmsg", "no"}, {"totalnum", 3}, {"msgbody", nlohmann::json::array()}});
        f.screen.paged->Fetch();
        QCOMPARE(RowCount(f.screen.list), 0);
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:45条", "3", "2"}));
        QVERIFY(f.t.prompter.entries.empty());

        // Unreadable row: the general error box; the rows read before it stay.
        nlohmann::json broken = page(45, 2);
        broken["msgbody"].push_back({{"other", 1}});
        f.server.enqueueJson(broken);
        f.screen.paged->Fetch();
        QCOMPARE(RowCount(f.screen.list), 2);
        QCOMPARE(f.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QVERIFY(f.t.prompter.lastText().contains(QStringLiteral("taskid")));
    }

    // Refreshing and the deferred reload fetch the page being shown; the reload waits for the loop.
    void refreshAndReloadFetchTheSamePage() {
        Fixture f;
        f.loadPage(3, 100);
        f.server.enqueueJson(page(100, 20));
        f.screen.paged->Fetch();
        QCOMPARE(f.sentPage(), QStringLiteral("3"));

        f.server.clearRequests();
        f.server.enqueueJson(page(100, 20));
        f.screen.paged->PostReload();
        QCOMPARE(f.server.requestCount(), std::size_t(0));
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.sentPage(), QStringLiteral("3"));
        QTest::qWait(50);
        QCOMPARE(f.server.requestCount(), std::size_t(1)); // one post, one fetch
    }

    // A fetch asked for while one waits for its reply (a timer or a posted reload running inside the
    // wait dialog's loop) does not run inside it: the running one's reply, older than what was asked
    // for, is left unapplied, and the newer fetch follows from the event loop.
    void fetchAskedForDuringAFetchFollowsIt() {
        Fixture f;
        ScriptedReply slow = ScriptedReply::json(page(30, 20));
        slow.delayMs = 400;
        f.server.enqueue(slow);
        f.server.enqueueJson(page(30, 5));
        bool askedWhileRunning = false;
        QTimer::singleShot(0, [&] {
            askedWhileRunning = f.screen.requests->isRunning();
            f.screen.paged->Fetch();
        });
        f.screen.paged->Fetch();
        QVERIFY(askedWhileRunning);
        QCOMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(RowCount(f.screen.list), 0);
        QTRY_COMPARE(f.server.requestCount(), std::size_t(2));
        QTRY_COMPARE(RowCount(f.screen.list), 5);
        QTest::qWait(50);
        QCOMPARE(f.server.requestCount(), std::size_t(2));
        QCOMPARE(CellText(f.screen.list, 4, 1), QStringLiteral("T5"));
        QVERIFY2(f.t.prompter.entries.empty(), qPrintable(f.t.prompter.lastText()));
    }

    // Page 4 of a list that shrank to 3 pages stays on page 4.
    void pageIsNotClampedWhenTheTotalShrinks() {
        Fixture f;
        f.loadPage(4, 80);
        f.server.enqueueJson(page(45, 0));
        f.screen.paged->Fetch();
        QCOMPARE(barTexts(f.screen.bar), QStringList({"总:45条", "3", "4"}));
        QCOMPARE(f.screen.paged->FCurrentPageIndex, 4);
        f.server.clearRequests();
        f.screen.bar->btn_Next->click();
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("已经是最后一页！"));
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }

    // Showing the screen loads its page once, about 100 ms later, from the event loop.
    void showingLoadsOnceAfterTheTimer() {
        Fixture f;
        f.screen.paged->FCurrentPageIndex = 2;
        f.server.enqueueJson(page(30, 10));
        f.screen.show();
        QCOMPARE(f.server.requestCount(), std::size_t(0));
        const QTimer* timer = f.screen.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 100);
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.sentPage(), QStringLiteral("2"));
        QVERIFY(!timer->isActive());
        QTRY_COMPARE(RowCount(f.screen.list), 10);
        QTest::qWait(250);
        QCOMPARE(f.server.requestCount(), std::size_t(1));
    }
};

QTEST_MAIN(TestPagedList)
#include "test_pagedlist.moc"
