#pragma once
// The report-style list of every list screen: grid lines, whole-row selection, no in-place editing,
// no row numbers. Its columns keep the listed widths as their least widths and widen to their
// content once rows have come in, so that no date-time, amount or task id is cut; the last column
// may fill the rest of the width.
#include "widgets/ListModel.h"

#include <QHash>
#include <QTableView>

class ListView : public QTableView {
    Q_OBJECT
public:
    explicit ListView(const QString& objectName, QWidget* parent = nullptr);

    // The least widths, from the model's columns; call after setModel.
    void setColumns(const QList<ListColumn>& columns);
    // Rows with a cell of several lines take the height of their tallest cell; the others 22 pixels.
    void setRowsFitContent(bool on) { m_rowsFitContent = on; }
    void setHandCursor(bool on);

    // The selected row in the view's model, or -1.
    int selectedRow() const;

    void setModel(QAbstractItemModel* model) override;

protected:
    void changeEvent(QEvent* event) override;

private:
    // Sizes the columns (and rows) to their content, once rows have come in, from the event loop.
    void scheduleFit();
    void fitToContents();
    struct ContentWidth {
        int width;
        bool severalLines; // some cell holds more than one line
    };
    // The width of the column's widest cell, as the view's delegate would draw it.
    ContentWidth contentWidth(int column) const;

    using TextKey = QPair<int, QString>; // column, text
    // The advances of texts measured before, in their column's font.
    mutable QHash<TextKey, int> m_textWidths;
    QList<int> m_leastWidths;
    bool m_rowsFitContent = false;
    bool m_fitPending = false;
};
