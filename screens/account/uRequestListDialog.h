#pragma once
// The frame shared by the recharge and withdrawal lists: a modal dialog with one page holding the
// submit and refresh buttons, the paged request list and its navigation bar, and "关闭窗口" below.
// Rows are numbered 1, 2, 3 ... on every page (a row counter, not a value of the reply). The load
// timer presses the refresh button; the submit button runs the screen's request dialog and then
// presses refresh, whatever happened in the dialog.
#include "screens/tasks/uPagedList.h"

#include <QDialog>

class QPushButton;
class QToolButton;

struct TRequestListLayout {
    const char* objectName;
    QString caption; // window and page caption
    QSize size;
    const char* listName;
    const char* requestButtonName;
    QString requestHint;
    const char* refreshButtonName;
    QString refreshHint;
    QList<TListView::TColumn> columns;
    TCommand command;
    QString failurePrefix;
    // The cells of one record from the second column on; reading failures throw.
    std::function<QStringList(const TReplyObject& record)> cells;
};

class TRequestListDialog : public QDialog {
    Q_OBJECT
public:
    TRequestListDialog(const TServices& services, QWidget* parent, const TRequestListLayout& layout);

    TListView* list() const { return FList; }
    TPageNavigationBar* navigationBar() const { return FBar; }
    TPagedList* paging() const { return FPaging; }
    QPushButton* btn_Close;

protected:
    void showEvent(QShowEvent* event) override;
    // The screen's request dialog, shown modally and owned by this window.
    virtual void runRequestDialog() = 0;
    void requestClicked();

    const TServices& FServices;
    QToolButton* FRequestButton;
    QToolButton* FRefreshButton;

private:
    void addRows(const TReplyObject& reply);

    TListView* FList;
    TPageNavigationBar* FBar;
    TPagedList* FPaging;
    std::function<QStringList(const TReplyObject&)> FCells;
};
