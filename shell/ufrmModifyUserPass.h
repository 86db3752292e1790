#pragma once
// The change-password dialog. The old password is checked here against the current-user record;
// only the new password travels in the command's data (the old one is the credential in its head).
#include "widgets/RemoteCall.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Equal texts when the letters A to Z are taken without their case; every other character
// (other letters included) must match exactly.
bool SameTextAsciiCase(const QString& a, const QString& b);

class TfrmModifyUserPass : public QDialog {
    Q_OBJECT
public:
    TfrmModifyUserPass(const Services& services, QWidget* parent = nullptr);

    QGroupBox* grp_Pass;
    QLabel* Label1;
    QLineEdit* edt_olduserpass;
    QLabel* Label2;
    QLineEdit* edt_newuserpass;
    QLabel* Label3;
    QLineEdit* edt_confirmnewuserpass;
    QPushButton* btn_ModifyPass;

public slots:
    void btn_ModifyPassClick();

private:
    void modifyPass();

    const Services& FServices;
};
