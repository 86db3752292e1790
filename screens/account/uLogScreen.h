#pragma once
// The frame shared by the trade log and the operation log, two read-only paged lists embedded in
// the main window: a top panel with a picture and a title, the list with its "刷新" menu, and a
// bottom panel with the task-id search and the navigation bar.
//
// The search ("查找") works on the page shown, without a command: rows whose task id contains the
// typed text (trimmed, letter case ignored) stay visible and the others are hidden; an empty box
// shows every row again; when no row matches, "本页没有找到该任务ID的记录！" is shown and every
// row stays visible. Every fetch shows all rows of the page it loads.
#include "screens/tasks/uPagedList.h"

#include <QWidget>
#include <memory>
#include <vector>

class QAction;
class QLineEdit;
class QMenu;
class QPushButton;

struct TLogScreenLayout {
    const char* objectName;
    QString caption;
    QString title; // the bold text of the top panel
    const char* listName;
    QList<TListView::TColumn> columns;
    int boldGreenColumn;
    TCommand command;
    QString failurePrefix;
};

class TLogScreen : public QWidget {
    Q_OBJECT
public:
    TLogScreen(const TServices& services, QWidget* parent, const TLogScreenLayout& layout);

    TListView* list() const { return FList; }
    TPageNavigationBar* navigationBar() const { return FBar; }
    TPagedList* paging() const { return FPaging; }
    QLineEdit* edt_TASKID;
    QPushButton* btn_Search;
    QMenu* PopupMenu1;
    QAction* N_N1;

public slots:
    void btn_SearchClick();
    void N_N1Click() { FPaging->Fetch(); }

protected:
    void showEvent(QShowEvent* event) override;
    // Empties the screen's records before a fetch (the rows are emptied here).
    virtual void clearRecords() = 0;
    // Appends the rows of one page; reading failures throw and keep the rows added before.
    virtual void addRecords(const TReplyObject& reply) = 0;
    // The task id of a row, for the search.
    virtual QString rowTaskId(int row) const = 0;
    // Appends one row: empty caption, the screen's picture, `cells` from the second column on. The
    // row keeps its index into the screen's records, which grow with the rows.
    void appendRow(const QStringList& cells);
    // The record of a row, or nullptr.
    template <class TRecord>
    const TRecord* recordOfRow(const std::vector<std::unique_ptr<TRecord>>& records, int row) const {
        bool ok = false;
        const int index = FList->rowData(row).toInt(&ok);
        return ok && index >= 0 && std::size_t(index) < records.size() ? records[std::size_t(index)].get() : nullptr;
    }

    const TServices& FServices;

private:
    TListView* FList;
    TPageNavigationBar* FBar;
    TPagedList* FPaging;
};
