// The signed-in user profile, the account screens' records and display texts, and the links.
#include "model/uCommonFunc.h"
#include "model/uRecordReader.h"
#include "model/uVarConst.h"
#include "remote/uCommandCatalogue.h"

#include <QtTest>

#include <vector>

namespace {

ReplyObject loginReply() {
    return ReplyObject::parse(R"({
        "returncode": 1, "returnmsg": "登陆成功",
        "id": 1024, "username": "张三", "userpass": "pw", "regstertime": "2016-01-02 03:04:05",
        "qq": 12345678, "shopkeeperusername": "掌柜", "taobaoxiaohao": "小号",
        "accountbalance": 1234.5, "alipayusername": "张三", "alipayaccount": "zs@example.com",
        "inviteuserid": 7, "inviteaccountbalance": "150", "lastuptime": "2016-03-05 08:04:09",
        "marks": "备注"})");
}

ReplyObject listReply(const char* body) {
    ReplyObject reply = {{"returncode", 1}, {"totalnum", 3}};
    reply["msgbody"] = ReplyObject::parse(body);
    return reply;
}

} // namespace

class TestAccountRecords : public QObject {
    Q_OBJECT

private slots:
    void profileFill();
    void profileFillStopsAtFailure_data();
    void profileFillStopsAtFailure();
    void moneyFormats_data();
    void moneyFormats();
    void statusNames();
    void basicInfo();
    void requestLists();
    void logRecords();
    void listWalkKeepsRecordsBeforeFailure();
    void subUsers();
    void links();
};

void TestAccountRecords::profileFill() {
    TUserInfo user;
    user.Ffrozenmoney = Money::fromFen(300);
    user.Finviteusername = QStringLiteral("旧值");
    user.Fisonline = true;
    FillUserInfoFromLoginReply(user, loginReply());
    QCOMPARE(user.Fid, 1024);
    QCOMPARE(user.Fusername, QStringLiteral("张三"));
    QCOMPARE(user.Fuserpass, QStringLiteral("pw"));
    QCOMPARE(user.Fregistertime, QDateTime(QDate(2016, 1, 2), QTime(3, 4, 5)));
    QCOMPARE(user.Fqq, QStringLiteral("12345678"));
    QCOMPARE(user.Fshopkeeperusername, QStringLiteral("掌柜"));
    QCOMPARE(user.Ftaobaoxiaohao, QStringLiteral("小号"));
    QCOMPARE(user.Faccountbalance.fen(), Q_INT64_C(123450));
    QCOMPARE(user.Falipayusername, QStringLiteral("张三"));
    QCOMPARE(user.Falipayaccount, QStringLiteral("zs@example.com"));
    QCOMPARE(user.Finviteuserid, 7);
    QCOMPARE(user.Finviteaccountbalance.fen(), Q_INT64_C(15000));
    QCOMPARE(user.Flastuptime, QDateTime(QDate(2016, 3, 5), QTime(8, 4, 9)));
    QCOMPARE(user.Fmarks, QStringLiteral("备注"));
    QCOMPARE(user.Fclientversion, ClientVersionText());
    // Fields the reply does not fill are cleared first.
    QCOMPARE(user.Ffrozenmoney.fen(), Q_INT64_C(0));
    QVERIFY(user.Finviteusername.isEmpty());
    QVERIFY(!user.Fisonline);

    // "accountbalance" as a string of digits fills the field alike.
    ReplyObject reply = loginReply();
    reply["accountbalance"] = "1234.5";
    TUserInfo fromText;
    FillUserInfoFromLoginReply(fromText, reply);
    QCOMPARE(fromText.Faccountbalance.fen(), user.Faccountbalance.fen());

    // The process-wide record is one object.
    QCOMPARE(&CurrentUser(), &CurrentUser());
    CurrentUser().Fusername = QStringLiteral("typed");
    CurrentUser().Clear();
    QVERIFY(CurrentUser().Fusername.isEmpty());
}

