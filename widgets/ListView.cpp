#include "widgets/ListView.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTimer>
#include <QtMath>

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

void ListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) m_textWidths.clear();
    QTableView::changeEvent(event);
}

void ListView::setHandCursor(bool on) { viewport()->setCursor(on ? Qt::PointingHandCursor : Qt::ArrowCursor); }

int ListView::selectedRow() const {
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.front().row();
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
    bool severalLines = false;
    // A last column that fills the rest of the list keeps this width where there is no rest.
    for (int column = 0; column < columns; ++column) {
        const ContentWidth content = contentWidth(column);
        severalLines = severalLines || content.severalLines;
        setColumnWidth(column, qMax(m_leastWidths.value(column), content.width));
    }
    // Rows of one line keep the default height.
    if (m_rowsFitContent && severalLines) resizeRowsToContents();
}

// What sizeHintForColumn gives, for much less: the delegate lays out every cell's text to measure
// it, while all that varies between the cells of a column is the text. So the rest (margins, the
// picture, the grid line) is measured once with the delegate, and each text by its advance in the
// column's font, remembered for the texts that come again (states, names, the "操作" hint); a cell
// of several lines is measured by the delegate.
ListView::ContentWidth ListView::contentWidth(int column) const {
    const QAbstractItemModel* model = this->model();
    const int rows = model->rowCount();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const auto delegateWidth = [&](const QModelIndex& index) {
        return itemDelegateForIndex(index)->sizeHint(option, index).width();
    };
    std::optional<QFontMetricsF> metrics;
    int frame = 0;
    int widest = 0;
    bool severalLines = false;
    for (int row = 0; row < rows; ++row) {
        const QModelIndex index = model->index(row, column);
        const QString text = index.data().toString();
        if (text.contains(u'\n')) {
            widest = qMax(widest, delegateWidth(index));
            severalLines = true;
            continue;
        }
        if (!metrics) {
            const QVariant font = index.data(Qt::FontRole);
            metrics.emplace(font.isValid() ? qvariant_cast<QFont>(font).resolve(this->font()) : this->font());
            frame = delegateWidth(index) - qCeil(metrics->horizontalAdvance(text));
        }
        const TextKey key{column, text};
        auto known = m_textWidths.constFind(key);
        if (known == m_textWidths.cend()) {
            if (m_textWidths.size() > 4096) m_textWidths.clear();
            known = m_textWidths.insert(key, qCeil(metrics->horizontalAdvance(text)));
        }
        widest = qMax(widest, frame + *known);
    }
    return {rows > 0 && showGrid() ? widest + 1 : widest, severalLines};
}
