#pragma once
// Shared records, enumerations and display tables of the client, and the readers that fill the
// records from reply objects (remote/uReply.h). Every reader throws EReadError when a member is
// missing or does not convert; the fields read before the failing member keep their values.
//
// Date-time fields hold the platform's local wall-clock values (no time zone). A null QDateTime is
// the "zero" date-time of a field that no reply filled; it shows as an empty text. Amounts of money
// are held in whole fen (Money).
#include "remote/Money.h"
#include "remote/uReply.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <array>

// ---- Signed-in user profile --------------------------------------------------------------------

struct TUserInfo {
    int Fid = 0;
    QString Fusername;
    QString Fuserpass;
    QDateTime Fregistertime;
    QString Fqq;
    QString Fshopkeeperusername;
    QString Ftaobaoxiaohao;
    Money Faccountbalance;
    Money Ffrozenmoney;
    int Fbadactioncount = 0;
    QString Falipayusername;
    QString Falipayaccount;
    int Finviteuserid = 0;
    QString Finviteusername;
    Money Finviteaccountbalance;
    QDateTime Flastuptime;
    QString Fmarks;
    QString Fclientversion;
    bool Fisonline = false;
    bool Fisxiaohao = false;

    // Every field zero, empty or false.
    void Clear() { *this = TUserInfo{}; }
};

// The one current-user record of the process (user-interface thread only). Empty until login.
TUserInfo& CurrentUser();

// Fills `user` from a successful login reply: clears it, reads the top-level members "id",
// "username", "userpass", "regstertime", "qq", "shopkeeperusername", "taobaoxiaohao",
// "accountbalance", "alipayusername", "alipayaccount", "inviteuserid", "inviteaccountbalance",
// "lastuptime", "marks" in that order, then sets Fclientversion to the client's version text.
// A failing member throws EReadError and leaves the fields read before it filled.
void FillUserInfoFromLoginReply(TUserInfo& user, const ReplyObject& reply);

// Rows on one page of every paged list (the server's pages and the client's page count agree).
inline constexpr int PageSize = 20;

// ---- Tasks -------------------------------------------------------------------------------------

// State of a task. Stored in one byte as the server's ordinal; values outside 0..5 can occur in a
// reply and are kept as they are (they show as "未知状态(n)" and offer no state-dependent action).
enum TTaskStatus : quint8 {
    tsWaitforHandle = 0,
    tsWaitforPay = 1,
    tsWaitforDelivergoods = 2,
    tsWaitforReply = 3,
    tsWaitforConfirmReply = 4,
    tsTaskComplete = 5,
};

// The wait between shipping and the handler's confirmation of receipt and review.
enum Tshouhuoandreplyintervalafterfahuo : quint8 {
    it2Hour = 0,
    it48Hour = 1,
    it72Hour = 2,
    it96Hour = 3,
};

// The category filter of the task hall.
enum TTaskTimeType : quint8 {
    ttAll = 0,
    tt2Hour = 1,
    tt2day = 2,
    tt3day = 3,
    tt4day = 4,
};

// Display texts of the six task states, indexed by the ordinal.
inline const std::array<QString, 6> TaskStatusNames = {
    QStringLiteral("等待接手"), QStringLiteral("等待支付"), QStringLiteral("等待发货"),
    QStringLiteral("等待好评"), QStringLiteral("等待完成"), QStringLiteral("已经完成"),
};

// The display text of any status value: the table's entry, or "未知状态(n)" outside 0..5.
QString TaskStatusName(int status);

struct TTaskInfo {
    int Fid = 0;
    QString Ftaskid;
    QDateTime Fpublishtime;
    int Fpublishuserid = 0;
    QString Fpublishtaobaoxiaohao;
    Money Ftaskmoney;
    QString Fshopkeeperusername;
    QString Fgoodskeyword;
    QString Freplymsg;
    QString Fdetailrequirement;
    int Fhandleuserid = 0;
    QDateTime Fhandletime;
    QDateTime Fshouldpaytime;
    QDateTime Fpaytime;
    QDateTime Ffahuotime;
    // No reply carries it: it stays it2Hour in every record read from a reply.
    Tshouhuoandreplyintervalafterfahuo Fshouhuoandreplyintervalafterfahuo = it2Hour;
    QDateTime Fshouldshouhuoandreplytime;
    QDateTime Fshouhuoandreplytime;
    TTaskStatus Fstatus = tsWaitforHandle;
    QString Fmarks;
    QString Fhandlerusername;
    QString Fhandlershopkeeperusername;
    QString Fhandlertaobaoxiaohao;
    QString Fhandlerqq;
    QString Fpublisherusername;
    QString Fpublishershopkeeperusername;
    QString Fpublishertaobaoxiaohao;
    QString Fpublisherqq;
};
using PTaskInfo = TTaskInfo*;

