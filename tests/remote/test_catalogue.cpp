// Command catalogue: the codes, the head line, the data lines of every command and their formats.
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>

namespace {

// Every command with its data fields in wire order; the letters give each field's format
// ('s' text, 'd' integer, 'f' money).
struct Expected {
    int code;
    const char* name;
    QStringList fields;
    const char* formats;
};

const std::vector<Expected>& expectedCommands() {
    static const std::vector<Expected> table = {
        {1, "cmLogin", {}, ""},
        {2, "cmLogout", {}, ""},
        {3,
         "cmRegister",
         {"username", "userpass", "qq", "shopkeeperusername", "taobaoxiaohao", "inviteuserid"},
         "ssssss"},
        {4, "cmBindAlipay", {"alipayaccount", "alipayusername"}, "ss"},
        {5, "cmRechargeRequest", {"rechargeamount", "tradetype", "tradeid"}, "fss"},
        {6, "cmWithdrawRequest", {"tixianamount"}, "f"},
        {7, "cmModifyPassword", {"newpass"}, "s"},
        {8, "cmGetSubUserList", {"pageindex", "userid"}, "dd"},
        {9, "cmGetWithdrawList", {"pageindex"}, "d"},
        {10, "cmGetRechargeList", {"pageindex"}, "d"},
        {11,
         "cmPublishTask",
         {"publishuserid", "publishtaobaoxiaohao", "shopkeeperusername", "taskmoney", "goodskeyword", "replymsg",
          "detailrequirement", "shouhuoandreplyintervalafterfahuo"},
         "dssssssd"},
        {14, "cmSaveUserInfo", {"username", "qq", "shopkeeperusername", "taobaoxiaohao"}, "ssss"},
        {15, "cmGetBasicInfo", {}, ""},
        {16, "cmGetTaskCenterList", {"pageindex", "taskttimetype"}, "dd"},
        {17, "cmSearchTaskCenter", {"taskid"}, "s"},
        {18, "cmGetHandledTaskList", {"pageindex"}, "d"},
        {19, "cmSearchHandledTask", {"taskid"}, "s"},
        {20, "cmGetPublishedTaskList", {"pageindex"}, "d"},
        {21, "cmSearchPublishedTask", {"taskid"}, "s"},
        {22, "cmGetOptLogList", {"pageindex"}, "d"},
        {23, "cmGetTradeLogList", {"pageindex"}, "d"},
        {24, "cmHandleTask", {"taskid", "handleuserid"}, "sd"},
        {26, "cmCancelHandledTask", {"taskid"}, "s"},
        {27, "cmCancelTaskNoPayOnTime", {"taskid"}, "s"},
        {28, "cmDeleteTask", {"taskid"}, "s"},
        {29, "cmBackTask", {"taskid", "status"}, "sd"},
        {30, "cmConfirmHasPay", {"taskid", "status"}, "sd"},
        {31, "cmExtendPayTime", {"taskid", "extendpaytime"}, "ss"},
        {32, "cmSetDelivered", {"taskid", "status"}, "sd"},
        {33, "cmConfirmShouhuoAndReply", {"taskid", "status"}, "sd"},
        {34, "cmConfirmReplyAndComplete", {"taskid", "status"}, "sd"},
    };
    return table;
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void codes();
    void headList();
    void commandsWithoutOwnLinesSendVersionLineAlone();
    void everyCommandsDataLines();
    void money_data();
    void money();
    void moneyIgnoresLocale();
    void moneyOutOfRange();
    void moneyTexts_data();
    void moneyTexts();
    void valuesOfWrongKindOrCount();
    void textValuesTravelUnchangedAndQuotedOnTheWire();
};

void TestCatalogue::codes() {
    const std::set<int> neverSent{12, 13, 25};
    int present = 0;
    for (int code = -1; code <= 40; ++code) {
        const CommandSpec* spec = FindCommand(code);
        const bool expected = code >= 1 && code <= 34 && !neverSent.count(code);
        QVERIFY2((spec != nullptr) == expected, qPrintable(QString::number(code)));
        if (spec) {
            QCOMPARE(int(spec->code), code);
            QCOMPARE(&CommandSpecOf(spec->code), spec);
            ++present;
        }
    }
    QCOMPARE(present, 31);
    QCOMPARE(CommandCatalogue().size(), std::size_t(31));
    for (std::size_t i = 1; i < CommandCatalogue().size(); ++i)
        QVERIFY(CommandCatalogue()[i - 1].code < CommandCatalogue()[i].code);
}

void TestCatalogue::headList() {
    QCOMPARE(BuildHeadList(cmLogin), QStringList{QStringLiteral("head_command=1")});
    QCOMPARE(BuildHeadList(cmGetTaskCenterList), QStringList{QStringLiteral("head_command=16")});
    QCOMPARE(BuildHeadList(cmConfirmReplyAndComplete), QStringList{QStringLiteral("head_command=34")});
}

void TestCatalogue::commandsWithoutOwnLinesSendVersionLineAlone() {
    QCOMPARE(ClientVersionText(), QStringLiteral("1.0.0.0"));
    for (TCommand command : {cmLogin, cmLogout, cmGetBasicInfo})
        QCOMPARE(BuildDataList(command), QStringList{QStringLiteral("clientversion=1.0.0.0")});
}

// Each command's lines: the version line, then every field in order, written name=value in its format.
void TestCatalogue::everyCommandsDataLines() {
    QCOMPARE(expectedCommands().size(), CommandCatalogue().size());
    for (const Expected& expected : expectedCommands()) {
        const CommandSpec* spec = FindCommand(expected.code);
        QVERIFY2(spec, expected.name);
        QCOMPARE(QString::fromLatin1(spec->name), QString::fromLatin1(expected.name));

        std::vector<CommandValue> values;
        QStringList lines{QStringLiteral("clientversion=1.0.0.0")};
        for (qsizetype i = 0; i < expected.fields.size(); ++i) {
            const QString& field = expected.fields.at(i);
            switch (expected.formats[i]) {
            case 's':
                values.emplace_back(QStringLiteral("值%1").arg(i));
                lines << field + QStringLiteral("=值%1").arg(i);
                break;
            case 'd':
                values.emplace_back(int(i) * 7 - 3);
                lines << field + u'=' + QString::number(int(i) * 7 - 3);
                break;
            case 'f':
                values.emplace_back(Money::fromFen(i * 100 + 50));
                lines << field + u'=' + QString::number(i) + QStringLiteral(".50");
                break;
            }
        }
        QCOMPARE(BuildDataList(TCommand(expected.code), values), lines);
    }
}

void TestCatalogue::money_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("text");
    QTest::newRow("100") << 100.0 << QStringLiteral("100.00");
    QTest::newRow("0") << 0.0 << QStringLiteral("0.00");
    QTest::newRow("12.5") << 12.5 << QStringLiteral("12.50");
    // Halves are rounded on the amount's decimal digits, not on its binary approximation.
    QTest::newRow("12.345") << 12.345 << QStringLiteral("12.35");
    QTest::newRow("1.005") << 1.005 << QStringLiteral("1.01");
    QTest::newRow("2.675") << 2.675 << QStringLiteral("2.68");
    QTest::newRow("0.125") << 0.125 << QStringLiteral("0.13");
    QTest::newRow("0.005") << 0.005 << QStringLiteral("0.01");
    QTest::newRow("12.344") << 12.344 << QStringLiteral("12.34");
    QTest::newRow("carry through nines") << 99.995 << QStringLiteral("100.00");
    QTest::newRow("carry 9.999") << 9.999 << QStringLiteral("10.00");
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << QStringLiteral("0.30");
    QTest::newRow("1.1 * 1.15") << 1.1 * 1.15 << QStringLiteral("1.27");
    QTest::newRow("below a cent") << 0.004 << QStringLiteral("0.00");
    QTest::newRow("tiny") << 1e-9 << QStringLiteral("0.00");
    QTest::newRow("no grouping") << 1234567.891 << QStringLiteral("1234567.89");
    QTest::newRow("large") << 123456789012.345 << QStringLiteral("123456789012.35");
    QTest::newRow("largest") << 999999999999999.0 << QStringLiteral("999999999999999.00");
    QTest::newRow("negative") << -12.345 << QStringLiteral("-12.35");
    QTest::newRow("negative below a cent") << -0.001 << QStringLiteral("0.00");
}

