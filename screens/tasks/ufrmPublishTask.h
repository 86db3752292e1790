#pragma once
// The dialog in which the signed-in user publishes a new task: price, search keyword, review text,
// further requirements and the wait between shipping and the handler's review. The shop and the
// Taobao buyer account come from the user's profile. Created for one use, shown modally.
//
// Outcome: after the server's answer the dialog closes, accepted when the task was published and
// rejected when the server refused it. After a transport failure it stays open with everything the
// user typed, so that the task can be sent again.
#include "widgets/RemoteCall.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class TfrmPublishTask : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPublishTask(const Services& services, QWidget* parent = nullptr);

public slots:
    void btn_PublishTaskClick();
    void btn_resetformClick();

protected:
    // FormShow: empties the price, keyword and review boxes and shows the user's shop-keeper name.
    void showEvent(QShowEvent* event) override;

private:
    int selectedWait() const;

    const Services& FServices;

    QLineEdit* edt_taskmoney = nullptr;
    QLineEdit* edt_shopkeeperusername = nullptr;
    QLineEdit* edt_goodskeyword = nullptr;
    QLineEdit* edt_replymsg = nullptr;
    QRadioButton* rb_2hour = nullptr;
    QRadioButton* rb_48Hour = nullptr;
    QRadioButton* rb_72hour = nullptr;
    QRadioButton* rb_96hour = nullptr;
    QPlainTextEdit* mmo_detailrequirement = nullptr;
    QPushButton* btn_PublishTask = nullptr;
    QPushButton* btn_resetform = nullptr;
};
