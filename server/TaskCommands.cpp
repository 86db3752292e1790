// Task commands of the platform server: publishing, the three lists and searches, and every step of
// a task's life. Each step checks the caller's role, the task's state and its deadline, and writes the
// operation log (and the trade log for money) in the same transaction as the change.
#include "server/ServiceInternals.h"

#include <algorithm>
#include <array>

namespace {

constexpr int MaxTaskTextChars = 2000;
constexpr int MaxExtendMinutes = 7 * 24 * 60;
constexpr std::int64_t MaxTaskCents = 1000000LL * 100;
// Review wait after shipping, by the ordinal chosen at publishing: 2, 48, 72 and 96 hours.
constexpr std::array<int, 4> ReviewWaitHours = {2, 48, 72, 96};

// Every member of a task object that any of the six client readers reads, in one column list.
constexpr const char* TaskSelect =
    "SELECT t.id, t.taskid, t.publishtime, t.publishuserid, t.publishtaobaoxiaohao, t.taskmoney,"
    " t.shopkeeperusername, t.goodskeyword, t.replymsg, t.detailrequirement, t.status, t.marks,"
    " t.handleuserid, t.handletime, t.shouldpaytime, t.paytime, t.fahuotime, t.shouldshouhuoandreplytime,"
    " t.shouhuoandreplytime,"
    " p.username, p.shopkeeperusername, p.taobaoxiaohao, p.qq,"
    " h.username, h.shopkeeperusername, h.taobaoxiaohao, h.qq"
    " FROM tasks t JOIN users p ON p.id = t.publishuserid LEFT JOIN users h ON h.id = t.handleuserid ";

std::string timeText(const Statement& stmt, int column) {
    return S(stmt.isNull(column) ? ZeroTimeText : stmt.text(column));
}

// What a list tells of a task depends on where it is shown and to whom.
enum class TaskView {
    // The hall's page: the same for every user (its replies are cached and shared), so it carries
    // nobody's contacts and no handler identity, and no progress times, which its reader does not
    // read (they would make its 20-row page half as large again).
    Hall,
    // The hall's search: progress times; the handler's identity only to the task's two sides.
    HallSearch,
    // The two own-task screens: everything, QQ numbers included, which become visible to both sides
    // once the task has been taken.
    Own,
};

json taskObject(const Statement& r, TaskView view, int askerId) {
    const bool party =
        view == TaskView::Own || (view == TaskView::HallSearch && (r.int64(3) == askerId || r.int64(12) == askerId));
    const bool contacts = view == TaskView::Own;
    json task;
    task["id"] = r.int64(0);
    task["taskid"] = S(r.text(1));
    task["publishtime"] = S(r.text(2));
    task["publishuserid"] = r.int64(3);
    task["publishtaobaoxiaohao"] = S(r.text(4));
    task["taskmoney"] = S(CentsText(r.int64(5)));
    task["shopkeeperusername"] = S(r.text(6));
    task["goodskeyword"] = S(r.text(7));
    task["replymsg"] = S(r.text(8));
    task["detailrequirement"] = S(r.text(9));
    task["status"] = r.integer(10);
    task["marks"] = S(r.text(11));
    if (view != TaskView::Hall) {
        task["handleuserid"] = party ? r.int64(12) : 0;
        task["handletime"] = timeText(r, 13);
        task["shouldpaytime"] = timeText(r, 14);
        task["paytime"] = timeText(r, 15);
        task["fahuotime"] = timeText(r, 16);
        task["shouldshouhuoandreplytime"] = timeText(r, 17);
        task["shouhuoandreplytime"] = timeText(r, 18);
    }
    task["publisherusername"] = S(r.text(19));
    task["publishershopkeeperusername"] = S(r.text(20));
    task["publishertaobaoxiaohao"] = S(r.text(21));
    task["publisherqq"] = contacts ? S(r.text(22)) : std::string();
    task["handlerusername"] = party ? S(r.text(23)) : std::string();
    task["handlershopkeeperusername"] = party ? S(r.text(24)) : std::string();
    task["handlertaobaoxiaohao"] = party ? S(r.text(25)) : std::string();
    task["handlerqq"] = contacts ? S(r.text(26)) : std::string();
    return task;
}

json taskRows(Statement& stmt, TaskView view, int askerId) {
    json rows = json::array();
    while (stmt.step()) rows.push_back(taskObject(stmt, view, askerId));
    return rows;
}

// The state of one task as the lifecycle rules need it.
struct TaskRow {
    std::int64_t id = 0;
    QString taskid;
    int publisher = 0;
    int handler = 0;
    int status = 0;
    int interval = 0;
    std::int64_t money = 0;
    QString shouldpaytime;
    QString shouldreplytime;
};

TaskRow loadTask(CommandContext& ctx) {
    const QString taskid = ctx.trimmed("taskid");
    Statement stmt = ctx.db.prepare(
        std::string("SELECT id, taskid, publishuserid, handleuserid, status, \"interval\", taskmoney, shouldpaytime,"
                    " shouldshouhuoandreplytime FROM tasks WHERE taskid = ?") +
        ctx.db.lockClause());
    stmt.bind(1, taskid);
    if (taskid.isEmpty() || !stmt.step()) throw ERefusal(QStringLiteral("任务不存在"));
    TaskRow row;
    row.id = stmt.int64(0);
    row.taskid = stmt.text(1);
    row.publisher = stmt.integer(2);
    row.handler = stmt.integer(3);
    row.status = stmt.integer(4);
    row.interval = stmt.integer(5);
    row.money = stmt.int64(6);
    row.shouldpaytime = stmt.text(7);
    row.shouldreplytime = stmt.text(8);
    return row;
}

TaskRow publisherTask(CommandContext& ctx) {
    TaskRow task = loadTask(ctx);
    if (task.publisher != ctx.userId) throw ERefusal(QStringLiteral("这不是您发布的任务"));
    return task;
}

TaskRow handlerTask(CommandContext& ctx) {
    TaskRow task = loadTask(ctx);
    if (task.handler != ctx.userId || task.status == tsWaitforHandle)
        throw ERefusal(QStringLiteral("这不是您接手的任务"));
    return task;
}

void requireStatus(const TaskRow& task, int expected) {
    if (task.status != expected) throw ERefusal(QStringLiteral("任务状态已改变，请刷新后再试"));
}

// A command that names the status it saw must see it still.
void requireSentStatus(CommandContext& ctx, const TaskRow& task) {
    if (ctx.integer("status") != task.status) throw ERefusal(QStringLiteral("任务状态已改变，请刷新后再试"));
}

bool passed(CommandContext& ctx, const QString& deadline) { return !deadline.isEmpty() && DbTime(ctx.now) >= deadline; }

// Changes the task with one guarded UPDATE (the expected status in the WHERE), so two racing
// requests cannot both move it.
void updateTask(CommandContext& ctx, const TaskRow& task, const char* sql) {
    Statement stmt = ctx.db.prepare(sql);
    stmt.bind(1, DbTime(ctx.now)).bind(2, task.id).bind(3, task.status).exec();
    if (ctx.db.changes() != 1) throw ERefusal(QStringLiteral("任务状态已改变，请刷新后再试"));
}

json listTasks(CommandContext& ctx, const char* countSql, const char* pageSql, TaskView view, int extra = -1) {
    const std::int64_t offset = ctx.pageOffset();
    Statement count = ctx.db.prepare(countSql);
    count.bind(1, ctx.userId).bind(2, extra).step();
    Statement page = ctx.db.prepare(pageSql);
    page.bind(1, ctx.userId).bind(2, extra).bind(3, PageSize).bind(4, offset);
    return ListReply(count.int64(0), taskRows(page, view, ctx.userId));
}

json searchTask(CommandContext& ctx, const char* sql, TaskView view) {
    Statement stmt = ctx.db.prepare(sql);
    stmt.bind(1, ctx.trimmed("taskid")).bind(2, ctx.userId);
    json rows = taskRows(stmt, view, ctx.userId);
    const auto total = std::int64_t(rows.size());
    return ListReply(total, std::move(rows));
}

std::string sql(const char* tail) { return std::string(TaskSelect) + tail; }

} // namespace

