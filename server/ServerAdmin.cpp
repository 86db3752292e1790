#include "server/ServerAdmin.h"

#include "server/ServerDb.h"
#include "server/ServiceInternals.h"

namespace {

const char* const Usage = "usage: quorvane-server admin --db PATH|URI ACTION\n"
                          "  review-recharge ID approve|reject   review a pending recharge request\n"
                          "  review-withdraw ID approve|reject   review a pending withdrawal request\n"
                          "  advance-clock MINUTES               move the server's clock (negative moves it back)\n"
                          "  list-requests                       list every recharge and withdrawal request\n";

void listRequests(DbConnection& db, std::ostream& out) {
    static const char* const names[] = {"pending", "approved", "rejected"};
    auto statusName = [](int status) { return status >= 0 && status <= 2 ? names[status] : "unknown"; };
    {
        Statement stmt =
            db.prepare("SELECT r.id, u.username, r.money, r.tradetype, r.tradeid, r.addtime, r.status FROM recharges r "
                       "JOIN users u ON u.id = r.userid ORDER BY r.id");
        while (stmt.step())
            out << "recharge " << stmt.int64(0) << ' ' << statusName(stmt.integer(6)) << " user=" << S(stmt.text(1))
                << " money=" << S(CentsText(stmt.int64(2))) << " type=" << S(stmt.text(3))
                << " tradeid=" << S(stmt.text(4)) << " at=" << S(stmt.text(5)) << '\n';
    }
    Statement stmt = db.prepare(
        "SELECT w.id, u.username, w.money, w.addtime, w.status, u.alipayaccount, u.alipayusername FROM withdrawals w "
        "JOIN users u ON u.id = w.userid ORDER BY w.id");
    while (stmt.step())
        out << "withdraw " << stmt.int64(0) << ' ' << statusName(stmt.integer(4)) << " user=" << S(stmt.text(1))
            << " money=" << S(CentsText(stmt.int64(2))) << " alipay=" << S(stmt.text(5)) << '/' << S(stmt.text(6))
            << " at=" << S(stmt.text(3)) << '\n';
}

} // namespace

int RunAdmin(const QStringList& argsIn, std::ostream& out, std::ostream& err) {
    QStringList args = argsIn;
    QString dbPath;
    const qsizetype dbAt = args.indexOf(QStringLiteral("--db"));
    if (dbAt >= 0 && dbAt + 1 < args.size()) {
        dbPath = args.at(dbAt + 1);
        args.remove(dbAt, 2);
    }
    if (dbPath.isEmpty() || args.isEmpty()) {
        err << Usage;
        return 2;
    }
    try {
        ServerDb pool(dbPath);
        ConnectionLease lease = pool.acquire();
        DbConnection& db = *lease;
        const QString& action = args.at(0);
        if (action == QLatin1String("list-requests") && args.size() == 1) {
            Transaction transaction(db, false);
            listRequests(db, out);
            return 0;
        }
        if (action == QLatin1String("advance-clock") && args.size() == 2) {
            bool ok = false;
            const qint64 minutes = args.at(1).toLongLong(&ok);
            if (!ok) {
                err << "MINUTES must be a whole number\n";
                return 2;
            }
            Transaction transaction(db, true);
            Statement stmt = db.prepare(
                "UPDATE settings SET value = CAST(CAST(value AS INTEGER) + ? AS TEXT) WHERE key = 'clockoffsetminutes'");
            stmt.bind(1, std::int64_t(minutes)).exec();
            transaction.commit();
            out << "server clock now " << S(DbTime(db.now())) << '\n';
            return 0;
        }
        if ((action == QLatin1String("review-recharge") || action == QLatin1String("review-withdraw")) &&
            args.size() == 3) {
            bool ok = false;
            const qint64 id = args.at(1).toLongLong(&ok);
            const QString& verdict = args.at(2);
            if (!ok || (verdict != QLatin1String("approve") && verdict != QLatin1String("reject"))) {
                err << Usage;
                return 2;
            }
            Transaction transaction(db, true);
            const QStringList none;
            CommandContext ctx{db, 0, QString(), QString(), none, db.now()};
            if (action == QLatin1String("review-recharge"))
                ReviewRecharge(ctx, std::int64_t(id), verdict == QLatin1String("approve"));
            else
                ReviewWithdraw(ctx, std::int64_t(id), verdict == QLatin1String("approve"));
            transaction.commit();
            out << S(action) << ' ' << id << (verdict == QLatin1String("approve") ? " approved\n" : " rejected\n");
            return 0;
        }
        err << Usage;
        return 2;
    } catch (const ERefusal& refused) {
        err << S(refused.reason()) << '\n';
        return 1;
    } catch (const std::exception& error) {
        err << error.what() << '\n';
        return 1;
    }
}
