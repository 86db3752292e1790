// The settings file as a plain INI text: what a login reads from files as people and other programs
// write them, and the exact bytes a saved login leaves behind.
#include "shell/IniDocument.h"
#include "shell/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray utf16(QStringConverter::Encoding encoding, const QString& text) {
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(text);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

const QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
const QFileDevice::Permissions NotOwner = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                          QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
} // namespace

class TestSettingsFile : public QObject {
    Q_OBJECT
private slots:
    // Each row: the file as found (absent: no file), what the login dialog reads from it, and the
    // file after a saved login of 王五 with the password `p,w;"x"`.
    void readsAndRewritesPlainIni_data() {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("userpass");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("no file") << false << QByteArray() << ""
                                 << "" << QByteArray("[login]\nusername=王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("empty file") << true << QByteArray() << ""
                                    << "" << QByteArray("[login]\nusername=王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("values verbatim") << true << QByteArray("[login]\nusername=张 三\nuserpass=a,b;c\\d\"e\"=f@g\n")
                                         << "张 三"
                                         << "a,b;c\\d\"e\"=f@g"
                                         << QByteArray("[login]\nusername=王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("leading @, blanks around")
            << true << QByteArray("[login]\n  username =  @abc \t\nuserpass=\n") << "@abc"
            << "" << QByteArray("[login]\n  username =王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("names in other case") << true << QByteArray("[LOGIN]\nUserName=bob\nUSERPASS=pw\n") << "bob"
                                             << "pw" << QByteArray("[LOGIN]\nUserName=王五\nUSERPASS=p,w;\"x\"\n");
        QTest::newRow("comments, other sections, CRLF, no final line end")
            << true
            << QByteArray("; saved by hand\r\n[window]\r\nwidth=800\r\n\r\n[ login ]\r\n# who\r\nusername=old\r\n"
                          "\r\n[extra]\r\nuserpass=not this one")
            << "old"
            << ""
            << QByteArray("; saved by hand\r\n[window]\r\nwidth=800\r\n\r\n[ login ]\r\n# who\r\nusername=王五\r\n"
                          "userpass=p,w;\"x\"\r\n\r\n[extra]\r\nuserpass=not this one");
        QTest::newRow("no login section, no final line end")
            << true << QByteArray("[window]\nwidth=800") << ""
            << "" << QByteArray("[window]\nwidth=800\n\n[login]\nusername=王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("keys outside the section")
            << true << QByteArray("username=top\n[other]\nuserpass=other\n") << ""
            << ""
            << QByteArray("username=top\n[other]\nuserpass=other\n\n[login]\nusername=王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("first of repeated keys")
            << true << QByteArray("[login]\nusername=a\nusername=b\n[login]\nuserpass=c\n") << "a"
            << "c" << QByteArray("[login]\nusername=王五\nusername=b\n[login]\nuserpass=p,w;\"x\"\n");
        QTest::newRow("bytes that are not UTF-8 elsewhere")
            << true << QByteArray("[misc]\nraw=\xB0\xA1\xFF\n[login]\nusername=a\n") << "a"
            << "" << QByteArray("[misc]\nraw=\xB0\xA1\xFF\n[login]\nusername=王五\nuserpass=p,w;\"x\"\n");
        QTest::newRow("UTF-8 with a mark")
            << true << QByteArray("\xEF\xBB\xBF[login]\r\nusername=李四\r\nuserpass=pw\r\n") << "李四"
            << "pw" << QByteArray("\xEF\xBB\xBF[login]\r\nusername=王五\r\nuserpass=p,w;\"x\"\r\n");
        QTest::newRow("UTF-16 LE with a mark")
            << true << utf16(QStringConverter::Utf16LE, QStringLiteral("[Login]\r\nusername=李四\r\n; note\r\n"))
            << "李四"
            << ""
            << utf16(QStringConverter::Utf16LE,
                     QStringLiteral("[Login]\r\nusername=王五\r\nuserpass=p,w;\"x\"\r\n; note\r\n"));
        QTest::newRow("UTF-16 BE with a mark")
            << true << utf16(QStringConverter::Utf16BE, QStringLiteral("[other]\nk=v\n")) << ""
            << ""
            << utf16(QStringConverter::Utf16BE,
                     QStringLiteral("[other]\nk=v\n\n[login]\nusername=王五\nuserpass=p,w;\"x\"\n"));
    }
    void readsAndRewritesPlainIni() {
        QFETCH(bool, present);
        QFETCH(QByteArray, before);
        QFETCH(QString, username);
        QFETCH(QString, userpass);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("client.ini"));
        if (present) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
            file.close();
            QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ReadOther));
        }
        const SettingsFile settings(path);
        const SavedLogin read = settings.readLogin();
        QCOMPARE(read.username, username);
        QCOMPARE(read.userpass, userpass);

        QCOMPARE(settings.writeLogin({QStringLiteral("王五"), QStringLiteral("p,w;\"x\"")}), QString());
        QCOMPARE(readAll(path), after);
        QCOMPARE(QFile::permissions(path) & NotOwner, QFileDevice::Permissions());
        QCOMPARE(QFile::permissions(path) & OwnerOnly, OwnerOnly);
        const SavedLogin reread = settings.readLogin();
        QCOMPARE(reread.username, QStringLiteral("王五"));
        QCOMPARE(reread.userpass, QStringLiteral("p,w;\"x\""));
        // Nothing is left beside it: the temporary file has replaced the old one.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("client.ini")});
    }

    void unreadableFileReadsEmptyAndIsNotReplaced() {
        QTemporaryDir dir;
        // A folder where the file should be: it cannot be read (also not by root) and is not replaced.
        const QString path = dir.filePath(QStringLiteral("client.ini"));
        QVERIFY(QDir().mkpath(QDir(path).filePath(QStringLiteral("inner"))));
        const SettingsFile settings(path);
        QCOMPARE(settings.readLogin().username, QString());
        QCOMPARE(settings.readLogin().userpass, QString());
        const QString failure = settings.writeLogin({QStringLiteral("a"), QStringLiteral("b")});
        QVERIFY(failure.contains(path));
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QFileInfo::exists(QDir(path).filePath(QStringLiteral("inner"))));
    }