void TestCatalogue::money() {
    QFETCH(double, amount);
    QFETCH(QString, text);
    const std::optional<Money> money = Money::fromYuan(amount);
    QVERIFY(money);
    QCOMPARE(FormatFieldValue(FieldFormat::Money, *money), text);
    QCOMPARE(money->fixedText(), text);
}

void TestCatalogue::moneyOutOfRange() {
    for (const double yuan : {std::nan(""), std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), 1e15, -1e15, 1e300})
        QVERIFY2(!Money::fromYuan(yuan), qPrintable(QString::number(yuan)));
    QCOMPARE(Money::fromYuan(-999999999999999.0)->fen(), Q_INT64_C(-99999999999999900));
    // Sums and differences that do not fit are refused, never wrapped.
    const Money largest = Money::fromFen(std::numeric_limits<qint64>::max());
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, largest + Money::fromFen(1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error,
                             Money::fromFen(std::numeric_limits<qint64>::min()) - Money::fromFen(1));
    QCOMPARE((largest - Money::fromFen(1)).fen(), std::numeric_limits<qint64>::max() - 1);
}

void TestCatalogue::moneyTexts_data() {
    QTest::addColumn<qint64>("fen");
    QTest::addColumn<QString>("fixed");
    QTest::addColumn<QString>("general");
    QTest::newRow("zero") << Q_INT64_C(0) << "0.00"
                          << "0";
    QTest::newRow("one fen") << Q_INT64_C(1) << "0.01"
                             << "0.01";
    QTest::newRow("ten fen") << Q_INT64_C(10) << "0.10"
                             << "0.1";
    QTest::newRow("whole") << Q_INT64_C(15000) << "150.00"
                           << "150";
    QTest::newRow("half") << Q_INT64_C(1250) << "12.50"
                          << "12.5";
    QTest::newRow("negative") << Q_INT64_C(-305) << "-3.05"
                              << "-3.05";
    QTest::newRow("negative fen") << Q_INT64_C(-1) << "-0.01"
                                  << "-0.01";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-92233720368547758.08"
                              << "-92233720368547758.08";
}

