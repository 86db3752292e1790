// Reply envelope: reading the enciphered JSON object and its members, and every way a reply can be
// unreadable.
#include "remote/uCipher.h"
#include "remote/uReply.h"

#include <QTest>
#include <string>

namespace {

// The reply holder as the channel fills it: the server's JSON, enciphered under `key`, as hex.
QByteArray holderFor(const QString& json, const QString& key = ChannelKey) {
    return EncipherToHex(json, key).toLatin1();
}

ReplyObject reply(const QString& json) { return ParseReply(holderFor(json)); }

ReplyObject object(const char* json) { return ReplyObject::parse(json); }

} // namespace

class TestReply : public QObject {
    Q_OBJECT

private slots:
    void parseReadsObject();
    void parseTrimsBlanksAndLineBreaks();
    void unreadableReplies_data();
    void unreadableReplies();
    void deeplyNestedReplyIsReadWithoutCrash();

    void returnCode_data();
    void returnCode();
    void returnMsg();

    void text_data();
    void text();
    void integers_data();
    void integers();
    void decimals_data();
    void decimals();
    void moneyMembers_data();
    void moneyMembers();
    void dateTimes_data();
    void dateTimes();
    void missingMemberFailsForEveryKind();

    void records();
    void emptyList();
};

void TestReply::parseReadsObject() {
    const ReplyObject r = reply(QStringLiteral(R"({"returncode":1,"returnmsg":"操作成功","totalnum":2})"));
    QCOMPARE(ReplyReturnCode(r), 1);
    QCOMPARE(ReplyReturnMsg(r).value_or(QStringLiteral("<none>")), QStringLiteral("操作成功"));
    QCOMPARE(ReplyInt(r, "totalnum"), 2);
}

void TestReply::parseTrimsBlanksAndLineBreaks() {
    const QByteArray hex = holderFor(QStringLiteral(R"({"returncode":0,"returnmsg":"余额不足"})"));
    for (const QByteArray& holder : {hex + "\r\n", "  " + hex + "  ", "\r\n\t " + hex + " \n", hex.toLower() + "\n",
                                     QByteArray(2, '\0') + hex + QByteArray(1, '\0')}) {
        const ReplyObject r = ParseReply(holder);
        QCOMPARE(ReplyReturnCode(r), 0);
        QCOMPARE(ReplyReturnMsg(r).value_or(QString()), QStringLiteral("余额不足"));
    }
}

void TestReply::unreadableReplies_data() {
    QTest::addColumn<QByteArray>("holder");
    const QString json = QStringLiteral(R"({"returncode":1,"returnmsg":"成功","totalnum":0,"msgbody":[]})");
    const QByteArray good = holderFor(json);
    QTest::newRow("empty body") << QByteArray();
    QTest::newRow("blanks only") << QByteArray(" \r\n\t ");
    // "zx83" would be the same key: only the first four characters count.
    QTest::newRow("another key") << holderFor(json, QStringLiteral("zx99other"));
    QTest::newRow("not hex") << QByteArray("<html>502 Bad Gateway</html>");
    QTest::newRow("blank inside hex") << good.left(16) + ' ' + good.mid(16);
    QTest::newRow("UTF-8 bytes") << QByteArray("\xE4\xB8\xAD\xE6\x96\x87");
    QTest::newRow("plain JSON, not enciphered") << json.toUtf8();
    QTest::newRow("cut off by a block") << good.left(good.size() - 16);
    QTest::newRow("not JSON") << holderFor(QStringLiteral("Internal error"));
    QTest::newRow("JSON with trailing text") << holderFor(json + QStringLiteral("x"));
    QTest::newRow("top-level array") << holderFor(QStringLiteral(R"([{"returncode":1}])"));
    QTest::newRow("top-level number") << holderFor(QStringLiteral("1"));
    QTest::newRow("top-level string") << holderFor(QStringLiteral(R"("returncode")"));
    QTest::newRow("top-level null") << holderFor(QStringLiteral("null"));
    QTest::newRow("enciphered empty text") << holderFor(QStringLiteral(" "));
}

