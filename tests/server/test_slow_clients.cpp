// Slow and idle clients against the real server process: connections that trickle a header or sit
// idle after a reply hold no worker, so a login goes through while hundreds of them are open; the
// header and idle time-outs close them; one address holds only so many connections; and the HTTP
// behaviour the client relies on (HTTP/1.0, kept-alive connections, 405 with Allow) stays.
#include "ServerTestKit.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"

#include <QDeadlineTimer>
#include <QThread>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace kit;

namespace {

// One raw TCP connection to the server from a chosen loopback address (any of 127.0.0.0/8 works
// on Linux), so that a test can act as many client addresses.
class RawConnection {
public:
    RawConnection(const char* from, int port) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, from, &local.sin_addr);
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(quint16(port));
        ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
        m_connected = m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 &&
                      ::connect(m_fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0;
    }
    ~RawConnection() {
        if (m_fd >= 0) ::close(m_fd);
    }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return m_connected; }
    bool send(const QByteArray& bytes) const {
        return ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
    }
    // True while the server has neither closed nor reset the connection (nothing unread is pending).
    bool isOpen() const {
        char byte = 0;
        const ssize_t n = ::recv(m_fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    // Waits up to `ms` for the server to close the connection, reading (and dropping) what it sends.
    bool closedWithin(int ms) const {
        QDeadlineTimer deadline(ms);
        char buffer[4096];
        while (!deadline.hasExpired()) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(std::min<qint64>(100, deadline.remainingTime()))) <= 0) continue;
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) return true;
        }
        return false;
    }
    // Reads one HTTP reply with a Content-Length body, waiting up to `ms`.
    QByteArray readReply(int ms) const {
        QByteArray seen;
        QDeadlineTimer deadline(ms);
        char buffer[4096];
        while (!deadline.hasExpired()) {
            const qsizetype end = seen.indexOf("\r\n\r\n");
            if (end >= 0) {
                const QByteArray headers = seen.left(end).toLower();
                const qsizetype at = headers.indexOf("content-length:");
                const qsizetype length =
                    at < 0 ? 0 : headers.mid(at + 15, headers.indexOf('\r', at) - at - 15).trimmed().toLongLong();
                if (seen.size() >= end + 4 + length) return seen;
            }
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(std::min<qint64>(100, deadline.remainingTime()))) <= 0) continue;
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n <= 0) break;
            seen.append(buffer, n);
        }
        return seen;
    }

private:
    int m_fd = -1;
    bool m_connected = false;
};

QByteArray loginBody(const QString& name) {
    return "head=" + EncipherToHex(CommaText(WireClient::headLines(cmLogin, name, Pass)), ChannelKey).toLatin1() +
           "&data=" + EncipherToHex(QStringLiteral("clientversion=1.0.0.0"), ChannelKey).toLatin1();
}

QByteArray post(const QByteArray& body, const QByteArray& version, const QByteArray& extraHeaders = {}) {
    return "POST /rest " + version + "\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n" +
           extraHeaders + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// The loopback address number `i` of a set of client addresses (127.0.0.2, 127.0.0.3, ...).
QByteArray clientAddress(int i) { return "127.0.0." + QByteArray::number(2 + i); }

} // namespace

class TestSlowClients : public QObject {
    Q_OBJECT

private slots:
    void loginGoesThroughWhileHundredsOfSlowConnectionsAreOpen() {
        // Time-outs far beyond the test, so that nothing the test measures is a time-out closing them.
        ServerProcess server;
        server.setExtraArguments({QStringLiteral("--header-timeout"), QStringLiteral("120"),
                                  QStringLiteral("--idle-timeout"), QStringLiteral("120")});
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient client(server.port());
        QCOMPARE(code(registerUser(client, QStringLiteral("alice"))), 1);

        // 250 connections that send half a request header, and 50 kept-alive connections that sit
        // idle after a complete reply; 30 per client address (the default cap is 32).
        std::vector<std::unique_ptr<RawConnection>> slow;
        for (int i = 0; i < 300; ++i) {
            slow.push_back(std::make_unique<RawConnection>(clientAddress(i / 30).constData(), server.port()));
            QVERIFY(slow.back()->connected());
            if (i < 250) {
                QVERIFY(slow.back()->send("POST /rest HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: applic"));
            } else {
                QVERIFY(slow.back()->send(post(loginBody(QStringLiteral("alice")), "HTTP/1.1")));
                QVERIFY(slow.back()->readReply(30000).startsWith("HTTP/1.1 200"));
            }
        }
        // The trickling ones send one more byte of their header each.
        for (int i = 0; i < 250; ++i) QVERIFY(slow[size_t(i)]->send("a"));

        // A well-behaved client, as the program sends: a new HTTP/1.0 connection per command.
        const ReplyObject reply = login(client, QStringLiteral("alice"));
        QCOMPARE(code(reply), 1);
        QCOMPARE(code(client.call(cmGetBasicInfo, QStringLiteral("alice"), Pass)), 1);

        // The login did not wait for the slow connections to be closed: they are all still open.
        int open = 0;
        for (const auto& connection : slow) open += connection->isOpen() ? 1 : 0;
        QCOMPARE(open, 300);
    }

