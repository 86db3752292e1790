#include "model/uCommonFunc.h"

#include <QDate>
#include <QTime>

namespace {

constexpr qint64 MSecsPerDay = 86'400'000;
// Origin of the platform's date-time values; also what a null (never filled) date-time stands for.
const qint64 ZeroDay = QDate(1899, 12, 30).toJulianDay();

bool isKnownStatus(TTaskStatus status) { return status <= tsTaskComplete; }

bool reached(const QDateTime& now, const QDateTime& deadline) {
    return WallClockMSecs(now) >= WallClockMSecs(deadline);
}

} // namespace

qint64 WallClockMSecs(const QDateTime& value) {
    if (!value.isValid()) return ZeroDay * MSecsPerDay;
    return value.date().toJulianDay() * MSecsPerDay + value.time().msecsSinceStartOfDay();
}

QString FormatTimeSpan(const QDateTime& a, const QDateTime& b) {
    const qint64 difference = WallClockMSecs(a) - WallClockMSecs(b);
    const qint64 s = (difference < 0 ? -difference : difference) / 1000;
    const qint64 m = s / 60;
    const qint64 h = m / 60;
    return QStringLiteral("%1天 %2时 %3分 %4秒")
        .arg(h / 24)
        .arg(h % 24, 2, 10, QLatin1Char('0'))
        .arg(m % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString GetTaskStatusText(const TTaskInfo& task, const QDateTime& now, StatusTextVariant variant) {
    const QString name = TaskStatusName(task.Fstatus);
    if (variant == svPublishedSearch) return name;
    switch (task.Fstatus) {
    case tsWaitforPay:
        if (reached(now, task.Fshouldpaytime))
            return variant == svHandledSearch ? QStringLiteral("支付时间过期，请联系发单人延长支付时间或取消该订单")
                                              : QStringLiteral("支付超时");
        return QStringLiteral("%1[剩余支付时间%2]").arg(name, FormatTimeSpan(now, task.Fshouldpaytime));
    case tsWaitforReply:
        if (!reached(now, task.Fshouldshouhuoandreplytime))
            return QStringLiteral("%1[好评剩余等待时间%2]")
                .arg(name, FormatTimeSpan(now, task.Fshouldshouhuoandreplytime));
        return name;
    default: return name;
    }
}

TTaskActions GetTaskActions(TaskRole role, const TTaskInfo& task, const QDateTime& now) {
    if (!isKnownStatus(task.Fstatus)) return {};
    const bool payExpired = reached(now, task.Fshouldpaytime);
    const bool reviewReached = reached(now, task.Fshouldshouhuoandreplytime);
    TTaskActions actions;
    if (role == rlHandler) {
        switch (task.Fstatus) {
        case tsWaitforPay: actions |= payExpired ? taHandlerNoPayOnTime : taConfirmHasPay; break;
        case tsWaitforDelivergoods:
            if (!payExpired) actions |= taBackTask;
            break;
        case tsWaitforReply:
            if (reviewReached) actions |= taConfirmShouhuoAndReply;
            break;
        case tsWaitforConfirmReply:
            if (!reviewReached) actions |= taBackTask;
            break;
        default: break;
        }
    } else {
        switch (task.Fstatus) {
        case tsWaitforHandle: actions |= taDeleteTask; break;
        case tsWaitforPay:
            if (payExpired) actions |= taPublisherNoPayOnTime;
            break;
        case tsWaitforDelivergoods: actions |= taSetDelivered; break;
        case tsWaitforConfirmReply: actions |= taConfirmReplyAndComplete; break;
        default: break;
        }
    }
    return actions;
}

QString FormatMoney(Money value, QStringView sign) {
    return sign.toString() + QStringLiteral("%1").arg(value.fixedText(), 6) + QStringLiteral(" 元");
}