void TestReply::unreadableReplies() {
    QFETCH(QByteArray, holder);
    QVERIFY_THROWS_EXCEPTION(EReadError, ParseReply(holder));
}

void TestReply::deeplyNestedReplyIsReadWithoutCrash() {
    const int depth = 100000;
    const QString json = QStringLiteral(R"({"returncode":1,"deep":)") + QString(depth, u'[') + QString(depth, u']') +
                         QStringLiteral("}");
    const ReplyObject r = reply(json);
    QCOMPARE(ReplyReturnCode(r), 1);
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyText(r, "deep"));
}

void TestReply::returnCode_data() {
    QTest::addColumn<QString>("member"); // the JSON text of "returncode", or empty for no member
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("code");
    QTest::newRow("1") << QStringLiteral("1") << true << 1;
    QTest::newRow("0") << QStringLiteral("0") << true << 0;
    QTest::newRow("-1") << QStringLiteral("-1") << true << -1;
    QTest::newRow("largest") << QStringLiteral("2147483647") << true << 2147483647;
    QTest::newRow("smallest") << QStringLiteral("-2147483648") << true << int(-2147483647 - 1);
    QTest::newRow("string \"1\"") << QStringLiteral(R"("1")") << false << 0;
    QTest::newRow("string \"0\"") << QStringLiteral(R"("0")") << false << 0;
    QTest::newRow("2147483648") << QStringLiteral("2147483648") << false << 0;
    QTest::newRow("-2147483649") << QStringLiteral("-2147483649") << false << 0;
    QTest::newRow("huge") << QStringLiteral("18446744073709551616") << false << 0;
    QTest::newRow("1.0") << QStringLiteral("1.0") << false << 0;
    QTest::newRow("5.0") << QStringLiteral("5.0") << false << 0;
    QTest::newRow("exponent") << QStringLiteral("1e0") << false << 0;
    QTest::newRow("true") << QStringLiteral("true") << false << 0;
    QTest::newRow("null") << QStringLiteral("null") << false << 0;
    QTest::newRow("array") << QStringLiteral("[1]") << false << 0;
    QTest::newRow("missing") << QString() << false << 0;
}

void TestReply::returnCode() {
    QFETCH(QString, member);
    QFETCH(bool, readable);
    QFETCH(int, code);
    const ReplyObject r = reply(member.isEmpty() ? QStringLiteral(R"({"returnmsg":"x"})")
                                                 : QStringLiteral(R"({"returnmsg":"x","returncode":%1})").arg(member));
    if (readable)
        QCOMPARE(ReplyReturnCode(r), code);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyReturnCode(r));
}

void TestReply::returnMsg() {
    QCOMPARE(ReplyReturnMsg(reply(QStringLiteral(R"({"returnmsg":"用户名或密码错误"})"))),
             std::optional<QString>(QStringLiteral("用户名或密码错误")));
    QCOMPARE(ReplyReturnMsg(reply(QStringLiteral(R"({"returnmsg":""})"))), std::optional<QString>(QString()));
    QCOMPARE(ReplyReturnMsg(reply(QStringLiteral(R"({"returnmsg":404})"))),
             std::optional<QString>(QStringLiteral("404")));
    QCOMPARE(ReplyReturnMsg(reply(QStringLiteral(R"({"returnmsg":-7})"))),
             std::optional<QString>(QStringLiteral("-7")));
    QCOMPARE(ReplyReturnMsg(reply(QStringLiteral(R"({"returnmsg":2.5})"))),
             std::optional<QString>(QStringLiteral("2.5")));

    const ReplyObject absent = reply(QStringLiteral(R"({"returncode":0})"));
    QCOMPARE(ReplyReturnMsg(absent), std::nullopt);
    QVERIFY_THROWS_EXCEPTION(EReadError, RequireReturnMsg(ReplyReturnMsg(absent)));
    QCOMPARE(RequireReturnMsg(QStringLiteral("原因")), QStringLiteral("原因"));

    // Any other kind is a reading failure, null included (unlike other text members).
    for (const char* bad :
         {R"({"returnmsg":null})", R"({"returnmsg":true})", R"({"returnmsg":[]})", R"({"returnmsg":{"a":1}})"})
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyReturnMsg(reply(QString::fromUtf8(bad))));
}

