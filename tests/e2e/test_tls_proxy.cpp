// The platform as it runs for many users: nginx (with the packaged configuration) terminates TLS
// with a certificate this test makes and spreads the requests over two server processes on one
// database; the client's real channel logs in, publishes and takes a task over https.
#include "model/uCommonVarConst.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "widgets/RemoteCall.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#ifndef QUORVANE_SOURCE_DIR
#error "QUORVANE_SOURCE_DIR must name the source tree"
#endif

namespace {

const QString Password = QStringLiteral("demo123");

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

bool run(const QString& program, const QStringList& args, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, args);
    const bool finished = process.waitForFinished(60000);
    if (output) *output = QString::fromUtf8(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

int requestLines(const ServerProcess& server) {
    QFile log(server.logPath());
    if (!log.open(QIODevice::ReadOnly)) return 0;
    return int(log.readAll().count(" POST /rest 200 command="));
}

} // namespace

class TestTlsProxy : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    // Two server processes on one PostgreSQL database, as behind the packaged nginx configuration.
    std::shared_ptr<TestDatabase> database = std::make_shared<TestDatabase>(DbEngine::Postgres);
    ServerProcess first{database, true};
    ServerProcess second{database};
    QProcess nginx;
    int port = 0;

    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    ChannelSettings channel(bool withCa = true) const {
        ChannelSettings settings;
        settings.scheme = QStringLiteral("https");
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = port;
        settings.caFile = withCa ? file("cert.pem") : QString();
        settings.totalTimeoutMs = 30000;
        return settings;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        // nginx's workers run as another user when the test runs as root: they must reach their
        // temporary folders below this one.
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeGroup | QFile::ExeOther |
                                              QFile::ReadGroup | QFile::ReadOther);
        QString output;
        QVERIFY2(
            run(QStringLiteral("openssl"),
                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                 QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                 QStringLiteral("-keyout"), file("key.pem"), QStringLiteral("-out"), file("cert.pem"),
                 QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                 QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1")},
                &output),
            qPrintable(output));

        const QStringList behindProxy = {QStringLiteral("--trust-proxy-header"),
                                         QStringLiteral("--max-connections-per-address"), QStringLiteral("0")};
        first.setExtraArguments(behindProxy);
        QVERIFY2(first.start(), qPrintable(first.errorText()));
        second.setExtraArguments(behindProxy);
        QVERIFY2(second.start(), qPrintable(second.errorText()));