    void lineBreaksInAValueAreRefusedAndChangeNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("client.ini"));
        const SettingsFile settings(path);
        QCOMPARE(settings.writeLogin({QStringLiteral("a"), QStringLiteral("b")}), QString());
        const QByteArray before = readAll(path);
        for (const QString& bad : {QStringLiteral("x\ny"), QStringLiteral("x\rpasswd=y")}) {
            QVERIFY(!settings.writeLogin({QStringLiteral("a"), bad}).isEmpty());
            QVERIFY(!settings.writeLogin({bad, QStringLiteral("b")}).isEmpty());
        }
        QCOMPARE(readAll(path), before);
    }

    void encodingFollowsTheMark_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::newRow("none") << QByteArray("[login]\n") << int(IniDocument::Encoding::Utf8);
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBF") << int(IniDocument::Encoding::Utf8WithMark);
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE[\0", 4) << int(IniDocument::Encoding::Utf16LE);
        QTest::newRow("UTF-16 BE") << QByteArray("\xFE\xFF\0[", 4) << int(IniDocument::Encoding::Utf16BE);
    }
    void encodingFollowsTheMark() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        const IniDocument document = IniDocument::fromBytes(bytes);
        QCOMPARE(int(document.encoding()), encoding);
        QCOMPARE(document.toBytes(), bytes);
    }

    void oddUtf16TailIsKept() {
        // A UTF-16 text cut in the middle of a code unit keeps its last byte where it was.
        QByteArray bytes = utf16(QStringConverter::Utf16LE, QStringLiteral("[login]\nusername=a\n")) + 'z';
        IniDocument document = IniDocument::fromBytes(bytes);
        QCOMPARE(document.value(QStringLiteral("login"), QStringLiteral("username")),
                 std::optional<QString>(QStringLiteral("a")));
        QCOMPARE(document.toBytes(), bytes);
        document.setValue(QStringLiteral("login"), QStringLiteral("username"), QStringLiteral("b"));
        QVERIFY(document.toBytes().endsWith(QByteArray("b\0\n\0z", 5)));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "test_settingsfile.moc"
