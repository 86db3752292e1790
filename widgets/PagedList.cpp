#include "widgets/PagedList.h"

#include "widgets/RequestQueue.h"
#include "widgets/udmResource.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

int PageCountFor(int total) {
    if (total <= 0) return 0;
    int pages = total / PageSize;
    if (total > pages * PageSize) ++pages;
    return pages;
}

PageNavigationBar::PageNavigationBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnl_Navigation"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(4);
    auto label = [this, layout](const char* name, const QString& text) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        layout->addWidget(l);
        return l;
    };
    auto pageBox = [this, layout](const char* name) {
        auto* edit = new QLineEdit(QStringLiteral("0"), this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setReadOnly(true);
        edit->setEnabled(false);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(40);
        layout->addWidget(edit);
        return edit;
    };
    auto button = [this, layout](const char* name, const QString& hint, QStyle::StandardPixmap icon,
                                 const QString& accessible) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(hint);
        b->setAccessibleName(accessible);
        b->setIcon(StandardIcon(icon));
        b->setAutoRaise(true);
        layout->addWidget(b);
        return b;
    };
    layout->addStretch(1);
    lbl_totalnum = label("lbl_totalnum", QStringLiteral("总:0条"));
    label("Label3", QStringLiteral("总"));
    edt_totalpage = pageBox("edt_totalpage");
    label("Label4", QStringLiteral("页"));
    btn_First = button("btn_First", QStringLiteral("返回首页"), QStyle::SP_MediaSkipBackward, QStringLiteral("首页"));
    btn_Prev = button("btn_Prev", QStringLiteral("返回上一页"), QStyle::SP_MediaSeekBackward, QStringLiteral("上一页"));
    btn_Next = button("btn_Next", QStringLiteral("返回下一页"), QStyle::SP_MediaSeekForward, QStringLiteral("下一页"));
    btn_Last =
        button("btn_Last", QStringLiteral("返回最后一页"), QStyle::SP_MediaSkipForward, QStringLiteral("最后一页"));
    label("Label5", QStringLiteral("第"));
    edt_currentpage = pageBox("edt_currentpage");
    label("Label6", QStringLiteral("页"));
}

void PageNavigationBar::showTotals(int total, int pageCount, int currentPage) {
    lbl_totalnum->setText(QStringLiteral("总:%1条").arg(total));
    edt_totalpage->setText(QString::number(pageCount));
    edt_currentpage->setText(QString::number(currentPage));
}

PagedList::PagedList(QWidget* owner, const Services& services, PageNavigationBar* bar, PagedListConfig config,
                     RequestQueue& requests)
    : QObject(owner), m_owner(owner), m_services(services), m_bar(bar), m_config(std::move(config)),
      m_requests(requests) {
    m_requests.loadWhenShown([this] { fetchPage(); });
    connect(bar->btn_First, &QToolButton::clicked, this, &PagedList::First);
    connect(bar->btn_Prev, &QToolButton::clicked, this, &PagedList::Prev);
    connect(bar->btn_Next, &QToolButton::clicked, this, &PagedList::Next);
    connect(bar->btn_Last, &QToolButton::clicked, this, &PagedList::Last);
}

void PagedList::CalculatePageInfo(int iTotal, int) { FTotalPageCount = PageCountFor(iTotal); }

void PagedList::Fetch() {
    m_requests.fetch([this] { fetchPage(); });
}

void PagedList::PostReload() {
    m_requests.fetchLater([this] { fetchPage(); });
}

void PagedList::fetchPage() {
    // The page asked for: the bar shows it with the reply's totals.
    const int page = FCurrentPageIndex;
    RunGuarded(m_services, m_owner, [&] {
        if (m_config.clearRows) m_config.clearRows();
        std::vector<CommandValue> values{page};
        if (m_config.extraValues)
            for (CommandValue& value : m_config.extraValues()) values.push_back(std::move(value));
        const auto reply = SendCommand(m_services, m_owner, m_config.command, values, m_config.failurePrefix);
        // A newer fetch was asked for while this one waited: its reply is what the user wants.
        if (!reply || m_requests.isSuperseded()) return;
        if (!reply->done()) {
            if (m_config.onRefused) m_config.onRefused(*reply);
            return;
        }
        const int total = ReplyInt(reply->object, "totalnum");
        CalculatePageInfo(total, PageSize);
        m_bar->showTotals(total, FTotalPageCount, page);
        if (m_config.addRows) m_config.addRows(reply->object);
    });
}

void PagedList::First() {
    FCurrentPageIndex = 1;
    Fetch();
}

// One page back (not to the first page).
void PagedList::Prev() {
    if (FCurrentPageIndex > 1) {
        --FCurrentPageIndex;
        Fetch();
    } else {
        ShowHint(m_services.prompter, m_owner, QStringLiteral("已经是第一页！"));
    }
}

void PagedList::Next() {
    if (FCurrentPageIndex < FTotalPageCount) {
        ++FCurrentPageIndex;
        Fetch();
    } else {
        ShowHint(m_services.prompter, m_owner, QStringLiteral("已经是最后一页！"));
    }
}

// The last page; an empty list has no page 0, so it asks for page 1.
void PagedList::Last() {
    FCurrentPageIndex = qMax(1, FTotalPageCount);
    Fetch();
}