        // The packaged site configuration with this test's ports and files.
        QFile packaged(QStringLiteral(QUORVANE_SOURCE_DIR "/packaging/server/nginx-quorvane.conf"));
        QVERIFY(packaged.open(QIODevice::ReadOnly));
        QString site = QString::fromUtf8(packaged.readAll());
        port = UnusedLoopbackPort();
        QVERIFY(port > 0);
        const std::vector<std::pair<QString, QString>> replacements = {
            {QStringLiteral("127.0.0.1:10087"), QStringLiteral("127.0.0.1:%1").arg(first.port())},
            {QStringLiteral("127.0.0.1:10088"), QStringLiteral("127.0.0.1:%1").arg(second.port())},
            {QStringLiteral("listen 443 ssl;"), QStringLiteral("listen 127.0.0.1:%1 ssl;").arg(port)},
            {QStringLiteral("listen [::]:443 ssl;"), QString()},
            {QStringLiteral("/etc/ssl/certs/platform.example.com.pem"), file("cert.pem")},
            {QStringLiteral("/etc/ssl/private/platform.example.com.key"), file("key.pem")},
        };
        for (const auto& [from, to] : replacements) {
            QVERIFY2(site.contains(from), qPrintable(from));
            site.replace(from, to);
        }
        QFile siteFile(file("quorvane.conf"));
        QVERIFY(siteFile.open(QIODevice::WriteOnly) && siteFile.write(site.toUtf8()) > 0);
        siteFile.close();
        QString main = QStringLiteral("daemon off;\nworker_processes 1;\npid %1;\nerror_log %2 warn;\n"
                                      "events { worker_connections 256; }\nhttp {\n  access_log off;\n")
                           .arg(file("nginx.pid"), file("error.log"));
        for (const char* temp : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"})
            main += QStringLiteral("  %1_temp_path %2;\n").arg(QLatin1String(temp), file(temp));
        main += QStringLiteral("  include %1;\n}\n").arg(file("quorvane.conf"));
        QFile mainFile(file("nginx.conf"));
        QVERIFY(mainFile.open(QIODevice::WriteOnly) && mainFile.write(main.toUtf8()) > 0);
        mainFile.close();

        const QString binary = QStandardPaths::findExecutable(
            QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
        QVERIFY2(!binary.isEmpty(), "nginx is not installed (scripts/install-deps installs it)");
        QVERIFY2(run(binary,
                     {QStringLiteral("-t"), QStringLiteral("-p"), dir.path(), QStringLiteral("-c"), file("nginx.conf"),
                      QStringLiteral("-e"), file("error.log")},
                     &output),
                 qPrintable(output));
        nginx.setProcessChannelMode(QProcess::MergedChannels);
        nginx.start(binary, {QStringLiteral("-p"), dir.path(), QStringLiteral("-c"), file("nginx.conf"),
                             QStringLiteral("-e"), file("error.log")});
        QVERIFY(nginx.waitForStarted(10000));
        // Listening once a connection is accepted.
        bool listening = false;
        for (int i = 0; i < 400 && !listening && nginx.state() == QProcess::Running; ++i) {
            listening = accepts(port);
            if (!listening) QTest::qWait(50);
        }
        QVERIFY2(listening, nginx.readAll().constData());
    }

    void cleanupTestCase() {
        if (nginx.state() != QProcess::NotRunning) {
            nginx.terminate();
            if (!nginx.waitForFinished(10000)) nginx.kill();
            nginx.waitForFinished(5000);
        }
    }

    void loginPublishAndTakeOverTls() {
        TestServices t(channel());
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        const int publisher = CurrentUser().Fid;
        const auto published = SendCommand(t.services, nullptr, cmPublishTask,
                                           {publisher, QStringLiteral("demo1_xiaohao"), QStringLiteral("demo1的小店"),
                                            QStringLiteral("12.50"), QStringLiteral("经过TLS的任务"),
                                            QStringLiteral("好评"), QStringLiteral("无"), 0},
                                           QStringLiteral("发布任务失败："));
        QVERIFY(published && published->done());
        const auto list = SendCommand(t.services, nullptr, cmGetPublishedTaskList, {1}, QStringLiteral("查询失败："));
        QVERIFY(list && list->done());
        QString taskid;
        for (const ReplyObject* task : ReplyRecords(list->object))
            if (ReplyText(*task, "goodskeyword") == QStringLiteral("经过TLS的任务"))
                taskid = ReplyText(*task, "taskid");
        QVERIFY(!taskid.isEmpty());

        QVERIFY(LogInAs(t.services, QStringLiteral("demo2"), Password));
        const auto taken = SendCommand(t.services, nullptr, cmHandleTask, {taskid, CurrentUser().Fid},
                                       QStringLiteral("接手任务失败："));
        QVERIFY(taken && taken->done());
        const auto mine = SendCommand(t.services, nullptr, cmSearchHandledTask, {taskid}, QStringLiteral("查询失败："));
        QVERIFY(mine && mine->done());
        QCOMPARE(ReplyRecords(mine->object).size(), std::size_t(1));
        QCOMPARE(ReplyInt(*ReplyRecords(mine->object).front(), "status"), 1);
        QVERIFY(t.prompter.entries.empty());

        // nginx spread the commands over both processes, and each logged them.
        QTRY_VERIFY_WITH_TIMEOUT(requestLines(first) + requestLines(second) >= 6, 10000);
        QVERIFY(requestLines(first) > 0);
        QVERIFY(requestLines(second) > 0);
    }

    void theCertificateIsChecked() {
        // Without the test's CA the certificate is not trusted, and nothing is sent.
        QStringList head{QStringLiteral("head_command=%1").arg(cmLogin)};
        const QStringList data{QStringLiteral("clientversion=1.0.0.0")};
        QByteArray response;
        QString error;
        const int before = requestLines(first) + requestLines(second);
        QVERIFY(!ExecRemoteProc(nullptr, &head, &data, &response, error, ClientType, QStringLiteral("demo1"), Password,
                                {}, channel(false)));
        QVERIFY2(error.contains(QLatin1String("certificate")) || error.contains(QLatin1String("SSL")),
                 qPrintable(error));
        QCOMPARE(requestLines(first) + requestLines(second), before);
    }
};

QTEST_MAIN(TestTlsProxy)
#include "test_tls_proxy.moc"
