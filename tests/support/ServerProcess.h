#pragma once
// Runs the real quorvane-server binary for a test: a free port, a fresh database in a temporary
// folder (optionally with the demo data), the request log in that folder, the admin actions on that
// database, and a clean stop in the destructor. Password hashes are made with 1,000 PBKDF2
// iterations (the server's test seam) unless a test asks for the real count.
#include "remote/uHttpClient.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class ServerProcess {
public:
    explicit ServerProcess(bool seedDemo = false);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts the server and waits until it listens (on the port of the previous start, if any).
    // False with errorText() when it does not.
    bool start();
    // Options added to the server's command line from the next start() on.
    void setExtraArguments(const QStringList& args) { FExtraArgs = args; }
    // The database the server opens from the next start() on, in place of its own file (several
    // servers on one database).
    void setDatabase(const QString& database) { FDatabase = database; }
    // The real iteration count from the next start() on (by default tests lower it).
    void useRealPasswordIterations() { FRealIterations = true; }
    // Stops the server (SIGTERM, then SIGKILL); the database stays until the object is destroyed.
    void stop();
    // Ends the server at once with SIGKILL, as a crash would (no clean shutdown); the database stays.
    void kill9();

    bool isRunning() const;
    // The running server's process id, 0 when none runs.
    qint64 processId() const { return FProcess ? FProcess->processId() : 0; }
    int port() const { return FPort; }
    // Channel settings that point the client at this server.
    TChannelSettings channel(int totalTimeoutMs = 15'000) const;
    QString databasePath() const;
    // The request log the server appends to.
    QString logPath() const;
    QString errorText() const { return FError; }

    // `quorvane-server admin --db <this database> args...`: the exit code; stdout and stderr in `output`.
    int admin(const QStringList& args, QString* output = nullptr) const;

    static QString binaryPath();

private:
    bool FSeedDemo;
    bool FRealIterations = false;
    QStringList FExtraArgs;
    QString FDatabase;
    QTemporaryDir FDir;
    std::unique_ptr<QProcess> FProcess;
    int FPort = 0;
    QString FError;
};
