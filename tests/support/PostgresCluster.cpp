#include "tests/support/PostgresCluster.h"

#include "server/PostgresConnection.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <libpq-fe.h>

#include <cerrno>
#include <csignal>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const char* const FolderPrefix = "quorvane-pg-";
const char* const OwnerFile = "owner.pid";
const char* const SuperUser = "quorvane";

struct Account {
    uid_t uid = 0;
    gid_t gid = 0;
};

// Under root the cluster belongs to the "postgres" account; otherwise to whoever runs the test.
std::optional<Account> databaseAccount() {
    if (::geteuid() != 0) return std::nullopt;
    const passwd* entry = ::getpwnam("postgres");
    if (!entry) throw std::runtime_error("running as root, but there is no \"postgres\" user to run PostgreSQL as");
    return Account{entry->pw_uid, entry->pw_gid};
}

bool processAlive(qint64 pid) { return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM); }

// Folders of clusters whose test process died without removing them (their servers died with it).
void removeAbandonedClusters() {
    const QDir temp(QDir::tempPath());
    for (const QString& name : temp.entryList({QString::fromLatin1(FolderPrefix) + u'*'}, QDir::Dirs)) {
        QDir dir(temp.filePath(name));
        QFile owner(dir.filePath(QString::fromLatin1(OwnerFile)));
        if (!owner.open(QIODevice::ReadOnly)) continue;
        const qint64 ownerPid = owner.readAll().trimmed().toLongLong();
        QFile server(dir.filePath(QStringLiteral("data/postmaster.pid")));
        const qint64 serverPid = server.open(QIODevice::ReadOnly) ? server.readLine().trimmed().toLongLong() : 0;
        if (ownerPid > 0 && !processAlive(ownerPid) && !processAlive(serverPid)) dir.removeRecursively();
    }
}

} // namespace

PostgresCluster::PostgresCluster() : PostgresCluster(Options{}) {}

PostgresCluster::PostgresCluster(Options options) : m_options(options) {}

PostgresCluster::~PostgresCluster() { stop(); }

QString PostgresCluster::binDir() { return QStringLiteral("/usr/lib/postgresql/15/bin"); }

bool PostgresCluster::run(const QString& program, const QStringList& args, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(m_dir->path());
    const std::optional<Account> account = databaseAccount();
    if (account)
        process.setChildProcessModifier([account] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(account->gid) != 0 || ::setuid(account->uid) != 0)
                ::_exit(127);
        });
    process.start(binDir() + u'/' + program, args);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
    }
    *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresCluster::start() {
    if (m_server) return true;
    try {
        removeAbandonedClusters();
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + u'/' + QString::fromLatin1(FolderPrefix) +
                                                QStringLiteral("XXXXXX"));
        if (!m_dir->isValid()) throw std::runtime_error("cannot create a temporary folder");
        QFile owner(m_dir->filePath(QString::fromLatin1(OwnerFile)));
        if (!owner.open(QIODevice::WriteOnly) ||
            owner.write(QByteArray::number(QCoreApplication::applicationPid())) <= 0)
            throw std::runtime_error("cannot write the owner file");
        owner.close();
        const std::optional<Account> account = databaseAccount();
        if (account && ::chown(QFile::encodeName(m_dir->path()).constData(), account->uid, account->gid) != 0)
            throw std::runtime_error("cannot hand the cluster folder to the postgres user");

        QString output;
        if (!run(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")), QStringLiteral("-U"),
                  QString::fromLatin1(SuperUser), QStringLiteral("--auth=trust"), QStringLiteral("--encoding=UTF8"),
                  QStringLiteral("--locale=C"), QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
                 &output))
            throw std::runtime_error("initdb failed: " + output.toStdString());

        launch();
        return true;
    } catch (const std::exception& error) {
        m_error = QString::fromStdString(error.what());
        stop();
        return false;
    }
}

