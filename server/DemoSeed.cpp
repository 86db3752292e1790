#include "server/DemoSeed.h"

#include "remote/uCommandCatalogue.h"
#include "server/ServiceInternals.h"

namespace {

struct SeedUser {
    int id;
    QString name;
};

// Runs one command as `user` at the moment `when`, exactly as a request would.
void run(DbConnection& db, json (*command)(CommandContext&), const SeedUser& user, TCommand code,
         const std::vector<CommandValue>& values, const QDateTime& when) {
    const QStringList data = BuildDataList(code, values);
    CommandContext ctx{db, user.id, user.name, QStringLiteral("demo123"), data, when};
    command(ctx);
}

std::int64_t newestId(DbConnection& db, const char* sql) {
    Statement stmt = db.prepare(sql);
    stmt.step();
    return stmt.int64(0);
}

QString lastTaskId(DbConnection& db) {
    Statement stmt = db.prepare("SELECT taskid FROM tasks ORDER BY id DESC LIMIT 1");
    stmt.step();
    return stmt.text(0);
}

// Publishes a task as `publisher` and walks it with `handler` up to `target` (0..5). `start` is when
// it was published; each later step happens a minute after the previous one, shipping at `shipAt`.
void seedTask(DbConnection& db, const SeedUser& publisher, const SeedUser& handler, const QString& keyword,
              double money, int interval, int target, const QDateTime& start, const QDateTime& shipAt) {
    run(db, CmdPublishTask, publisher, cmPublishTask,
        {publisher.id, QStringLiteral("%1_xiaohao").arg(publisher.name), QStringLiteral("%1的小店").arg(publisher.name),
         QString::number(money, 'f', 2), keyword, QStringLiteral("宝贝很好，物流很快，五星好评！"),
         QStringLiteral("请货比三家后再下单，浏览宝贝详情页2分钟以上"), interval},
        start);
    const QString taskid = lastTaskId(db);
    if (target >= 1) run(db, CmdHandleTask, handler, cmHandleTask, {taskid, handler.id}, start.addSecs(60));
    if (target >= 2) run(db, CmdConfirmHasPay, handler, cmConfirmHasPay, {taskid, 1}, start.addSecs(120));
    if (target >= 3) run(db, CmdSetDelivered, publisher, cmSetDelivered, {taskid, 2}, shipAt);
    // The review time of the demo's finished tasks lies in the past: interval 0 waits 2 hours.
    if (target >= 4)
        run(db, CmdConfirmShouhuoAndReply, handler, cmConfirmShouhuoAndReply, {taskid, 3}, shipAt.addSecs(3 * 3600));
    if (target >= 5)
        run(db, CmdConfirmReplyAndComplete, publisher, cmConfirmReplyAndComplete, {taskid, 4},
            shipAt.addSecs(4 * 3600));
}

} // namespace

