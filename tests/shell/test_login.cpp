// The login dialog, the sign-up dialog and the settings file, against a scripted loopback server.
#include "shell/ufrmLogin.h"
#include "shell/ufrmUserRegister.h"
#include "tests/shell/ShellFixtures.h"
#include "widgets/ClickLabel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace shell_fixtures;

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void init() { CurrentUser().Clear(); }

    void readsSavedCredentialsWhenCreated() {
        QTemporaryDir dir;
        TestServices t;
        {
            TfrmLogin noFile(t.services, nullptr, dir.filePath(QStringLiteral("client.ini")));
            QVERIFY(noFile.edt_username->text().isEmpty());
            QVERIFY(noFile.edt_password->text().isEmpty());
            QVERIFY(noFile.chk_Saveconfig->isChecked());
            QCOMPARE(noFile.edt_password->echoMode(), QLineEdit::Password);
            QCOMPARE(noFile.size(), QSize(381, 276));
            QCOMPARE(noFile.windowTitle(), QStringLiteral("欢迎登陆"));
        }
        const QString path = dir.filePath(QStringLiteral("saved.ini"));
        writeFile(path, "[login]\nusername=张三\nuserpass=pw1\n");
        TfrmLogin saved(t.services, nullptr, path);
        QCOMPARE(saved.edt_username->text(), QStringLiteral("张三"));
        QCOMPARE(saved.edt_password->text(), QStringLiteral("pw1"));
    }

    void settingsFileSitsBesideTheExecutable() {
        // The test's own folder can be written: the file is the executable's name with ".ini".
        const QFileInfo executable(QCoreApplication::applicationFilePath());
        QCOMPARE(DefaultSettingsFilePath(),
                 QDir(executable.absolutePath()).filePath(executable.completeBaseName() + QStringLiteral(".ini")));
    }

    void emptyFieldsStopBeforeSending_data() {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::newRow("no user name") << " \t "
                                      << "pw"
                                      << "登陆账户不能为空!"
                                      << "edt_username";
        QTest::newRow("no password") << "alice"
                                     << "  "
                                     << "登陆密码不能为空!"
                                     << "edt_password";
    }
    void emptyFieldsStopBeforeSending() {
        QFETCH(QString, username);
        QFETCH(QString, password);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        TfrmLogin login(t.services, nullptr, dir.filePath(QStringLiteral("c.ini")));
        login.show();
        login.edt_username->setText(username);
        login.edt_password->setText(password);
        login.btn_Login->setFocus();
        QTest::mouseClick(login.btn_Login, Qt::LeftButton);
        QCOMPARE(int(t.prompter.entries.size()), 1);
        QCOMPARE(t.prompter.lastText(), message);
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(login.focusWidget()->objectName(), focused);
        QCOMPARE(server.requestCount(), std::size_t(0));
        QVERIFY(login.isVisible());
    }

    void refusedLoginKeepsTypedCredentialsAndSignUpCarriesThem() {
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.ini"));
        TfrmLogin login(t.services, nullptr, path);
        login.show();
        login.edt_username->setText(QStringLiteral("  alice "));
        login.edt_password->setText(QStringLiteral("\twrong "));
        server.enqueueJson({{"returncode", 0}, {"returnmsg", "密码错误"}});
        login.btn_Login->click();

        QCOMPARE(t.prompter.lastText(), QStringLiteral("登陆失败:密码错误"));
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Error);
        const RecordedRequest sent = server.lastRequest();
        QCOMPARE(sent.headValue(QStringLiteral("head_command")), QStringLiteral("1"));
        QCOMPARE(sent.headValue(QStringLiteral("head_username")), QStringLiteral("alice"));
        QCOMPARE(sent.headValue(QStringLiteral("head_password")), QStringLiteral("wrong"));
        QCOMPARE(sent.data, QStringList{QStringLiteral("clientversion=1.0.0.0")});
        QVERIFY(!login.FbCloseAfterLogin);
        QVERIFY(login.isVisible());
        QCOMPARE(CurrentUser().Fusername, QStringLiteral("alice"));
        QCOMPARE(CurrentUser().Fuserpass, QStringLiteral("wrong"));
        QCOMPARE(CurrentUser().Fid, 0);
        QVERIFY(!QFile::exists(path));

        // The sign-up opened from here carries the refused credentials in its head; on success the
        // new account's credentials land in the login boxes, and nobody is logged in.
        server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        const auto found = OnNextModal<TfrmUserRegister>([](TfrmUserRegister* signUp) {
            signUp->edt_username->setText(QStringLiteral(" bob "));
            signUp->edt_userpass->setText(QStringLiteral("pw2"));
            signUp->edt_qq->setText(QStringLiteral("10001"));
            signUp->edt_shopkeeperusername->setText(QStringLiteral("bob掌柜"));
            signUp->edt_taobaoxiaohao->setText(QStringLiteral("bob小号"));
            signUp->btn_register->click();
        });
        QTest::mouseClick(login.lbl_userregister, Qt::LeftButton);
        QVERIFY(*found);
        const RecordedRequest signUp = server.lastRequest();
        QCOMPARE(signUp.headValue(QStringLiteral("head_command")), QStringLiteral("3"));
        QCOMPARE(signUp.headValue(QStringLiteral("head_username")), QStringLiteral("alice"));
        QCOMPARE(signUp.headValue(QStringLiteral("head_password")), QStringLiteral("wrong"));
        QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，账户注册成功！"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(login.edt_username->text(), QStringLiteral("bob"));
        QCOMPARE(login.edt_password->text(), QStringLiteral("pw2"));
        QVERIFY(login.isVisible());
        QCOMPARE(server.requestCount(), std::size_t(2));
    }

    void transportFailureKeepsTheDialogOpen() {
        TestServices t(UnreachableChannel());
        QTemporaryDir dir;
        TfrmLogin login(t.services, nullptr, dir.filePath(QStringLiteral("c.ini")));
        login.show();
        login.edt_username->setText(QStringLiteral("alice"));
        login.edt_password->setText(QStringLiteral("pw"));
        login.btn_Login->click();
        QCOMPARE(int(t.prompter.entries.size()), 1);
        QVERIFY(t.prompter.lastText().startsWith(QStringLiteral("登陆失败，请稍后再试！")));
        QVERIFY(t.prompter.lastText().size() > QStringLiteral("登陆失败，请稍后再试！").size());
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Error);
        QVERIFY(login.isVisible());
        QVERIFY(!login.FbCloseAfterLogin);
    }

    void successfulLoginSavesTrimmedCredentialsWhenTicked_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("ticked") << true;
        QTest::newRow("unticked") << false;
    }
    void successfulLoginSavesTrimmedCredentialsWhenTicked() {
        QFETCH(bool, save);
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("client.ini"));
        const QByteArray before = "[login]\nusername=old\nuserpass=oldpw\nremember=1\n\n[window]\nwidth=800\n";
        writeFile(path, before);
        TfrmLogin login(t.services, nullptr, path);
        login.show();
        login.edt_username->setText(QStringLiteral(" 王五 "));
        login.edt_password->setText(QStringLiteral(" s3cret\n"));
        login.chk_Saveconfig->setChecked(save);
        server.enqueueJson(LoginReply("王五", "s3cret"));
        login.btn_Login->click();

        QVERIFY(t.prompter.entries.empty()); // no success message
        QVERIFY(login.FbCloseAfterLogin);
        QCOMPARE(login.result(), int(QDialog::Accepted));
        QVERIFY(!login.isVisible());
        QCOMPARE(CurrentUser().Fid, 42);
        QCOMPARE(CurrentUser().Fusername, QStringLiteral("王五"));
        QCOMPARE(CurrentUser().Faccountbalance.fen(), Q_INT64_C(8850));
        QCOMPARE(CurrentUser().Fclientversion, QStringLiteral("1.0.0.0"));
        if (!save) {
            QCOMPARE(readAll(path), before);
            return;
        }
        QCOMPARE(readAll(path),
                 QByteArray("[login]\nusername=王五\nuserpass=s3cret\nremember=1\n\n[window]\nwidth=800\n"));
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void newSettingsFileIsOwnerOnly() {
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sub/client.ini"));
        TfrmLogin login(t.services, nullptr, path);
        login.edt_username->setText(QStringLiteral("alice"));
        login.edt_password->setText(QStringLiteral("pw"));
        server.enqueueJson(LoginReply("alice", "pw"));
        login.btn_Login->click();
        QVERIFY(login.FbCloseAfterLogin);
        const QFileDevice::Permissions others =
            QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFile::permissions(path) & others, QFileDevice::Permissions());
        QCOMPARE(SettingsFile(path).readLogin().userpass, QStringLiteral("pw"));
    }

    void unwritableSettingsFileStopsTheLogin() {
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        // The settings folder's place is taken by a plain file: nothing can be written there.
        writeFile(dir.filePath(QStringLiteral("blocked")), "x");
        const QString path = dir.filePath(QStringLiteral("blocked/client.ini"));
        TfrmLogin login(t.services, nullptr, path);
        login.show();
        login.edt_username->setText(QStringLiteral("alice"));
        login.edt_password->setText(QStringLiteral("pw"));
        server.enqueueJson(LoginReply("alice", "pw"));
        login.btn_Login->click();
        QCOMPARE(int(t.prompter.entries.size()), 1);
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Error);
        QVERIFY(t.prompter.lastText().contains(QStringLiteral("blocked")));
        QVERIFY(!login.FbCloseAfterLogin);
        QVERIFY(login.isVisible());
        QCOMPARE(CurrentUser().Fid, 0); // not filled from the reply

        // Unticking the box lets the user in.
        login.chk_Saveconfig->setChecked(false);
        server.enqueueJson(LoginReply("alice", "pw"));
        login.btn_Login->click();
        QVERIFY(login.FbCloseAfterLogin);
        QCOMPARE(CurrentUser().Fid, 42);
    }

    void fileWithAByteOrderMarkIsReadAndKeepsIt() {
        // A file saved by a Windows editor: UTF-8 with a mark, CRLF, the section in capitals.
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("client.ini"));
        writeFile(path, "\xEF\xBB\xBF[LOGIN]\r\nUserName=张三\r\nUserPass=a\\b,c\r\n");
        TfrmLogin login(t.services, nullptr, path);
        QCOMPARE(login.edt_username->text(), QStringLiteral("张三"));
        QCOMPARE(login.edt_password->text(), QStringLiteral("a\\b,c"));
        login.show();
        server.enqueueJson(LoginReply("张三", "a\\b,c"));
        login.btn_Login->click();
        QVERIFY(t.prompter.entries.empty());
        QVERIFY(login.FbCloseAfterLogin);
        QCOMPARE(server.lastRequest().headValue(QStringLiteral("head_password")), QStringLiteral("a\\b,c"));
        QCOMPARE(readAll(path), QByteArray("\xEF\xBB\xBF[LOGIN]\r\nUserName=张三\r\nUserPass=a\\b,c\r\n"));
    }

    void unreadableLoginReplyEndsInTheGeneralErrorBox() {
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        TfrmLogin login(t.services, nullptr, dir.filePath(QStringLiteral("c.ini")));
        login.show();
        login.edt_username->setText(QStringLiteral("alice"));
        login.edt_password->setText(QStringLiteral("pw"));
        nlohmann::json reply = LoginReply("alice", "pw");
        reply.erase("accountbalance");
        server.enqueueJson(reply);
        login.btn_Login->click();
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("错误"));
        QVERIFY(t.prompter.lastText().contains(QStringLiteral("accountbalance")));
        QVERIFY(!login.FbCloseAfterLogin);
        QVERIFY(login.isVisible());
    }

    void closingAsksBeforeEndingTheProcess() {
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        TfrmLogin login(t.services, nullptr, dir.filePath(QStringLiteral("c.ini")));
        int exits = 0;
        login.setExitAction([&exits] { ++exits; });
        login.show();

        t.prompter.yesNoAnswers = {false};
        QTest::keyClick(&login, Qt::Key_Escape);
        QCOMPARE(t.prompter.lastText(), QStringLiteral("确定要退出程序?"));
        QCOMPARE(t.prompter.last()->kind, TestPrompter::Kind::Question);
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(exits, 0);
        QVERIFY(login.isVisible());

        t.prompter.yesNoAnswers = {true};
        login.close();
        QCOMPARE(exits, 1);
        QCOMPARE(server.requestCount(), std::size_t(0)); // no logout, nothing sent
    }
};

