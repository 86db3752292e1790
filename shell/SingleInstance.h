#pragma once
// One copy of the client per user: a lock file in the user's runtime folder. A copy that crashed or
// was killed leaves a lock that names a dead process, which the next start takes over.
#include <QString>
#include <memory>

class QLockFile;

class SingleInstance {
public:
    // `lockPath` empty: the per-user default.
    explicit SingleInstance(QString lockPath = QString());
    ~SingleInstance();

    // False when another running copy holds the lock.
    bool acquire();
    void release();
    bool held() const;
    QString path() const { return m_path; }

    static QString defaultLockPath();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
