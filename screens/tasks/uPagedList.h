#pragma once
// The paging shared by every list screen: the list view, the navigation bar along its bottom, the
// page fields, the load 100 ms after showing, the deferred reload, the failure texts.
// A screen owns one TPagedList per paged list and describes its command and rows in TPagedListConfig.
#include "remote/uRemoteCall.h"

#include <QTableWidget>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;
class QTimer;

// Rows per page; fixed by the server.
inline constexpr int PageSize = 20;

// Pages for a total: 0 gives 0, 1..20 give 1, 21..40 give 2.
int PageCountFor(int total);

// The report-style list: grid lines, whole-row selection, no in-place editing, first column "ID".
class TListView : public QTableWidget {
    Q_OBJECT
public:
    struct TColumn {
        QString caption;
        int width;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };
    explicit TListView(const QString& objectName, QWidget* parent = nullptr);

    void setColumns(const QList<TColumn>& columns);
    // Appends a row; `data` is kept with the row (e.g. a non-owning task pointer). Returns the row.
    int addRow(const QStringList& cells, const QVariant& data = {});
    void clearRows();
    // The selected row, or -1.
    int selectedRow() const;
    QVariant rowData(int row) const;
    QString cellText(int row, int column) const;
    // Cell colours of the task and log lists: one bold green column and one red column (-1: none).
    void setColumnColours(int boldGreenColumn, int redColumn);
    void setHandCursor(bool on);

private:
    QList<TColumn> FColumns;
    int FGreenColumn = -1;
    int FRedColumn = -1;
};

// The navigation bar: 总:N条 总 [pages] 页 |◀ ◀ ▶ ▶| 第 [page] 页
class TPageNavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit TPageNavigationBar(QWidget* parent = nullptr);
    void showTotals(int total, int pageCount, int currentPage);

    QLabel* lbl_totalnum;
    QLineEdit* edt_totalpage;
    QLineEdit* edt_currentpage;
    QToolButton* btn_First;
    QToolButton* btn_Prev;
    QToolButton* btn_Next;
    QToolButton* btn_Last;
};

struct TPagedListConfig {
    TCommand command;
    // The transport failure text, e.g. "获取操作记录列表失败，请稍后再试！".
    QString failurePrefix;
    // The screen's own data values after "pageindex" (e.g. the hall's category ordinal).
    std::function<std::vector<TCommandValue>()> extraValues;
    // Empties the screen's list(s) and, for task screens, its dictionary of the task store.
    std::function<void()> clearRows;
    // Adds the rows of a reply whose returncode is 1 (reading failures throw and leave earlier rows).
    std::function<void(const TReplyObject& reply)> addRows;
    // A returncode other than 1; default: nothing is shown.
    std::function<void(const TRemoteReply& reply)> onRefused;
    // What the load timer does; default: fetch (the recharge and withdrawal screens press refresh).
    std::function<void()> onLoadTimer;
};

class TPagedList : public QObject {
    Q_OBJECT
public:
    TPagedList(QWidget* owner, const TServices& services, TPageNavigationBar* bar, TPagedListConfig config);

    int FCurrentPageIndex = 1;
    int FTotalPageCount = 1;

    // Sets FTotalPageCount from a total; iRecordsPerPage is ignored (pages hold PageSize rows).
    void CalculatePageInfo(int iTotal, int iRecordsPerPage = PageSize);
    // Loads page FCurrentPageIndex. Reading failures end in the general error box.
    void Fetch();
    void First();
    void Prev();
    void Next();
    void Last();

    // Starts the 100 ms one-shot load timer; screens call it when they become visible.
    void StartLoadTimer();
    // Fetches the current page once the running handler and any box it showed have returned.
    void PostReload();

    QTimer* Timer1;

private:
    QWidget* FOwner;
    const TServices& FServices;
    TPageNavigationBar* FBar;
    TPagedListConfig FConfig;
    bool FFetching = false;   // a fetch is waiting for its reply
    bool FFetchAgain = false; // another fetch was asked for meanwhile
};
