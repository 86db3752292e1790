// The request channel against a scripted loopback server: what goes on the wire, and each failure.
#include "remote/uCommandCatalogue.h"
#include "remote/uHttpClient.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ScriptedServer.h"
#include "widgets/ufrmWaitForProcessDone.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {
struct Outcome {
    bool ok;
    QString error;
    QByteArray body;
    QStringList head;
};

Outcome call(const ChannelSettings& settings, const QStringList& data, const QString& user = QStringLiteral("alice"),
             const QString& pass = QStringLiteral("secret")) {
    Outcome outcome;
    outcome.head = BuildHeadList(cmLogin);
    outcome.ok = ExecRemoteProc(nullptr, &outcome.head, &data, &outcome.body, outcome.error, 2, user, pass,
                                ShowWaitDialog, settings);
    return outcome;
}
} // namespace

class TestChannel : public QObject {
    Q_OBJECT
private slots:
    void sendsHeadAndDataAsTheServerReadsThem() {
        ScriptedServer server;
        const Outcome withData =
            call(server.settings(), BuildDataList(cmSearchTaskCenter, {QStringLiteral("红色 连衣裙,2")}),
                 QStringLiteral("张 三"));
        QVERIFY(withData.ok);
        QVERIFY(withData.error.isEmpty());
        const RecordedRequest request = server.lastRequest();
        QCOMPARE(request.requestLine, QByteArray("POST /rest HTTP/1.0"));
        QCOMPARE(request.headers.at("user-agent"), QByteArray(ChannelUserAgent));
        QCOMPARE(request.headers.at("content-type"), QByteArray("application/x-www-form-urlencoded"));
        QVERIFY(request.body.startsWith("head="));
        QVERIFY(request.body.contains("&data="));
        QCOMPARE(request.head,
                 QStringList({"head_command=1", "head_clienttype=2", "head_username=张 三", "head_password=secret"}));
        QCOMPARE(request.data, QStringList({"clientversion=1.0.0.0", "taskid=红色 连衣裙,2"}));
        // The caller's head list keeps the three appended lines.
        QCOMPARE(withData.head.size(), 4);

        const Outcome headOnly = call(server.settings(), {});
        QVERIFY(headOnly.ok);
        QVERIFY(!server.lastRequest().hasData);
        QVERIFY(!server.lastRequest().body.contains('&'));
    }