json CmdPublishTask(CommandContext& ctx) {
    if (ctx.integer("publishuserid") != ctx.userId) throw ERefusal(QStringLiteral("只能以自己的账户发布任务"));
    const auto money = ParseYuan(ctx.text("taskmoney"));
    if (!money || *money <= 0) throw ERefusal(QStringLiteral("任务价格不正确"));
    if (*money > MaxTaskCents) throw ERefusal(QStringLiteral("任务价格不能超过1000000元"));
    const QString keyword = ctx.trimmed("goodskeyword");
    if (keyword.isEmpty()) throw ERefusal(QStringLiteral("商品关键词不能为空"));
    const int interval = ctx.integer("shouhuoandreplyintervalafterfahuo");
    if (interval < 0 || interval >= int(ReviewWaitHours.size())) throw ERefusal(QStringLiteral("好评时间选择不正确"));
    for (const char* name : {"goodskeyword", "replymsg", "detailrequirement"})
        if (ctx.text(name).size() > MaxTaskTextChars) throw ERefusal(QStringLiteral("任务内容过长"));
    // The shop and the buyer account are the publisher's own, as the profile holds them; the request's
    // copies of them are not taken at their word.
    QString shop, buyer;
    {
        Statement profile = ctx.db.prepare("SELECT shopkeeperusername, taobaoxiaohao FROM users WHERE id = ?");
        profile.bind(1, ctx.userId);
        if (!profile.step()) throw ERefusal(QStringLiteral("用户不存在"));
        shop = profile.text(0);
        buyer = profile.text(1);
    }

    std::int64_t id = 0;
    {
        Statement insert = ctx.db.prepare(
            "INSERT INTO tasks(publishtime, publishuserid, publishtaobaoxiaohao, taskmoney, shopkeeperusername,"
            " goodskeyword, replymsg, detailrequirement, \"interval\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
        insert.bind(1, DbTime(ctx.now)).bind(2, ctx.userId).bind(3, buyer).bind(4, *money).bind(5, shop);
        insert.bind(6, keyword).bind(7, ctx.trimmed("replymsg")).bind(8, ctx.trimmed("detailrequirement"));
        insert.bind(9, interval).step();
        id = insert.int64(0);
    }
    const QString taskid =
        ctx.now.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0'));
    Statement name = ctx.db.prepare("UPDATE tasks SET taskid = ? WHERE id = ?");
    name.bind(1, taskid).bind(2, id).exec();
    // The task money is frozen out of the publisher's balance for as long as the task lives.
    MoveMoney(ctx, ctx.userId, Balance::Available, -*money, taskid, QStringLiteral("发布任务，冻结任务金额"));
    AddOptLog(ctx, ctx.userId, taskid, otPublish, QStringLiteral("发布任务"),
              QStringLiteral("任务金额%1元").arg(CentsText(*money)));
    return Done(QStringLiteral("任务发布成功"));
}

// --- lists and searches ----------------------------------------------------------------------------

json CmdGetTaskCenterList(CommandContext& ctx) {
    const int type = ctx.integer("taskttimetype");
    if (type < 0 || type > 4) throw ERefusal(QStringLiteral("任务类别不正确"));
    // Open and running tasks of every publisher; open ones first, newest first. A category names the
    // review wait: ttAll (0) none, tt2Hour..tt4day (1..4) the intervals 0..3.
    static const std::string count =
        "SELECT COUNT(*) FROM tasks WHERE status < 5 AND ?1 IS NOT NULL AND (?2 < 0 OR \"interval\" = ?2)";
    static const std::string page = sql("WHERE t.status < 5 AND ?1 IS NOT NULL AND (?2 < 0 OR t.\"interval\" = ?2) "
                                        "ORDER BY t.status <> 0, t.id DESC LIMIT ?3 OFFSET ?4");
    return listTasks(ctx, count.c_str(), page.c_str(), TaskView::Hall, type - 1 < 0 ? -1 : type - 1);
}

json CmdGetHandledTaskList(CommandContext& ctx) {
    static const std::string page =
        sql("WHERE t.handleuserid = ?1 AND ?2 IS NOT NULL ORDER BY t.id DESC LIMIT ?3 OFFSET ?4");
    return listTasks(ctx, "SELECT COUNT(*) FROM tasks WHERE handleuserid = ?1 AND ?2 IS NOT NULL", page.c_str(),
                     TaskView::Own);
}

json CmdGetPublishedTaskList(CommandContext& ctx) {
    static const std::string page =
        sql("WHERE t.publishuserid = ?1 AND ?2 IS NOT NULL ORDER BY t.id DESC LIMIT ?3 OFFSET ?4");
    return listTasks(ctx, "SELECT COUNT(*) FROM tasks WHERE publishuserid = ?1 AND ?2 IS NOT NULL", page.c_str(),
                     TaskView::Own);
}

json CmdSearchTaskCenter(CommandContext& ctx) {
    static const std::string search = sql("WHERE t.taskid = ?1 AND ?2 IS NOT NULL");
    return searchTask(ctx, search.c_str(), TaskView::HallSearch);
}

json CmdSearchHandledTask(CommandContext& ctx) {
    static const std::string search = sql("WHERE t.taskid = ?1 AND t.handleuserid = ?2");
    return searchTask(ctx, search.c_str(), TaskView::Own);
}

json CmdSearchPublishedTask(CommandContext& ctx) {
    static const std::string search = sql("WHERE t.taskid = ?1 AND t.publishuserid = ?2");
    return searchTask(ctx, search.c_str(), TaskView::Own);
}

// --- the handler's steps ---------------------------------------------------------------------------

json CmdHandleTask(CommandContext& ctx) {
    if (ctx.integer("handleuserid") != ctx.userId) throw ERefusal(QStringLiteral("只能以自己的账户接手任务"));
    TaskRow task = loadTask(ctx);
    if (task.publisher == ctx.userId) throw ERefusal(QStringLiteral("不能接手自己发布的任务"));
    if (task.status != tsWaitforHandle) throw ERefusal(QStringLiteral("该任务已被其他人接手"));
    Statement stmt = ctx.db.prepare(
        "UPDATE tasks SET status = 1, handleuserid = ?1, handletime = ?2, shouldpaytime = ?3 WHERE id = ?4 AND status = 0");
    stmt.bind(1, ctx.userId).bind(2, DbTime(ctx.now)).bind(3, DbTime(ctx.now.addSecs(PayTimeLimitMinutes * 60)));
    stmt.bind(4, task.id).exec();
    if (ctx.db.changes() != 1) throw ERefusal(QStringLiteral("该任务已被其他人接手"));
    AddOptLog(ctx, ctx.userId, task.taskid, otHandle, QStringLiteral("接手任务"),
              QStringLiteral("请在15分钟内完成支付"));
    AddOptLog(ctx, task.publisher, task.taskid, otBeenHandled, QStringLiteral("任务被接手"));
    return Done(QStringLiteral("任务接手成功"));
}

json CmdConfirmHasPay(CommandContext& ctx) {
    TaskRow task = handlerTask(ctx);
    requireStatus(task, tsWaitforPay);
    requireSentStatus(ctx, task);
    if (passed(ctx, task.shouldpaytime)) throw ERefusal(QStringLiteral("支付时间已过期，请联系发单人延长支付时间"));
    updateTask(ctx, task, "UPDATE tasks SET status = 2, paytime = ?1 WHERE id = ?2 AND status = ?3");
    AddOptLog(ctx, ctx.userId, task.taskid, otHandle, QStringLiteral("确认已支付货款"));
    return Done(QStringLiteral("已确认支付"));
}

json CmdBackTask(CommandContext& ctx) {
    TaskRow task = handlerTask(ctx);
    requireSentStatus(ctx, task);
    if (task.status == tsWaitforDelivergoods) {
        if (passed(ctx, task.shouldpaytime)) throw ERefusal(QStringLiteral("支付时间已过，不能返回上一步"));
        updateTask(ctx, task,
                   "UPDATE tasks SET status = 1, paytime = NULL WHERE ?1 IS NOT NULL AND id = ?2 AND status = ?3");
    } else if (task.status == tsWaitforConfirmReply) {
        if (passed(ctx, task.shouldreplytime)) throw ERefusal(QStringLiteral("好评时间已到，不能返回上一步"));
        updateTask(
            ctx, task,
            "UPDATE tasks SET status = 3, shouhuoandreplytime = NULL WHERE ?1 IS NOT NULL AND id = ?2 AND status = ?3");
    } else {
        throw ERefusal(QStringLiteral("当前任务状态不能返回上一步"));
    }
    AddOptLog(ctx, ctx.userId, task.taskid, otHandle, QStringLiteral("返回上一步"));
    return Done(QStringLiteral("已返回上一步"));
}

json CmdConfirmShouhuoAndReply(CommandContext& ctx) {
    TaskRow task = handlerTask(ctx);
    requireStatus(task, tsWaitforReply);
    requireSentStatus(ctx, task);
    if (!passed(ctx, task.shouldreplytime)) throw ERefusal(QStringLiteral("还未到好评时间，请耐心等待"));
    updateTask(ctx, task, "UPDATE tasks SET status = 4, shouhuoandreplytime = ?1 WHERE id = ?2 AND status = ?3");
    AddOptLog(ctx, ctx.userId, task.taskid, otHandle, QStringLiteral("确认已收货并好评"));
    return Done(QStringLiteral("已确认收货并好评"));
}

// A task waiting for payment goes back to the hall: state 0, no handler, no payment deadline.
void returnToHall(CommandContext& ctx, const TaskRow& task) {
    updateTask(ctx, task,
               "UPDATE tasks SET status = 0, handleuserid = 0, handletime = NULL, shouldpaytime = NULL, paytime = NULL "
               "WHERE ?1 IS NOT NULL AND id = ?2 AND status = ?3");
}

// The handler gives up a task whose payment time ran out: the hold ends and the task goes back to the
// hall (state 0, no handler), exactly as when the publisher cancels the deal.
json CmdCancelHandledTask(CommandContext& ctx) {
    TaskRow task = handlerTask(ctx);
    requireStatus(task, tsWaitforPay);
    if (!passed(ctx, task.shouldpaytime)) throw ERefusal(QStringLiteral("支付时间未过，请先完成支付"));
    returnToHall(ctx, task);
    AddOptLog(ctx, ctx.userId, task.taskid, otCancelHandle, QStringLiteral("取消任务"), QStringLiteral("未按时付款"));
    AddOptLog(ctx, task.publisher, task.taskid, otCancelHandle, QStringLiteral("接单人取消任务"),
              QStringLiteral("任务已放回任务大厅"));
    return Done(QStringLiteral("取消任务成功"));
}

// --- the publisher's steps -------------------------------------------------------------------------

json CmdDeleteTask(CommandContext& ctx) {
    TaskRow task = publisherTask(ctx);
    if (task.status != tsWaitforHandle) throw ERefusal(QStringLiteral("任务已被接手，不能删除"));
    Statement stmt = ctx.db.prepare("DELETE FROM tasks WHERE id = ? AND status = 0");
    stmt.bind(1, task.id).exec();
    if (ctx.db.changes() != 1) throw ERefusal(QStringLiteral("任务已被接手，不能删除"));
    MoveMoney(ctx, ctx.userId, Balance::Available, task.money, task.taskid, QStringLiteral("删除任务，任务金额返还"));
    AddOptLog(ctx, ctx.userId, task.taskid, otClear, QStringLiteral("删除任务"));
    return Done(QStringLiteral("任务已删除"));
}

json CmdExtendPayTime(CommandContext& ctx) {
    TaskRow task = publisherTask(ctx);
    bool ok = false;
    const int minutes = ctx.trimmed("extendpaytime").toInt(&ok, 10);
    if (!ok || minutes <= 0) throw ERefusal(QStringLiteral("延长时间必须是大于0的整数分钟"));
    if (minutes > MaxExtendMinutes) throw ERefusal(QStringLiteral("延长时间不能超过%1分钟").arg(MaxExtendMinutes));
    requireStatus(task, tsWaitforPay);
    if (!passed(ctx, task.shouldpaytime)) throw ERefusal(QStringLiteral("接单人付款时限未到，无需延长"));
    // The deadline has passed: the handler gets the minutes from now on.
    const QString deadline = DbTime(ctx.now.addSecs(std::int64_t(minutes) * 60));
    Statement stmt = ctx.db.prepare("UPDATE tasks SET shouldpaytime = ? WHERE id = ? AND status = 1");
    stmt.bind(1, deadline).bind(2, task.id).exec();
    if (ctx.db.changes() != 1) throw ERefusal(QStringLiteral("任务状态已改变，请刷新后再试"));
    AddOptLog(ctx, ctx.userId, task.taskid, otBeenHandled, QStringLiteral("延长接单人付款时限"),
              QStringLiteral("延长%1分钟").arg(minutes));
    AddOptLog(ctx, task.handler, task.taskid, otHandle, QStringLiteral("发单人延长付款时限"),
              QStringLiteral("新的付款时限%1").arg(deadline));
    return Done(QStringLiteral("付款时限已延长"));
}

json CmdCancelTaskNoPayOnTime(CommandContext& ctx) {
    TaskRow task = publisherTask(ctx);
    requireStatus(task, tsWaitforPay);
    if (!passed(ctx, task.shouldpaytime)) throw ERefusal(QStringLiteral("接单人付款时限未到，不能取消"));
    returnToHall(ctx, task);
    AddOptLog(ctx, ctx.userId, task.taskid, otCancelHandle, QStringLiteral("取消此次交易"),
              QStringLiteral("任务已放回任务大厅"));
    AddOptLog(ctx, task.handler, task.taskid, otCancelHandle, QStringLiteral("发单人取消交易"),
              QStringLiteral("未按时付款"));
    return Done(QStringLiteral("交易已取消，任务已放回任务大厅"));
}

json CmdSetDelivered(CommandContext& ctx) {
    TaskRow task = publisherTask(ctx);
    requireStatus(task, tsWaitforDelivergoods);
    requireSentStatus(ctx, task);
    const int hours = ReviewWaitHours.at(std::size_t(std::clamp(task.interval, 0, 3)));
    Statement stmt = ctx.db.prepare(
        "UPDATE tasks SET status = 3, fahuotime = ?1, shouldshouhuoandreplytime = ?2 WHERE id = ?3 AND status = 2");
    stmt.bind(1, DbTime(ctx.now)).bind(2, DbTime(ctx.now.addSecs(std::int64_t(hours) * 3600))).bind(3, task.id).exec();
    if (ctx.db.changes() != 1) throw ERefusal(QStringLiteral("任务状态已改变，请刷新后再试"));
    AddOptLog(ctx, ctx.userId, task.taskid, otBeenHandled, QStringLiteral("确认已发货"));
    return Done(QStringLiteral("已确认发货"));
}

json CmdConfirmReplyAndComplete(CommandContext& ctx) {
    TaskRow task = publisherTask(ctx);
    requireStatus(task, tsWaitforConfirmReply);
    requireSentStatus(ctx, task);
    updateTask(ctx, task, "UPDATE tasks SET status = 5 WHERE ?1 IS NOT NULL AND id = ?2 AND status = ?3");
    // The money frozen at publishing goes to the handler.
    MoveMoney(ctx, task.handler, Balance::Available, task.money, task.taskid, QStringLiteral("完成任务，获得任务金额"));
    AddOptLog(ctx, ctx.userId, task.taskid, otTaskComplete, QStringLiteral("确认好评，交易完成"));
    AddOptLog(ctx, task.handler, task.taskid, otTaskComplete, QStringLiteral("任务完成"),
              QStringLiteral("获得任务金额%1元").arg(CentsText(task.money)));
    return Done(QStringLiteral("任务已完成"));
}
