#include "shell/uSettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString UserNameKey = QStringLiteral("login/username");
const QString UserPassKey = QStringLiteral("login/userpass");
} // namespace

QString SettingsFilePathFor(const QString& executablePath, bool folderWritable, const QString& configFolder) {
    const QFileInfo executable(executablePath);
    const QString fileName = executable.completeBaseName() + QStringLiteral(".ini");
    if (folderWritable) return QDir(executable.absolutePath()).filePath(fileName);
    return QDir(configFolder.isEmpty() ? QDir::homePath() : configFolder).filePath(fileName);
}

QString DefaultSettingsFilePath() {
    const QString executable = QCoreApplication::applicationFilePath();
    const QFileInfo folder(QFileInfo(executable).absolutePath());
    return SettingsFilePathFor(executable, folder.isDir() && folder.isWritable(),
                               QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

TSettingsFile::TSettingsFile(QString path) : FPath(std::move(path)) {}

TSavedLogin TSettingsFile::readLogin() const {
    if (!QFileInfo::exists(FPath)) return {};
    const QSettings settings(FPath, QSettings::IniFormat);
    return {settings.value(UserNameKey).toString(), settings.value(UserPassKey).toString()};
}

QString TSettingsFile::writeLogin(const TSavedLogin& login) const {
    const QFileInfo info(FPath);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("无法创建设置文件所在的文件夹：%1").arg(info.absolutePath());
    // The file holds a password in plain text: only its owner may read it, from its first byte on.
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (info.exists()) {
        if (!QFile::setPermissions(FPath, ownerOnly))
            return QStringLiteral("无法设置设置文件的访问权限：%1").arg(FPath);
    } else {
        QFile file(FPath);
        if (!file.open(QIODevice::WriteOnly, ownerOnly)) return QStringLiteral("无法创建设置文件：%1").arg(FPath);
    }
    {
        QSettings settings(FPath, QSettings::IniFormat);
        settings.setValue(UserNameKey, login.username);
        settings.setValue(UserPassKey, login.userpass);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return QStringLiteral("无法写入设置文件：%1").arg(FPath);
    }
    if (!QFile::setPermissions(FPath, ownerOnly))
        return QStringLiteral("无法设置设置文件的访问权限：%1").arg(FPath);
    return {};
}
