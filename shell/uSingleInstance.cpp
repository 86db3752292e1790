#include "shell/uSingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

TSingleInstance::TSingleInstance(QString lockPath)
    : FPath(lockPath.isEmpty() ? defaultLockPath() : std::move(lockPath)) {}

TSingleInstance::~TSingleInstance() { release(); }

QString TSingleInstance::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("quorvane-client.lock"));
}

bool TSingleInstance::acquire() {
    if (held()) return true;
    QDir().mkpath(QFileInfo(FPath).absolutePath());
    FLock = std::make_unique<QLockFile>(FPath);
    FLock->setStaleLockTime(0); // stale only when its process is gone, never by age
    if (FLock->tryLock(0)) return true;
    // A lock left by a copy that no longer runs is removed and taken over.
    if (FLock->error() == QLockFile::LockFailedError && FLock->removeStaleLockFile() && FLock->tryLock(0)) return true;
    FLock.reset();
    return false;
}

void TSingleInstance::release() {
    if (FLock) FLock->unlock();
    FLock.reset();
}

bool TSingleInstance::held() const { return FLock && FLock->isLocked(); }