void TestAccountRecords::profileFillStopsAtFailure_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<QString>("json"); // empty: the member is removed
    QTest::addColumn<bool>("haveQq");  // a field before most failures
    QTest::addColumn<bool>("haveAlipay");

    QTest::newRow("id missing") << "id"
                                << "" << false << false;
    QTest::newRow("regstertime not a date") << "regstertime"
                                            << R"("2016/01/02 03:04:05")" << false << false;
    QTest::newRow("accountbalance not a number") << "accountbalance"
                                                 << R"("1,234.50")" << true << false;
    QTest::newRow("alipayaccount missing") << "alipayaccount"
                                           << "" << true << false;
    QTest::newRow("inviteuserid as text") << "inviteuserid"
                                          << R"("7")" << true << true;
    QTest::newRow("marks an object") << "marks"
                                     << "{}" << true << true;
}

void TestAccountRecords::profileFillStopsAtFailure() {
    QFETCH(QString, member);
    QFETCH(QString, json);
    QFETCH(bool, haveQq);
    QFETCH(bool, haveAlipay);
    ReplyObject reply = loginReply();
    if (json.isEmpty())
        reply.erase(member.toStdString());
    else
        reply[member.toStdString()] = ReplyObject::parse(json.toStdString());

    TUserInfo user;
    user.Fusername = QStringLiteral("typed");
    QVERIFY_THROWS_EXCEPTION(EReadError, FillUserInfoFromLoginReply(user, reply));
    QCOMPARE(user.Fqq, haveQq ? QStringLiteral("12345678") : QString());
    QCOMPARE(user.Falipayaccount, haveAlipay ? QStringLiteral("zs@example.com") : QString());
    QVERIFY(user.Fmarks.isEmpty());
    QVERIFY(user.Fclientversion.isEmpty());                // the fill did not complete
    if (member == "id") QVERIFY(user.Fusername.isEmpty()); // cleared before reading
}

void TestAccountRecords::moneyFormats_data() {
    QTest::addColumn<qint64>("fen");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("expected");

    QTest::newRow("5") << Q_INT64_C(500) << ""
                       << "  5.00 元";
    QTest::newRow("1234.5") << Q_INT64_C(123450) << ""
                            << "1234.50 元";
    QTest::newRow("123456.78 is wider") << Q_INT64_C(12345678) << ""
                                        << "123456.78 元";
    QTest::newRow("120") << Q_INT64_C(12000) << ""
                         << "120.00 元";
    QTest::newRow("one fen") << Q_INT64_C(1) << ""
                             << "  0.01 元";
    QTest::newRow("in 20") << Q_INT64_C(2000) << "+"
                           << "+ 20.00 元";
    QTest::newRow("out 5") << Q_INT64_C(500) << "-"
                           << "-  5.00 元";
    QTest::newRow("in 123456.78") << Q_INT64_C(12345678) << "+"
                                  << "+123456.78 元";
    QTest::newRow("negative") << Q_INT64_C(-500) << ""
                              << " -5.00 元";
}

void TestAccountRecords::moneyFormats() {
    QFETCH(qint64, fen);
    QFETCH(QString, sign);
    QFETCH(QString, expected);
    QCOMPARE(FormatMoney(Money::fromFen(fen), sign), expected);
}

void TestAccountRecords::statusNames() {
    const struct {
        QString (*name)(int);
        int status;
        const char* expected;
    } cases[] = {
        {RechargeStatusName, 0, "未处理"},        {RechargeStatusName, 1, "充值成功"},
        {RechargeStatusName, 2, "充值失败"},      {RechargeStatusName, 3, "未知状态(3)"},
        {RechargeStatusName, -1, "未知状态(-1)"}, {WithdrawStatusName, 0, "未处理"},
        {WithdrawStatusName, 1, "提现成功"},      {WithdrawStatusName, 2, "提现失败"},
        {WithdrawStatusName, 9, "未知状态(9)"},   {TaskStatusName, 0, "等待接手"},
        {TaskStatusName, 2, "等待发货"},          {TaskStatusName, 4, "等待完成"},
        {TaskStatusName, 5, "已经完成"},          {TaskStatusName, 6, "未知状态(6)"},
    };
    for (const auto& c : cases) QCOMPARE(c.name(c.status), QString::fromUtf8(c.expected));
}