void TestReply::text_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("text");
    QTest::newRow("string") << QStringLiteral(R"("红色连衣裙")") << true << QStringLiteral("红色连衣裙");
    QTest::newRow("escapes") << QStringLiteral(R"("a\"b\\c\n\u4e00")") << true << QStringLiteral("a\"b\\c\n\u4e00");
    QTest::newRow("empty string") << QStringLiteral(R"("")") << true << QString();
    QTest::newRow("null reads null") << QStringLiteral("null") << true << QStringLiteral("null");
    QTest::newRow("integer") << QStringLiteral("12345") << true << QStringLiteral("12345");
    QTest::newRow("negative integer") << QStringLiteral("-42") << true << QStringLiteral("-42");
    QTest::newRow("64-bit integer") << QStringLiteral("9007199254740993") << true << QStringLiteral("9007199254740993");
    QTest::newRow("decimal") << QStringLiteral("12.5") << true << QStringLiteral("12.5");
    QTest::newRow("decimal 0.1") << QStringLiteral("0.1") << true << QStringLiteral("0.1");
    QTest::newRow("exponent, plain digits") << QStringLiteral("1.5e3") << true << QStringLiteral("1500");
    QTest::newRow("small exponent, plain digits") << QStringLiteral("2.5e-5") << true << QStringLiteral("0.000025");
    QTest::newRow("true") << QStringLiteral("true") << false << QString();
    QTest::newRow("object") << QStringLiteral(R"({"a":1})") << false << QString();
    QTest::newRow("array") << QStringLiteral(R"(["a"])") << false << QString();
}

void TestReply::text() {
    QFETCH(QString, member);
    QFETCH(bool, readable);
    QFETCH(QString, text);
    const ReplyObject r = reply(QStringLiteral(R"({"m":%1})").arg(member));
    if (readable)
        QCOMPARE(ReplyText(r, "m"), text);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyText(r, "m"));
}

// Integer members ("integer") and integer-from-text members ("userid" of the logs).
void TestReply::integers_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("intReadable");
    QTest::addColumn<bool>("fromTextReadable");
    QTest::addColumn<int>("value");
    QTest::newRow("number") << QStringLiteral("17") << true << true << 17;
    QTest::newRow("negative number") << QStringLiteral("-3") << true << true << -3;
    QTest::newRow("string digits") << QStringLiteral(R"("17")") << false << true << 17;
    QTest::newRow("string negative") << QStringLiteral(R"("-3")") << false << true << -3;
    QTest::newRow("string out of range") << QStringLiteral(R"("2147483648")") << false << false << 0;
    QTest::newRow("number out of range") << QStringLiteral("2147483648") << false << false << 0;
    QTest::newRow("string decimal") << QStringLiteral(R"("5.0")") << false << false << 0;
    QTest::newRow("number 5.0") << QStringLiteral("5.0") << false << true << 5; // its text is the plain "5"
    QTest::newRow("string with letters") << QStringLiteral(R"("12a")") << false << false << 0;
    QTest::newRow("empty string") << QStringLiteral(R"("")") << false << false << 0;
    QTest::newRow("null") << QStringLiteral("null") << false << false << 0;
}

