#pragma once
// The withdrawal request dialog: the commission balance and the bound Alipay account, and a
// request to pay out part of the balance (cmWithdrawRequest). A successful request lowers the
// profile's commission balance by the amount sent.
// Opened by the withdrawal list: TfrmWithdrawRequest(services, parent).
#include "widgets/RemoteCall.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class TfrmWithdrawRequest : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWithdrawRequest(const Services& services, QWidget* parent = nullptr);

    QLineEdit* edt_inviteaccountbalance;
    QLineEdit* edt_alipayaccount;
    QLineEdit* edt_alipayusername;
    QLineEdit* edt_TixianAmount;
    QPushButton* btn_BindAlipay;
    QPushButton* btn_Apply;

public slots:
    // Fills the three account boxes from the profile, once, when the dialog is created.
    void FormCreate();
    // Opens the binding dialog; nothing here is refreshed when it closes.
    void btn_BindAlipayClick();
    void btn_ApplyClick();

private:
    const Services& FServices;
};
