// What the user sees when the network or the server fails, and that the next action after the
// server is back works without restarting the client. Driven through the operation-log screen.
#include "model/uCommonVarConst.h"
#include "screens/account/ufrmOptLog.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"
#include "tests/support/WireClient.h"
#include "widgets/PagedList.h"

#include <QTest>
#include <QTimer>
#include <csignal>
#include <functional>

namespace {
const QString FetchFailure = QStringLiteral("获取操作记录列表失败，请稍后再试！");

nlohmann::json onePage() {
    return {{"returncode", 1},
            {"returnmsg", ""},
            {"totalnum", 1},
            {"msgbody",
             {{{"id", 1},
               {"userid", "1"},
               {"taskid", "T1"},
               {"opttype", 0},
               {"action", "发布任务"},
               {"marks", ""},
               {"addtime", "2016-05-01 08:30:00"}}}}};
}

ScriptedReply raw(const QByteArray& bytes) {
    ScriptedReply reply;
    reply.raw = bytes;
    return reply;
}

struct Screen {
    TestServices t;
    TfrmOptLog screen;
    QAbstractItemView* list;

    // Shows the screen and lets its own load (100 ms after showing) run first, so that the faults
    // below meet the fetches the test starts.
    Screen(const ChannelSettings& channel, const std::function<std::size_t()>& requestsSeen)
        : t(channel), screen(t.services) {
        list = FindList(&screen, "lv_OptLog");
        screen.show();
        QTRY_VERIFY(requestsSeen() >= 1 && RowCount(list) > 0);
    }
    void fetch() { QMetaObject::invokeMethod(&screen, "GetOptLogList", Qt::DirectConnection); }
};
} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        CurrentUser().Clear();
        CurrentUser().Fusername = QStringLiteral("demo1");
        CurrentUser().Fuserpass = QStringLiteral("demo123");
    }

    void scriptedFaults_data() {
        QTest::addColumn<int>("kind"); // 0 transport failure box, 1 general error box
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("rawReply");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<bool>("close");

        const QByteArray hexUnderOtherKey =
            ScriptedReply::enciphered(QStringLiteral("{\"returncode\":1}"), QStringLiteral("otherkey")).body;
        const auto response = [](const QByteArray& body, int length) {
            return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(length) +
                   "\r\nConnection: close\r\n\r\n" + body;
        };
        QTest::newRow("500") << 0 << FetchFailure + "HTTP/1.1 500 Internal Server Error" << QByteArray() << 500 << 0
                             << false;
        QTest::newRow("404") << 0 << FetchFailure + "HTTP/1.1 404 Not Found" << QByteArray() << 404 << 0 << false;
        QTest::newRow("redirect") << 1 << QStringLiteral("服务器没有返回任何数据") << QByteArray() << 302 << 0 << false;
        QTest::newRow("garbage") << 1 << QString() << response("<html>not hex</html>", 20) << 200 << 0 << false;
        QTest::newRow("other key") << 1 << QString() << response(hexUnderOtherKey, int(hexUnderOtherKey.size())) << 200
                                   << 0 << false;
        QTest::newRow("empty body") << 1 << QStringLiteral("服务器没有返回任何数据") << response("", 0) << 200 << 0
                                    << false;
        QTest::newRow("truncated body") << 0 << FetchFailure << response("0123456789ABCDEF", 64) << 200 << 0 << false;
        QTest::newRow("stall") << 0 << FetchFailure << QByteArray() << 200 << 3000 << false;
        QTest::newRow("closed unanswered") << 0 << FetchFailure << QByteArray() << 200 << 0 << true;
    }

    void scriptedFaults() {
        QFETCH(int, kind);
        QFETCH(QString, expected);
        QFETCH(QByteArray, rawReply);
        QFETCH(int, status);
        QFETCH(int, delayMs);
        QFETCH(bool, close);

        ScriptedServer server;
        server.enqueueJson(onePage());
        Screen s(server.settings(800), [&] { return server.requestCount(); });
        QVERIFY(s.t.prompter.entries.empty());
        ScriptedReply fault =
            status == 302   ? ScriptedReply::redirect("http://127.0.0.1:1/")
            : status != 200 ? ScriptedReply::status_(status, status == 500 ? "Internal Server Error" : "Not Found")
            : !rawReply.isEmpty() ? raw(rawReply)
                                  : ScriptedReply::json(onePage());
        fault.delayMs = delayMs;
        fault.closeWithoutReply = close;
        server.enqueue(fault);
        s.fetch();

        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        const TestPrompter::Entry& box = s.t.prompter.entries.front();
        QCOMPARE(box.caption, QStringLiteral("错误"));
        QCOMPARE(box.icon, MessageIcon::Error);
        if (kind == 0)
            QVERIFY2(box.text.startsWith(expected) && box.text.size() > FetchFailure.size(), qPrintable(box.text));
        else
            QVERIFY2(!box.text.startsWith(FetchFailure) && box.text.contains(expected), qPrintable(box.text));
        QCOMPARE(RowCount(s.list), 0);

        // The window stays usable and the next fetch, with the server answering again, works.
        QVERIFY(s.screen.isEnabled() && s.screen.isVisible());
        server.enqueueJson(onePage());
        s.fetch();
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(RowCount(s.list), 1);
        QCOMPARE(CellText(s.list, 0, 1), QStringLiteral("T1"));
    }

    void realServerDownThenBack() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        Screen s(server.channel(5000), [] { return std::size_t(1); });
        server.stop();

        s.fetch();
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        QVERIFY2(s.t.prompter.lastText().startsWith(FetchFailure + QStringLiteral("无法连接到服务器")),
                 qPrintable(s.t.prompter.lastText()));

        QVERIFY2(server.start(), qPrintable(server.errorText()));
        s.fetch();
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        QVERIFY(RowCount(s.list) > 0);
    }

    void realServerKilledInTheMiddleOfAnExchange() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        Screen s(server.channel(10000), [] { return std::size_t(1); });

        // Freeze the server so the exchange is under way when it dies.
        const qint64 pid = server.processId();
        QVERIFY(pid > 0);
        ::kill(pid_t(pid), SIGSTOP);
        QTimer::singleShot(300, [pid] {
            ::kill(pid_t(pid), SIGKILL);
            ::kill(pid_t(pid), SIGCONT);
        });
        s.fetch();
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        QVERIFY2(s.t.prompter.lastText().startsWith(FetchFailure) &&
                     s.t.prompter.lastText().size() > FetchFailure.size(),
                 qPrintable(s.t.prompter.lastText()));
        QCOMPARE(s.t.prompter.entries.front().caption, QStringLiteral("错误"));

        server.stop();
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        s.fetch();
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        QVERIFY(RowCount(s.list) > 0);
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "test_fault_matrix.moc"
