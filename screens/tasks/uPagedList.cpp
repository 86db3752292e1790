#include "screens/tasks/uPagedList.h"

#include "shell/udmResource.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

int PageCountFor(int total) {
    if (total <= 0) return 0;
    int pages = total / PageSize;
    if (total > pages * PageSize) ++pages;
    return pages;
}

TListView::TListView(const QString& objectName, QWidget* parent) : QTableWidget(parent) {
    setObjectName(objectName);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(22);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

void TListView::setColumns(const QList<TColumn>& columns) {
    FColumns = columns;
    setColumnCount(int(columns.size()));
    QStringList captions;
    for (const TColumn& column : columns) captions.append(column.caption);
    setHorizontalHeaderLabels(captions);
    for (int i = 0; i < columns.size(); ++i) setColumnWidth(i, columns[i].width);
}

int TListView::addRow(const QStringList& cells, const QVariant& data) {
    const int row = rowCount();
    insertRow(row);
    for (int column = 0; column < columnCount(); ++column) {
        auto* item = new QTableWidgetItem(cells.value(column));
        if (column < FColumns.size()) item->setTextAlignment(FColumns[column].alignment);
        if (column == FGreenColumn) {
            item->setForeground(QColor(0, 153, 0));
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        } else if (column == FRedColumn) {
            item->setForeground(QColor(255, 0, 0));
        } else if (FGreenColumn >= 0 || FRedColumn >= 0) {
            item->setForeground(QColor(0, 0, 0));
        }
        if (column == 0) item->setData(Qt::UserRole, data);
        setItem(row, column, item);
    }
    return row;
}

void TListView::clearRows() {
    clearContents();
    setRowCount(0);
}

int TListView::selectedRow() const {
    const QList<QTableWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : items.front()->row();
}

QVariant TListView::rowData(int row) const {
    const QTableWidgetItem* first = item(row, 0);
    return first ? first->data(Qt::UserRole) : QVariant();
}

QString TListView::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void TListView::setColumnColours(int boldGreenColumn, int redColumn) {
    FGreenColumn = boldGreenColumn;
    FRedColumn = redColumn;
}

void TListView::setHandCursor(bool on) { viewport()->setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor); }

TPageNavigationBar::TPageNavigationBar(QWidget* parent) : QWidget(parent) {
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
    btn_Last = button("btn_Last", QStringLiteral("返回最后一页"), QStyle::SP_MediaSkipForward, QStringLiteral("最后一页"));
    label("Label5", QStringLiteral("第"));
    edt_currentpage = pageBox("edt_currentpage");
    label("Label6", QStringLiteral("页"));
}

void TPageNavigationBar::showTotals(int total, int pageCount, int currentPage) {
    lbl_totalnum->setText(QStringLiteral("总:%1条").arg(total));
    edt_totalpage->setText(QString::number(pageCount));
    edt_currentpage->setText(QString::number(currentPage));
}

TPagedList::TPagedList(QWidget* owner, const TServices& services, TPageNavigationBar* bar, TPagedListConfig config)
    : QObject(owner), Timer1(new QTimer(this)), FOwner(owner), FServices(services), FBar(bar),
      FConfig(std::move(config)) {
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        if (FConfig.onLoadTimer) FConfig.onLoadTimer();
        else Fetch();
    });
    connect(bar->btn_First, &QToolButton::clicked, this, &TPagedList::First);
    connect(bar->btn_Prev, &QToolButton::clicked, this, &TPagedList::Prev);
    connect(bar->btn_Next, &QToolButton::clicked, this, &TPagedList::Next);
    connect(bar->btn_Last, &QToolButton::clicked, this, &TPagedList::Last);
}

void TPagedList::CalculatePageInfo(int iTotal, int) { FTotalPageCount = PageCountFor(iTotal); }

void TPagedList::Fetch() {
    // A fetch asked for while one is running (the load timer or a posted reload firing inside the
    // wait dialog's loop) would clear the lists under the running one, which then files its records
    // a second time ("Duplicates not allowed"): it runs once the running fetch has ended.
    if (FFetching) {
        FFetchAgain = true;
        return;
    }
    FFetching = true;
    FFetchAgain = false;
    RunGuarded(FServices, FOwner, [this] {
        if (FConfig.clearRows) FConfig.clearRows();
        std::vector<TCommandValue> values{FCurrentPageIndex};
        if (FConfig.extraValues)
            for (TCommandValue& value : FConfig.extraValues()) values.push_back(std::move(value));
        const auto reply = SendCommand(FServices, FOwner, FConfig.command, values, FConfig.failurePrefix);
        if (!reply) return;
        if (!reply->done()) {
            if (FConfig.onRefused) FConfig.onRefused(*reply);
            return;
        }
        const int total = ReplyInt(reply->object, "totalnum");
        CalculatePageInfo(total, PageSize);
        FBar->showTotals(total, FTotalPageCount, FCurrentPageIndex);
        if (FConfig.addRows) FConfig.addRows(reply->object);
    });
    FFetching = false;
    if (FFetchAgain) {
        FFetchAgain = false;
        PostReload();
    }
}

void TPagedList::First() {
    FCurrentPageIndex = 1;
    Fetch();
}

// One page back (not to the first page).
void TPagedList::Prev() {
    if (FCurrentPageIndex > 1) {
        --FCurrentPageIndex;
        Fetch();
    } else {
        ShowHint(FServices.prompter, FOwner, QStringLiteral("已经是第一页！"));
    }
}

void TPagedList::Next() {
    if (FCurrentPageIndex < FTotalPageCount) {
        ++FCurrentPageIndex;
        Fetch();
    } else {
        ShowHint(FServices.prompter, FOwner, QStringLiteral("已经是最后一页！"));
    }
}

// The last page; an empty list has no page 0, so it asks for page 1.
void TPagedList::Last() {
    FCurrentPageIndex = qMax(1, FTotalPageCount);
    Fetch();
}

void TPagedList::StartLoadTimer() { Timer1->start(); }

void TPagedList::PostReload() { QMetaObject::invokeMethod(this, &TPagedList::Fetch, Qt::QueuedConnection); }