void TestAccountRecords::basicInfo() {
    const ReplyObject object = ReplyObject::parse(R"({"currentopttaskcount": 4, "waitforhandletaskcount": 1,
        "waitforpaytaskcount": 2, "waitforfahuotaskcount": 3, "waitforreplytaskcount": 0, "totaloptcount": 57,
        "accountbalance": "88.8"})");
    TBasicInfo info;
    ReadBasicInfo(object, info);
    QCOMPARE(info.Fcurrentopttaskcount, 4);
    QCOMPARE(info.Fwaitforhandletaskcount, 1);
    QCOMPARE(info.Fwaitforpaytaskcount, 2);
    QCOMPARE(info.Fwaitforfahuotaskcount, 3);
    QCOMPARE(info.Fwaitforreplytaskcount, 0);
    QCOMPARE(info.Ftotaloptcount, 57);
    QCOMPARE(info.Faccountbalance.fen(), Q_INT64_C(8880));

    ReplyObject broken = object;
    broken["accountbalance"] = "";
    TBasicInfo partial;
    QVERIFY_THROWS_EXCEPTION(EReadError, ReadBasicInfo(broken, partial));
    QCOMPARE(partial.Ftotaloptcount, 57);
    QCOMPARE(partial.Faccountbalance.fen(), Q_INT64_C(0));
}

void TestAccountRecords::requestLists() {
    // Recharge: "money" kept as spelled; "handletime" read only once the request was handled.
    std::vector<TRechargeInfo> recharges;
    const auto addRecharge = [&](TRechargeInfo&& info) { recharges.push_back(info); };
    ReadRecordList<TRechargeInfo>(listReply(R"([
        {"money": 100, "tradetype": "支付宝", "tradeid": "2016030521001", "addtime": "2016-03-05 08:04:09",
         "status": 0, "handletime": "2016-03-06 09:00:00"},
        {"money": "100.00", "tradetype": "支付宝", "tradeid": 2016030521002, "addtime": "2016-03-05",
         "status": 2, "handletime": "2016-03-06 09:00:00"},
        {"money": "5", "tradetype": "支付宝", "tradeid": "x", "addtime": "", "status": 0}])"),
                                  ReadRechargeInfo, addRecharge);
    QCOMPARE(recharges.size(), std::size_t(3));
    QCOMPARE(recharges[0].Fmoney, QStringLiteral("100"));
    QCOMPARE(recharges[0].Ftradeid, QStringLiteral("2016030521001"));
    QCOMPARE(recharges[0].Fhandletime, QString());
    QCOMPARE(RequestHandleTimeText(recharges[0].Fstatus, recharges[0].Fhandletime), QStringLiteral("-"));
    QCOMPARE(RechargeStatusName(recharges[0].Fstatus), QStringLiteral("未处理"));
    QCOMPARE(recharges[1].Fmoney, QStringLiteral("100.00"));
    QCOMPARE(recharges[1].Ftradeid, QStringLiteral("2016030521002"));
    QCOMPARE(recharges[1].Faddtime, QStringLiteral("2016-03-05"));
    QCOMPARE(RequestHandleTimeText(recharges[1].Fstatus, recharges[1].Fhandletime),
             QStringLiteral("2016-03-06 09:00:00"));
    QCOMPARE(RechargeStatusName(recharges[1].Fstatus), QStringLiteral("充值失败"));

    // Reading failures: a handled request without its time, a status that is not an integer.
    for (const char* body : {R"([{"money": "5", "tradetype": "t", "tradeid": "x", "addtime": "", "status": 1}])",
                             R"([{"money": "5", "tradetype": "t", "tradeid": "x", "addtime": "", "status": "0"}])"}) {
        TRechargeInfo info;
        QVERIFY_THROWS_EXCEPTION(EReadError, ReadRechargeInfo(listReply(body)["msgbody"][0], info));
        QCOMPARE(info.Ftradeid, QStringLiteral("x"));
    }

    // Withdrawal: "money" is a decimal.
    TWithdrawInfo withdrawal;
    ReadWithdrawInfo(ReplyObject::parse(R"({"money": "1234.5", "addtime": "2016-03-05 08:04:09", "status": 1,
                                             "handletime": "2016-03-07 10:00:00"})"),
                     withdrawal);
    QCOMPARE(FormatMoney(withdrawal.Fmoney), QStringLiteral("1234.50 元"));
    QCOMPARE(withdrawal.Fhandletime, QStringLiteral("2016-03-07 10:00:00"));
    QCOMPARE(WithdrawStatusName(withdrawal.Fstatus), QStringLiteral("提现成功"));
    TWithdrawInfo open;
    ReadWithdrawInfo(ReplyObject::parse(R"({"money": 5, "addtime": "x", "status": 0})"), open);
    QCOMPARE(FormatMoney(open.Fmoney), QStringLiteral("  5.00 元"));
    QCOMPARE(RequestHandleTimeText(open.Fstatus, open.Fhandletime), QStringLiteral("-"));
    TWithdrawInfo bad;
    QVERIFY_THROWS_EXCEPTION(
        EReadError, ReadWithdrawInfo(ReplyObject::parse(R"({"money": "五元", "addtime": "x", "status": 0})"), bad));
}

