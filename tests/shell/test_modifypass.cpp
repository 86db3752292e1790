// The change-password dialog: input checks with their letter-case rules, the command it sends, the
// profile afterwards, and the settings file left alone.
#include "shell/ufrmLogin.h"
#include "shell/ufrmModifyUserPass.h"
#include "tests/shell/ShellFixtures.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace shell_fixtures;

class TestModifyUserPass : public QObject {
    Q_OBJECT

    static void type(TfrmModifyUserPass& dialog, const QString& oldPass, const QString& newPass,
                     const QString& confirm) {
        dialog.edt_olduserpass->setText(oldPass);
        dialog.edt_newuserpass->setText(newPass);
        dialog.edt_confirmnewuserpass->setText(confirm);
    }

private slots:
    void init() {
        CurrentUser().Clear();
        CurrentUser().Fusername = QStringLiteral("alice");
        CurrentUser().Fuserpass = QStringLiteral("Secret1");
    }

    void asciiCaseRule_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<bool>("same");
        QTest::newRow("letters A-Z fold") << "PassWORD9"
                                          << "passWord9" << true;
        QTest::newRow("other letters do not") << "Ää"
                                              << "ää" << false;
        QTest::newRow("full-width letters do not") << "Ａ"
                                                   << "ａ" << false;
        QTest::newRow("punctuation exact") << "a["
                                           << "A{" << false;
        QTest::newRow("length") << "abc"
                                << "abcd" << false;
        QTest::newRow("empty") << ""
                               << "" << true;
    }
    void asciiCaseRule() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(bool, same);
        QCOMPARE(SameTextAsciiCase(a, b), same);
        QCOMPARE(SameTextAsciiCase(b, a), same);
    }

    void checksStopBeforeSending_data() {
        QTest::addColumn<QStringList>("typed"); // old, new, confirmation
        QTest::addColumn<QString>("message");
        const QString empty = QStringLiteral("请输入原登录密码！");
        QTest::newRow("old empty") << QStringList{"  ", "n", "n"} << empty;
        QTest::newRow("new empty") << QStringList{"Secret1", "\t", "n"} << empty;
        QTest::newRow("confirmation empty") << QStringList{"Secret1", "n", ""} << empty;
        QTest::newRow("confirmation differs")
            << QStringList{"Secret1", "abc", "abd"} << "两次输入的新密码不同，请重新输入！";
        QTest::newRow("old wrong") << QStringList{"Secret2", "abc", "abc"} << "你输入原登录密码不正确，请重新输入！";
        QTest::newRow("old differs beyond A-Z case")
            << QStringList{"Ｓecret1", "abc", "abc"} << "你输入原登录密码不正确，请重新输入！";
    }
    void checksStopBeforeSending() {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        ScriptedServer server;
        TestServices t(server.settings());
        TfrmModifyUserPass dialog(t.services);
        type(dialog, typed[0], typed[1], typed[2]);
        dialog.btn_ModifyPass->click();
        QCOMPARE(int(t.prompter.entries.size()), 1);
        QCOMPARE(t.prompter.lastText(), message);
        QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(server.requestCount(), std::size_t(0));
        QCOMPARE(CurrentUser().Fuserpass, QStringLiteral("Secret1"));
    }

    void acceptedChangeUsesTheNewPasswordFromThenOn() {
        ScriptedServer server;
        TestServices t(server.settings());
        // The settings file saved at login keeps the old password after the change.
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("client.ini"));
        QCOMPARE(SettingsFile(settings).writeLogin({QStringLiteral("alice"), QStringLiteral("Secret1")}), QString());

        TfrmModifyUserPass dialog(t.services);
        dialog.show();
        // Old password in another letter case, confirmation in another case, blanks around all three.
        type(dialog, QStringLiteral(" sECRET1 "), QStringLiteral(" NewPass "), QStringLiteral("newpass\t"));
        server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_ModifyPass->click();

        const RecordedRequest sent = server.lastRequest();
        QCOMPARE(sent.headValue(QStringLiteral("head_command")), QStringLiteral("7"));
        QCOMPARE(sent.headValue(QStringLiteral("head_password")), QStringLiteral("Secret1"));
        QCOMPARE(sent.data, QStringList({"clientversion=1.0.0.0", "newpass=NewPass"}));
        QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，修改登陆密码成功！"));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(CurrentUser().Fuserpass, QStringLiteral("NewPass"));
        QVERIFY(dialog.isVisible());

        // Pressing again with the same entries: the stored password is now the new one.
        dialog.btn_ModifyPass->click();
        QCOMPARE(t.prompter.lastText(), QStringLiteral("你输入原登录密码不正确，请重新输入！"));
        QCOMPARE(server.requestCount(), std::size_t(1));

        // The next command authenticates with the new password.
        type(dialog, QStringLiteral("newpass"), QStringLiteral("third"), QStringLiteral("third"));
        server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_ModifyPass->click();
        QCOMPARE(server.lastRequest().headValue(QStringLiteral("head_password")), QStringLiteral("NewPass"));
        QCOMPARE(CurrentUser().Fuserpass, QStringLiteral("third"));

        QCOMPARE(SettingsFile(settings).readLogin().userpass, QStringLiteral("Secret1"));
    }

    void failuresKeepThePassword_data() {
        QTest::addColumn<int>("code"); // -1: server unreachable
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("caption");
        QTest::newRow("refused") << 0 << "修改登陆密码失败密码太简单"
                                 << "提示";
        QTest::newRow("other code") << 2 << ""
                                    << "";
        QTest::newRow("unreachable") << -1 << "修改登陆密码失败，请稍后再试！"
                                     << "错误";
    }
    void failuresKeepThePassword() {
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(QString, caption);
        ScriptedServer server;
        TestServices t(code < 0 ? UnreachableChannel() : server.settings());
        server.enqueueJson({{"returncode", code}, {"returnmsg", "密码太简单"}});
        TfrmModifyUserPass dialog(t.services);
        type(dialog, QStringLiteral("Secret1"), QStringLiteral("x"), QStringLiteral("x"));
        dialog.btn_ModifyPass->click();
        if (message.isEmpty()) {
            QVERIFY(t.prompter.entries.empty());
        } else {
            QVERIFY(t.prompter.lastText().startsWith(message));
            QCOMPARE(t.prompter.last()->caption, caption);
        }
        QCOMPARE(CurrentUser().Fuserpass, QStringLiteral("Secret1"));
    }
};

QTEST_MAIN(TestModifyUserPass)
#include "test_modifypass.moc"
