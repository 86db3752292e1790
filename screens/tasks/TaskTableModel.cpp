#include "screens/tasks/TaskTableModel.h"

#include "model/uCommonFunc.h"
#include "screens/tasks/uTaskScreens.h"

namespace {

constexpr Qt::Alignment Centre = Qt::AlignCenter;
constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;

QList<ListColumn> listColumns(const QList<TaskColumn>& columns) {
    QList<ListColumn> result;
    for (const TaskColumn& column : columns) result.append(column.column);
    return result;
}

TaskColumn empty(int width) {
    return {{QStringLiteral("ID"), width, Left},
            [](const TTaskInfo&, TaskRowSource, const QDateTime&) { return QString(); }};
}

TaskColumn taskId(const QString& caption, int width) {
    return {{caption, width, Centre},
            [](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return task.Ftaskid; }};
}

TaskColumn dateTime(const QString& caption, int width, QDateTime TTaskInfo::*field) {
    return {{caption, width, Centre},
            [field](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return FormatDateTime(task.*field); }};
}

TaskColumn money(const QString& caption, int width, Qt::Alignment alignment) {
    return {{caption, width, alignment},
            [](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return FormatMoney(task.Ftaskmoney); }};
}

// The status with its countdown in a page; in a search, the text of `searchVariant`.
TaskColumn status(const QString& caption, StatusTextVariant searchVariant) {
    return {{caption, 200, Centre}, [searchVariant](const TTaskInfo& task, TaskRowSource source, const QDateTime& now) {
                return GetTaskStatusText(task, now, source == TaskRowSource::Page ? svListPage : searchVariant);
            }};
}

// The text of a taken task; "-" while nobody has taken it.
QString ifTaken(const TTaskInfo& task, const QString& text) {
    return task.Fstatus == tsWaitforHandle ? QStringLiteral("-") : text;
}

// Column 3 of a taken-tasks search row: the publisher's name, shop-keeper name and QQ on three lines.
QString publisherLines(const TTaskInfo& task) {
    return task.Fpublisherusername + QStringLiteral("\r\n掌柜名[") + task.Fpublishershopkeeperusername +
           QStringLiteral("]\r\n联系QQ[") + task.Fpublisherqq + QStringLiteral("]");
}

} // namespace

TaskTableModel::TaskTableModel(QList<TaskColumn> columns, int accentColumn, QObject* parent)
    : RecordTableModel<TTaskInfo>(
          listColumns(columns), [](const TTaskInfo& task) { return task.Ftaskid; }, parent),
      m_taskColumns(std::move(columns)) {
    setColumnColours(1, accentColumn);
    setColumnIcon(0, TaskRowIcon(0));
    setColumnIcon(accentColumn, TaskRowIcon(1));
}

void TaskTableModel::appendTask(const TTaskInfo& task, TaskRowSource source, const QDateTime& now) {
    QStringList cells;
    cells.reserve(m_taskColumns.size());
    for (const TaskColumn& column : m_taskColumns) cells.append(column.text(task, source, now));
    append(task, std::move(cells));
}

QList<TaskColumn> HallColumns(bool withOperation) {
    QList<TaskColumn> columns = {
        empty(60),
        taskId(QStringLiteral("任务ID"), 180),
        {{QStringLiteral("发布人"), 120, Centre},
         [](const TTaskInfo& task, TaskRowSource source, const QDateTime&) {
             return source == TaskRowSource::Page ? task.Fpublisherusername
                                                  : MaskTaobaoAccount(task.Fpublishtaobaoxiaohao);
         }},
        money(QStringLiteral("任务总价"), 110, Left),
        dateTime(QStringLiteral("发布时间"), 150, &TTaskInfo::Fpublishtime),
        {{QStringLiteral("状态"), 120, Centre},
         [](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return TaskStatusName(task.Fstatus); }},
    };
    if (withOperation)
        columns.append({{QStringLiteral("操作"), 180, Centre}, [](const TTaskInfo&, TaskRowSource, const QDateTime&) {
                            return QStringLiteral("单击鼠标右键进行操作");
                        }});
    return columns;
}

QList<TaskColumn> HandledTaskColumns() {
    return {
        empty(40),
        taskId(QStringLiteral("任务编号"), 120),
        dateTime(QStringLiteral("下单日期"), 130, &TTaskInfo::Fpublishtime),
        {{QStringLiteral("发布人"), 100, Centre},
         [](const TTaskInfo& task, TaskRowSource source, const QDateTime&) {
             return source == TaskRowSource::Page ? task.Fpublisherusername : publisherLines(task);
         }},
        {{QStringLiteral("联系QQ"), 90, Left},
         [](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return task.Fpublisherqq; }},
        dateTime(QStringLiteral("接单日期"), 130, &TTaskInfo::Fhandletime),
        money(QStringLiteral("总金额"), 80, Centre),
        status(QStringLiteral("订单状态"), svHandledSearch),
    };
}

QList<TaskColumn> PublishedTaskColumns() {
    return {
        empty(40),
        taskId(QStringLiteral("任务编号"), 120),
        dateTime(QStringLiteral("发布日期"), 130, &TTaskInfo::Fpublishtime),
        {{QStringLiteral("接单人"), 100, Centre},
         [](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return ifTaken(task, task.Fhandlerusername); }},
        {{QStringLiteral("联系QQ"), 90, Left},
         [](const TTaskInfo& task, TaskRowSource, const QDateTime&) { return ifTaken(task, task.Fhandlerqq); }},
        {{QStringLiteral("接单时间"), 130, Centre},
         [](const TTaskInfo& task, TaskRowSource, const QDateTime&) {
             return ifTaken(task, FormatDateTime(task.Fhandletime));
         }},
        money(QStringLiteral("任务价格"), 80, Centre),
        status(QStringLiteral("任务状态"), svPublishedSearch),
    };
}

QString MaskTaobaoAccount(const QString& account) {
    // Counted in characters, so a character outside the basic plane is never cut in half.
    QList<uint> characters = account.toUcs4();
    characters.resize(qMax<qsizetype>(0, characters.size() - 2));
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), characters.size()) +
           QStringLiteral("**");
}
