#pragma once
// Shared between the command implementations of the platform server (not part of its interface).
#include "model/uCommonVarConst.h"
#include "server/PasswordHash.h"
#include "server/ServerDb.h"

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
struct CommandContext {
    DbConnection& db;
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
enum class Balance { Available = 0, Commission = 1 };

// Adds `deltaCents` to one balance of the user and writes its trade-log entry, in the caller's
// transaction: a credit as mtIn, a debit as mtOut, stating that balance after the move. One guarded
// UPDATE: a debit that would take the balance below 0 changes nothing and is refused with
// `shortReason`.
void MoveMoney(CommandContext& ctx, int userId, Balance balance, std::int64_t deltaCents, const QString& taskid,
               const QString& msg, const QString& shortReason = QStringLiteral("账户余额不足"));
// The operation log: written inside the caller's transaction, together with the change it records.
void AddOptLog(CommandContext& ctx, int userId, const QString& taskid, TOptType type, const QString& action,
               const QString& marks = QString());

// The command implementations, one per code.
json CmdLogin(CommandContext& ctx);
json CmdLogout(CommandContext& ctx);
json CmdRegister(CommandContext& ctx);
json CmdBindAlipay(CommandContext& ctx);
json CmdRechargeRequest(CommandContext& ctx);
json CmdWithdrawRequest(CommandContext& ctx);
json CmdModifyPassword(CommandContext& ctx);
json CmdGetSubUserList(CommandContext& ctx);
json CmdGetWithdrawList(CommandContext& ctx);
json CmdGetRechargeList(CommandContext& ctx);
json CmdSaveUserInfo(CommandContext& ctx);
json CmdGetBasicInfo(CommandContext& ctx);
json CmdGetOptLogList(CommandContext& ctx);
json CmdGetTradeLogList(CommandContext& ctx);

json CmdPublishTask(CommandContext& ctx);
json CmdGetTaskCenterList(CommandContext& ctx);
json CmdSearchTaskCenter(CommandContext& ctx);
json CmdGetHandledTaskList(CommandContext& ctx);
json CmdSearchHandledTask(CommandContext& ctx);
json CmdGetPublishedTaskList(CommandContext& ctx);
json CmdSearchPublishedTask(CommandContext& ctx);
json CmdHandleTask(CommandContext& ctx);
json CmdCancelHandledTask(CommandContext& ctx);
json CmdCancelTaskNoPayOnTime(CommandContext& ctx);
json CmdDeleteTask(CommandContext& ctx);
json CmdBackTask(CommandContext& ctx);
json CmdConfirmHasPay(CommandContext& ctx);
json CmdExtendPayTime(CommandContext& ctx);
json CmdSetDelivered(CommandContext& ctx);
json CmdConfirmShouhuoAndReply(CommandContext& ctx);
json CmdConfirmReplyAndComplete(CommandContext& ctx);

// Used by the demo seed and the administrative actions as well.
struct NewUser {
    QString username, password, qq, shopkeeperusername, taobaoxiaohao;
    int inviteuserid = 0;
    // The stored form of `password` when the caller hashed it already (the demo seed hashes once).
    std::optional<PasswordRecord> passwordRecord;
};
// Inserts the user; refuses when the name is taken. Returns the new id.
int InsertUser(DbConnection& db, const NewUser& user, const QDateTime& now);
// Reviews a pending recharge (credits the balance and the inviter's commission) or withdrawal
// (a rejection returns the reserved commission). Refuses an unknown or already reviewed request.
void ReviewRecharge(CommandContext& ctx, std::int64_t requestId, bool approve);
void ReviewWithdraw(CommandContext& ctx, std::int64_t requestId, bool approve);

// The commission an inviter earns on an approved recharge of an invited user: 5 %, rounded down to fen.
inline std::int64_t InviteCommission(std::int64_t rechargeCents) { return rechargeCents * 5 / 100; }
