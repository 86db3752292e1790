#pragma once
// The table models of the lists: rows of cell texts computed when the row is added (a countdown is
// the one of the fetch), drawn in the lists' fixed colours and with their row pictures, and for
// each row the record it was made from, held by value.
//
// ListModel holds the cells and the looks; RecordTableModel<TRecord> adds the records, found by row
// or by id. No row refers to anything outside its model, so a reload elsewhere (the task store
// clearing a dictionary) cannot take a record from under a list, a menu or a dialog.
#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QStringList>
#include <functional>
#include <optional>

// One column of a list: its caption, its least width (wider content widens it) and its alignment.
struct ListColumn {
    QString caption;
    int width;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The id of a row's record (a task id; empty for records without one), in every column.
    static constexpr int IdRole = Qt::UserRole;

    explicit ListModel(QList<ListColumn> columns, QObject* parent = nullptr);

    const QList<ListColumn>& columns() const { return m_columns; }
    // The task and log lists draw one column bold green (0,153,0) and one red (255,0,0), every other
    // black; -1 names no column. Without either, the view's colours.
    void setColumnColours(int boldGreenColumn, int redColumn);
    // A picture drawn in every cell of `column`.
    void setColumnIcon(int column, const QIcon& icon);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString cellText(int row, int column) const;
    QString idOf(int row) const;

protected:
    // Empties the list (the records too, in a subclass).
    void resetRows(const std::function<void()>& clearRecords);
    // Appends one row; missing cells are empty, extra ones are dropped.
    void appendRow(QStringList cells, QString id, const std::function<void()>& addRecord);

private:
    struct Row {
        QStringList cells;
        QString id;
    };
    QList<ListColumn> m_columns;
    QList<Row> m_rows;
    QList<QIcon> m_icons; // per column, null for none
    int m_greenColumn = -1;
    int m_redColumn = -1;
};

template <class TRecord> class RecordTableModel : public ListModel {
public:
    // `idOf` gives a record's id (the task id of a task); records without one may leave it empty.
    RecordTableModel(QList<ListColumn> columns, std::function<QString(const TRecord&)> idOf = {},
                     QObject* parent = nullptr)
        : ListModel(std::move(columns), parent), m_idOf(std::move(idOf)) {}

    void clear() {
        resetRows([this] { m_records.clear(); });
    }
    void append(TRecord record, QStringList cells) {
        QString id = m_idOf ? m_idOf(record) : QString();
        appendRow(std::move(cells), std::move(id), [&] { m_records.append(std::move(record)); });
    }

    // A copy of the record of `row`, or nothing outside the rows.
    std::optional<TRecord> record(int row) const {
        if (row < 0 || row >= m_records.size()) return std::nullopt;
        return m_records.at(row);
    }

private:
    std::function<QString(const TRecord&)> m_idOf;
    QList<TRecord> m_records;
};
