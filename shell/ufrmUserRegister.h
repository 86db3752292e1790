#pragma once
// The sign-up dialog, opened from the login dialog. A successful sign-up hands the new credentials
// to the login dialog (signal `registered`) and closes; the user still logs in.
#include "widgets/RemoteCall.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ClickLabel;

// The invitation cookie of the platform web site as the cookie store returns it ("name=value"
// lines). There is no system web cookie store on this platform: the text is empty, so the user types
// the inviter's id. A cookie source belongs here.
QString ReadInviteCookie();

class TfrmUserRegister : public QDialog {
    Q_OBJECT
public:
    TfrmUserRegister(const Services& services, QWidget* parent = nullptr);

    QGroupBox* grp_UserInfo;
    QLabel* Label1;
    QLineEdit* edt_username;
    QLabel* Label2;
    QLineEdit* edt_userpass;
    QLabel* Label6;
    QLineEdit* edt_qq;
    QLabel* Label3;
    QLineEdit* edt_shopkeeperusername;
    QLabel* Label4;
    QLineEdit* edt_taobaoxiaohao;
    QLabel* Label5;
    QLabel* Label8;
    ClickLabel* img_QQXiaohao;
    QLabel* Label7;
    QLineEdit* edt_inviteuserid;
    QPushButton* btn_register;
    QPushButton* btn_Close;

signals:
    // The account was created: the login dialog takes over the user name and password.
    void registered(const QString& username, const QString& userpass);

public slots:
    void btn_registerClick();
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void signUp();

    const Services& FServices;
};
