#pragma once
// A private PostgreSQL 15 cluster for tests and benchmarks: initdb in a temporary folder, the server
// listening only on a Unix socket in that folder (no TCP port), run as the unprivileged "postgres"
// user when the test runs as root (PostgreSQL refuses root). Destroying the object stops the server
// and removes the folder; should the test process die first, the kernel ends the server with it
// (parent-death signal) and the next cluster started on this machine removes the folder it left.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class PostgresCluster {
public:
    struct Options {
        // fsync and synchronous commit on, as a production server runs (benchmarks); tests run
        // without them, since what they check does not depend on surviving a power loss.
        bool durable = false;
    };

    PostgresCluster();
    explicit PostgresCluster(Options options);
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // initdb and start; false with errorText() when either fails.
    bool start();
    void stop();
    // Stops the server and starts it again on the same data, as an operator's restart does: every
    // open connection breaks. False with errorText() when it does not come back.
    bool restart();
    QString errorText() const { return m_error; }

    // A new empty database (or a copy of `templateName`, which nobody may be connected to) and its URI.
    // Throws std::runtime_error when it cannot be made.
    QString createDatabase(const QString& name, const QString& templateName = QString());
    // The postgresql:// URI of a database of this cluster (through its socket).
    QString uri(const QString& database) const;

    // The process-wide cluster of the tests, started on first use (a failure to start throws).
    static PostgresCluster& shared();
    // Where Debian installs the server's programs.
    static QString binDir();

private:
    bool run(const QString& program, const QStringList& args, QString* output);
    // Starts the server on the initialised folder and waits until it answers; throws when it does not.
    void launch();
    void shutDown();

    Options m_options;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_server;
    QString m_error;
};