QString SeedDemo(ServerDb& pool) {
    ConnectionLease lease = pool.acquire();
    DbConnection& db = *lease;
    Transaction transaction(db, true);
    {
        Statement exists = db.prepare("SELECT 1 FROM users WHERE username = 'demo1'");
        if (exists.step()) return QStringLiteral("demo data already present; nothing changed");
    }
    const QDateTime now = db.now();
    const QDateTime dayAgo = now.addDays(-3);

    NewUser u;
    u.password = QStringLiteral("demo123");
    // One hash for the three accounts: each costs the full key stretching.
    u.passwordRecord = HashNewPassword(u.password);
    u.username = QStringLiteral("demo1");
    u.qq = QStringLiteral("10001");
    u.shopkeeperusername = QStringLiteral("demo1的小店");
    u.taobaoxiaohao = QStringLiteral("demo1_xiaohao");
    const SeedUser demo1{InsertUser(db, u, dayAgo.addDays(-30)), u.username};
    u.username = QStringLiteral("demo2");
    u.qq = QStringLiteral("10002");
    u.shopkeeperusername = QStringLiteral("demo2的小店");
    u.taobaoxiaohao = QStringLiteral("demo2_xiaohao");
    const SeedUser demo2{InsertUser(db, u, dayAgo.addDays(-20)), u.username};
    u.username = QStringLiteral("demo3");
    u.qq = QStringLiteral("10003");
    u.shopkeeperusername = QStringLiteral("demo3的小店");
    u.taobaoxiaohao = QStringLiteral("demo3_xiaohao");
    u.inviteuserid = demo1.id;
    const SeedUser demo3{InsertUser(db, u, dayAgo.addDays(-10)), u.username};

    // Money comes in by reviewed recharges, so the trade logs tell the whole story.
    auto recharge = [&](const SeedUser& user, Money amount, const QString& tradeid, int review, const QDateTime& when) {
        run(db, CmdRechargeRequest, user, cmRechargeRequest, {amount, QStringLiteral("支付宝"), tradeid}, when);
        if (review == 0) return;
        const QStringList none;
        CommandContext ctx{db, 0, QString(), QString(), none, when.addSecs(600)};
        ReviewRecharge(ctx, newestId(db, "SELECT MAX(id) FROM recharges"), review == 1);
    };
    recharge(demo1, Money::fromFen(200000), QStringLiteral("2016030121001004550000000001"), 1, dayAgo.addDays(-1));
    recharge(demo2, Money::fromFen(100000), QStringLiteral("2016030121001004550000000002"), 1, dayAgo.addDays(-1));
    recharge(demo3, Money::fromFen(40000), QStringLiteral("2016030121001004550000000003"), 1,
             dayAgo.addDays(-1)); // demo1 earns 20.00
    recharge(demo2, Money::fromFen(3000), QStringLiteral("2016030121001004550000000004"), 2, dayAgo);
    recharge(demo1, Money::fromFen(5000), QStringLiteral("2016030121001004550000000005"), 0, now.addSecs(-3600));

    run(db, CmdBindAlipay, demo1, cmBindAlipay, {QStringLiteral("demo1@example.com"), QStringLiteral("张三")}, dayAgo);
    auto withdraw = [&](Money amount, int review, const QDateTime& when) {
        run(db, CmdWithdrawRequest, demo1, cmWithdrawRequest, {amount}, when);
        if (review == 0) return;
        const QStringList none;
        CommandContext ctx{db, 0, QString(), QString(), none, when.addSecs(600)};
        ReviewWithdraw(ctx, newestId(db, "SELECT MAX(id) FROM withdrawals"), review == 1);
    };
    withdraw(Money::fromFen(500), 1, dayAgo);
    withdraw(Money::fromFen(300), 2, dayAgo.addSecs(3600));
    withdraw(Money::fromFen(200), 0, now.addSecs(-1800));

    // Both roles for demo1 and demo2, every state; one state-1 task of each side is past its deadline.
    const QStringList goods = {QStringLiteral("夏季新款连衣裙"), QStringLiteral("纯棉T恤男"),
                               QStringLiteral("蓝牙耳机"),       QStringLiteral("保温杯"),
                               QStringLiteral("儿童积木"),       QStringLiteral("机械键盘")};
    const QDateTime& longAgo = dayAgo;
    for (int side = 0; side < 2; ++side) {
        const SeedUser& publisher = side == 0 ? demo1 : demo2;
        const SeedUser& handler = side == 0 ? demo2 : demo1;
        for (int state = 0; state <= 5; ++state) {
            const double money = 20.0 + 10.0 * state + side * 5.5;
            const int interval = state % 4;
            if (state == 3) {
                // Shipped ten minutes ago: the review time is still ahead.
                seedTask(db, publisher, handler, goods.at(state), money, interval, state, now.addSecs(-1800),
                         now.addSecs(-600));
            } else if (state == 1) {
                seedTask(db, publisher, handler, goods.at(state), money, interval, state, now.addSecs(-120), now);
                seedTask(db, publisher, handler, goods.at(state) + QStringLiteral("（超时）"), money, interval, state,
                         now.addSecs(-3600), now);
            } else if (state == 0) {
                seedTask(db, publisher, handler, goods.at(state), money, interval, state, now.addSecs(-300), now);
            } else {
                // Interval 0 (2 hours) so the review steps of states 4 and 5 could happen in the past.
                seedTask(db, publisher, handler, goods.at(state), money, 0, state, longAgo.addSecs(state * 600),
                         longAgo.addSecs(state * 600 + 300));
            }
        }
    }
    // A few open tasks by demo3 fill the hall's categories.
    for (int i = 0; i < 4; ++i)
        seedTask(db, demo3, demo1, goods.at(i + 2), 15.0 + i, i, 0, now.addSecs(-60 * (i + 1)), now);

    transaction.commit();
    return QStringLiteral("demo data seeded: demo1, demo2, demo3 (password demo123)");
}
