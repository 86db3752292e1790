#pragma once
// The paging shared by every list screen: the navigation bar along the list's bottom, the page
// fields, the load 100 ms after showing anew, the deferred reload, the failure texts.
// A screen owns one PagedList per paged list and describes its command and rows in PagedListConfig;
// every fetch goes through the screen's request queue (widgets/RequestQueue.h).
#include "model/uCommonVarConst.h"
#include "widgets/ListModel.h"
#include "widgets/RemoteCall.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;
class RequestQueue;

// Pages for a total: 0 gives 0, 1..20 give 1, 21..40 give 2.
int PageCountFor(int total);

// The navigation bar: 总:N条 总 [pages] 页 |◀ ◀ ▶ ▶| 第 [page] 页
class PageNavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit PageNavigationBar(QWidget* parent = nullptr);
    void showTotals(int total, int pageCount, int currentPage);

    QLabel* lbl_totalnum;
    QLineEdit* edt_totalpage;
    QLineEdit* edt_currentpage;
    QToolButton* btn_First;
    QToolButton* btn_Prev;
    QToolButton* btn_Next;
    QToolButton* btn_Last;
};

struct PagedListConfig {
    TCommand command;
    // The transport failure text, e.g. "获取操作记录列表失败，请稍后再试！".
    QString failurePrefix;
    // The screen's own data values after "pageindex" (e.g. the hall's category ordinal).
    std::function<std::vector<CommandValue>()> extraValues;
    // Empties the screen's list(s) and, for task screens, its dictionary of the task store.
    std::function<void()> clearRows;
    // Adds the rows of a reply whose returncode is 1 (reading failures throw and leave earlier rows).
    std::function<void(const ReplyObject& reply)> addRows;
    // A returncode other than 1; default: nothing is shown.
    std::function<void(const RemoteReply& reply)> onRefused;
};

class PagedList : public QObject {
    Q_OBJECT
public:
    // Fetches through `requests`, which also loads the page each time `owner` is shown anew.
    PagedList(QWidget* owner, const Services& services, PageNavigationBar* bar, PagedListConfig config,
              RequestQueue& requests);

    int FCurrentPageIndex = 1;
    int FTotalPageCount = 1;

    // Sets FTotalPageCount from a total; iRecordsPerPage is ignored (pages hold PageSize rows).
    void CalculatePageInfo(int iTotal, int iRecordsPerPage = PageSize);
    // Loads page FCurrentPageIndex (now, or once the screen's running request has ended). Reading
    // failures end in the general error box.
    void Fetch();
    void First();
    void Prev();
    void Next();
    void Last();

    // Fetches the current page once the running handler and any box it showed have returned.
    void PostReload();

private:
    void fetchPage();

    QWidget* m_owner;
    const Services& m_services;
    PageNavigationBar* m_bar;
    PagedListConfig m_config;
    RequestQueue& m_requests;
};
