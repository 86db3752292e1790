#pragma once
// The handler's workplace: the tasks the signed-in user has taken, twenty to a page, with their
// states and countdowns, and the handler's side of the task lifecycle (confirm payment, step back,
// confirm receipt and review, cancel after the payment deadline), the publisher's QQ, copying a task
// id and the task details. Created once; every showing reloads the page it shows.
#include "model/uCommonVarConst.h"
#include "remote/uRemoteCall.h"
#include "screens/tasks/uTaskScreens.h"

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class TfrmHandledTaskManager : public QWidget {
    Q_OBJECT
public:
    explicit TfrmHandledTaskManager(const TServices& services, QWidget* parent = nullptr);

    TPagedList* pagedList() const { return FPagedList; }

public slots:
    // Loads the page FCurrentPageIndex.
    void GetHandledTaskList();
    // The deferred reload after an action; fetches the page FCurrentPageIndex.
    void OnWM_GetHandledTaskList();
    void btn_SearchClick();
    // Applies the handler's action rules to the menu for the selected row and the clock's now.
    void PopupMenu1Popup();
    void N_N3Click();
    void N_ConfirmHasPayClick();
    void N_BackClick();
    void N_ConfirmShouhuoAndReplyClick();
    void N_CancelTask1Click();
    void N_ConnectPublisherClick();
    void N_CopyTaskIDClick();
    void N_ViewTaskInfoClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void buildMenu();
    void addPageRows(const TReplyObject& reply);
    // Asks, sends the command for the selected record and reloads after a success.
    void runAction(TCommand command, bool withStatus, const TLifecycleTexts& texts);

    const TServices& FServices;

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    TListView* lv_task = nullptr;
    QLineEdit* edt_TaskID = nullptr;
    QPushButton* btn_Search = nullptr;
    TPageNavigationBar* FNavigation = nullptr;
    TPagedList* FPagedList = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* N_N3 = nullptr;
    QMenu* N_NoPayOnTime = nullptr;
    QAction* N_AddPayTime = nullptr;
    QAction* N1 = nullptr;
    QAction* N_ConfirmHasPay = nullptr;
    QAction* N_ConfirmShouhuoAndReply = nullptr;
    QAction* N_Back = nullptr;
    QAction* N_ConnectPublisher = nullptr;
    QAction* N_CopyTaskID = nullptr;
    QAction* N_ViewTaskInfo = nullptr;
};
