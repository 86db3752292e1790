#pragma once
// The frame shared by the trade log and the operation log, two read-only paged lists embedded in
// the main window: a top panel with a picture and a title, the list with its "刷新" menu, and a
// bottom panel with the task-id search and the navigation bar.
//
// The search ("查找") works on the page shown, without a command: a filter keeps the rows whose task
// id contains the typed text (trimmed, letter case ignored); an empty box shows every row again;
// when no row matches, "本页没有找到该任务ID的记录！" is shown and every row stays visible. Every
// fetch shows all rows of the page it loads.
#include "widgets/PagedList.h"

#include <QWidget>

class ListView;
class QAction;
class QLineEdit;
class QMenu;
class QSortFilterProxyModel;
class RequestQueue;

struct LogScreenLayout {
    const char* objectName;
    QString caption;
    QString title; // the bold text of the top panel
    const char* listName;
    QList<ListColumn> columns;
    int boldGreenColumn;
    TCommand command;
    QString failurePrefix;
};

class LogScreen : public QWidget {
    Q_OBJECT
public:
    LogScreen(const Services& services, QWidget* parent, const LogScreenLayout& layout);

    PageNavigationBar* navigationBar() const { return m_bar; }
    PagedList* paging() const { return m_paging; }

public slots:
    void btn_SearchClick();
    void N_N1Click() { m_paging->Fetch(); }

protected:
    // Shows `model` (a record model of the subclass, whose ids are the task ids) in the list, with
    // the layout's colours and the document picture in the first column. Called once, by the
    // subclass's constructor.
    void setRecords(ListModel* model);
    // Empties the screen's records before a fetch.
    virtual void clearRecords() = 0;
    // Appends the records of one page; reading failures throw and keep the records added before.
    virtual void addRecords(const ReplyObject& reply) = 0;
    const QList<ListColumn>& columns() const { return m_columns; }

    const Services& m_services;

private:
    QList<ListColumn> m_columns;
    int m_boldGreenColumn;
    ListView* m_list;
    ListModel* m_records = nullptr;
    QSortFilterProxyModel* m_filter;
    QLineEdit* edt_TASKID;
    PageNavigationBar* m_bar;
    RequestQueue* m_requests;
    PagedList* m_paging;
};
