#include "shell/SettingsFile.h"

#include "shell/IniDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString LoginSection = QStringLiteral("login");
const QString UserNameKey = QStringLiteral("username");
const QString UserPassKey = QStringLiteral("userpass");
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

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

SavedLogin SettingsFile::readLogin() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const IniDocument document = IniDocument::fromBytes(file.readAll());
    return {document.value(LoginSection, UserNameKey).value_or(QString()),
            document.value(LoginSection, UserPassKey).value_or(QString())};
}

QString SettingsFile::writeLogin(const SavedLogin& login) const {
    const auto holdsLineBreak = [](const QString& text) { return text.contains(u'\n') || text.contains(u'\r'); };
    if (holdsLineBreak(login.username) || holdsLineBreak(login.userpass))
        return QStringLiteral("用户名或密码含有换行符，无法保存到设置文件：%1").arg(m_path);
    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("无法创建设置文件所在的文件夹：%1").arg(info.absolutePath());

    // Everything the file holds besides the two keys stays as it is.
    IniDocument document;
    if (info.exists()) {
        QFile existing(m_path);
        if (!existing.open(QIODevice::ReadOnly)) return QStringLiteral("无法读取设置文件：%1").arg(m_path);
        document = IniDocument::fromBytes(existing.readAll());
    }
    document.setValue(LoginSection, UserNameKey, login.username);
    document.setValue(LoginSection, UserPassKey, login.userpass);

    // A temporary file beside the old one takes the new text and then replaces it, so a crash leaves
    // either file whole. It may hold a password: only its owner may read it, from its first byte on.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) return QStringLiteral("无法写入设置文件：%1").arg(m_path);
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return QStringLiteral("无法设置设置文件的访问权限：%1").arg(m_path);
    }
    const QByteArray bytes = document.toBytes();
    if (file.write(bytes) != bytes.size() || !file.commit()) return QStringLiteral("无法写入设置文件：%1").arg(m_path);
    return {};
}
