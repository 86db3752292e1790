// Malformed requests to the local platform server: each is refused (returncode 0) or answered with an
// HTTP 4xx, the server stays up, and a login succeeds afterwards.
#include "ServerTestKit.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"

using namespace kit;

namespace {

QByteArray hexOf(const QStringList& lines) { return EncipherToHex(CommaText(lines), ChannelKey).toLatin1(); }

QByteArray form(const QStringList& head, const QStringList& data) {
    return "head=" + hexOf(head) + "&data=" + hexOf(data);
}

QStringList head(int command) { return WireClient::headLines(command, QStringLiteral("alice"), Pass); }

QStringList dataLines(const QStringList& own) { return QStringList{QStringLiteral("clientversion=1.0.0.0")} + own; }

} // namespace

class TestServerRobustness : public QObject {
    Q_OBJECT

    ServerProcess server;
    std::unique_ptr<WireClient> client;

private slots:
    void initTestCase() {
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        client = std::make_unique<WireClient>(server.port());
        fundedUser(server, *client, QStringLiteral("alice"), 20);
    }

    void malformedBodiesAreRefused_data() {
        QTest::addColumn<QByteArray>("body");
        const QByteArray validHead = hexOf(head(cmGetBasicInfo));
        const QByteArray validData = hexOf(dataLines({}));
        QTest::newRow("empty body") << QByteArray();
        QTest::newRow("head not hex") << QByteArray("head=XYZ123&data=" + validData);
        QTest::newRow("head under another key") << QByteArray("header=" + validHead + "&data=" + validData);
        QTest::newRow("no equals sign") << QByteArray("head");
        QTest::newRow("head empty") << QByteArray("head=&data=" + validData);
        QTest::newRow("odd-length hex") << QByteArray("head=" + validHead.left(validHead.size() - 1));
        QTest::newRow("hex of another key") << QByteArray(
            "head=" + EncipherToHex(CommaText(head(cmGetBasicInfo)), QStringLiteral("other-key")).toLatin1());
        QTest::newRow("percent garbage") << QByteArray("head=%ZZ%00%&data=%%%");
        QTest::newRow("unknown command") << form(head(99), dataLines({}));
        QTest::newRow("command the client never sends") << form(head(12), dataLines({}));
        QTest::newRow("command not a number")
            << form(QStringList{QStringLiteral("head_command=abc")} + head(1).mid(1), dataLines({}));
        QTest::newRow("no command line") << form(head(1).mid(1), dataLines({}));
        QTest::newRow("missing data field") << QByteArray("head=" + hexOf(head(cmGetTradeLogList)));
        QTest::newRow("missing data line")
            << form(head(cmGetTaskCenterList), dataLines({QStringLiteral("pageindex=1")}));
        for (const char* page : {"0", "-1", "abc", "", "99999999999"})
            QTest::newRow(qPrintable(QStringLiteral("pageindex %1").arg(QLatin1String(page))))
                << form(head(cmGetOptLogList), dataLines({QStringLiteral("pageindex=") + QLatin1String(page)}));
        QTest::newRow("category out of range") << form(
            head(cmGetTaskCenterList), dataLines({QStringLiteral("pageindex=1"), QStringLiteral("taskttimetype=9")}));
        QTest::newRow("over-long user name at sign-up")
            << form(WireClient::headLines(cmRegister, QString(), QString()),
                    dataLines({QStringLiteral("username=") + QString(40, u'x'), QStringLiteral("userpass=p"),
                               QStringLiteral("qq=1"), QStringLiteral("shopkeeperusername=s"),
                               QStringLiteral("taobaoxiaohao=t"), QStringLiteral("inviteuserid=")}));
        QTest::newRow("over-long line") << form(head(cmGetOptLogList),
                                                dataLines({QStringLiteral("pageindex=1"), QString(2100, u'z')}));
        QTest::newRow("recharge amount not a number")
            << form(head(cmRechargeRequest), dataLines({QStringLiteral("rechargeamount=1,000"),
                                                        QStringLiteral("tradetype=x"), QStringLiteral("tradeid=y")}));
        QTest::newRow("recharge amount zero")
            << form(head(cmRechargeRequest), dataLines({QStringLiteral("rechargeamount=0.00"),
                                                        QStringLiteral("tradetype=x"), QStringLiteral("tradeid=z")}));
        QTest::newRow("withdraw with no commission and no Alipay account")
            << form(head(cmWithdrawRequest), dataLines({QStringLiteral("tixianamount=5.00")}));
    }

    void malformedBodiesAreRefused() {
        QFETCH(QByteArray, body);
        const WireClient::RawReply reply = client->postRaw(body);
        QVERIFY2(reply.transportError.isEmpty(), qPrintable(reply.transportError));
        if (reply.status >= 400 && reply.status < 500) return;
        QCOMPARE(reply.status, 200L);
        const ReplyObject object = ParseReply(reply.body);
        QCOMPARE(code(object), 0);
        QVERIFY(!msg(object).isEmpty());
    }

    void otherMethodsPathsAndSizes() {
        const QByteArray login = form(head(cmLogin), dataLines({}));
        QCOMPARE(client->postRaw({}, "text/plain", "GET").status, 405L);
        QCOMPARE(client->postRaw(login, "application/x-www-form-urlencoded", "PUT").status, 405L);
        QCOMPARE(client->postRaw(login, "application/x-www-form-urlencoded", "POST", "/other").status, 404L);
        QCOMPARE(client->postRaw(login, "application/x-www-form-urlencoded", "POST", "/").status, 404L);
        const WireClient::RawReply huge = client->postRaw("head=" + QByteArray(300000, 'A'));
        // Refused with 413, or the connection is cut while the body is still being sent.
        QVERIFY(!huge.transportError.isEmpty() || huge.status == 413);
        // Exactly as the client sends it, the same request still logs in.
        const WireClient::RawReply ok = client->postRaw(login);
        QCOMPARE(ok.status, 200L);
        QCOMPARE(code(ParseReply(ok.body)), 1);
    }

    void nothingMovedAndLoginStillWorks() {
        const ReplyObject reply = login(*client, QStringLiteral("alice"));
        QCOMPARE(code(reply), 1);
        QCOMPARE(ReplyText(reply, "userpass"), Pass);
        QCOMPARE(balance(*client, QStringLiteral("alice")), 20.0);
        QCOMPARE(ReplyInt(client->call(cmGetRechargeList, QStringLiteral("alice"), Pass, {1}), "totalnum"), 1);
        QCOMPARE(ReplyInt(client->call(cmGetWithdrawList, QStringLiteral("alice"), Pass, {1}), "totalnum"), 0);
        QVERIFY(server.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestServerRobustness)
#include "test_ServerRobustness.moc"
