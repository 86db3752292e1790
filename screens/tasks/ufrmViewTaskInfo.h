#pragma once
// The task detail dialog: one task in full (identity, publishing time, state, what the publisher
// asked for and, once taken, the handler), with QQ contact icons for the publisher and the handler.
// It sends nothing and saves nothing.
//
// Usage (the taken and published tasks screens, for the selected row):
//     TfrmViewTaskInfo dialog(services, task, this);
//     dialog.exec();
// The dialog keeps its own copy of the task, so a reload of the list while it is open (the wait
// dialog's loop runs timers) changes nothing it shows. The boxes are filled when it is shown.
#include "model/uCommonVarConst.h"
#include "widgets/RemoteCall.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

class TfrmViewTaskInfo : public QDialog {
    Q_OBJECT
public:
    TfrmViewTaskInfo(const Services& services, const TTaskInfo& ATaskInfo, QWidget* parent = nullptr);

public slots:
    // Fills every box from the task (run when the dialog is shown).
    void FormShow();
    void img_QQPublisherClick();
    void img_QQHandlerClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* grp_Basic;
    QLabel* lbl_taskid;
    QLabel* lbl_PublishTime;
    QLabel* lbl_TaskStatus;
    QGroupBox* grp_Detail;
    QTabWidget* PageControl1;
    QWidget* ts_Publish;
    QWidget* ts_Handler;
    QLineEdit* edt_taskmoney;
    QLineEdit* edt_publisher;
    QToolButton* img_QQPublisher;
    QLineEdit* edt_publishershopkeeperusername;
    QLineEdit* edt_goodskeyword;
    QLineEdit* edt_replymsg;
    QLabel* Label6;
    QLineEdit* edt_ShouldreplyTime;
    QPlainTextEdit* mmo_detailrequirement;
    QWidget* pnl_UnHandle;
    QLabel* Label5;
    QWidget* pnl_Info;
    QLabel* lbl_Handlerusername;
    QLabel* lbl_handlershopkeeperusername;
    QLabel* lbl_handlertaobaoxiaohao;
    QLabel* lbl_handlerqq;
    QToolButton* img_QQHandler;
    QLabel* lbl_HandleTime;
    QPushButton* btn_Close;

    const Services& FServices;
    const TTaskInfo FTaskInfo;
    QString FPublisherQQ;
    QString FHandlerQQ;
};
