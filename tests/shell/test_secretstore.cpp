// The saved password in the desktop's secret store, against a real Secret Service: the test runs on a
// private session bus of its own (dbus-run-session), first with nothing on it (the password stays in
// the owner-only settings file), then with gnome-keyring-daemon's secrets component, unlocked with a
// test password, where the password goes into the store and the file keeps `userpass=` empty.
// A second process of this program reads the saved login back, as the next start of the client does.
#include "shell/ufrmLogin.h"
#include "tests/shell/ShellFixtures.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace shell_fixtures;

namespace {
const char* const PrivateBusMark = "QUORVANE_TEST_PRIVATE_BUS";

// A session bus that starts no service by itself: only what the test starts is on it.
const char* const BusConfig = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                              " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                              "<busconfig>\n"
                              "  <type>session</type>\n"
                              "  <listen>unix:tmpdir=/tmp</listen>\n"
                              "  <auth>EXTERNAL</auth>\n"
                              "  <policy context=\"default\">\n"
                              "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                              "    <allow eavesdrop=\"true\"/>\n"
                              "    <allow own=\"*\"/>\n"
                              "  </policy>\n"
                              "</busconfig>\n";

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Logs in through the login dialog with "保存登录信息" ticked, against a scripted server.
void saveLogin(const QString& settingsPath, const QString& username, const QString& password) {
    ScriptedServer server;
    TestServices t(server.settings());
    TfrmLogin login(t.services, nullptr, settingsPath);
    login.show();
    login.edt_username->setText(username);
    login.edt_password->setText(password);
    QVERIFY(login.chk_Saveconfig->isChecked());
    server.enqueueJson(LoginReply(username.toStdString(), password.toStdString()));
    login.btn_Login->click();
    QVERIFY(login.FbCloseAfterLogin); // a store that fails never stops the login
    QCOMPARE(t.prompter.entries.size(), std::size_t(0));
}

// What a new process of the client shows in the login dialog for `settingsPath`: "name\npassword".
QString readBackInNewProcess(const QString& settingsPath) {
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--show-saved-login"), settingsPath});
    if (!process.waitForFinished(60000)) return QStringLiteral("<no answer>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The password the store holds for `username`, looked up with the desktop's own tool.
QString storedPassword(const QString& username) {
    QProcess lookup;
    lookup.start(QStringLiteral("secret-tool"), {QStringLiteral("lookup"), QStringLiteral("server"),
                                                 QStringLiteral("quorvane-client"), QStringLiteral("user"), username});
    if (!lookup.waitForFinished(30000)) return QStringLiteral("<no answer>");
    return QString::fromUtf8(lookup.readAllStandardOutput());
}
} // namespace

class TestSecretStore : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY2(qEnvironmentVariableIsSet(PrivateBusMark), "runs on its own private session bus");
        QVERIFY(m_home.isValid());
    }