void TestReply::integers() {
    QFETCH(QString, member);
    QFETCH(bool, intReadable);
    QFETCH(bool, fromTextReadable);
    QFETCH(int, value);
    const ReplyObject r = reply(QStringLiteral(R"({"m":%1})").arg(member));
    if (intReadable)
        QCOMPARE(ReplyInt(r, "m"), value);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyInt(r, "m"));
    if (fromTextReadable)
        QCOMPARE(ReplyIntFromText(r, "m"), value);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyIntFromText(r, "m"));
}

void TestReply::decimals_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("value");
    QTest::newRow("string") << QStringLiteral(R"("12.50")") << true << 12.5;
    QTest::newRow("number") << QStringLiteral("12.5") << true << 12.5;
    QTest::newRow("whole number") << QStringLiteral("100") << true << 100.0;
    QTest::newRow("whole string") << QStringLiteral(R"("100")") << true << 100.0;
    QTest::newRow("negative string") << QStringLiteral(R"("-0.75")") << true << -0.75;
    QTest::newRow("tiny number") << QStringLiteral("1e-300") << true << 1e-300;
    QTest::newRow("comma separator") << QStringLiteral(R"("12,5")") << false << 0.0;
    QTest::newRow("letters") << QStringLiteral(R"("abc")") << false << 0.0;
    QTest::newRow("unit") << QStringLiteral(R"("12.5元")") << false << 0.0;
    QTest::newRow("empty") << QStringLiteral(R"("")") << false << 0.0;
    QTest::newRow("null") << QStringLiteral("null") << false << 0.0;
    QTest::newRow("nan") << QStringLiteral(R"("nan")") << false << 0.0;
    QTest::newRow("inf") << QStringLiteral(R"("inf")") << false << 0.0;
    QTest::newRow("overflow") << QStringLiteral(R"("1e999")") << false << 0.0;
    QTest::newRow("boolean") << QStringLiteral("false") << false << 0.0;
}

void TestReply::decimals() {
    QFETCH(QString, member);
    QFETCH(bool, readable);
    QFETCH(double, value);
    const ReplyObject r = reply(QStringLiteral(R"({"m":%1})").arg(member));
    if (readable)
        QCOMPARE(ReplyFloat(r, "m"), value);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyFloat(r, "m"));
}

void TestReply::moneyMembers_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<qint64>("fen");
    QTest::newRow("string") << QStringLiteral(R"("13.00")") << true << Q_INT64_C(1300);
    QTest::newRow("number") << QStringLiteral("12.99") << true << Q_INT64_C(1299);
    QTest::newRow("not exact in binary") << QStringLiteral("0.1") << true << Q_INT64_C(10);
    QTest::newRow("half a fen") << QStringLiteral(R"("2.675")") << true << Q_INT64_C(268);
    QTest::newRow("below a fen") << QStringLiteral("1e-300") << true << Q_INT64_C(0);
    QTest::newRow("negative") << QStringLiteral(R"("-0.75")") << true << Q_INT64_C(-75);
    QTest::newRow("too large") << QStringLiteral(R"("1e15")") << false << Q_INT64_C(0);
    QTest::newRow("letters") << QStringLiteral(R"("abc")") << false << Q_INT64_C(0);
}

void TestReply::moneyMembers() {
    QFETCH(QString, member);
    QFETCH(bool, readable);
    QFETCH(qint64, fen);
    const ReplyObject r = reply(QStringLiteral(R"({"m":%1})").arg(member));
    if (readable)
        QCOMPARE(ReplyMoney(r, "m").fen(), fen);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyMoney(r, "m"));
}

