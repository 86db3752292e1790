// Account, wallet and log commands of the platform server.
#include "server/PasswordHash.h"
#include "server/ServiceInternals.h"

#include <functional>

namespace {

constexpr int MaxNameChars = 32;
constexpr int MaxPasswordChars = 64;
constexpr int MaxProfileChars = 64;
constexpr std::int64_t MaxRechargeCents = 1000000LL * 100; // one million yuan per request

QString requireFilled(const CommandContext& ctx, const char* name, const QString& what, int maxChars) {
    const QString value = ctx.trimmed(name);
    if (value.isEmpty()) throw ERefusal(QStringLiteral("%1不能为空").arg(what));
    if (value.size() > maxChars) throw ERefusal(QStringLiteral("%1不能超过%2个字符").arg(what).arg(maxChars));
    return value;
}

QString timeOrZero(const Statement& stmt, int column) { return stmt.isNull(column) ? ZeroTimeText : stmt.text(column); }

} // namespace

int InsertUser(DbConnection& db, const NewUser& user, const QDateTime& now) {
    const QString taken = QStringLiteral("用户名已存在");
    {
        // Spares the password hashing for a name that is plainly taken; the unique name decides.
        Statement exists = db.prepare("SELECT 1 FROM users WHERE username = ?");
        exists.bind(1, user.username);
        if (exists.step()) throw ERefusal(taken);
    }
    const PasswordRecord password = user.passwordRecord ? *user.passwordRecord : HashNewPassword(user.password);
    Statement stmt = db.prepare(
        "INSERT INTO users(username, passsalt, passhash, qq, shopkeeperusername, taobaoxiaohao, inviteuserid, "
        "registertime) VALUES (?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING RETURNING id");
    stmt.bind(1, user.username).bind(2, password.salt).bind(3, password.hash).bind(4, user.qq);
    stmt.bind(5, user.shopkeeperusername).bind(6, user.taobaoxiaohao).bind(7, user.inviteuserid);
    stmt.bind(8, DbTime(now));
    if (!stmt.step()) throw ERefusal(taken);
    return stmt.integer(0);
}

json CmdRegister(CommandContext& ctx) {
    NewUser user;
    user.username = requireFilled(ctx, "username", QStringLiteral("登录用户名"), MaxNameChars);
    user.password = requireFilled(ctx, "userpass", QStringLiteral("登录密码"), MaxPasswordChars);
    user.qq = requireFilled(ctx, "qq", QStringLiteral("联系QQ"), MaxProfileChars);
    user.shopkeeperusername = requireFilled(ctx, "shopkeeperusername", QStringLiteral("淘宝掌柜名"), MaxProfileChars);
    user.taobaoxiaohao = requireFilled(ctx, "taobaoxiaohao", QStringLiteral("淘宝小号"), MaxProfileChars);
    // The inviter comes from a browser cookie the user cannot see or correct: an id that names no
    // user signs up without an inviter instead of blocking the sign-up.
    bool ok = false;
    const int inviter = ctx.trimmed("inviteuserid").toInt(&ok, 10);
    if (ok && inviter > 0) {
        Statement stmt = ctx.db.prepare("SELECT 1 FROM users WHERE id = ?");
        stmt.bind(1, inviter);
        if (stmt.step()) user.inviteuserid = inviter;
    }
    InsertUser(ctx.db, user, ctx.now);
    return Done(QStringLiteral("注册成功"));
}

json CmdLogin(CommandContext& ctx) {
    Statement stmt = ctx.db.prepare(
        "SELECT id, username, registertime, qq, shopkeeperusername, taobaoxiaohao, balance, alipayusername, "
        "alipayaccount, inviteuserid, invitebalance, COALESCE(lastuptime, registertime), marks FROM users WHERE id = ?");
    stmt.bind(1, ctx.userId);
    if (!stmt.step()) throw ERefusal(QStringLiteral("用户不存在"));
    json reply = Done(QStringLiteral("登录成功"));
    reply["id"] = stmt.integer(0);
    reply["username"] = S(stmt.text(1));
    reply["userpass"] = S(ctx.password);
    reply["regstertime"] = S(stmt.text(2));
    reply["qq"] = S(stmt.text(3));
    reply["shopkeeperusername"] = S(stmt.text(4));
    reply["taobaoxiaohao"] = S(stmt.text(5));
    reply["accountbalance"] = S(CentsText(stmt.int64(6)));
    reply["alipayusername"] = S(stmt.text(7));
    reply["alipayaccount"] = S(stmt.text(8));
    reply["inviteuserid"] = stmt.integer(9);
    reply["inviteaccountbalance"] = S(CentsText(stmt.int64(10)));
    // The previous login's time; this login becomes the next one's.
    reply["lastuptime"] = S(stmt.text(11));
    reply["marks"] = S(stmt.text(12));
    Statement update = ctx.db.prepare("UPDATE users SET lastuptime = ? WHERE id = ?");
    update.bind(1, DbTime(ctx.now)).bind(2, ctx.userId).exec();
    return reply;
}

