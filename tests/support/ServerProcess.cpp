#include "tests/support/ServerProcess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#ifndef QUORVANE_SERVER_BIN
#error "QUORVANE_SERVER_BIN must name the quorvane-server binary"
#endif

ServerProcess::ServerProcess(bool seedDemo) : ServerProcess(std::make_shared<TestDatabase>(), seedDemo) {}

ServerProcess::ServerProcess(std::shared_ptr<TestDatabase> database, bool seedDemo)
    : m_database(std::move(database)), m_seedDemo(seedDemo) {}

ServerProcess::~ServerProcess() { stop(); }

// QUORVANE_TEST_SERVER_BIN runs the tests against another build of the server (an older one, to see
// a test fail on the code it guards against).
QString ServerProcess::binaryPath() {
    const QString other = qEnvironmentVariable("QUORVANE_TEST_SERVER_BIN");
    return other.isEmpty() ? QStringLiteral(QUORVANE_SERVER_BIN) : other;
}

QString ServerProcess::logPath() const { return m_dir.filePath(QStringLiteral("server.log")); }

bool ServerProcess::isRunning() const { return m_process && m_process->state() == QProcess::Running; }

bool ServerProcess::start() {
    if (isRunning()) return true;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    // A free port the first time; a restart comes back on the same port, as a real server would.
    QStringList args = {QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                        QStringLiteral("--port"),    QString::number(m_port),
                        QStringLiteral("--db"),      database(),
                        QStringLiteral("--log"),     logPath()};
    if (m_seedDemo) args << QStringLiteral("--seed-demo");
    if (!m_realIterations) args << QStringLiteral("--test-password-iterations") << QStringLiteral("1000");
    args << m_extraArgs;
    m_process->start(binaryPath(), args);
    if (!m_process->waitForStarted(10000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(binaryPath(), m_process->errorString());
        return false;
    }
    static const QRegularExpression listening(QStringLiteral(R"(listening on [^\s:]+:(\d+))"));
    QByteArray seen;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (!m_process->waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) break;
        seen += m_process->readAllStandardOutput();
        const QRegularExpressionMatch m = listening.match(QString::fromUtf8(seen));
        if (m.hasMatch()) {
            m_port = m.captured(1).toInt();
            return true;
        }
    }
    m_error = QStringLiteral("server did not report its port; stdout: %1 stderr: %2")
                  .arg(QString::fromUtf8(seen), QString::fromUtf8(m_process->readAllStandardError()));
    stop();
    return false;
}

void ServerProcess::stop() {
    if (!m_process) return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
    m_process.reset();
}

void ServerProcess::kill9() {
    if (!m_process) return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill(); // SIGKILL on this platform
        m_process->waitForFinished(5000);
    }
    m_process.reset();
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

ChannelSettings ServerProcess::channel(int totalTimeoutMs) const {
    ChannelSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = m_port;
    settings.totalTimeoutMs = totalTimeoutMs;
    return settings;
}
