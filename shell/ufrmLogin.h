#pragma once
// The login dialog: the only way into the program. A successful login fills the current-user
// record and closes the dialog; closing it otherwise (after a Yes to "确定要退出程序?") ends the
// process at once. "保存登录信息" keeps the user name in the settings file and the password in the
// desktop's secret store where one answers (the file then holds `userpass=` empty), otherwise in the
// owner-only settings file.
#include "shell/SecretStore.h"
#include "shell/SettingsFile.h"
#include "widgets/RemoteCall.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ClickLabel;

class TfrmLogin : public QDialog {
    Q_OBJECT
public:
    // `settingsPath` empty: DefaultSettingsFilePath(). The saved credentials are read here.
    TfrmLogin(const Services& services, QWidget* parent = nullptr, const QString& settingsPath = QString());

    // What ends the process when the user closes the dialog without logging in. Default: an
    // immediate exit with code 0 (no logout, nothing saved). Tests put a recorder in its place.
    void setExitAction(std::function<void()> exitAction) { FExitAction = std::move(exitAction); }

    // The login as the program runs it: the dialog in the middle of the screen, modal, until the
    // user has logged in (closing it without logging in ends the process).
    static void Run(const Services& services, QWidget* parent);

    bool FbCloseAfterLogin = false;

    ClickLabel* Image1;
    QGroupBox* grp_Login;
    QLabel* Label1;
    QLineEdit* edt_username;
    QLabel* Label2;
    QLineEdit* edt_password;
    QLabel* Label4;
    ClickLabel* img_pingtaiQQ;
    QCheckBox* chk_Saveconfig;
    QPushButton* btn_Login;
    ClickLabel* lbl_userregister;

public slots:
    void btn_LoginClick();
    void lbl_userregisterClick();
    // Closing by the frame, Esc or the system menu comes here.
    void reject() override;

private:
    void login();
    // Saves the login as "保存登录信息" asks; a failure of the secret store is not one. Returns an
    // empty text, or a description of why the settings file could not be written.
    QString saveLogin(const QString& username, const QString& userpass);

    const Services& FServices;
    SettingsFile FSettings;
    SecretStore m_secrets;
    std::function<void()> FExitAction;
};
