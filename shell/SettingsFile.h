#pragma once
// The settings file of the saved credentials: section "login", keys "username" and "userpass", a plain
// INI text read and written by IniDocument (values verbatim, everything else in the file kept as it was).
// It sits beside the executable (same base name, ".ini") when that folder can be written, otherwise
// in the user's configuration folder. Only the owner may read or write it, since it holds a password.
#include <QString>

struct SavedLogin {
    QString username;
    QString userpass;
};

// The default path of the settings file (see above).
QString DefaultSettingsFilePath();
// The rule behind it: <base name>.ini beside the executable when its folder is writable, otherwise
// in `configFolder` (the home folder when that is empty).
QString SettingsFilePathFor(const QString& executablePath, bool folderWritable, const QString& configFolder);

class SettingsFile {
public:
    explicit SettingsFile(QString path);

    const QString& path() const { return m_path; }
    // A missing file or key reads as the empty text.
    SavedLogin readLogin() const;
    // Writes both keys, keeping every other section and key. Returns an empty text on success,
    // otherwise a description of the failure.
    QString writeLogin(const SavedLogin& login) const;

private:
    QString m_path;
};