void TestReply::dateTimes_data() {
    QTest::addColumn<QString>("member");
    QTest::addColumn<QDateTime>("value"); // invalid: a reading failure
    QTest::newRow("full") << QStringLiteral(R"("2016-05-01 08:30:00")")
                          << QDateTime(QDate(2016, 5, 1), QTime(8, 30, 0));
    QTest::newRow("end of day") << QStringLiteral(R"("2016-12-31 23:59:59")")
                                << QDateTime(QDate(2016, 12, 31), QTime(23, 59, 59));
    QTest::newRow("leap day") << QStringLiteral(R"("2016-02-29 00:00:00")")
                              << QDateTime(QDate(2016, 2, 29), QTime(0, 0));
    QTest::newRow("date only") << QStringLiteral(R"("2016-05-01")") << QDateTime(QDate(2016, 5, 1), QTime(0, 0));
    QTest::newRow("no leap day") << QStringLiteral(R"("2015-02-29 00:00:00")") << QDateTime();
    QTest::newRow("month 13") << QStringLiteral(R"("2016-13-01 08:30:00")") << QDateTime();
    QTest::newRow("day 32") << QStringLiteral(R"("2016-05-32 08:30:00")") << QDateTime();
    QTest::newRow("hour 24") << QStringLiteral(R"("2016-05-01 24:00:00")") << QDateTime();
    QTest::newRow("second 60") << QStringLiteral(R"("2016-05-01 08:30:60")") << QDateTime();
    QTest::newRow("slashes") << QStringLiteral(R"("2016/05/01 08:30:00")") << QDateTime();
    QTest::newRow("time only") << QStringLiteral(R"("08:30:00")") << QDateTime();
    QTest::newRow("trailing text") << QStringLiteral(R"("2016-05-01 08:30:00 PM")") << QDateTime();
    QTest::newRow("empty") << QStringLiteral(R"("")") << QDateTime();
    QTest::newRow("null") << QStringLiteral("null") << QDateTime();
    QTest::newRow("number") << QStringLiteral("20160501") << QDateTime();
}

void TestReply::dateTimes() {
    QFETCH(QString, member);
    QFETCH(QDateTime, value);
    const ReplyObject r = reply(QStringLiteral(R"({"m":%1})").arg(member));
    if (value.isValid())
        QCOMPARE(ReplyDateTime(r, "m"), value);
    else
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyDateTime(r, "m"));
}

void TestReply::missingMemberFailsForEveryKind() {
    const ReplyObject r = object(R"({"returncode":1,"Id":5})");
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyInt(r, "id")); // member names are case-sensitive
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyText(r, "id"));
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyIntFromText(r, "id"));
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyFloat(r, "id"));
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyDateTime(r, "id"));
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyRecords(r));
    // Readers given something other than an object fail the same way instead of misbehaving.
    const ReplyObject array = object("[1,2]");
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyInt(array, "id"));
    QVERIFY_THROWS_EXCEPTION(EReadError, ReplyReturnMsg(array));
}

void TestReply::records() {
    const ReplyObject r = reply(QStringLiteral(
        R"({"returncode":1,"totalnum":41,"msgbody":[{"taskid":"A1","money":"12.50"},7,null,"x",[{"taskid":"nested"}],)"
        R"({"taskid":"B2","money":3}]})"));
    QCOMPARE(ReplyInt(r, "totalnum"), 41);
    const auto list = ReplyRecords(r);
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(ReplyText(*list[0], "taskid"), QStringLiteral("A1"));
    QCOMPARE(ReplyFloat(*list[0], "money"), 12.5);
    QCOMPARE(ReplyText(*list[1], "taskid"), QStringLiteral("B2"));
    QCOMPARE(ReplyFloat(*list[1], "money"), 3.0);

    for (const char* bad : {R"({"msgbody":{"taskid":"A1"}})", R"({"msgbody":null})", R"({"msgbody":"[]"})"})
        QVERIFY_THROWS_EXCEPTION(EReadError, ReplyRecords(reply(QString::fromUtf8(bad))));
}

void TestReply::emptyList() {
    const ReplyObject r = reply(QStringLiteral(R"({"returncode":1,"returnmsg":"","totalnum":0,"msgbody":[]})"));
    QCOMPARE(ReplyReturnCode(r), 1);
    QCOMPARE(ReplyInt(r, "totalnum"), 0);
    QVERIFY(ReplyRecords(r).empty());
}

QTEST_GUILESS_MAIN(TestReply)
#include "test_reply.moc"
