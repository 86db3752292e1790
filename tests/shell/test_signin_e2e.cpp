// Sign-up, login, the dashboard and a password change against the real local platform server.
#include "screens/account/ufrmWelcome.h"
#include "shell/ufrmLogin.h"
#include "shell/ufrmModifyUserPass.h"
#include "shell/ufrmUserRegister.h"
#include "tests/shell/ShellFixtures.h"
#include "tests/support/ServerProcess.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestSignInEndToEnd : public QObject {
    Q_OBJECT

    // Logs in through the dialog; true when it closed after a successful login.
    static bool login(const Services& services, const QString& settings, const QString& user, const QString& pass) {
        TfrmLogin dialog(services, nullptr, settings);
        dialog.show();
        dialog.edt_username->setText(user);
        dialog.edt_password->setText(pass);
        dialog.btn_Login->click();
        return dialog.FbCloseAfterLogin;
    }

private slots:
    void init() { CurrentUser().Clear(); }

    void signUpLogInDashboardAndPasswordChange() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());
        QTemporaryDir dir;
        const QString settings = dir.filePath(QStringLiteral("client.ini"));

        // Sign up a new account; the same name a second time is refused by the server.
        for (int attempt = 0; attempt < 2; ++attempt) {
            TfrmUserRegister signUp(t.services);
            signUp.show();
            signUp.edt_username->setText(QStringLiteral("端到端用户"));
            signUp.edt_userpass->setText(QStringLiteral("Start123"));
            signUp.edt_qq->setText(QStringLiteral("10086"));
            signUp.edt_shopkeeperusername->setText(QStringLiteral("端到端小店"));
            signUp.edt_taobaoxiaohao->setText(QStringLiteral("e2e_xiaohao"));
            signUp.btn_register->click();
            if (attempt == 0) {
                QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，账户注册成功！"));
                QVERIFY(!signUp.isVisible());
            } else {
                QVERIFY2(t.prompter.lastText().startsWith(QStringLiteral("账户注册失败，原因")),
                         qPrintable(t.prompter.lastText()));
                QVERIFY(t.prompter.lastText().size() > QStringLiteral("账户注册失败，原因").size());
                QVERIFY(signUp.isVisible());
            }
        }

        // Log in, saving the credentials.
        t.prompter.clear();
        QVERIFY(login(t.services, settings, QStringLiteral(" 端到端用户 "), QStringLiteral("Start123")));
        QVERIFY(t.prompter.entries.empty());
        QCOMPARE(CurrentUser().Fusername, QStringLiteral("端到端用户"));
        QVERIFY(CurrentUser().Fid > 0);
        QCOMPARE(CurrentUser().Fshopkeeperusername, QStringLiteral("端到端小店"));
        QCOMPARE(SettingsFile(settings).readLogin().username, QStringLiteral("端到端用户"));

        // A new account's dashboard: nothing in progress, nothing on the balance.
        TfrmWelcome welcome(t.services);
        welcome.GetBasicInfo();
        QVERIFY(t.prompter.entries.empty());
        QCOMPARE(welcome.lbl_currentopttaskcount->text(), QStringLiteral("正在操作中的任务数：0"));
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额：  0.00 元"));

        // Change the password (old one typed in another letter case).
        TfrmModifyUserPass change(t.services);
        change.edt_olduserpass->setText(QStringLiteral("START123"));
        change.edt_newuserpass->setText(QStringLiteral("Next456"));
        change.edt_confirmnewuserpass->setText(QStringLiteral("Next456"));
        change.btn_ModifyPass->click();
        QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，修改登陆密码成功！"));
        // Later commands authenticate with the new password.
        t.prompter.clear();
        welcome.GetBasicInfo();
        QVERIFY(t.prompter.entries.empty());

        // The old password no longer logs in; the new one does. The settings file kept the old one.
        QVERIFY(!login(t.services, settings, QStringLiteral("端到端用户"), QStringLiteral("Start123")));
        QVERIFY(t.prompter.lastText().startsWith(QStringLiteral("登陆失败:")));
        QCOMPARE(t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(SettingsFile(settings).readLogin().userpass, QStringLiteral("Start123"));
        QVERIFY(login(t.services, settings, QStringLiteral("端到端用户"), QStringLiteral("Next456")));
        QCOMPARE(SettingsFile(settings).readLogin().userpass, QStringLiteral("Next456"));
    }

    void demoUserDashboardShowsTheServersFigures() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());
        QTemporaryDir dir;
        QVERIFY(login(t.services, dir.filePath(QStringLiteral("c.ini")), QStringLiteral("demo1"),
                      QStringLiteral("demo123")));
        const Money atLogin = CurrentUser().Faccountbalance;
        TfrmWelcome welcome(t.services);
        welcome.GetBasicInfo();
        QVERIFY(t.prompter.entries.empty());
        QCOMPARE(CurrentUser().Faccountbalance.fen(), atLogin.fen()); // nothing moved money in between
        QCOMPARE(welcome.lbl_accountbalance->text(), QStringLiteral("当前可用账户余额：") +
                                                         QStringLiteral("%1").arg(atLogin.fixedText(), 6) +
                                                         QStringLiteral(" 元"));
        QVERIFY(welcome.lbl_totaloptcount->text() != QStringLiteral("总操作次数：0"));
    }
};

QTEST_MAIN(TestSignInEndToEnd)
#include "test_signin_e2e.moc"
