#pragma once
// The frame shared by the recharge and withdrawal lists: a modal dialog with one page holding the
// submit and refresh buttons, the paged request list and its navigation bar, and "关闭窗口" below.
// Rows are numbered 1, 2, 3 ... on every page (a row counter, not a value of the reply). The list
// loads after the dialog is shown, and the refresh button fetches the page again; the submit button
// runs the screen's request dialog and then presses refresh, whatever happened in the dialog.
#include "screens/tasks/uPagedList.h"

#include <QDialog>

class ListView;
class QPushButton;
class QToolButton;
class RequestQueue;

struct TRequestListLayout {
    const char* objectName;
    QString caption; // window and page caption
    QSize size;
    const char* listName;
    const char* requestButtonName;
    QString requestHint;
    const char* refreshButtonName;
    QString refreshHint;
    QList<ListColumn> columns;
    TCommand command;
    QString failurePrefix;
};

class TRequestListDialog : public QDialog {
    Q_OBJECT
public:
    TRequestListDialog(const TServices& services, QWidget* parent, const TRequestListLayout& layout);

    TPageNavigationBar* navigationBar() const { return FBar; }
    TPagedList* paging() const { return FPaging; }

protected:
    // Shows `model` (a record model of the subclass) in the list. Called once, by the subclass's
    // constructor.
    void setRecords(ListModel* model);
    // Empties the screen's records before a fetch.
    virtual void clearRecords() = 0;
    // Appends the records of one page (the row number comes first); reading failures throw and
    // keep the records added before.
    virtual void addRecords(const TReplyObject& reply) = 0;
    // The screen's request dialog, shown modally and owned by this window.
    virtual void runRequestDialog() = 0;
    void requestClicked();
    const QList<ListColumn>& columns() const { return FColumns; }

    const TServices& FServices;
    QToolButton* FRequestButton;
    QToolButton* FRefreshButton;

private:
    QList<ListColumn> FColumns;
    ListView* FList;
    TPageNavigationBar* FBar;
    RequestQueue* m_requests;
    TPagedList* FPaging;
};