void PostgresCluster::launch() {
    const std::optional<Account> account = databaseAccount();
    m_server = std::make_unique<QProcess>();
    m_server->setWorkingDirectory(m_dir->path());
    m_server->setStandardOutputFile(m_dir->filePath(QStringLiteral("postgres.log")), QIODevice::Append);
    m_server->setProcessChannelMode(QProcess::MergedChannels);
    m_server->setChildProcessModifier([account] {
        if (account && (::setgroups(0, nullptr) != 0 || ::setgid(account->gid) != 0 || ::setuid(account->uid) != 0))
            ::_exit(127);
        // After the change of user, which would clear it: the server ends when the test does.
        ::prctl(PR_SET_PDEATHSIG, SIGINT);
    });
    const bool durable = m_options.durable;
    const QStringList args = {
        QStringLiteral("-D"), m_dir->filePath(QStringLiteral("data")),
        QStringLiteral("-k"), m_dir->path(),
        QStringLiteral("-c"), QStringLiteral("listen_addresses="),
        QStringLiteral("-c"), QStringLiteral("max_connections=300"),
        QStringLiteral("-c"), QStringLiteral("shared_buffers=32MB"),
        QStringLiteral("-c"), QStringLiteral("fsync=%1").arg(durable ? u"on" : u"off"),
        QStringLiteral("-c"), QStringLiteral("synchronous_commit=%1").arg(durable ? u"on" : u"off"),
        QStringLiteral("-c"), QStringLiteral("full_page_writes=%1").arg(durable ? u"on" : u"off")};
    m_server->start(binDir() + QStringLiteral("/postgres"), args);
    if (!m_server->waitForStarted(10000)) throw std::runtime_error("cannot start postgres");

    // Ready once it answers on its socket.
    const QByteArray probe = uri(QStringLiteral("postgres")).toUtf8();
    QDeadlineTimer deadline(60000);
    while (PQping(probe.constData()) != PQPING_OK) {
        if (deadline.hasExpired() || m_server->state() != QProcess::Running) {
            QFile log(m_dir->filePath(QStringLiteral("postgres.log")));
            log.open(QIODevice::ReadOnly);
            throw std::runtime_error("postgres did not come up: " + log.readAll().toStdString());
        }
        QThread::msleep(50);
    }
}

bool PostgresCluster::restart() {
    if (!m_server || !m_dir) return false;
    shutDown();
    try {
        launch();
        return true;
    } catch (const std::exception& error) {
        m_error = QString::fromStdString(error.what());
        return false;
    }
}

void PostgresCluster::shutDown() {
    if (!m_server) return;
    if (m_server->state() != QProcess::NotRunning) {
        // Fast shutdown: sessions still open are ended rather than waited for.
        ::kill(pid_t(m_server->processId()), SIGINT);
        if (!m_server->waitForFinished(30000)) {
            m_server->kill();
            m_server->waitForFinished(5000);
        }
    }
    m_server.reset();
}

void PostgresCluster::stop() {
    shutDown();
    m_dir.reset(); // removes the folder
}

QString PostgresCluster::uri(const QString& database) const {
    return QStringLiteral("postgresql:///%1?host=%2&user=%3")
        .arg(database, QString::fromLatin1(QUrl::toPercentEncoding(m_dir ? m_dir->path() : QString())),
             QString::fromLatin1(SuperUser));
}

QString PostgresCluster::createDatabase(const QString& name, const QString& templateName) {
    PostgresConnection admin(uri(QStringLiteral("postgres")));
    QString sql = QStringLiteral("CREATE DATABASE \"%1\"").arg(name);
    if (!templateName.isEmpty()) sql += QStringLiteral(" TEMPLATE \"%1\"").arg(templateName);
    admin.exec(sql.toUtf8().constData());
    return uri(name);
}

PostgresCluster& PostgresCluster::shared() {
    static PostgresCluster cluster;
    if (!cluster.start()) throw std::runtime_error("PostgreSQL test cluster: " + cluster.errorText().toStdString());
    return cluster;
}