void TestAccountRecords::logRecords() {
    TTradeLog in;
    ReadTradeLog(ReplyObject::parse(R"({"id": 3, "userid": "1024", "taskid": "T1", "msg": "任务完成",
        "moneytype": 0, "inmoney": 20, "outmoney": "0", "currentmoney": "120", "addtime": "2016-03-05 08:04:09"})"),
                 in);
    QCOMPARE(in.Fid, 3);
    QCOMPARE(in.Fuserid, 1024);
    QCOMPARE(in.Ftaskid, QStringLiteral("T1"));
    QCOMPARE(in.Fmsg, QStringLiteral("任务完成"));
    QCOMPARE(in.Fmoneytype, mtIn);
    QCOMPARE(FormatMoney(in.Finmoney, u"+"), QStringLiteral("+ 20.00 元"));
    QCOMPARE(FormatMoney(in.Fcurrentmoney), QStringLiteral("120.00 元"));
    QCOMPARE(FormatDateTime(in.Faddtime), QStringLiteral("2016-03-05 08:04:09"));

    TTradeLog out;
    ReadTradeLog(ReplyObject::parse(R"({"id": 4, "userid": 1024, "taskid": "T2", "msg": "接手任务",
        "moneytype": 1, "inmoney": 0, "outmoney": 5, "currentmoney": 115, "addtime": "2016-03-05 09:00:00"})"),
                 out);
    QCOMPARE(out.Fuserid, 1024); // "integer from text" also takes a number's digits
    QCOMPARE(out.Fmoneytype, mtOut);
    QCOMPARE(FormatMoney(out.Foutmoney, u"-"), QStringLiteral("-  5.00 元"));

    TOptLog opt;
    ReadOptLog(ReplyObject::parse(R"({"id": 9, "userid": "1024", "taskid": "T3", "opttype": 5,
        "action": "确认完成", "marks": "", "addtime": "2016-03-05 10:00:00"})"),
               opt);
    QCOMPARE(opt.Fid, 9);
    QCOMPARE(opt.Fuserid, 1024);
    QCOMPARE(opt.Fopttype, otTaskComplete);
    QCOMPARE(opt.Faction, QStringLiteral("确认完成"));
    QCOMPARE(opt.Faddtime, QDateTime(QDate(2016, 3, 5), QTime(10, 0)));

    // Conversions that fail: "userid" not an integer, "addtime" with slashes, "moneytype" beyond a byte.
    const struct {
        const char* member;
        ReplyObject value;
    } failures[] = {{"userid", "10x"}, {"addtime", "2016/03/05 08:04:09"}, {"moneytype", 256}};
    for (const auto& failure : failures) {
        ReplyObject object = ReplyObject::parse(R"({"id": 3, "userid": "1024", "taskid": "T1", "msg": "m",
            "moneytype": 0, "inmoney": 20, "outmoney": 0, "currentmoney": 120, "addtime": "2016-03-05 08:04:09"})");
        object[failure.member] = failure.value;
        TTradeLog log;
        QVERIFY_THROWS_EXCEPTION(EReadError, ReadTradeLog(object, log));
        QCOMPARE(log.Fid, 3);
    }
}