    void withoutAStoreThePasswordStaysInTheFile() {
        const QString path = m_home.filePath(QStringLiteral("nostore.ini"));
        saveLogin(path, QStringLiteral("alice"), QStringLiteral("pw,1"));
        QCOMPARE(readAll(path), QByteArray("[login]\nusername=alice\nuserpass=pw,1\n"));
        QCOMPARE(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
        QCOMPARE(readBackInNewProcess(path), QStringLiteral("alice\npw,1"));
    }

    void withAStoreThePasswordMovesThere() {
        startKeyring();
        // A file from before: the password in it is read as it always was ...
        const QString path = m_home.filePath(QStringLiteral("client.ini"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("; mine\n[login]\nusername=demo1\nuserpass=old,pw\n");
        }
        QCOMPARE(readBackInNewProcess(path), QStringLiteral("demo1\nold,pw"));

        // ... and moves into the store at the next saved login.
        saveLogin(path, QStringLiteral("demo1"), QStringLiteral("s3cret;\\x"));
        QCOMPARE(storedPassword(QStringLiteral("demo1")), QStringLiteral("s3cret;\\x"));
        QCOMPARE(readAll(path), QByteArray("; mine\n[login]\nusername=demo1\nuserpass=\n"));
        QCOMPARE(readBackInNewProcess(path), QStringLiteral("demo1\ns3cret;\\x"));

        // Another user saved next: that user's password is stored, the first one's is removed.
        saveLogin(path, QStringLiteral("demo2"), QStringLiteral("pw2"));
        QCOMPARE(storedPassword(QStringLiteral("demo2")), QStringLiteral("pw2"));
        QTRY_COMPARE_WITH_TIMEOUT(storedPassword(QStringLiteral("demo1")), QString(), 30000);
        QCOMPARE(readAll(path), QByteArray("; mine\n[login]\nusername=demo2\nuserpass=\n"));
        QCOMPARE(readBackInNewProcess(path), QStringLiteral("demo2\npw2"));
    }

    void cleanupTestCase() {
        if (m_keyring.state() != QProcess::NotRunning) {
            m_keyring.kill();
            m_keyring.waitForFinished(10000);
        }
    }

private:
    // gnome-keyring-daemon with its secrets component on the private bus, its keyrings in the test's
    // own home folder, the login keyring created and unlocked with a test password.
    void startKeyring() {
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("runtime"))));
        QFile::setPermissions(m_home.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
        m_keyring.setProcessEnvironment(environment);
        m_keyring.start(
            QStringLiteral("gnome-keyring-daemon"),
            {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
        QVERIFY2(m_keyring.waitForStarted(30000), "gnome-keyring-daemon does not start");
        m_keyring.write("quorvane-test-keyring");
        m_keyring.closeWriteChannel();
        // Ready once it answers on the bus: a lookup that finds nothing ends with status 1.
        QTRY_VERIFY_WITH_TIMEOUT(lookupAnswers(), 30000);
    }

    static bool lookupAnswers() {
        QProcess lookup;
        lookup.start(QStringLiteral("secret-tool"),
                     {QStringLiteral("lookup"), QStringLiteral("x"), QStringLiteral("y")});
        return lookup.waitForFinished(30000) && lookup.exitCode() == 1 &&
               !lookup.readAllStandardError().contains("not provided by any .service files");
    }

    QTemporaryDir m_home;
    QProcess m_keyring;
};

namespace {
// The second process: the login dialog of a new start of the client, once the saved password (from
// the file or from the store) is in it.
int showSavedLogin(const QString& settingsPath) {
    TestServices t;
    TfrmLogin login(t.services, nullptr, settingsPath);
    // Nothing saved at all shows as an empty password after the wait.
    (void)QTest::qWaitFor([&] { return !login.edt_password->text().isEmpty(); }, 30000);
    std::fputs(qPrintable(login.edt_username->text() + u'\n' + login.edt_password->text()), stdout);
    return 0;
}

// Runs this program again on a private session bus of its own and hands back its exit status.
int runOnPrivateBus(int argc, char** argv) {
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("session.conf")));
    if (!dir.isValid() || !config.open(QIODevice::WriteOnly) || config.write(BusConfig) < 0) return 2;
    config.close();
    QStringList arguments = {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--")};
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    QProcess session;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(PrivateBusMark), QStringLiteral("1"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    session.setProcessEnvironment(environment);
    session.setProcessChannelMode(QProcess::ForwardedChannels);
    session.start(QStringLiteral("dbus-run-session"), arguments);
    if (!session.waitForStarted(30000)) {
        std::fputs("dbus-run-session cannot be started\n", stderr);
        return 2;
    }
    session.waitForFinished(-1);
    return session.exitStatus() == QProcess::NormalExit ? session.exitCode() : 3;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--show-saved-login") == 0) {
        QApplication app(argc, argv);
        return showSavedLogin(QString::fromLocal8Bit(argv[2]));
    }
    if (!qEnvironmentVariableIsSet(PrivateBusMark)) {
        QCoreApplication app(argc, argv);
        return runOnPrivateBus(argc, argv);
    }
    QApplication app(argc, argv);
    TestSecretStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_secretstore.moc"
