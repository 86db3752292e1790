#include "widgets/ListView.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTimer>

ListView::ListView(const QString& objectName, QWidget* parent) : QTableView(parent) {
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

void ListView::setColumns(const QList<ListColumn>& columns) {
    m_leastWidths.clear();
    for (int i = 0; i < columns.size(); ++i) {
        m_leastWidths.append(columns[i].width);
        setColumnWidth(i, columns[i].width);
    }
}

void ListView::setModel(QAbstractItemModel* model) {
    if (QAbstractItemModel* old = this->model()) disconnect(old, nullptr, this, nullptr);
    QTableView::setModel(model);
    if (!model) return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &ListView::scheduleFit);
    connect(model, &QAbstractItemModel::modelReset, this, &ListView::scheduleFit);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ListView::scheduleFit);
    connect(model, &QAbstractItemModel::dataChanged, this, &ListView::scheduleFit);
}

void ListView::setHandCursor(bool on) { viewport()->setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor); }

int ListView::selectedRow() const {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.front().row();
}

int ListView::selectedSourceRow() const {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (rows.isEmpty()) return -1;
    if (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model()))
        return proxy->mapToSource(rows.front()).row();
    return rows.front().row();
}

// Rows come in one at a time while a reply is read: the columns are sized once, from the event loop,
// before the rows are painted.
void ListView::scheduleFit() {
    if (m_fitPending) return;
    m_fitPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_fitPending) fitToContents();
    });
}

void ListView::fitToContents() {
    m_fitPending = false;
    if (!model()) return;
    const int columns = model()->columnCount();
    // A last column that fills the rest of the list keeps this width where there is no rest.
    for (int column = 0; column < columns; ++column) {
        const int least = m_leastWidths.value(column);
        const int content = model()->rowCount() > 0 ? sizeHintForColumn(column) : 0;
        setColumnWidth(column, qMax(least, content));
    }
    if (m_rowsFitContent) resizeRowsToContents();
}