void TestAccountRecords::listWalkKeepsRecordsBeforeFailure() {
    std::vector<QString> taskids;
    const ReplyObject reply = listReply(R"([
        {"id": 1, "userid": "1", "taskid": "A", "opttype": 0, "action": "a", "marks": "", "addtime": "2016-03-05 10:00:00"},
        7,
        {"id": 2, "userid": "1", "taskid": "B", "opttype": 1, "action": "a", "marks": "", "addtime": "2016-03-05 10:00:00"},
        {"id": 3, "userid": "1", "taskid": "C", "opttype": 1, "action": "a", "marks": "", "addtime": "not a time"},
        {"id": 4, "userid": "1", "taskid": "D", "opttype": 1, "action": "a", "marks": "", "addtime": "2016-03-05 10:00:00"}])");
    QCOMPARE(ReplyTotalNum(reply), 3);
    QVERIFY_THROWS_EXCEPTION(
        EReadError, ReadRecordList<TOptLog>(reply, ReadOptLog, [&](TOptLog&& log) { taskids.push_back(log.Ftaskid); }));
    QCOMPARE(taskids, (std::vector<QString>{"A", "B"}));
}

void TestAccountRecords::subUsers() {
    TSubUserInfo user;
    ReadSubUserInfo(ReplyObject::parse(R"({"id": 5, "username": "李四", "registertime": "2016-03-05 08:04:09"})"),
                    user);
    QCOMPARE(user.Fusername, QStringLiteral("李四"));
    QCOMPARE(FormatDateTime(user.Fregistertime), QStringLiteral("2016-03-05 08:04:09"));
    // The login reply's spelling "regstertime" is not this reply's.
    TSubUserInfo misspelt;
    QVERIFY_THROWS_EXCEPTION(
        EReadError,
        ReadSubUserInfo(ReplyObject::parse(R"({"username": "李四", "regstertime": "2016-03-05 08:04:09"})"), misspelt));
    QCOMPARE(misspelt.Fusername, QStringLiteral("李四"));
}

void TestAccountRecords::links() {
    const QString site = SiteAddress();
    QVERIFY(!site.isEmpty());
    QVERIFY(!site.endsWith(u'/'));
    QVERIFY(QStringLiteral(QUORVANE_SITE_URL).startsWith(site));
    QCOMPARE(InviteLink(7), site + QStringLiteral("?uid=7"));
    QCOMPARE(InviteLink(1024), site + QStringLiteral("?uid=1024"));
    QCOMPARE(PublisherGuideLink(), site + QStringLiteral("?post=5"));
    QCOMPARE(HandlerGuideLink(), site + QStringLiteral("?post=6"));

    QCOMPARE(QQChatLink(QStringLiteral("800012345")),
             QStringLiteral("tencent://message/?uin=800012345&Site=800012345&Menu=yes"));
    QCOMPARE(QQChatLink(QString()), QStringLiteral("tencent://message/?uin=&Site=&Menu=yes"));
    // A number from a reply cannot add parameters to the link.
    QCOMPARE(QQChatLink(QStringLiteral("1&Menu=no#x")),
             QStringLiteral("tencent://message/?uin=1%26Menu%3Dno%23x&Site=1%26Menu%3Dno%23x&Menu=yes"));
    QCOMPARE(SupportQQChatLink(), QQChatLink(QStringLiteral(QUORVANE_SUPPORT_QQ)));
    QCOMPARE(ProductName, QStringLiteral("Quorvane"));
}

QTEST_GUILESS_MAIN(TestAccountRecords)
#include "test_AccountRecords.moc"