json CmdLogout(CommandContext&) { return Done(QStringLiteral("已退出")); }

json CmdModifyPassword(CommandContext& ctx) {
    const QString newpass = requireFilled(ctx, "newpass", QStringLiteral("新密码"), MaxPasswordChars);
    const PasswordRecord record = HashNewPassword(newpass);
    Statement stmt = ctx.db.prepare("UPDATE users SET passsalt = ?, passhash = ? WHERE id = ?");
    stmt.bind(1, record.salt).bind(2, record.hash).bind(3, ctx.userId).exec();
    return Done(QStringLiteral("密码已修改"));
}

json CmdSaveUserInfo(CommandContext& ctx) {
    if (ctx.trimmed("username") != ctx.username) throw ERefusal(QStringLiteral("只能修改自己的用户资料"));
    const QString qq = requireFilled(ctx, "qq", QStringLiteral("联系QQ"), MaxProfileChars);
    const QString shop = requireFilled(ctx, "shopkeeperusername", QStringLiteral("淘宝掌柜名"), MaxProfileChars);
    const QString xiaohao = requireFilled(ctx, "taobaoxiaohao", QStringLiteral("淘宝小号"), MaxProfileChars);
    Statement stmt = ctx.db.prepare("UPDATE users SET qq = ?, shopkeeperusername = ?, taobaoxiaohao = ? WHERE id = ?");
    stmt.bind(1, qq).bind(2, shop).bind(3, xiaohao).bind(4, ctx.userId).exec();
    return Done(QStringLiteral("用户资料已保存"));
}

json CmdBindAlipay(CommandContext& ctx) {
    const QString account = requireFilled(ctx, "alipayaccount", QStringLiteral("支付宝账户"), MaxProfileChars);
    const QString name = requireFilled(ctx, "alipayusername", QStringLiteral("支付宝姓名"), MaxProfileChars);
    Statement stmt = ctx.db.prepare("UPDATE users SET alipayaccount = ?, alipayusername = ? WHERE id = ?");
    stmt.bind(1, account).bind(2, name).bind(3, ctx.userId).exec();
    return Done(QStringLiteral("支付宝信息已绑定"));
}

json CmdGetBasicInfo(CommandContext& ctx) {
    Statement stmt = ctx.db.prepare(
        "SELECT "
        " (SELECT COUNT(*) FROM tasks WHERE status BETWEEN 1 AND 4 AND (publishuserid = ?1 OR handleuserid = ?1)),"
        " (SELECT COUNT(*) FROM tasks WHERE status = 0 AND publishuserid = ?1),"
        " (SELECT COUNT(*) FROM tasks WHERE status = 1 AND (publishuserid = ?1 OR handleuserid = ?1)),"
        " (SELECT COUNT(*) FROM tasks WHERE status = 2 AND (publishuserid = ?1 OR handleuserid = ?1)),"
        " (SELECT COUNT(*) FROM tasks WHERE status = 3 AND (publishuserid = ?1 OR handleuserid = ?1)),"
        " (SELECT COUNT(*) FROM optlog WHERE userid = ?1),"
        " (SELECT balance FROM users WHERE id = ?1)");
    stmt.bind(1, ctx.userId);
    stmt.step();
    json row = {{"currentopttaskcount", stmt.int64(0)},         {"waitforhandletaskcount", stmt.int64(1)},
                {"waitforpaytaskcount", stmt.int64(2)},         {"waitforfahuotaskcount", stmt.int64(3)},
                {"waitforreplytaskcount", stmt.int64(4)},       {"totaloptcount", stmt.int64(5)},
                {"accountbalance", S(CentsText(stmt.int64(6)))}};
    json reply = Done();
    reply["msgbody"] = json::array({row});
    return reply;
}

// --- wallet ----------------------------------------------------------------------------------------

