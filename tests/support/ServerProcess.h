#pragma once
// Runs the real quorvane-server binary for a test: a free port, a fresh database of the engine under
// test (TestDatabase; optionally with the demo data), the request log in a temporary folder, the admin
// actions on that database, and a clean stop in the destructor. Several servers may share one
// database, as processes behind one address do. Password hashes are made with 1,000 PBKDF2
// iterations (the server's test seam) unless a test asks for the real count.
#include "remote/uHttpClient.h"
#include "tests/support/TestDatabase.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class ServerProcess {
public:
    explicit ServerProcess(bool seedDemo = false);
    explicit ServerProcess(std::shared_ptr<TestDatabase> database, bool seedDemo = false);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts the server and waits until it listens (on the port of the previous start, if any).
    // False with errorText() when it does not.
    bool start();
    // Options added to the server's command line from the next start() on.
    void setExtraArguments(const QStringList& args) { m_extraArgs = args; }
    // The real iteration count from the next start() on (by default tests lower it).
    void useRealPasswordIterations() { m_realIterations = true; }
    // Stops the server (SIGTERM, then SIGKILL); the database stays until the object is destroyed.
    void stop();
    // Ends the server at once with SIGKILL, as a crash would (no clean shutdown); the database stays.
    void kill9();

    bool isRunning() const;
    // The running server's process id, 0 when none runs.
    qint64 processId() const { return m_process ? m_process->processId() : 0; }
    int port() const { return m_port; }
    // Channel settings that point the client at this server.
    ChannelSettings channel(int totalTimeoutMs = 15'000) const;
    // What --db names: the SQLite file or the PostgreSQL URI.
    QString database() const { return m_database->location(); }
    const std::shared_ptr<TestDatabase>& sharedDatabase() const { return m_database; }
    // The request log the server appends to.
    QString logPath() const;
    QString errorText() const { return m_error; }

    // `quorvane-server admin --db <this database> args...`: the exit code; stdout and stderr in `output`.
    int admin(const QStringList& args, QString* output = nullptr) const;

    static QString binaryPath();

private:
    std::shared_ptr<TestDatabase> m_database;
    bool m_seedDemo;
    bool m_realIterations = false;
    QStringList m_extraArgs;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    QString m_error;
};