    void headerAndIdleTimeOutsCloseConnections() {
        ServerProcess server;
        server.setExtraArguments({QStringLiteral("--header-timeout"), QStringLiteral("1"),
                                  QStringLiteral("--idle-timeout"), QStringLiteral("1")});
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient client(server.port());
        QCOMPARE(code(registerUser(client, QStringLiteral("bob"))), 1);

        // A header trickled a byte every 100 ms never completes: cut after the header time-out,
        // however busy it keeps the connection.
        RawConnection trickler("127.0.0.1", server.port());
        QVERIFY(trickler.connected());
        const QByteArray header = "POST /rest HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Padding: " + QByteArray(400, 'x');
        bool cut = false;
        for (qsizetype i = 0; i < header.size() && !cut; ++i) {
            if (!trickler.send(header.mid(i, 1)))
                cut = true;
            else
                cut = trickler.closedWithin(100);
        }
        QVERIFY2(cut, "a trickled header was still accepted after 40 s");

        // A kept-alive connection that asks nothing more after its reply is closed after the idle time-out.
        RawConnection idle("127.0.0.1", server.port());
        QVERIFY(idle.send(post(loginBody(QStringLiteral("bob")), "HTTP/1.1")));
        QVERIFY(idle.readReply(30000).startsWith("HTTP/1.1 200"));
        QVERIFY(idle.closedWithin(30000));

        // Well-behaved clients are not affected.
        QCOMPARE(code(login(client, QStringLiteral("bob"))), 1);
    }

    void oneAddressHoldsOnlySoManyConnections() {
        ServerProcess server;
        server.setExtraArguments({QStringLiteral("--max-connections-per-address"), QStringLiteral("4")});
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient client(server.port());
        QCOMPARE(code(registerUser(client, QStringLiteral("carol"))), 1);

        std::vector<std::unique_ptr<RawConnection>> held;
        for (int i = 0; i < 4; ++i) held.push_back(std::make_unique<RawConnection>("127.0.0.2", server.port()));
        // The fifth from the same address is closed at once; the four stay.
        RawConnection fifth("127.0.0.2", server.port());
        QVERIFY(fifth.closedWithin(10000));
        for (const auto& connection : held) QVERIFY(connection->isOpen());
        // Another address is served as before.
        QCOMPARE(code(login(client, QStringLiteral("carol"))), 1);
        // A held connection still gets its answer.
        QVERIFY(held.front()->send(post(loginBody(QStringLiteral("carol")), "HTTP/1.0")));
        QVERIFY(held.front()->readReply(30000).startsWith("HTTP/1.1 200"));
    }

    void httpVersionsKeepAliveAndRefusals() {
        ServerProcess server;
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        const WireClient client(server.port());
        QCOMPARE(code(registerUser(client, QStringLiteral("dave"))), 1);
        const QByteArray body = loginBody(QStringLiteral("dave"));

        // HTTP/1.0 without keep-alive: one reply, then the server closes.
        RawConnection old("127.0.0.1", server.port());
        QVERIFY(old.send(post(body, "HTTP/1.0")));
        const QByteArray reply = old.readReply(30000);
        QVERIFY2(reply.contains(" 200 "), reply.left(200).constData());
        QCOMPARE(code(ParseReply(reply.mid(reply.indexOf("\r\n\r\n") + 4))), 1);
        QVERIFY(old.closedWithin(10000));

        // HTTP/1.1 kept alive: three commands on one connection.
        RawConnection kept("127.0.0.1", server.port());
        for (int i = 0; i < 3; ++i) {
            QVERIFY(kept.send(post(body, "HTTP/1.1")));
            const QByteArray answer = kept.readReply(30000);
            QVERIFY2(answer.startsWith("HTTP/1.1 200"), answer.left(200).constData());
            QCOMPARE(code(ParseReply(answer.mid(answer.indexOf("\r\n\r\n") + 4))), 1);
        }
        QVERIFY(kept.isOpen());

        // Other methods name the one allowed; a body over 8 KiB is refused before it is read.
        RawConnection get("127.0.0.1", server.port());
        QVERIFY(get.send("GET /rest HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n"));
        const QByteArray refused = get.readReply(30000);
        QVERIFY2(refused.startsWith("HTTP/1.1 405"), refused.constData());
        QVERIFY(refused.toLower().contains("\r\nallow: post\r\n"));
        RawConnection huge("127.0.0.1", server.port());
        QVERIFY(huge.send("POST /rest HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 8193\r\n\r\n"));
        QVERIFY(huge.readReply(30000).startsWith("HTTP/1.1 413"));
        const WireClient::RawReply exact = client.postRaw(body + "&pad=" + QByteArray(8192 - body.size() - 5, 'x'));
        QCOMPARE(exact.status, 200L);
    }
};

QTEST_GUILESS_MAIN(TestSlowClients)
#include "test_slow_clients.moc"
