#include "tests/support/LedgerCheck.h"

#include "server/uServiceInternals.h"

#include <sqlite3.h>

namespace {

// The commission rule of the server itself, made callable from SQL as commission(money).
void commissionFunction(sqlite3_context* context, int, sqlite3_value** args) {
    sqlite3_result_int64(context, InviteCommission(sqlite3_value_int64(args[0])));
}

// The SQL texts are laid out by hand.
// clang-format off
// Commissions earned: one per approved recharge of a user whose inviter exists.
#define QV_COMMISSIONS                                                                                   \
    "(SELECT COALESCE(SUM(commission(r.money)), 0) FROM recharges r JOIN users u ON u.id = r.userid "   \
    "JOIN users i ON i.id = u.inviteuserid WHERE r.status = 1)"

// Each query yields one text row per violation.
const char* const Checks[] = {
    // 0. the file itself is sound
    "SELECT 'database file: ' || integrity_check FROM pragma_integrity_check WHERE integrity_check <> 'ok'",

    // 1. the trade log explains every user's money
    "SELECT printf('user %s: balance %d + commission balance %d <> trade-log credits - debits %d',"
    " username, balance, invitebalance, logged) FROM (SELECT u.username, u.balance, u.invitebalance,"
    " (SELECT COALESCE(SUM(l.inmoney) - SUM(l.outmoney), 0) FROM tradelog l WHERE l.userid = u.id) AS logged"
    " FROM users u) WHERE balance + invitebalance <> logged",

    // 2. the newest entry states the balance
    "SELECT printf('user %s: balance %d, newest trade-log entry states %d', username, balance, stated)"
    " FROM (SELECT u.username, u.balance, COALESCE((SELECT l.currentmoney FROM tradelog l WHERE l.userid = u.id"
    " ORDER BY l.id DESC LIMIT 1), 0) AS stated FROM users u) WHERE balance <> stated",

    // 3a. every live or completed task: one freeze, and one payout exactly when completed
    "SELECT printf('task %s (status %d): %d debits, %d freezes by its publisher, %d credits, %d payouts to its"
    " handler', taskid, status, debits, freezes, credits, payouts) FROM (SELECT t.taskid, t.status,"
    " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.outmoney <> 0) AS debits,"
    " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.userid = t.publishuserid"
    "   AND l.outmoney = t.taskmoney AND l.inmoney = 0) AS freezes,"
    " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.inmoney <> 0) AS credits,"
    " (SELECT COUNT(*) FROM tradelog l WHERE l.taskid = t.taskid AND l.userid = t.handleuserid"
    "   AND l.inmoney = t.taskmoney AND l.outmoney = 0) AS payouts FROM tasks t)"
    " WHERE taskid IS NULL OR debits <> 1 OR freezes <> 1 OR credits <> (status = 5) OR payouts <> (status = 5)",

    // 3b. a deleted task: its freeze and one refund of the same amount to the same user
    "SELECT printf('deleted task %s: %d entries of %d users, %d credits of %d, %d debits of %d', taskid, n, users,"
    " ins, credited, outs, debited) FROM (SELECT taskid, COUNT(*) AS n, COUNT(DISTINCT userid) AS users,"
    " SUM(inmoney <> 0) AS ins, SUM(inmoney) AS credited, SUM(outmoney <> 0) AS outs, SUM(outmoney) AS debited"
    " FROM tradelog WHERE taskid <> '' AND taskid NOT IN (SELECT taskid FROM tasks WHERE taskid IS NOT NULL)"
    " GROUP BY taskid) WHERE n <> 2 OR users <> 1 OR ins <> 1 OR outs <> 1 OR credited <> debited",

    // 4. the entries that name no task: withdrawal reserves out; recharges, commissions, refunds in
    "SELECT printf('debits naming no task %d <> withdrawals requested %d', logged, requested) FROM ("
    " SELECT (SELECT COALESCE(SUM(outmoney), 0) FROM tradelog WHERE taskid = '') AS logged,"
    " (SELECT COALESCE(SUM(money), 0) FROM withdrawals) AS requested) WHERE logged <> requested",
    "SELECT printf('credits naming no task %d <> recharged %d + commissions %d + rejected withdrawals %d',"
    " logged, recharged, earned, returned) FROM ("
    " SELECT (SELECT COALESCE(SUM(inmoney), 0) FROM tradelog WHERE taskid = '') AS logged,"
    " (SELECT COALESCE(SUM(money), 0) FROM recharges WHERE status = 1) AS recharged, " QV_COMMISSIONS " AS earned,"
    " (SELECT COALESCE(SUM(money), 0) FROM withdrawals WHERE status = 2) AS returned)"
    " WHERE logged <> recharged + earned + returned",

    // 5. conservation of the whole system's money
    "SELECT printf('held %d (balances %d, commission balances %d, frozen in tasks %d, pending withdrawals %d)"
    " <> recharged %d + commissions %d - withdrawn %d', bal + inv + frozen + pending, bal, inv, frozen, pending,"
    " recharged, earned, withdrawn) FROM (SELECT"
    " (SELECT COALESCE(SUM(balance), 0) FROM users) AS bal,"
    " (SELECT COALESCE(SUM(invitebalance), 0) FROM users) AS inv,"
    " (SELECT COALESCE(SUM(taskmoney), 0) FROM tasks WHERE status < 5) AS frozen,"
    " (SELECT COALESCE(SUM(money), 0) FROM withdrawals WHERE status = 0) AS pending,"
    " (SELECT COALESCE(SUM(money), 0) FROM recharges WHERE status = 1) AS recharged, " QV_COMMISSIONS " AS earned,"
    " (SELECT COALESCE(SUM(money), 0) FROM withdrawals WHERE status = 1) AS withdrawn)"
    " WHERE bal + inv + frozen + pending <> recharged + earned - withdrawn",

    // 6. states
    "SELECT printf('task %s: status %d, publisher %d, handler %d', taskid, status, publishuserid, handleuserid)"
    " FROM tasks WHERE status NOT BETWEEN 0 AND 5 OR (status = 0 AND handleuserid <> 0) OR (status > 0 AND"
    " (handleuserid = publishuserid OR handleuserid NOT IN (SELECT id FROM users)))",
    "SELECT printf('recharge %d: status %d', id, status) FROM recharges WHERE status NOT BETWEEN 0 AND 2"
    " UNION ALL SELECT printf('withdrawal %d: status %d', id, status) FROM withdrawals"
    " WHERE status NOT BETWEEN 0 AND 2",
};

#undef QV_COMMISSIONS
// clang-format on

} // namespace

QStringList CheckLedger(const QString& databasePath) {
    QStringList violations;
    sqlite3* db = nullptr;
    const QByteArray file = databasePath.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        violations
            << QStringLiteral("cannot open %1: %2").arg(databasePath, QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_close(db);
        return violations;
    }
    sqlite3_busy_timeout(db, 10000);
    sqlite3_create_function(db, "commission", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            commissionFunction, nullptr, nullptr);
    auto failed = [&](const char* what) {
        violations << QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                   QString::fromUtf8(sqlite3_errmsg(db)));
    };
    // One snapshot for every check.
    if (sqlite3_exec(db, "BEGIN; SELECT COUNT(*) FROM users", nullptr, nullptr, nullptr) != SQLITE_OK) {
        failed("cannot read");
        sqlite3_close(db);
        return violations;
    }
    for (const char* sql : Checks) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            failed("check does not compile");
            continue;
        }
        int rc = SQLITE_ROW;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            violations << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        if (rc != SQLITE_DONE) failed("check failed");
        sqlite3_finalize(stmt);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return violations;
}