json CmdRechargeRequest(CommandContext& ctx) {
    const auto amount = ParseYuan(ctx.text("rechargeamount"));
    if (!amount) throw ERefusal(QStringLiteral("充值金额格式不正确"));
    if (*amount <= 0) throw ERefusal(QStringLiteral("充值金额必须大于0"));
    if (*amount > MaxRechargeCents) throw ERefusal(QStringLiteral("单次充值金额不能超过1000000元"));
    const QString tradetype = requireFilled(ctx, "tradetype", QStringLiteral("充值方式"), MaxProfileChars);
    const QString tradeid = requireFilled(ctx, "tradeid", QStringLiteral("充值交易单号"), MaxProfileChars);
    // One payment proves one recharge: the database holds at most one pending or approved request
    // per trade number (a unique index), so two requests racing with one number cannot both go in.
    Statement stmt =
        ctx.db.prepare("INSERT INTO recharges(userid, money, tradetype, tradeid, addtime) VALUES (?, ?, ?, ?, ?) "
                       "ON CONFLICT DO NOTHING RETURNING id");
    stmt.bind(1, ctx.userId).bind(2, *amount).bind(3, tradetype).bind(4, tradeid).bind(5, DbTime(ctx.now));
    if (!stmt.step()) throw ERefusal(QStringLiteral("该交易单号已提交过充值申请"));
    return Done(QStringLiteral("充值申请已提交"));
}

json CmdWithdrawRequest(CommandContext& ctx) {
    const auto amount = ParseYuan(ctx.text("tixianamount"));
    if (!amount) throw ERefusal(QStringLiteral("提现金额格式不正确"));
    if (*amount <= 0) throw ERefusal(QStringLiteral("提现金额必须大于0"));
    {
        Statement user = ctx.db.prepare("SELECT alipayaccount FROM users WHERE id = ?");
        user.bind(1, ctx.userId);
        if (!user.step()) throw ERefusal(QStringLiteral("用户不存在"));
        if (user.text(0).isEmpty()) throw ERefusal(QStringLiteral("尚未绑定支付宝账户"));
    }
    // The amount is reserved now: it leaves the commission balance at once and returns there if the
    // request is rejected.
    MoveMoney(ctx, ctx.userId, Balance::Commission, -*amount, QString(), QStringLiteral("提现申请，冻结推广提成"),
              QStringLiteral("可提现推广提成不足"));
    Statement stmt = ctx.db.prepare("INSERT INTO withdrawals(userid, money, addtime) VALUES (?, ?, ?)");
    stmt.bind(1, ctx.userId).bind(2, *amount).bind(3, DbTime(ctx.now)).exec();
    return Done(QStringLiteral("提现申请已提交"));
}

// Marks a pending request reviewed; refuses one that is unknown or was reviewed already (also by a
// review running at the same moment: the UPDATE is guarded by the pending status).
static void markReviewed(CommandContext& ctx, const char* table, std::int64_t requestId, bool approve,
                         const QString& unknown, const QString& done) {
    const std::string name(table);
    Statement request = ctx.db.prepare("SELECT status FROM " + name + " WHERE id = ?");
    request.bind(1, requestId);
    if (!request.step()) throw ERefusal(unknown);
    Statement update = ctx.db.prepare("UPDATE " + name + " SET status = ?, handletime = ? WHERE id = ? AND status = 0");
    update.bind(1, approve ? 1 : 2).bind(2, DbTime(ctx.now)).bind(3, requestId).exec();
    if (ctx.db.changes() != 1) throw ERefusal(done);
}

void ReviewRecharge(CommandContext& ctx, std::int64_t requestId, bool approve) {
    markReviewed(ctx, "recharges", requestId, approve, QStringLiteral("充值申请不存在"),
                 QStringLiteral("该充值申请已经处理过"));
    if (!approve) return;
    Statement request =
        ctx.db.prepare("SELECT r.userid, r.money, u.username, i.id FROM recharges r JOIN users u ON u.id = r.userid "
                       "LEFT JOIN users i ON i.id = u.inviteuserid WHERE r.id = ?");
    request.bind(1, requestId);
    request.step();
    const int userId = request.integer(0);
    const std::int64_t money = request.int64(1);
    const QString username = request.text(2);
    const int inviter = request.isNull(3) ? 0 : request.integer(3);
    MoveMoney(ctx, userId, Balance::Available, money, QString(), QStringLiteral("充值成功"));
    const std::int64_t commission = InviteCommission(money);
    if (inviter > 0 && commission > 0)
        MoveMoney(ctx, inviter, Balance::Commission, commission, QString(),
                  QStringLiteral("推广提成：下线%1充值").arg(username));
}

void ReviewWithdraw(CommandContext& ctx, std::int64_t requestId, bool approve) {
    markReviewed(ctx, "withdrawals", requestId, approve, QStringLiteral("提现申请不存在"),
                 QStringLiteral("该提现申请已经处理过"));
    if (approve) return; // the reserved commission has been paid out
    Statement request = ctx.db.prepare("SELECT userid, money FROM withdrawals WHERE id = ?");
    request.bind(1, requestId);
    request.step();
    MoveMoney(ctx, request.integer(0), Balance::Commission, request.int64(1), QString(),
              QStringLiteral("提现失败，推广提成返还"));
}

