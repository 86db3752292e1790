#pragma once
// The taken-tasks and the published-tasks screens: one implementation, two roles. A role gives the
// screen its banner, columns, commands and readers, texts, the side of the lifecycle rules it
// follows and its context menu; the screen pages through its list twenty tasks at a time, finds a
// task by its id, and runs the role's menu on the selected row.
//
// Frame: the top panel `pnl_Top` (73 high) with the picture `Image1` and the banner, the list
// `lv_task` (column 1 bold green, column 5 red, hand cursor, a double-click opens the details), and
// the bottom panel `pnl_Navigate` (41 high) with the search box, `btn_Search` "查找" and the
// navigation bar. The screen's font is 宋体 12 px. Created once; every showing anew reloads the page
// it shows.
#include "model/uCommonFunc.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/TaskTableModel.h"
#include "screens/tasks/uTaskScreens.h"
#include "widgets/PagedList.h"
#include "widgets/RemoteCall.h"

#include <QWidget>
#include <functional>
#include <optional>

class ListView;
class QLineEdit;
class QMenu;
class RequestQueue;
class TaskScreen;

// One entry of the context menu `PopupMenu1`, in menu order.
struct TaskMenuEntry {
    const char* name = nullptr; // nullptr: a separator
    QString caption;
    int icon = -1; // ToolIcon index
    QString hint;
    const char* submenu = nullptr;        // the submenu the entry sits in (by name); nullptr: the menu itself
    TTaskActions shownFor = {};           // shown when the rules offer one of these for the row; empty: always
    std::function<void(TaskScreen&)> run; // empty: the entry is a submenu
};

// A lifecycle action of a menu entry: its command, whether the task's status goes with it, its
// texts, and optionally one more value asked for after the question (nothing: the action ends).
struct LifecycleAction {
    TCommand command;
    bool withStatus;
    LifecycleTexts texts;
    std::function<std::optional<QString>(TaskScreen&)> moreValue = {};
    bool refreshesDashboard = false; // after the success box, before the reload
};

// The `run` of a menu entry that carries out `action` on the selected row.
std::function<void(TaskScreen&)> RunLifecycle(LifecycleAction action);

struct TaskScreenRole {
    const char* objectName;
    QString caption;
    QSize size;
    const char* bannerName;
    QString bannerText;
    int bannerPixelSize;
    QColor bannerColour; // invalid: the window-text colour
    const char* searchEditName;
    QList<TaskColumn> columns;
    TaskRole rules;
    TCommand pageCommand;
    TaskReader pageReader;
    QString pageFailure;
    TCommand searchCommand;
    TaskReader searchReader;
    QString searchFailure;
    QString emptySearchHint;
    bool searchShowsOnePage;  // the bar shows page 1 of 1 after a search, whatever it found
    QString nothingFoundHint; // shown when a search finds nothing; empty: nothing is shown
    QList<TaskMenuEntry> menu;
};

class TaskScreen : public QWidget {
    Q_OBJECT
public:
    TaskScreen(const Services& services, TaskScreenRole role, QWidget* parent = nullptr);

    PagedList* pagedList() const { return m_paging; }
    const Services& services() const { return m_services; }

    // What the menu entries do, on the selected row (nothing without one).
    void refresh();
    // Asks the question, then (for some actions) one more value, sends the command through the
    // screen's queue and, once its success box has closed, has the page fetched again.
    void runLifecycle(const LifecycleAction& action);
    void contact(QString TTaskInfo::*qq);
    void copyTaskId();
    void showDetails();

public slots:
    void btn_SearchClick();
    // Applies the role's action rules to the menu for the selected row and the clock's now.
    void PopupMenu1Popup();

signals:
    // A deletion returned task money to the balance: the dashboard should reload its figures.
    void requestDashboardRefresh();

private:
    void buildFrame();
    void buildMenu();
    void clearRows();
    void search(const QString& taskid);
    std::optional<TTaskInfo> selectedTask() const;

    const Services& m_services;
    const TaskScreenRole m_role;
    TaskTableModel* m_tasks = nullptr;
    ListView* m_list = nullptr;
    QLineEdit* m_searchEdit = nullptr;
    PageNavigationBar* m_navigation = nullptr;
    RequestQueue* m_requests = nullptr;
    PagedList* m_paging = nullptr;
    QMenu* m_menu = nullptr;
    QList<QPair<TTaskActions, QAction*>> m_ruledActions; // entries shown by the rules
};
