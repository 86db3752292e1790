#include "model/uCommonVarConst.h"

#include "model/uRecordReader.h"
#include "remote/uCommandCatalogue.h"

namespace {

template <std::size_t N> QString tableName(const std::array<QString, N>& names, int status) {
    if (status >= 0 && std::size_t(status) < N) return names[std::size_t(status)];
    return QStringLiteral("未知状态(%1)").arg(status);
}

constexpr MemberReader<TUserInfo> LoginMembers[] = {
    Member<&TUserInfo::Fid>("id"),
    Member<&TUserInfo::Fusername>("username"),
    Member<&TUserInfo::Fuserpass>("userpass"),
    Member<&TUserInfo::Fregistertime>("regstertime"),
    Member<&TUserInfo::Fqq>("qq"),
    Member<&TUserInfo::Fshopkeeperusername>("shopkeeperusername"),
    Member<&TUserInfo::Ftaobaoxiaohao>("taobaoxiaohao"),
    Member<&TUserInfo::Faccountbalance>("accountbalance"),
    Member<&TUserInfo::Falipayusername>("alipayusername"),
    Member<&TUserInfo::Falipayaccount>("alipayaccount"),
    Member<&TUserInfo::Finviteuserid>("inviteuserid"),
    Member<&TUserInfo::Finviteaccountbalance>("inviteaccountbalance"),
    Member<&TUserInfo::Flastuptime>("lastuptime"),
    Member<&TUserInfo::Fmarks>("marks"),
};

constexpr MemberReader<TBasicInfo> BasicInfoMembers[] = {
    Member<&TBasicInfo::Fcurrentopttaskcount>("currentopttaskcount"),
    Member<&TBasicInfo::Fwaitforhandletaskcount>("waitforhandletaskcount"),
    Member<&TBasicInfo::Fwaitforpaytaskcount>("waitforpaytaskcount"),
    Member<&TBasicInfo::Fwaitforfahuotaskcount>("waitforfahuotaskcount"),
    Member<&TBasicInfo::Fwaitforreplytaskcount>("waitforreplytaskcount"),
    Member<&TBasicInfo::Ftotaloptcount>("totaloptcount"),
    Member<&TBasicInfo::Faccountbalance>("accountbalance"),
};

constexpr MemberReader<TRechargeInfo> RechargeMembers[] = {
    Member<&TRechargeInfo::Fmoney>("money"),     Member<&TRechargeInfo::Ftradetype>("tradetype"),
    Member<&TRechargeInfo::Ftradeid>("tradeid"), Member<&TRechargeInfo::Faddtime>("addtime"),
    Member<&TRechargeInfo::Fstatus>("status"),
};

constexpr MemberReader<TWithdrawInfo> WithdrawMembers[] = {
    Member<&TWithdrawInfo::Fmoney>("money"),
    Member<&TWithdrawInfo::Faddtime>("addtime"),
    Member<&TWithdrawInfo::Fstatus>("status"),
};

constexpr MemberReader<TTradeLog> TradeLogMembers[] = {
    Member<&TTradeLog::Fid>("id"),
    Member<&TTradeLog::Fuserid, ReadKind::IntFromText>("userid"),
    Member<&TTradeLog::Ftaskid>("taskid"),
    Member<&TTradeLog::Fmsg>("msg"),
    Member<&TTradeLog::Fmoneytype>("moneytype"),
    Member<&TTradeLog::Finmoney>("inmoney"),
    Member<&TTradeLog::Foutmoney>("outmoney"),
    Member<&TTradeLog::Fcurrentmoney>("currentmoney"),
    Member<&TTradeLog::Faddtime>("addtime"),
};

constexpr MemberReader<TOptLog> OptLogMembers[] = {
    Member<&TOptLog::Fid>("id"),           Member<&TOptLog::Fuserid, ReadKind::IntFromText>("userid"),
    Member<&TOptLog::Ftaskid>("taskid"),   Member<&TOptLog::Fopttype>("opttype"),
    Member<&TOptLog::Faction>("action"),   Member<&TOptLog::Fmarks>("marks"),
    Member<&TOptLog::Faddtime>("addtime"),
};

constexpr MemberReader<TSubUserInfo> SubUserMembers[] = {
    Member<&TSubUserInfo::Fusername>("username"),
    Member<&TSubUserInfo::Fregistertime>("registertime"),
};

} // namespace

TUserInfo& CurrentUser() {
    static TUserInfo user;
    return user;
}

void FillUserInfoFromLoginReply(TUserInfo& user, const ReplyObject& reply) {
    user.Clear();
    ReadMembers<TUserInfo>(reply, LoginMembers, user);
    user.Fclientversion = ClientVersionText();
}

QString TaskStatusName(int status) { return tableName(TaskStatusNames, status); }
QString RechargeStatusName(int status) { return tableName(RechargeStatusNames, status); }
QString WithdrawStatusName(int status) { return tableName(WithdrawStatusNames, status); }

int ReplyTotalNum(const ReplyObject& reply) { return ReplyInt(reply, "totalnum"); }

void ReadBasicInfo(const ReplyObject& object, TBasicInfo& info) {
    ReadMembers<TBasicInfo>(object, BasicInfoMembers, info);
}

void ReadRechargeInfo(const ReplyObject& object, TRechargeInfo& info) {
    ReadMembers<TRechargeInfo>(object, RechargeMembers, info);
    if (info.Fstatus != 0) info.Fhandletime = ReplyText(object, "handletime");
}

void ReadWithdrawInfo(const ReplyObject& object, TWithdrawInfo& info) {
    ReadMembers<TWithdrawInfo>(object, WithdrawMembers, info);
    if (info.Fstatus != 0) info.Fhandletime = ReplyText(object, "handletime");
}

QString RequestHandleTimeText(int status, const QString& handletime) {
    return status == 0 ? QStringLiteral("-") : handletime;
}

void ReadTradeLog(const ReplyObject& object, TTradeLog& log) { ReadMembers<TTradeLog>(object, TradeLogMembers, log); }

void ReadOptLog(const ReplyObject& object, TOptLog& log) { ReadMembers<TOptLog>(object, OptLogMembers, log); }

void ReadSubUserInfo(const ReplyObject& object, TSubUserInfo& info) {
    ReadMembers<TSubUserInfo>(object, SubUserMembers, info);
}
