#pragma once
// The rows of the four task lists (the hall's open and taken tasks, the taken tasks, the published
// tasks): each list is a table of TaskColumns, each column giving its caption, least width,
// alignment and the text of a task's cell, which may differ between a page and a search. Every task
// list draws the task id (column 1) bold green and one column red with the shield picture beside
// it, and the document picture in its first column. Rows hold a copy of their task and are found by
// task id.
#include "model/uCommonVarConst.h"
#include "widgets/ListModel.h"

#include <QDateTime>
#include <functional>

// Which reply a row was read from.
enum class TaskRowSource { Page, Search };

struct TaskColumn {
    ListColumn column;
    std::function<QString(const TTaskInfo& task, TaskRowSource source, const QDateTime& now)> text;
};

class TaskTableModel : public RecordTableModel<TTaskInfo> {
public:
    // `accentColumn` is drawn red with the shield picture.
    TaskTableModel(QList<TaskColumn> columns, int accentColumn, QObject* parent = nullptr);

    // Appends the row of `task`; time-dependent texts are those of `now`.
    void appendTask(const TTaskInfo& task, TaskRowSource source, const QDateTime& now);
    std::optional<TTaskInfo> task(int row) const { return record(row); }

private:
    QList<TaskColumn> m_taskColumns;
};

// The columns of the hall's lists; only the open tasks' list has the last one, "操作".
QList<TaskColumn> HallColumns(bool withOperation);
// The columns of the taken tasks (the handler's screen) and of the published tasks.
QList<TaskColumn> HandledTaskColumns();
QList<TaskColumn> PublishedTaskColumns();

// The publisher's buyer account as a hall search shows it: all but its last two characters, then
// "**" ("abcdef" -> "abcd**"; two characters or fewer -> "**").
QString MaskTaobaoAccount(const QString& account);
