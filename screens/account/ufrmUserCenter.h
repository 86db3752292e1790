#pragma once
// The user centre: the signed-in user's login name and registration time, and the three profile
// fields shown to the other side of a task (contact QQ, shop-keeper name, buyer account), saved
// with cmSaveUserInfo and written back into the profile when the server accepts them.
#include "widgets/RemoteCall.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmUserCenter : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUserCenter(const Services& services, QWidget* parent = nullptr);

    QLineEdit* edt_username;
    QLineEdit* edt_qq;
    QLineEdit* edt_shopkeeperusername;
    QLineEdit* edt_taobaoxiaohao;
    QLabel* lbl_registerTime;
    QPushButton* btn_SaveUserInfo;
    QPushButton* btn_Close;

public slots:
    // Fills the boxes from the profile; runs each time the dialog is shown.
    void FormShow();
    void btn_SaveUserInfoClick();
    void btn_CloseClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const Services& FServices;
};
