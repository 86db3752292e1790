// The request queue of a screen, with plain requests that record what ran: one running at a time,
// what is asked for meanwhile starting from the event loop afterwards, a newer fetch replacing a
// waiting one but never a waiting action, and the load after showing anew, which the window
// coming back from minimised or from the tray does not repeat and a hidden screen does not start.
#include "widgets/RequestQueue.h"

#include <QTest>
#include <QTimer>
#include <QWidget>

namespace {
struct Fixture {
    QWidget window;
    QWidget* screen = new QWidget(&window);
    RequestQueue queue{screen};
    QStringList ran;

    RequestQueue::Request record(const QString& name) {
        return [this, name] { ran.append(name); };
    }
    // Lets posted events and zero timers run.
    static void settle() {
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    }
};
} // namespace

class TestRequestQueue : public QObject {
    Q_OBJECT
private slots:
    void idleQueueRunsAtOnce() {
        Fixture f;
        f.queue.fetch(f.record("page"));
        f.queue.send(f.record("take"));
        QCOMPARE(f.ran, QStringList({"page", "take"}));
        QVERIFY(!f.queue.timer()->isActive());
    }

    // Asked for while a request runs (as from a timer inside its wait dialog): kept, and started from
    // the event loop after the running one, never inside it. The newest fetch wins; actions all run,
    // in order.
    void whatComesWhileRunningFollowsIt() {
        Fixture f;
        bool supersededSeen = false;
        f.queue.fetch([&] {
            f.ran.append(QStringLiteral("page 1"));
            QVERIFY(f.queue.isRunning());
            QVERIFY(!f.queue.isSuperseded());
            f.queue.fetch(f.record("page 2"));
            f.queue.send(f.record("action"));
            f.queue.fetchLater(f.record("reload"));
            f.queue.fetch(f.record("search"));
            supersededSeen = f.queue.isSuperseded();
            QCOMPARE(f.ran, QStringList{"page 1"});
        });
        QVERIFY(supersededSeen);
        QVERIFY(!f.queue.isRunning());
        QCOMPARE(f.ran, QStringList{"page 1"}); // nothing inside the handler that ran it
        QVERIFY(f.queue.timer()->isActive());
        f.settle();
        QCOMPARE(f.ran, QStringList({"page 1", "action", "search"}));
        QVERIFY(!f.queue.isSuperseded());
    }

    // A fetch asked for now while a later one waits for the timer replaces it.
    void fetchReplacesAWaitingFetch() {
        Fixture f;
        f.queue.fetchLater(f.record("reload"), 100);
        QVERIFY(f.queue.timer()->isActive());
        f.queue.fetch(f.record("search"));
        QCOMPARE(f.ran, QStringList{"search"});
        QVERIFY(!f.queue.timer()->isActive());
        QTest::qWait(150);
        QCOMPARE(f.ran, QStringList{"search"});
    }

    // The load comes 100 ms after the screen is shown anew, once; a search before it replaces it.
    void loadAfterShowingAnew() {
        Fixture f;
        f.queue.loadWhenShown(f.record("load"));
        f.window.show();
        QVERIFY(f.queue.timer()->isActive());
        QCOMPARE(f.queue.timer()->interval(), 100);
        QTRY_COMPARE(f.ran, QStringList{"load"});

        // The window minimised and restored, hidden into the tray and shown again: no load.
        f.window.showMinimized();
        f.window.showNormal();
        f.window.hide();
        f.window.show();
        QVERIFY(!f.queue.timer()->isActive());
        QTest::qWait(150);
        QCOMPARE(f.ran, QStringList{"load"});

        // The screen itself hidden and shown again: a load; a search typed before it fires wins.
        f.screen->hide();
        f.screen->show();
        QVERIFY(f.queue.timer()->isActive());
        f.queue.fetch(f.record("search"));
        QVERIFY(!f.queue.timer()->isActive());
        QTest::qWait(150);
        QCOMPARE(f.ran, QStringList({"load", "search"}));
    }

    // Hiding a screen stops its timer; what waited starts when it is shown again, the load anew.
    void hiddenScreenStartsNothing() {
        Fixture f;
        f.queue.loadWhenShown(f.record("load"));
        f.window.show();
        f.screen->hide(); // left before its load
        QVERIFY(!f.queue.timer()->isActive());
        QTest::qWait(150);
        QVERIFY(f.ran.isEmpty());
        f.screen->show();
        QTRY_COMPARE(f.ran, QStringList{"load"});

        // A reload waiting while the window is minimised starts once it is restored.
        f.queue.fetchLater(f.record("reload"));
        f.window.showMinimized();
        QVERIFY(!f.queue.timer()->isActive());
        f.settle();
        QCOMPARE(f.ran, QStringList{"load"});
        f.window.showNormal();
        QTRY_COMPARE(f.ran, QStringList({"load", "reload"}));
    }
};

QTEST_MAIN(TestRequestQueue)
#include "test_requestqueue.moc"