class TestUserRegister : public QObject {
    Q_OBJECT
private slots:
    void init() { CurrentUser().Clear(); }

    void invitationBoxIsOpenForTyping() {
        TestServices t;
        TfrmUserRegister signUp(t.services);
        signUp.show();
        QVERIFY(signUp.edt_inviteuserid->isVisible());
        QVERIFY(signUp.Label7->isVisible());
        QVERIFY(signUp.edt_inviteuserid->isEnabled());
        QVERIFY(signUp.edt_inviteuserid->text().isEmpty());
        QCOMPARE(signUp.edt_inviteuserid->placeholderText(), QStringLiteral("如果没有邀请人ID，请留空"));
        QCOMPARE(signUp.size(), QSize(471, 346));
        QCOMPARE(signUp.edt_userpass->echoMode(), QLineEdit::Normal);
    }

    void checksInputInOrder_data() {
        QTest::addColumn<QStringList>("values"); // user, pass, qq, shopkeeper, xiaohao
        QTest::addColumn<QString>("message");
        QTest::newRow("user name") << QStringList{" ", "p", "q", "s", "x"} << "请输入登录用户名！";
        QTest::newRow("password") << QStringList{"u", "", "", "", ""} << "请输入登录密码！";
        QTest::newRow("qq") << QStringList{"u", "p", "\t", "s", "x"} << "请输入联系QQ！";
        QTest::newRow("shopkeeper") << QStringList{"u", "p", "q", "", ""}
                                    << "请输入淘宝掌柜名，注意：掌柜名后期可以修改！";
        QTest::newRow("xiaohao") << QStringList{"u", "p", "q", "s", "  "}
                                 << "请输入淘宝小号，注意：淘宝小号后期可以修改！";
    }
    void checksInputInOrder() {
        QFETCH(QStringList, values);
        QFETCH(QString, message);
        ScriptedServer server;
        TestServices t(server.settings());
        TfrmUserRegister signUp(t.services);
        signUp.edt_username->setText(values[0]);
        signUp.edt_userpass->setText(values[1]);
        signUp.edt_qq->setText(values[2]);
        signUp.edt_shopkeeperusername->setText(values[3]);
        signUp.edt_taobaoxiaohao->setText(values[4]);
        signUp.btn_register->click();
        QCOMPARE(int(t.prompter.entries.size()), 1);
        QCOMPARE(t.prompter.lastText(), message);
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(server.requestCount(), std::size_t(0));
    }

