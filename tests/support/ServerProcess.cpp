#include "tests/support/ServerProcess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#ifndef QUORVANE_SERVER_BIN
#error "QUORVANE_SERVER_BIN must name the quorvane-server binary"
#endif

ServerProcess::ServerProcess(bool seedDemo) : ServerProcess(std::make_shared<TestDatabase>(), seedDemo) {}

ServerProcess::ServerProcess(std::shared_ptr<TestDatabase> database, bool seedDemo)
    : FDatabase(std::move(database)), FSeedDemo(seedDemo) {}

ServerProcess::~ServerProcess() { stop(); }

// QUORVANE_TEST_SERVER_BIN runs the tests against another build of the server (an older one, to see
// a test fail on the code it guards against).
QString ServerProcess::binaryPath() {
    const QString other = qEnvironmentVariable("QUORVANE_TEST_SERVER_BIN");
    return other.isEmpty() ? QStringLiteral(QUORVANE_SERVER_BIN) : other;
}

QString ServerProcess::logPath() const { return FDir.filePath(QStringLiteral("server.log")); }

bool ServerProcess::isRunning() const { return FProcess && FProcess->state() == QProcess::Running; }

bool ServerProcess::start() {
    if (isRunning()) return true;
    FProcess = std::make_unique<QProcess>();
    FProcess->setProcessChannelMode(QProcess::SeparateChannels);
    // A free port the first time; a restart comes back on the same port, as a real server would.
    QStringList args = {QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                        QStringLiteral("--port"),    QString::number(FPort),
                        QStringLiteral("--db"),      database(),
                        QStringLiteral("--log"),     logPath()};
    if (FSeedDemo) args << QStringLiteral("--seed-demo");
    if (!FRealIterations) args << QStringLiteral("--test-password-iterations") << QStringLiteral("1000");
    args << FExtraArgs;
    FProcess->start(binaryPath(), args);
    if (!FProcess->waitForStarted(10000)) {
        FError = QStringLiteral("cannot start %1: %2").arg(binaryPath(), FProcess->errorString());
        return false;
    }
    static const QRegularExpression listening(QStringLiteral(R"(listening on [^\s:]+:(\d+))"));
    QByteArray seen;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (!FProcess->waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) break;
        seen += FProcess->readAllStandardOutput();
        const QRegularExpressionMatch m = listening.match(QString::fromUtf8(seen));
        if (m.hasMatch()) {
            FPort = m.captured(1).toInt();
            return true;
        }
    }
    FError = QStringLiteral("server did not report its port; stdout: %1 stderr: %2")
                 .arg(QString::fromUtf8(seen), QString::fromUtf8(FProcess->readAllStandardError()));
    stop();
    return false;
}

void ServerProcess::stop() {
    if (!FProcess) return;
    if (FProcess->state() != QProcess::NotRunning) {
        FProcess->terminate();
        if (!FProcess->waitForFinished(5000)) {
            FProcess->kill();
            FProcess->waitForFinished(5000);
        }
    }
    FProcess.reset();
}

void ServerProcess::kill9() {
    if (!FProcess) return;
    if (FProcess->state() != QProcess::NotRunning) {
        FProcess->kill(); // SIGKILL on this platform
        FProcess->waitForFinished(5000);
    }
    FProcess.reset();
}

int ServerProcess::admin(const QStringList& args, QString* output) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(binaryPath(), QStringList{QStringLiteral("admin"), QStringLiteral("--db"), database()} + args);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        if (output) *output = QStringLiteral("admin action did not finish");
        return -1;
    }
    if (output) *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TChannelSettings ServerProcess::channel(int totalTimeoutMs) const {
    TChannelSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = FPort;
    settings.totalTimeoutMs = totalTimeoutMs;
    return settings;
}
