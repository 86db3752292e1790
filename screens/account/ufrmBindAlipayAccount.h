#pragma once
// The Alipay binding dialog: the account that receives withdrawals and its holder's name, sent with
// cmBindAlipay and written into the profile when the server accepts them.
// Opened by the withdrawal request dialog: TfrmBindAlipayAccount(services, parent).
#include "widgets/RemoteCall.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class TfrmBindAlipayAccount : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBindAlipayAccount(const Services& services, QWidget* parent = nullptr);

    QLineEdit* edt_alipayaccount;
    QLineEdit* edt_alipayusername;
    QPushButton* btn_BindAlipay;

public slots:
    // Fills the boxes from the profile; runs each time the dialog is shown.
    void FormShow();
    // Asks, validates and binds; the dialog stays open in every case.
    void btn_BindAlipayClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    const Services& FServices;
};
