#pragma once
// The frame shared by the recharge and withdrawal lists: a modal dialog with one page holding the
// submit and refresh buttons, the paged request list and its navigation bar, and "关闭窗口" below.
// Rows are numbered 1, 2, 3 ... on every page (a row counter, not a value of the reply). The list
// loads after the dialog is shown, and the refresh button fetches the page again; the submit button
// runs the screen's request dialog and then presses refresh, whatever happened in the dialog.
#include "widgets/PagedList.h"

#include <QDialog>

class ListView;
class QPushButton;
class QToolButton;
class RequestQueue;

struct RequestListLayout {
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

class RequestListDialog : public QDialog {
    Q_OBJECT
public:
    RequestListDialog(const Services& services, QWidget* parent, const RequestListLayout& layout);

    PageNavigationBar* navigationBar() const { return m_bar; }
    PagedList* paging() const { return m_paging; }

protected:
    // Shows `model` (a record model of the subclass) in the list. Called once, by the subclass's
    // constructor.
    void setRecords(ListModel* model);
    // Empties the screen's records before a fetch.
    virtual void clearRecords() = 0;
    // Appends the records of one page (the row number comes first); reading failures throw and
    // keep the records added before.
    virtual void addRecords(const ReplyObject& reply) = 0;
    // The screen's request dialog, shown modally and owned by this window.
    virtual void runRequestDialog() = 0;
    void requestClicked();
    const QList<ListColumn>& columns() const { return m_columns; }

    const Services& m_services;
    QToolButton* m_requestButton;
    QToolButton* m_refreshButton;

private:
    QList<ListColumn> m_columns;
    ListView* m_list;
    PageNavigationBar* m_bar;
    RequestQueue* m_requests;
    PagedList* m_paging;
};