// ---- List replies ------------------------------------------------------------------------------

// "totalnum" of a list reply: the number of records of the whole list on the server.
int ReplyTotalNum(const ReplyObject& reply);

// ---- Welcome dashboard (cmGetBasicInfo) --------------------------------------------------------

struct TBasicInfo {
    int Fcurrentopttaskcount = 0;
    int Fwaitforhandletaskcount = 0;
    int Fwaitforpaytaskcount = 0;
    int Fwaitforfahuotaskcount = 0;
    int Fwaitforreplytaskcount = 0;
    int Ftotaloptcount = 0;
    Money Faccountbalance;
};

// One object of the dashboard's "msgbody": the six counts, then "accountbalance".
void ReadBasicInfo(const ReplyObject& object, TBasicInfo& info);

// ---- Recharge and withdrawal requests (cmGetRechargeList, cmGetWithdrawList) -------------------

// Display texts of a recharge request's review state, indexed by the status value.
inline const std::array<QString, 3> RechargeStatusNames = {
    QStringLiteral("未处理"),
    QStringLiteral("充值成功"),
    QStringLiteral("充值失败"),
};
// Display texts of a withdrawal request's review state, indexed by the status value.
inline const std::array<QString, 3> WithdrawStatusNames = {
    QStringLiteral("未处理"),
    QStringLiteral("提现成功"),
    QStringLiteral("提现失败"),
};
// The table's entry, or "未知状态(n)" outside 0..2.
QString RechargeStatusName(int status);
QString WithdrawStatusName(int status);

struct TRechargeInfo {
    QString Fmoney; // as the reply spells it
    QString Ftradetype;
    QString Ftradeid;
    QString Faddtime; // as sent
    int Fstatus = 0;
    QString Fhandletime; // read only when Fstatus is not 0
};

struct TWithdrawInfo {
    Money Fmoney;
    QString Faddtime; // as sent
    int Fstatus = 0;
    QString Fhandletime; // read only when Fstatus is not 0
};

// "money", "tradetype", "tradeid", "addtime", "status", then "handletime" when status is not 0.
void ReadRechargeInfo(const ReplyObject& object, TRechargeInfo& info);
// "money", "addtime", "status", then "handletime" when status is not 0.
void ReadWithdrawInfo(const ReplyObject& object, TWithdrawInfo& info);

// The "处理时间" cell of both request lists: the handle time, or "-" while the status is 0.
QString RequestHandleTimeText(int status, const QString& handletime);

// ---- Trade and operation logs (cmGetTradeLogList, cmGetOptLogList) -----------------------------

// Direction of a trade-log entry; values other than 0 and 1 are kept as read.
enum TMoneyType : quint8 {
    mtIn = 0,
    mtOut = 1,
};

// Kind of an operation-log entry (read, never shown).
enum TOptType : quint8 {
    otPublish = 0,
    otHandle = 1,
    otBeenHandled = 2,
    otCancelHandle = 3,
    otClear = 4,
    otTaskComplete = 5,
};

struct TTradeLog {
    int Fid = 0;
    int Fuserid = 0;
    QString Ftaskid;
    QString Fmsg;
    TMoneyType Fmoneytype = mtIn;
    Money Finmoney;
    Money Foutmoney;
    Money Fcurrentmoney;
    QDateTime Faddtime;
};
using PTradeLog = TTradeLog*;

struct TOptLog {
    int Fid = 0;
    int Fuserid = 0;
    QString Ftaskid;
    TOptType Fopttype = otPublish;
    QString Faction;
    QString Fmarks;
    QDateTime Faddtime;
};
using POptLog = TOptLog*;

// "id", "userid" (integer from text), "taskid", "msg", "moneytype", "inmoney", "outmoney",
// "currentmoney", "addtime".
void ReadTradeLog(const ReplyObject& object, TTradeLog& log);
// "id", "userid" (integer from text), "taskid", "opttype", "action", "marks", "addtime".
void ReadOptLog(const ReplyObject& object, TOptLog& log);

// ---- Downline users (cmGetSubUserList) ---------------------------------------------------------

struct TSubUserInfo {
    QString Fusername;
    QDateTime Fregistertime; // the member is spelled "registertime" in this reply
};

// "username", "registertime".
void ReadSubUserInfo(const ReplyObject& object, TSubUserInfo& info);
