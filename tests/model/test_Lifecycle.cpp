// Countdown texts, status cells and the action rules of the task lifecycle, with fixed times.
#include "model/uCommonFunc.h"

#include <QtTest>

#include <ctime>

Q_DECLARE_METATYPE(StatusTextVariant)
Q_DECLARE_METATYPE(TaskRole)
Q_DECLARE_METATYPE(TTaskActions)

namespace {

QDateTime at(const char* text) {
    QDateTime value = QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    if (!value.isValid())
        value = QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return value;
}

// Payment deadline 10:15:00 and review time two days later at 12:00:00.
const char* const PayDeadline = "2016-03-01 10:15:00";
const char* const ReviewTime = "2016-03-03 12:00:00";

TTaskInfo task(int status) {
    TTaskInfo info;
    info.Ftaskid = QStringLiteral("2016030100001");
    info.Fstatus = TTaskStatus(status);
    info.Fshouldpaytime = at(PayDeadline);
    info.Fshouldshouhuoandreplytime = at(ReviewTime);
    return info;
}

} // namespace

class TestLifecycle : public QObject {
    Q_OBJECT

private slots:
    void formatTimeSpan_data();
    void formatTimeSpan();
    void spanIgnoresDaylightSaving();
    void statusText_data();
    void statusText();
    void actions_data();
    void actions();
};

void TestLifecycle::formatTimeSpan_data() {
    QTest::addColumn<QDateTime>("a");
    QTest::addColumn<QDateTime>("b");
    QTest::addColumn<QString>("expected");

    QTest::newRow("3,725 s") << at("2016-03-01 10:00:00") << at("2016-03-01 11:02:05") << "0天 01时 02分 05秒";
    QTest::newRow("90,061 s") << at("2016-03-01 10:00:00") << at("2016-03-02 11:01:01") << "1天 01时 01分 01秒";
    QTest::newRow("100 days") << at("2016-03-01 00:00:00") << at("2016-06-09 00:00:00") << "100天 00时 00分 00秒";
    QTest::newRow("59.6 s, remainder dropped")
        << at("2016-03-01 10:00:00.000") << at("2016-03-01 10:00:59.600") << "0天 00时 00分 59秒";
    QTest::newRow("59.6 s, swapped") << at("2016-03-01 10:00:59.600") << at("2016-03-01 10:00:00.000")
                                     << "0天 00时 00分 59秒";
    QTest::newRow("swapped, across midnight")
        << at("2016-03-02 01:00:00") << at("2016-03-01 23:59:59") << "0天 01时 00分 01秒";
    QTest::newRow("equal") << at(PayDeadline) << at(PayDeadline) << "0天 00时 00分 00秒";
    QTest::newRow("over a leap day") << at("2016-02-28 12:00:00") << at("2016-03-01 12:00:00") << "2天 00时 00分 00秒";
    QTest::newRow("years") << at("2000-01-01 00:00:00") << at("2100-01-01 00:00:01") << "36525天 00时 00分 01秒";
}

void TestLifecycle::formatTimeSpan() {
    QFETCH(QDateTime, a);
    QFETCH(QDateTime, b);
    QFETCH(QString, expected);
    QVERIFY(a.isValid() && b.isValid());
    QCOMPARE(FormatTimeSpan(a, b), expected);
}

void TestLifecycle::spanIgnoresDaylightSaving() {
    // Reply times are wall-clock values: a calendar day is 24 hours even on the night the local
    // clock springs forward.
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    const QDateTime before = at("2016-03-27 00:00:00");
    const QDateTime after = at("2016-03-28 00:00:00");
    const qint64 elapsed = before.secsTo(after);
    const QString span = FormatTimeSpan(before, after);
    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
    if (elapsed != 23 * 3600) QSKIP("the local time zone could not be switched to one with daylight saving");
    QCOMPARE(span, QStringLiteral("1天 00时 00分 00秒"));
}

void TestLifecycle::statusText_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("now");
    QTest::addColumn<StatusTextVariant>("variant");
    QTest::addColumn<QString>("expected");

    const QString expiredLong = QStringLiteral("支付时间过期，请联系发单人延长支付时间或取消该订单");
    QTest::newRow("1, fetched 10:00:00") << 1 << "2016-03-01 10:00:00" << svListPage
                                         << "等待支付[剩余支付时间0天 00时 15分 00秒]";
    QTest::newRow("1, taken search, 1 s left")
        << 1 << "2016-03-01 10:14:59" << svHandledSearch << "等待支付[剩余支付时间0天 00时 00分 01秒]";
    QTest::newRow("1, 0.4 s left") << 1 << "2016-03-01 10:14:59.600" << svListPage
                                   << "等待支付[剩余支付时间0天 00时 00分 00秒]";
    QTest::newRow("1, at the deadline") << 1 << PayDeadline << svListPage << "支付超时";
    QTest::newRow("1, at the deadline, taken search") << 1 << PayDeadline << svHandledSearch << expiredLong;
    QTest::newRow("1, after, taken search") << 1 << "2016-03-01 10:16:00" << svHandledSearch << expiredLong;
    QTest::newRow("1, published search") << 1 << "2016-03-01 10:00:00" << svPublishedSearch << "等待支付";
    QTest::newRow("1, after, published search") << 1 << "2016-03-01 10:16:00" << svPublishedSearch << "等待支付";
    QTest::newRow("3, before the review time")
        << 3 << "2016-03-02 10:59:59" << svListPage << "等待好评[好评剩余等待时间1天 01时 00分 01秒]";
    QTest::newRow("3, before, taken search")
        << 3 << "2016-03-03 11:59:00" << svHandledSearch << "等待好评[好评剩余等待时间0天 00时 01分 00秒]";
    QTest::newRow("3, at the review time") << 3 << ReviewTime << svListPage << "等待好评";
    QTest::newRow("3, before, published search") << 3 << "2016-03-02 10:00:00" << svPublishedSearch << "等待好评";
    QTest::newRow("0") << 0 << "2016-03-01 10:00:00" << svListPage << "等待接手";
    QTest::newRow("2, before the pay deadline") << 2 << "2016-03-01 10:00:00" << svHandledSearch << "等待发货";
    QTest::newRow("4, before the review time") << 4 << "2016-03-02 10:00:00" << svListPage << "等待完成";
    QTest::newRow("5") << 5 << "2016-03-05 10:00:00" << svListPage << "已经完成";
    QTest::newRow("unknown 6") << 6 << "2016-03-01 10:00:00" << svListPage << "未知状态(6)";
    QTest::newRow("unknown 200, search") << 200 << "2016-03-01 10:00:00" << svHandledSearch << "未知状态(200)";
}

