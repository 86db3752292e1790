#pragma once
// The task hall: pages through the open and taken tasks of the platform (filtered by a category),
// finds one task by its id, copies task ids and takes the selected open task as handler.
// A main-window screen, created once; it keeps its page and category between showings and reloads
// them each time it is shown anew. Its requests go through its own queue (RequestQueue).
#include "model/uCommonVarConst.h"
#include "screens/tasks/TaskTableModel.h"
#include "widgets/PagedList.h"
#include "widgets/RemoteCall.h"

#include <QWidget>
#include <optional>

class ListView;
class QAction;
class QButtonGroup;
class QLineEdit;
class QMenu;
class QTabWidget;
class RequestQueue;

class TfrmTaskCenter : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTaskCenter(const Services& services, QWidget* parent = nullptr);

    // The selected category; ttAll at start. Only the category buttons change it.
    TTaskTimeType FTaskTimeType = ttAll;
    // The paging of lv_task (FCurrentPageIndex, FTotalPageCount, the reload).
    PagedList& pagedList() { return *FPagedList; }

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

private:
    void buildHeader();
    void buildTabs();
    void buildMenus();
    void categoryClick(TTaskTimeType category);
    void clearLists();
    void search(const QString& taskId);
    // Adds the row of a task: open tasks to lv_task, all others to lv_handledtask.
    void addTaskRow(const TTaskInfo& task, TaskRowSource source);
    std::optional<TTaskInfo> selectedTask(const ListView* list, const TaskTableModel* tasks) const;
    void copyTaskId(const ListView* list, const TaskTableModel* tasks);

    const Services& FServices;
    QWidget* pnl_Top = nullptr;
    QButtonGroup* FCategoryGroup = nullptr;
    QTabWidget* pgc_Main = nullptr;
    TaskTableModel* m_openTasks = nullptr;
    TaskTableModel* m_takenTasks = nullptr;
    ListView* lv_task = nullptr;
    ListView* lv_handledtask = nullptr;
    PageNavigationBar* pnl_Navigation = nullptr;
    QLineEdit* edt_TaskID = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    RequestQueue* m_requests = nullptr;
    PagedList* FPagedList = nullptr;
};