void TestCatalogue::moneyTexts() {
    QFETCH(qint64, fen);
    QFETCH(QString, fixed);
    QFETCH(QString, general);
    QCOMPARE(Money::fromFen(fen).fixedText(), fixed);
    QCOMPARE(Money::fromFen(fen).generalText(), general);
}

void TestCatalogue::moneyIgnoresLocale() {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = FormatFieldValue(FieldFormat::Money, Money::fromFen(123450));
    QLocale::setDefault(previous);
    QCOMPARE(text, QStringLiteral("1234.50"));
    QCOMPARE(BuildDataList(cmRechargeRequest,
                           {Money::fromFen(10000), QStringLiteral("支付宝"), QStringLiteral("2016050100001")}),
             (QStringList{QStringLiteral("clientversion=1.0.0.0"), QStringLiteral("rechargeamount=100.00"),
                          QStringLiteral("tradetype=支付宝"), QStringLiteral("tradeid=2016050100001")}));
}

void TestCatalogue::valuesOfWrongKindOrCount() {
    // Wrong kinds: an int for money, text for an int, money for text.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmWithdrawRequest, {100}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmGetOptLogList, {QStringLiteral("1")}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmModifyPassword, {Money::fromFen(150)}));
    // Wrong counts.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmLogin, {QStringLiteral("x")}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmHandleTask, {QStringLiteral("T1")}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmGetSubUserList, {1, 2, 3}));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(cmDeleteTask));
    // A code outside the catalogue.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, BuildDataList(TCommand(12)));
}

// Typed texts go into the lines unchanged (the price exactly as typed); the comma text quotes the
// lines that need it.
void TestCatalogue::textValuesTravelUnchangedAndQuotedOnTheWire() {
    const QStringList lines =
        BuildDataList(cmPublishTask, {42, QStringLiteral("小号 一"), QStringLiteral("店主"), QStringLiteral("12.5"),
                                      QStringLiteral("red dress, long"), QStringLiteral("好评\"五星\""), QString(), 1});
    QCOMPARE(lines.at(4), QStringLiteral("taskmoney=12.5"));
    QCOMPARE(lines.at(5), QStringLiteral("goodskeyword=red dress, long"));
    QCOMPARE(lines.at(7), QStringLiteral("detailrequirement="));
    QCOMPARE(CommaText(lines),
             QStringLiteral(
                 "clientversion=1.0.0.0,publishuserid=42,\"publishtaobaoxiaohao=小号 一\",shopkeeperusername=店主,"
                 "taskmoney=12.5,\"goodskeyword=red dress, long\",\"replymsg=好评\"\"五星\"\"\","
                 "detailrequirement=,shouhuoandreplyintervalafterfahuo=1"));
    QCOMPARE(SplitCommaText(CommaText(lines)), lines);
}

QTEST_GUILESS_MAIN(TestCatalogue)
#include "test_catalogue.moc"
