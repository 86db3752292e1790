#pragma once
// Reaching a screen's widgets in tests by object name, as the user sees them: the lists read through
// the view's model (after any filter), rows selected as a click would.
#include "widgets/ListModel.h"

#include <QAbstractItemView>
#include <QColor>
#include <QFont>
#include <QItemSelectionModel>
#include <QStringList>
#include <QWidget>

// The descendant of `parent` of type T named `name` (nullptr when there is none).
template <class T> T* Child(const QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

inline QAbstractItemView* FindList(const QWidget* screen, const char* name) {
    return screen->findChild<QAbstractItemView*>(QString::fromLatin1(name));
}

inline int RowCount(const QAbstractItemView* list) { return list->model()->rowCount(); }

inline QVariant CellData(const QAbstractItemView* list, int row, int column, int role = Qt::DisplayRole) {
    return list->model()->index(row, column).data(role);
}

inline QString CellText(const QAbstractItemView* list, int row, int column) {
    return CellData(list, row, column).toString();
}

inline QColor CellColour(const QAbstractItemView* list, int row, int column) {
    return CellData(list, row, column, Qt::ForegroundRole).value<QColor>();
}

inline bool CellBold(const QAbstractItemView* list, int row, int column) {
    return CellData(list, row, column, Qt::FontRole).value<QFont>().bold();
}

inline QStringList RowTexts(const QAbstractItemView* list, int row) {
    QStringList cells;
    for (int column = 0; column < list->model()->columnCount(); ++column) cells.append(CellText(list, row, column));
    return cells;
}

// The texts of one column, top to bottom.
inline QStringList ColumnTexts(const QAbstractItemView* list, int column) {
    QStringList cells;
    for (int row = 0; row < RowCount(list); ++row) cells.append(CellText(list, row, column));
    return cells;
}

// The row of the record with `id` (a task id), or -1.
inline int RowOfId(const QAbstractItemView* list, const QString& id) {
    const QAbstractItemModel* model = list->model();
    const QModelIndexList found = model->match(model->index(0, 0), ListModel::IdRole, id, 1, Qt::MatchExactly);
    return found.isEmpty() ? -1 : found.front().row();
}

inline QStringList HeaderTexts(const QAbstractItemView* list) {
    QStringList captions;
    for (int column = 0; column < list->model()->columnCount(); ++column)
        captions.append(list->model()->headerData(column, Qt::Horizontal).toString());
    return captions;
}

inline void SelectRow(QAbstractItemView* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
