#include "shell/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(QString lockPath)
    : m_path(lockPath.isEmpty() ? defaultLockPath() : std::move(lockPath)) {}

SingleInstance::~SingleInstance() { release(); }

QString SingleInstance::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("quorvane-client.lock"));
}

bool SingleInstance::acquire() {
    if (held()) return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_path);
    m_lock->setStaleLockTime(0); // stale only when its process is gone, never by age
    if (m_lock->tryLock(0)) return true;
    // A lock left by a copy that no longer runs is removed and taken over.
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->removeStaleLockFile() && m_lock->tryLock(0))
        return true;
    m_lock.reset();
    return false;
}

void SingleInstance::release() {
    if (m_lock) m_lock->unlock();
    m_lock.reset();
}

bool SingleInstance::held() const { return m_lock && m_lock->isLocked(); }
