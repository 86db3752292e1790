#pragma once
// The recharge request dialog: the amount paid to the platform outside the client, the payment
// method (always "支付宝") and the payment's transaction number, sent with cmRechargeRequest.
// Opened by the recharge list and by the welcome dashboard: TfrmRechargeRequest(services, parent).
#include "widgets/RemoteCall.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class TfrmRechargeRequest : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRechargeRequest(const Services& services, QWidget* parent = nullptr);

    QLineEdit* edt_tradetype;
    QLineEdit* edt_tradeid;
    QLineEdit* edt_money;
    QPushButton* btn_Apply;

public slots:
    // Validates, asks for confirmation and submits; the dialog stays open in every case.
    void btn_ApplyClick();

private:
    const Services& FServices;
};
