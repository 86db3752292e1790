#include "tests/support/LedgerCheck.h"

#include "server/ServerDb.h"
#include "server/ServiceInternals.h"

namespace {

struct Check {
    const char* sql;
    bool takesCommissions; // ?1: the commissions earned, counted by the server's own rule
};

// The SQL texts are laid out by hand; each query yields one text row per violation and runs on both
// engines.
// clang-format off
const Check Checks[] = {
    // 1. the trade log explains both balances of every user
    {"SELECT 'user ' || username || ': balance ' || balance || ' <> its trade-log credits - debits ' || logged"
     " FROM (SELECT u.username, u.balance, (SELECT COALESCE(SUM(l.inmoney - l.outmoney), 0) FROM tradelog l"
     " WHERE l.userid = u.id AND l.account = 0) AS logged FROM users u) s WHERE balance <> logged", false},
    {"SELECT 'user ' || username || ': commission balance ' || invitebalance || ' <> its trade-log credits - debits '"
     " || logged FROM (SELECT u.username, u.invitebalance, (SELECT COALESCE(SUM(l.inmoney - l.outmoney), 0)"
     " FROM tradelog l WHERE l.userid = u.id AND l.account = 1) AS logged FROM users u) s WHERE invitebalance <> logged",
     false},

    // 2. each entry states the balance it moved, as it stood after the move
    {"SELECT 'trade-log entry ' || id || ' of user ' || userid || ' (balance ' || account || ') states '"
     " || currentmoney || ', the balance after it was ' || after FROM (SELECT l.id, l.userid, l.account,"
     " l.currentmoney, (SELECT SUM(m.inmoney - m.outmoney) FROM tradelog m WHERE m.userid = l.userid"
     " AND m.account = l.account AND m.id <= l.id) AS after FROM tradelog l) s WHERE currentmoney <> after", false},

    // 3a. every live or completed task: one freeze, and one payout exactly when completed
    {"SELECT 'task ' || COALESCE(taskid, '(no id)') || ' (status ' || status || '): ' || debits || ' debits, '"
     " || freezes || ' freezes by its publisher, ' || credits || ' credits, ' || payouts || ' payouts to its handler'"
     " FROM (SELECT t.taskid, t.status,"
     " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.outmoney <> 0) AS debits,"
     " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.userid = t.publishuserid"
     "   AND l.outmoney = t.taskmoney AND l.inmoney = 0) AS freezes,"
     " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.inmoney <> 0) AS credits,"
     " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.userid = t.handleuserid"
     "   AND l.inmoney = t.taskmoney AND l.outmoney = 0) AS payouts FROM tasks t) s"
     " WHERE taskid IS NULL OR debits <> 1 OR freezes <> 1"
     " OR credits <> CASE WHEN status = 5 THEN 1 ELSE 0 END OR payouts <> CASE WHEN status = 5 THEN 1 ELSE 0 END",
     false},

    // 3b. a deleted task: its freeze and one refund of the same amount to the same user
    {"SELECT 'deleted task ' || taskid || ': ' || n || ' entries of ' || users || ' users, ' || ins || ' credits of '"
     " || credited || ', ' || outs || ' debits of ' || debited FROM (SELECT taskid, COUNT(*) AS n,"
     " COUNT(DISTINCT userid) AS users, SUM(CASE WHEN inmoney <> 0 THEN 1 ELSE 0 END) AS ins, SUM(inmoney) AS credited,"
     " SUM(CASE WHEN outmoney <> 0 THEN 1 ELSE 0 END) AS outs, SUM(outmoney) AS debited"
     " FROM tradelog WHERE taskid <> '' AND taskid NOT IN (SELECT taskid FROM tasks WHERE taskid IS NOT NULL)"
     " GROUP BY taskid) s WHERE n <> 2 OR users <> 1 OR ins <> 1 OR outs <> 1 OR credited <> debited", false},

    // 4. the entries that name no task: withdrawal reserves out; recharges, commissions, refunds in
    {"SELECT 'debits naming no task ' || logged || ' <> withdrawals requested ' || requested FROM ("
     " SELECT (SELECT COALESCE(SUM(outmoney), 0) FROM tradelog WHERE taskid = '') AS logged,"
     " (SELECT COALESCE(SUM(money), 0) FROM withdrawals) AS requested) s WHERE logged <> requested", false},
    {"SELECT 'credits naming no task ' || logged || ' <> recharged ' || recharged || ' + commissions ' || ?1"
     " || ' + rejected withdrawals ' || returned FROM ("
     " SELECT (SELECT COALESCE(SUM(inmoney), 0) FROM tradelog WHERE taskid = '') AS logged,"
     " (SELECT COALESCE(SUM(money), 0) FROM recharges WHERE status = 1) AS recharged,"
     " (SELECT COALESCE(SUM(money), 0) FROM withdrawals WHERE status = 2) AS returned) s"
     " WHERE logged <> recharged + ?1 + returned", true},

    // 5. conservation of the whole system's money
    {"SELECT 'held ' || (bal + inv + frozen + pending) || ' (balances ' || bal || ', commission balances ' || inv"
     " || ', frozen in tasks ' || frozen || ', pending withdrawals ' || pending || ') <> recharged ' || recharged"
     " || ' + commissions ' || ?1 || ' - withdrawn ' || withdrawn FROM (SELECT"
     " (SELECT COALESCE(SUM(balance), 0) FROM users) AS bal,"
     " (SELECT COALESCE(SUM(invitebalance), 0) FROM users) AS inv,"
     " (SELECT COALESCE(SUM(taskmoney), 0) FROM tasks WHERE status < 5) AS frozen,"
     " (SELECT COALESCE(SUM(money), 0) FROM withdrawals WHERE status = 0) AS pending,"
     " (SELECT COALESCE(SUM(money), 0) FROM recharges WHERE status = 1) AS recharged,"
     " (SELECT COALESCE(SUM(money), 0) FROM withdrawals WHERE status = 1) AS withdrawn) s"
     " WHERE bal + inv + frozen + pending <> recharged + ?1 - withdrawn", true},

    // 6. states
    {"SELECT 'task ' || COALESCE(taskid, '(no id)') || ': status ' || status || ', publisher ' || publishuserid"
     " || ', handler ' || handleuserid FROM tasks WHERE status NOT BETWEEN 0 AND 5 OR (status = 0 AND handleuserid <> 0)"
     " OR (status > 0 AND (handleuserid = publishuserid OR handleuserid NOT IN (SELECT id FROM users)))", false},
    {"SELECT 'recharge ' || id || ': status ' || status FROM recharges WHERE status NOT BETWEEN 0 AND 2"
     " UNION ALL SELECT 'withdrawal ' || id || ': status ' || status FROM withdrawals"
     " WHERE status NOT BETWEEN 0 AND 2", false},
};
// clang-format on

// Commissions earned: one per approved recharge of a user whose inviter exists, by the server's rule.
std::int64_t commissionsEarned(DbConnection& db) {
    Statement stmt = db.prepare("SELECT r.money FROM recharges r JOIN users u ON u.id = r.userid "
                                "JOIN users i ON i.id = u.inviteuserid WHERE r.status = 1");
    std::int64_t earned = 0;
    while (stmt.step()) earned += InviteCommission(stmt.int64(0));
    return earned;
}

} // namespace

QStringList CheckLedger(const QString& database) {
    QStringList violations;
    try {
        ServerDb pool(database, ServerDb::Open::Existing);
        ConnectionLease lease = pool.acquire();
        DbConnection& db = *lease;
        if (db.engine() == DbEngine::Sqlite) {
            Statement stmt =
                db.prepare("SELECT integrity_check FROM pragma_integrity_check WHERE integrity_check <> 'ok'");
            while (stmt.step()) violations << QStringLiteral("database file: ") + stmt.text(0);
        }
        // One snapshot for every check.
        Transaction snapshot(db, false);
        const std::int64_t earned = commissionsEarned(db);
        for (const Check& check : Checks) {
            try {
                Statement stmt = db.prepare(check.sql);
                if (check.takesCommissions) stmt.bind(1, earned);
                while (stmt.step()) violations << stmt.text(0);
            } catch (const EDbError& error) {
                violations << QStringLiteral("check failed: %1").arg(QString::fromUtf8(error.what()));
                if (db.engine() == DbEngine::Postgres) break; // the transaction is over
            }
        }
    } catch (const std::exception& error) {
        violations << QStringLiteral("cannot read %1: %2").arg(database, QString::fromUtf8(error.what()));
    }
    return violations;
}