// One page of a list that belongs to the requesting user: the whole list's size and this page's rows.
// Both statements take the user's id as their first parameter; the page statement then takes the page
// size and the offset.
static json UserListPage(CommandContext& ctx, const char* countSql, const char* pageSql,
                         const std::function<json(const Statement&)>& row) {
    const std::int64_t offset = ctx.pageOffset();
    Statement count = ctx.db.prepare(countSql);
    count.bind(1, ctx.userId).step();
    json rows = json::array();
    Statement stmt = ctx.db.prepare(pageSql);
    stmt.bind(1, ctx.userId).bind(2, PageSize).bind(3, offset);
    while (stmt.step()) rows.push_back(row(stmt));
    return ListReply(count.int64(0), std::move(rows));
}

json CmdGetRechargeList(CommandContext& ctx) {
    return UserListPage(
        ctx, "SELECT COUNT(*) FROM recharges WHERE userid = ?",
        "SELECT id, money, tradetype, tradeid, addtime, status, handletime FROM recharges WHERE userid = ? "
        "ORDER BY id DESC LIMIT ? OFFSET ?",
        [](const Statement& stmt) -> json {
            return {{"id", stmt.int64(0)},
                    {"money", S(CentsText(stmt.int64(1)))},
                    {"tradetype", S(stmt.text(2))},
                    {"tradeid", S(stmt.text(3))},
                    {"addtime", S(stmt.text(4))},
                    {"status", stmt.integer(5)},
                    {"handletime", S(timeOrZero(stmt, 6))}};
        });
}

json CmdGetWithdrawList(CommandContext& ctx) {
    return UserListPage(ctx, "SELECT COUNT(*) FROM withdrawals WHERE userid = ?",
                        "SELECT id, money, addtime, status, handletime FROM withdrawals WHERE userid = ? "
                        "ORDER BY id DESC LIMIT ? OFFSET ?",
                        [](const Statement& stmt) -> json {
                            return {{"id", stmt.int64(0)},
                                    {"money", S(CentsText(stmt.int64(1)))},
                                    {"addtime", S(stmt.text(2))},
                                    {"status", stmt.integer(3)},
                                    {"handletime", S(timeOrZero(stmt, 4))}};
                        });
}

// --- logs and downline -----------------------------------------------------------------------------

json CmdGetTradeLogList(CommandContext& ctx) {
    return UserListPage(
        ctx, "SELECT COUNT(*) FROM tradelog WHERE userid = ?",
        "SELECT id, userid, taskid, msg, moneytype, inmoney, outmoney, currentmoney, addtime FROM tradelog "
        "WHERE userid = ? ORDER BY id DESC LIMIT ? OFFSET ?",
        [](const Statement& stmt) -> json {
            return {{"id", stmt.int64(0)},
                    {"userid", std::to_string(stmt.int64(1))},
                    {"taskid", S(stmt.text(2))},
                    {"msg", S(stmt.text(3))},
                    {"moneytype", stmt.integer(4)},
                    {"inmoney", S(CentsText(stmt.int64(5)))},
                    {"outmoney", S(CentsText(stmt.int64(6)))},
                    {"currentmoney", S(CentsText(stmt.int64(7)))},
                    {"addtime", S(stmt.text(8))}};
        });
}

json CmdGetOptLogList(CommandContext& ctx) {
    return UserListPage(ctx, "SELECT COUNT(*) FROM optlog WHERE userid = ?",
                        "SELECT id, userid, taskid, opttype, action, marks, addtime FROM optlog WHERE userid = ? "
                        "ORDER BY id DESC LIMIT ? OFFSET ?",
                        [](const Statement& stmt) -> json {
                            return {{"id", stmt.int64(0)},       {"userid", std::to_string(stmt.int64(1))},
                                    {"taskid", S(stmt.text(2))}, {"opttype", stmt.integer(3)},
                                    {"action", S(stmt.text(4))}, {"marks", S(stmt.text(5))},
                                    {"addtime", S(stmt.text(6))}};
                        });
}

json CmdGetSubUserList(CommandContext& ctx) {
    if (ctx.integer("userid") != ctx.userId) throw ERefusal(QStringLiteral("只能查看自己的下线用户"));
    return UserListPage(
        ctx, "SELECT COUNT(*) FROM users WHERE inviteuserid = ?",
        "SELECT id, username, registertime FROM users WHERE inviteuserid = ? ORDER BY id DESC LIMIT ? OFFSET "
        "?",
        [](const Statement& stmt) -> json {
            return {{"id", stmt.int64(0)}, {"username", S(stmt.text(1))}, {"registertime", S(stmt.text(2))}};
        });
}