    void outcomeFollowsTheReturnCode_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // empty: nothing shown
        QTest::addColumn<bool>("closes");
        QTest::newRow("accepted") << 1 << "恭喜，账户注册成功！" << true;
        QTest::newRow("refused") << 0 << "账户注册失败，原因用户名已存在" << false;
        QTest::newRow("other") << 7 << "" << false;
    }
    void outcomeFollowsTheReturnCode() {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(bool, closes);
        ScriptedServer server;
        TestServices t(server.settings());
        TfrmUserRegister signUp(t.services);
        QStringList handedOver;
        connect(&signUp, &TfrmUserRegister::registered, this, [&handedOver](const QString& u, const QString& p) {
            handedOver = {u, p};
        });
        signUp.show();
        signUp.edt_username->setText(QStringLiteral(" carol "));
        signUp.edt_userpass->setText(QStringLiteral("pw 3 "));
        signUp.edt_qq->setText(QStringLiteral("12345"));
        signUp.edt_shopkeeperusername->setText(QStringLiteral("掌柜"));
        signUp.edt_taobaoxiaohao->setText(QStringLiteral("小号"));
        signUp.edt_inviteuserid->setText(QStringLiteral(" 17 "));
        server.enqueueJson({{"returncode", code}, {"returnmsg", "用户名已存在"}});
        signUp.btn_register->click();

        QCOMPARE(server.lastRequest().data,
                 QStringList({"clientversion=1.0.0.0", "username=carol", "userpass=pw 3", "qq=12345",
                              "shopkeeperusername=掌柜", "taobaoxiaohao=小号", "inviteuserid=17"}));
        QCOMPARE(server.lastRequest().headValue(QStringLiteral("head_username")), QString());
        if (message.isEmpty()) {
            QVERIFY(t.prompter.entries.empty());
        } else {
            QCOMPARE(t.prompter.lastText(), message);
            QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
            QCOMPARE(t.prompter.last()->icon, MessageIcon::Information);
        }
        QCOMPARE(signUp.isVisible(), !closes);
        QCOMPARE(handedOver, closes ? QStringList({"carol", "pw 3"}) : QStringList());
    }

    void transportFailureKeepsTheDialogOpen() {
        TestServices t(UnreachableChannel());
        TfrmUserRegister signUp(t.services);
        signUp.show();
        for (QLineEdit* edit : {signUp.edt_username, signUp.edt_userpass, signUp.edt_qq, signUp.edt_shopkeeperusername,
                                signUp.edt_taobaoxiaohao})
            edit->setText(QStringLiteral("v"));
        signUp.btn_register->click();
        QVERIFY(t.prompter.lastText().startsWith(QStringLiteral("账户注册失败，请稍后再试！")));
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("错误"));
        QVERIFY(signUp.isVisible());
        signUp.btn_Close->click();
        QVERIFY(!signUp.isVisible());
        QCOMPARE(int(t.prompter.entries.size()), 1); // closing asks nothing
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        TestLogin login;
        status |= QTest::qExec(&login, argc, argv);
    }
    {
        TestUserRegister signUp;
        status |= QTest::qExec(&signUp, argc, argv);
    }
    return status;
}

#include "test_login.moc"