void TestLifecycle::statusText() {
    QFETCH(int, status);
    QFETCH(QString, now);
    QFETCH(StatusTextVariant, variant);
    QFETCH(QString, expected);
    QCOMPARE(GetTaskStatusText(task(status), at(now.toLatin1().constData()), variant), expected);
}

void TestLifecycle::actions_data() {
    QTest::addColumn<TaskRole>("role");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("now");
    QTest::addColumn<TTaskActions>("expected");

    const TTaskActions none;
    const char* const beforePay = "2016-03-01 10:14:59";
    const char* const afterPay = "2016-03-01 10:16:00";
    const char* const beforeReview = "2016-03-03 11:59:59";
    const char* const afterReview = "2016-03-04 00:00:00";

    // Handler, taken tasks screen.
    QTest::newRow("handler 0") << rlHandler << 0 << beforePay << none;
    QTest::newRow("handler 1 before") << rlHandler << 1 << beforePay << TTaskActions(taConfirmHasPay);
    QTest::newRow("handler 1 at") << rlHandler << 1 << PayDeadline << TTaskActions(taHandlerNoPayOnTime);
    QTest::newRow("handler 1 after") << rlHandler << 1 << afterPay << TTaskActions(taHandlerNoPayOnTime);
    QTest::newRow("handler 2 before") << rlHandler << 2 << beforePay << TTaskActions(taBackTask);
    QTest::newRow("handler 2 at") << rlHandler << 2 << PayDeadline << none;
    QTest::newRow("handler 3 before") << rlHandler << 3 << beforeReview << none;
    QTest::newRow("handler 3 at") << rlHandler << 3 << ReviewTime << TTaskActions(taConfirmShouhuoAndReply);
    QTest::newRow("handler 3 after") << rlHandler << 3 << afterReview << TTaskActions(taConfirmShouhuoAndReply);
    QTest::newRow("handler 4 before") << rlHandler << 4 << beforeReview << TTaskActions(taBackTask);
    QTest::newRow("handler 4 at") << rlHandler << 4 << ReviewTime << none;
    QTest::newRow("handler 5") << rlHandler << 5 << beforePay << none;
    QTest::newRow("handler unknown 7") << rlHandler << 7 << beforePay << none;

    // Publisher, published tasks screen.
    QTest::newRow("publisher 0") << rlPublisher << 0 << afterReview << TTaskActions(taDeleteTask);
    QTest::newRow("publisher 1 before") << rlPublisher << 1 << beforePay << none;
    QTest::newRow("publisher 1 at") << rlPublisher << 1 << PayDeadline << TTaskActions(taPublisherNoPayOnTime);
    QTest::newRow("publisher 1 after") << rlPublisher << 1 << afterPay << TTaskActions(taPublisherNoPayOnTime);
    QTest::newRow("publisher 2 before") << rlPublisher << 2 << beforePay << TTaskActions(taSetDelivered);
    QTest::newRow("publisher 2 after") << rlPublisher << 2 << afterPay << TTaskActions(taSetDelivered);
    QTest::newRow("publisher 3 before") << rlPublisher << 3 << beforeReview << none;
    QTest::newRow("publisher 3 after") << rlPublisher << 3 << afterReview << none;
    QTest::newRow("publisher 4 before") << rlPublisher << 4 << beforeReview << TTaskActions(taConfirmReplyAndComplete);
    QTest::newRow("publisher 4 after") << rlPublisher << 4 << afterReview << TTaskActions(taConfirmReplyAndComplete);
    QTest::newRow("publisher 5") << rlPublisher << 5 << afterReview << none;
    QTest::newRow("publisher unknown 255") << rlPublisher << 255 << afterReview << none;
}

void TestLifecycle::actions() {
    QFETCH(TaskRole, role);
    QFETCH(int, status);
    QFETCH(QString, now);
    QFETCH(TTaskActions, expected);
    QCOMPARE(GetTaskActions(role, task(status), at(now.toLatin1().constData())), expected);
}

QTEST_GUILESS_MAIN(TestLifecycle)
#include "test_Lifecycle.moc"
