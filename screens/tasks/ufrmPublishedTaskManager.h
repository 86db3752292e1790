#pragma once
// The publisher's workplace: the tasks the signed-in user has published, twenty to a page, with the
// handler of each taken task, its state and countdown, and the publisher's side of the task
// lifecycle (delete an untaken task, extend the payment time or cancel the deal after the handler's
// payment deadline, mark shipped, confirm the review and complete), the handler's QQ, copying a task
// id and the task details. Created once; every showing reloads the page it shows.
#include "model/uCommonFunc.h"
#include "remote/uRemoteCall.h"
#include "screens/tasks/uTaskScreens.h"

#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class TfrmPublishedTaskManager : public QWidget {
    Q_OBJECT
public:
    explicit TfrmPublishedTaskManager(const TServices& services, QWidget* parent = nullptr);

    TPagedList* pagedList() const { return FPagedList; }

public slots:
    // Loads the page FCurrentPageIndex.
    void GetPublishedTaskList();
    // The deferred reload after an action; fetches the page FCurrentPageIndex.
    void OnWM_GetPublishedTaskList();
    void btn_SearchClick();
    // Applies the publisher's action rules to the menu for the selected row and the clock's now.
    void PopupMenu1Popup();
    void N_RefreshClick();
    void N_AddfukuanTimeClick();
    void N_CancelTaskNoPayOnTimeClick();
    void N_YifahuoClick();
    void N_ConfirmReplyAndtaskCompleteClick();
    void N_DeleteTaskClick();
    void N_ConnectHandlerClick();
    void N_CopyTaskIDClick();
    void N_ViewTaskInfoClick();

signals:
    // A deletion returned task money to the balance: the dashboard should reload its figures.
    void requestDashboardRefresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildWindow();
    void buildMenu();
    // The row of a task: columns 3 to 5 show "-" while nobody has taken it.
    void addTaskRow(PTaskInfo task, TStatusTextVariant variant);
    // Asks, sends the command for the selected record (with one more value from `moreValue`, whose
    // nullopt ends the action) and returns true once the success box has closed.
    bool runAction(TCommand command, bool withStatus, const TLifecycleTexts& texts,
                   const std::function<std::optional<QString>()>& moreValue = {});

    const TServices& FServices;

    QLabel* Image1 = nullptr;
    QLabel* Label9 = nullptr;
    TListView* lv_task = nullptr;
    QLineEdit* edt_taskid = nullptr;
    QPushButton* btn_Search = nullptr;
    TPageNavigationBar* FNavigation = nullptr;
    TPagedList* FPagedList = nullptr;

    QMenu* PopupMenu1 = nullptr;
    QAction* N_Refresh = nullptr;
    QMenu* N_NoPayontime = nullptr;
    QAction* N_AddfukuanTime = nullptr;
    QAction* N_CancelTaskNoPayOnTime = nullptr;
    QAction* N_Yifahuo = nullptr;
    QAction* N_ConfirmReplyAndtaskComplete = nullptr;
    QAction* N_DeleteTask = nullptr;
    QAction* N_ConnectHandler = nullptr;
    QAction* N_CopyTaskID = nullptr;
    QAction* N_ViewTaskInfo = nullptr;
};
