#include "widgets/ListModel.h"

#include <QColor>
#include <QFont>

ListModel::ListModel(QList<ListColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_icons(m_columns.size()) {}

void ListModel::setColumnColours(int boldGreenColumn, int redColumn) {
    m_greenColumn = boldGreenColumn;
    m_redColumn = redColumn;
    if (!m_rows.isEmpty()) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void ListModel::setColumnIcon(int column, const QIcon& icon) {
    if (column >= 0 && column < m_icons.size()) m_icons[column] = icon;
}

int ListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int ListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: return cellText(index.row(), column);
    case IdRole: return idOf(index.row());
    case Qt::TextAlignmentRole: return int(m_columns.at(column).alignment.toInt());
    case Qt::DecorationRole: return m_icons.at(column).isNull() ? QVariant() : QVariant(m_icons.at(column));
    case Qt::ForegroundRole:
        if (column == m_greenColumn) return QColor(0, 153, 0);
        if (column == m_redColumn) return QColor(255, 0, 0);
        if (m_greenColumn >= 0 || m_redColumn >= 0) return QColor(0, 0, 0);
        return {};
    case Qt::FontRole:
        if (column == m_greenColumn) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default: return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size()) return {};
    if (role == Qt::DisplayRole) return m_columns.at(section).caption;
    return {};
}

QString ListModel::cellText(int row, int column) const {
    if (row < 0 || row >= m_rows.size()) return {};
    return m_rows.at(row).cells.value(column);
}

QString ListModel::idOf(int row) const { return row < 0 || row >= m_rows.size() ? QString() : m_rows.at(row).id; }

void ListModel::resetRows(const std::function<void()>& clearRecords) {
    beginResetModel();
    m_rows.clear();
    clearRecords();
    endResetModel();
}

void ListModel::appendRow(QStringList cells, QString id, const std::function<void()>& addRecord) {
    cells.resize(m_columns.size());
    const int row = int(m_rows.size());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.append({std::move(cells), std::move(id)});
    addRecord();
    endInsertRows();
}
