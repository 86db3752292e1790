#pragma once
// The invitation dialog: the signed-in user's invitation link (the web site's address followed by
// "?uid=<id>"), in an edit box from which it can be selected and copied.
#include "widgets/RemoteCall.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

class TfrmInviteInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInviteInfo(const Services& services, QWidget* parent = nullptr);

    QLineEdit* edt_inviteURL;
    QPushButton* btn_Close;

public slots:
    // Builds the link once, when the dialog is created.
    void FormCreate();
    void btn_CloseClick() { reject(); }

private:
    const Services& FServices;
};