    void replyBodyArrivesUntouched() {
        ScriptedServer server;
        server.enqueueJson({{"returncode", 1}, {"returnmsg", "好"}});
        const Outcome outcome = call(server.settings(), BuildDataList(cmLogin));
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.body, ScriptedReply::json({{"returncode", 1}, {"returnmsg", "好"}}).body);
    }

    void failuresGiveTheirTexts_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("404") << 404 << QByteArray("Not Found");
        QTest::newRow("500") << 500 << QByteArray("Internal Server Error");
    }
    void failuresGiveTheirTexts() {
        QFETCH(int, status);
        QFETCH(QByteArray, reason);
        ScriptedServer server;
        server.enqueue(ScriptedReply::status_(status, reason));
        const Outcome outcome = call(server.settings(), BuildDataList(cmLogin));
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, QStringLiteral("HTTP/1.1 %1 %2").arg(status).arg(QString::fromLatin1(reason)));
        QVERIFY(outcome.body.isEmpty());
    }

    void redirectIsSuccessWithAnEmptyHolder() {
        ScriptedServer server;
        server.enqueue(ScriptedReply::redirect("http://127.0.0.1:1/elsewhere"));
        const Outcome outcome = call(server.settings(), BuildDataList(cmLogin));
        QVERIFY(outcome.ok);
        QVERIFY(outcome.error.isEmpty());
        QVERIFY(outcome.body.isEmpty());
        QCOMPARE(server.requestCount(), std::size_t(1)); // not followed
    }

    void unreachableServerGivesTheClientsDescription() {
        ChannelSettings settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = UnusedLoopbackPort();
        QStringList head = BuildHeadList(cmLogin);
        const Outcome outcome = call(settings, BuildDataList(cmLogin));
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.startsWith(QStringLiteral("无法连接到服务器")), qPrintable(outcome.error));
        QCOMPARE(outcome.head.size(), 4);
    }

    void stalledServerEndsInTheTimeOut() {
        ScriptedServer server;
        ScriptedReply stall = ScriptedReply::json({{"returncode", 1}});
        stall.delayMs = 5000;
        server.enqueue(stall);
        const Outcome outcome = call(server.settings(300), BuildDataList(cmLogin));
        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.error.contains(QStringLiteral("超时")), qPrintable(outcome.error));
    }

    void connectionClosedUnansweredIsAFailure() {
        ScriptedServer server;
        ScriptedReply close;
        close.closeWithoutReply = true;
        server.enqueue(close);
        const Outcome outcome = call(server.settings(), BuildDataList(cmLogin));
        QVERIFY(!outcome.ok);
        QVERIFY(!outcome.error.isEmpty());
    }

    void missingInputsSendNothing() {
        ScriptedServer server;
        QStringList head = BuildHeadList(cmLogin);
        QStringList data = BuildDataList(cmLogin);
        QByteArray body;
        QString error;
        QVERIFY(!ExecRemoteProc(nullptr, nullptr, &data, &body, error, 2, {}, {}, ShowWaitDialog, server.settings()));
        QCOMPARE(error, QStringLiteral("请求头部参数未指定！"));
        QVERIFY(!ExecRemoteProc(nullptr, &head, nullptr, &body, error, 2, {}, {}, ShowWaitDialog, server.settings()));
        QCOMPARE(error, QStringLiteral("请求数据参数未指定！"));
        QVERIFY(!ExecRemoteProc(nullptr, &head, &data, nullptr, error, 2, {}, {}, ShowWaitDialog, server.settings()));
        QCOMPARE(error, QStringLiteral("返回值未指定"));
        QCOMPARE(head.size(), 1);
        QCOMPARE(server.requestCount(), std::size_t(0));
    }

    void callsNestWhileAWaitDialogIsUp() {
        ScriptedServer server;
        ScriptedReply slow = ScriptedReply::json({{"returncode", 1}, {"returnmsg", "outer"}});
        slow.delayMs = 400;
        server.enqueue(slow);
        server.enqueueJson({{"returncode", 1}, {"returnmsg", "inner"}});
        Outcome inner;
        bool innerDone = false;
        QTimer::singleShot(100, [&] {
            inner = call(server.settings(), BuildDataList(cmGetBasicInfo));
            innerDone = true;
        });
        const Outcome outer = call(server.settings(), BuildDataList(cmLogin));
        QVERIFY(innerDone); // the inner call finished before the outer one returned
        QVERIFY(outer.ok);
        QVERIFY(inner.ok);
        QCOMPARE(outer.body, ScriptedReply::json({{"returncode", 1}, {"returnmsg", "outer"}}).body);
    }

    void waitDialogCannotBeClosedByTheUserAndCanBeDragged() {
        bool started = false;
        TfrmWaitForProcessDone dialog(
            nullptr, [&] { started = true; }, QStringLiteral("命令正在执行，请耐心等待......"));
        QCOMPARE(dialog.size(), QSize(383, 94));
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
        QTimer::singleShot(0, [&] {
            QVERIFY(started);
            QCOMPARE(dialog.findChild<QLabel*>("lbl_Msg")->text(), QStringLiteral("命令正在执行，请耐心等待......"));
            dialog.close();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
            const QPoint before = dialog.pos();
            QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(10, 10));
            QMouseEvent move(QEvent::MouseMove, QPointF(60, 40), dialog.mapToGlobal(QPointF(60, 40)), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &move);
            QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(60, 40));
            QCOMPARE(dialog.pos(), before + QPoint(50, 30));
            QMetaObject::invokeMethod(&dialog, "OnWM_WaitForProcessDone", Qt::QueuedConnection);
        });
        dialog.exec();
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestChannel)
#include "test_channel.moc"
