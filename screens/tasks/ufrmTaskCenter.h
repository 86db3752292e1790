#pragma once
// The task hall: pages through the open and taken tasks of the platform (filtered by a category),
// finds one task by its id, copies task ids and takes the selected open task as handler.
// A main-window screen, created once; it keeps its page and category between showings and reloads
// them each time it becomes visible.
#include "model/uCommonVarConst.h"
#include "remote/uRemoteCall.h"
#include "screens/tasks/uPagedList.h"

#include <QIcon>
#include <QWidget>

class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;

// The publisher's buyer account as a search result shows it: all but its last two characters,
// then "**" ("abcdef" -> "abcd**"; two characters or fewer -> "**").
QString MaskTaobaoAccount(const QString& account);

class TfrmTaskCenter : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTaskCenter(const TServices& services, QWidget* parent = nullptr);

    // The selected category; ttAll at start. Only the category buttons change it.
    TTaskTimeType FTaskTimeType = ttAll;
    // The paging of lv_task (FCurrentPageIndex, FTotalPageCount, the load timer, the reload).
    TPagedList& pagedList() { return *FPagedList; }

    // Header
    QWidget* pnl_Top;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label7;
    QLabel* Label8;
    QToolButton* btn_All;
    QToolButton* btn_2hour;
    QToolButton* btn_2day;
    QToolButton* btn_3day;
    QToolButton* btn_4day;
    // Tabs and lists
    QTabWidget* pgc_Main;
    QWidget* ts_Unhandled;
    QWidget* ts_Handled;
    TListView* lv_task;
    TListView* lv_handledtask;
    TPageNavigationBar* pnl_Navigation;
    QLabel* Label2;
    QLineEdit* edt_TaskID;
    QPushButton* btn_Search;
    // Context menus
    QMenu* PopupMenu1;
    QAction* N_N2;
    QAction* N1;
    QAction* N_CopyTaskID;
    QMenu* PopupMenu2;
    QAction* N_CopyTaskID2;

public slots:
    // Loads page FCurrentPageIndex of the selected category into both lists.
    void GetTaskListFromTaskCenter();
    // The reload message: fetches the current page once the running handler has returned.
    void OnWM_GetTaskListFromTaskCenter();
    void btn_SearchClick();
    // Takes the selected open task (after a Yes).
    void N1Click();
    void N_N2Click();
    void N_CopyTaskIDClick();
    void N_CopyTaskID2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void categoryClick(TTaskTimeType category);
    void clearLists();
    // Adds the row of a stored record: open tasks to lv_task, all others to lv_handledtask.
    void addTaskRow(PTaskInfo task, const QString& publisher);
    void copyTaskId(TListView* list);

    const TServices& FServices;
    TPagedList* FPagedList;
    QButtonGroup* FCategoryGroup;
    QIcon FTaskIcon;
    QIcon FMoneyIcon;
};
