#pragma once
// Shared functions: countdown and status texts, the task action rules, money texts.
// All are pure: the current time is always passed in as `now` (the caller reads the clock).
#include "model/uCommonVarConst.h"

#include <QDateTime>
#include <QFlags>
#include <QString>
#include <QStringView>

// A date-time as milliseconds of local wall-clock time, days of 86,400,000 ms, no time zone and no
// daylight-saving shifts. A null date-time (a field no reply filled) counts as 1899-12-30 00:00:00,
// earlier than any time a reply carries. Used for every comparison of the lifecycle rules.
qint64 WallClockMSecs(const QDateTime& value);

// The span between two date-times as "%d天 %0.2d时 %0.2d分 %0.2d秒": whole seconds (the remainder
// dropped), days unpadded, the rest two digits. The order of the arguments does not matter.
// 3,725 s -> "0天 01时 02分 05秒".
QString FormatTimeSpan(const QDateTime& a, const QDateTime& b);

// Which list the status cell is built for.
enum StatusTextVariant {
    svListPage,        // page fetches of the taken and published tasks screens
    svHandledSearch,   // search of the taken tasks screen
    svPublishedSearch, // search of the published tasks screen: the status name alone
};

// The status cell of a task row at `now`: the status name, with the remaining payment time in
// state 1 ("等待支付[剩余支付时间…]", or the expired text once `now` reaches Fshouldpaytime) and the
// remaining review wait in state 3 ("等待好评[好评剩余等待时间…]"). Unknown states show "未知状态(n)".
QString GetTaskStatusText(const TTaskInfo& task, const QDateTime& now, StatusTextVariant variant);

// The two sides of a task.
enum TaskRole {
    rlHandler,   // the taken tasks screen
    rlPublisher, // the published tasks screen
};

// State-dependent context-menu actions. The state-independent items (refresh, contact, copy task
// id, view details) are always present and are not part of this set.
enum TaskAction : unsigned {
    // handler
    taConfirmHasPay = 1u << 0, // "确认已支付货款" -> cmConfirmHasPay
    taHandlerNoPayOnTime = 1u << 1, // submenu "未按时付款": "联系发单人加时", "取消任务" -> cmCancelHandledTask
    taBackTask = 1u << 2,           // "返回上一步" -> cmBackTask
    taConfirmShouhuoAndReply = 1u << 3, // "确认已收货并好评" -> cmConfirmShouhuoAndReply
    // publisher
    taDeleteTask = 1u << 4,           // "彻底删除任务" -> cmDeleteTask
    taPublisherNoPayOnTime = 1u << 5, // submenu "接单人未按时支付货款" -> cmExtendPayTime, cmCancelTaskNoPayOnTime
    taSetDelivered = 1u << 6,         // "确认已发货" -> cmSetDelivered
    taConfirmReplyAndComplete = 1u << 7, // "确认好评，交易完成" -> cmConfirmReplyAndComplete
};
Q_DECLARE_FLAGS(TTaskActions, TaskAction)
Q_DECLARE_OPERATORS_FOR_FLAGS(TTaskActions)

// The actions offered to `role` for `task` at `now`. A deadline counts as passed from the very
// moment it is reached (`now` >= deadline). An unknown status offers nothing.
TTaskActions GetTaskActions(TaskRole role, const TTaskInfo& task, const QDateTime& now);

// Money as shown in lists: "%6.2f 元", the sign (if any) before the padding: 5 yuan -> "  5.00 元",
// 20 yuan with u"+" -> "+ 20.00 元".
QString FormatMoney(Money value, QStringView sign = {});
