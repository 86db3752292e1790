#pragma once
// Small helpers shared by the server tests: accounts with money, reading list replies, the newest
// log entries. Everything goes through the wire format against a real server process.
#include "tests/support/ServerProcess.h"
#include "tests/support/WireClient.h"

#include <QRegularExpression>
#include <QTest>
#include <optional>

#include <string>

namespace kit {

inline const QString Pass = QStringLiteral("secret123");

inline int code(const ReplyObject& reply) { return ReplyReturnCode(reply); }
inline QString msg(const ReplyObject& reply) { return ReplyReturnMsg(reply).value_or(QString()); }

inline ReplyObject registerUser(const WireClient& client, const QString& name, const QString& inviter = QString()) {
    return client.call(
        cmRegister, QString(), QString(),
        {name, Pass, QStringLiteral("12345"), name + QStringLiteral("的店"), name + QStringLiteral("_xh"), inviter});
}

inline ReplyObject login(const WireClient& client, const QString& name, const QString& pass = Pass) {
    return client.call(cmLogin, name, pass);
}

inline int userId(const WireClient& client, const QString& name) { return ReplyInt(login(client, name), "id"); }

inline double balance(const WireClient& client, const QString& name) {
    const ReplyObject info = client.call(cmGetBasicInfo, name, Pass);
    return ReplyFloat(*ReplyRecords(info).at(0), "accountbalance");
}

inline double inviteBalance(const WireClient& client, const QString& name) {
    return ReplyFloat(login(client, name), "inviteaccountbalance");
}

// The id of the newest request of `kind` ("recharge" or "withdraw") that list-requests prints.
inline QString newestRequestId(const ServerProcess& server, const QString& kind) {
    QString output;
    server.admin({QStringLiteral("list-requests")}, &output);
    QString id;
    static const QRegularExpression line(QStringLiteral(R"(^(\w+) (\d+) )"), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(output); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1) == kind) id = m.captured(2);
    }
    return id;
}

// `admin review-<kind> <the newest request of kind> <verdict>` (kind "recharge" or "withdraw", verdict
// "approve" or "reject"): the admin command's exit code.
inline int reviewNewest(const ServerProcess& server, const QString& kind, const QString& verdict) {
    QString output;
    return server.admin({QStringLiteral("review-") + kind, newestRequestId(server, kind), verdict}, &output);
}

// Signs up `name` and gives the account `yuan` by an approved recharge.
inline void fundedUser(const ServerProcess& server, const WireClient& client, const QString& name, double yuan) {
    QCOMPARE(code(registerUser(client, name)), 1);
    if (yuan <= 0) return;
    const QString tradeid = QStringLiteral("T-%1-%2").arg(name).arg(yuan);
    QCOMPARE(
        code(client.call(cmRechargeRequest, name, Pass, {*Money::fromYuan(yuan), QStringLiteral("支付宝"), tradeid})),
        1);
    QCOMPARE(reviewNewest(server, QStringLiteral("recharge"), QStringLiteral("approve")), 0);
}

// The rows of a list reply (returncode 1 required), copied out of the reply.
inline std::vector<ReplyObject> rows(const ReplyObject& reply) {
    if (ReplyReturnCode(reply) != 1) throw std::runtime_error("list refused: " + msg(reply).toStdString());
    std::vector<ReplyObject> result;
    for (const ReplyObject* row : ReplyRecords(reply)) result.push_back(*row);
    return result;
}

inline std::optional<ReplyObject> findTask(const ReplyObject& reply, const QString& taskid) {
    for (const ReplyObject& task : rows(reply))
        if (ReplyText(task, "taskid") == taskid) return task;
    return std::nullopt;
}

// Publishes a task and returns its id (the newest task of the publisher's list).
inline QString publish(const WireClient& client, const QString& name, const QString& money, int interval = 0) {
    const int id = userId(client, name);
    const ReplyObject reply =
        client.call(cmPublishTask, name, Pass,
                    {id, name + QStringLiteral("_xh"), name + QStringLiteral("的店"), money,
                     QStringLiteral("连衣裙 夏季"), QStringLiteral("好评"), QStringLiteral("要求,带逗号"), interval});
    if (ReplyReturnCode(reply) != 1) return {};
    const auto list = rows(client.call(cmGetPublishedTaskList, name, Pass, {1}));
    return list.empty() ? QString() : ReplyText(list.front(), "taskid");
}

inline int taskStatus(const WireClient& client, const QString& publisher, const QString& taskid) {
    const auto list = rows(client.call(cmSearchPublishedTask, publisher, Pass, {taskid}));
    return list.empty() ? -1 : ReplyInt(list.front(), "status");
}

} // namespace kit
