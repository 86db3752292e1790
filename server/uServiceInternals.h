#pragma once
// Shared between the command implementations of the platform server (not part of its interface).
#include "model/uCommonVarConst.h"
#include "server/uPasswordHash.h"
#include "server/uServerDb.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>

using json = nlohmann::json;

// Thrown by a command to refuse it; the transaction is rolled back and the reason is returned.
class ERefusal : public std::runtime_error {
public:
    explicit ERefusal(const QString& reason) : std::runtime_error(reason.toStdString()) {}
    QString reason() const { return QString::fromUtf8(what()); }
};

// The task states, log kinds and page size are the client's own (model/uCommonVarConst.h).
inline constexpr int PayTimeLimitMinutes = 15;

// One authenticated command in progress.
struct TCommandContext {
    TDbConnection& db;
    int userId; // 0 for sign-up
    QString username;
    QString password; // as sent in the head
    const QStringList& data;
    QDateTime now;

    // The value of a data line; refuses when the line is missing.
    QString text(const char* name) const;
    QString trimmed(const char* name) const { return text(name).trimmed(); }
    int integer(const char* name) const;
    // pageindex, counted from 1: the row offset of that page.
    std::int64_t pageOffset() const;
};

inline std::string S(const QString& text) { return text.toStdString(); }

json Done(const QString& message = QStringLiteral("操作成功"));
json ListReply(std::int64_t total, json rows);

// The two balances of a user; a trade-log entry names the one it moved.
enum class TBalance { Available = 0, Commission = 1 };

// Adds `deltaCents` to one balance of the user and writes its trade-log entry, in the caller's
// transaction: a credit as mtIn, a debit as mtOut, stating that balance after the move. One guarded
// UPDATE: a debit that would take the balance below 0 changes nothing and is refused with
// `shortReason`.
void MoveMoney(TCommandContext& ctx, int userId, TBalance balance, std::int64_t deltaCents, const QString& taskid,
               const QString& msg, const QString& shortReason = QStringLiteral("账户余额不足"));
// The operation log: written inside the caller's transaction, together with the change it records.
void AddOptLog(TCommandContext& ctx, int userId, const QString& taskid, TOptType type, const QString& action,
               const QString& marks = QString());

// The command implementations, one per code.
json CmdLogin(TCommandContext& ctx);
json CmdLogout(TCommandContext& ctx);
json CmdRegister(TCommandContext& ctx);
json CmdBindAlipay(TCommandContext& ctx);
json CmdRechargeRequest(TCommandContext& ctx);
json CmdWithdrawRequest(TCommandContext& ctx);
json CmdModifyPassword(TCommandContext& ctx);
json CmdGetSubUserList(TCommandContext& ctx);
json CmdGetWithdrawList(TCommandContext& ctx);
json CmdGetRechargeList(TCommandContext& ctx);
json CmdSaveUserInfo(TCommandContext& ctx);
json CmdGetBasicInfo(TCommandContext& ctx);
json CmdGetOptLogList(TCommandContext& ctx);
json CmdGetTradeLogList(TCommandContext& ctx);

json CmdPublishTask(TCommandContext& ctx);
json CmdGetTaskCenterList(TCommandContext& ctx);
json CmdSearchTaskCenter(TCommandContext& ctx);
json CmdGetHandledTaskList(TCommandContext& ctx);
json CmdSearchHandledTask(TCommandContext& ctx);
json CmdGetPublishedTaskList(TCommandContext& ctx);
json CmdSearchPublishedTask(TCommandContext& ctx);
json CmdHandleTask(TCommandContext& ctx);
json CmdCancelHandledTask(TCommandContext& ctx);
json CmdCancelTaskNoPayOnTime(TCommandContext& ctx);
json CmdDeleteTask(TCommandContext& ctx);
json CmdBackTask(TCommandContext& ctx);
json CmdConfirmHasPay(TCommandContext& ctx);
json CmdExtendPayTime(TCommandContext& ctx);
json CmdSetDelivered(TCommandContext& ctx);
json CmdConfirmShouhuoAndReply(TCommandContext& ctx);
json CmdConfirmReplyAndComplete(TCommandContext& ctx);

// Used by the demo seed and the administrative actions as well.
struct TNewUser {
    QString username, password, qq, shopkeeperusername, taobaoxiaohao;
    int inviteuserid = 0;
    // The stored form of `password` when the caller hashed it already (the demo seed hashes once).
    std::optional<TPasswordRecord> passwordRecord;
};
// Inserts the user; refuses when the name is taken. Returns the new id.
int InsertUser(TDbConnection& db, const TNewUser& user, const QDateTime& now);
// Reviews a pending recharge (credits the balance and the inviter's commission) or withdrawal
// (a rejection returns the reserved commission). Refuses an unknown or already reviewed request.
void ReviewRecharge(TCommandContext& ctx, std::int64_t requestId, bool approve);
void ReviewWithdraw(TCommandContext& ctx, std::int64_t requestId, bool approve);

// The commission an inviter earns on an approved recharge of an invited user: 5 %, rounded down to fen.
inline std::int64_t InviteCommission(std::int64_t rechargeCents) { return rechargeCents * 5 / 100; }
