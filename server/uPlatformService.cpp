#include "server/uPlatformService.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"
#include "remote/uErrors.h"
#include "server/uServiceInternals.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <limits>
#include <map>

namespace {

struct TCommandEntry {
    json (*run)(TCommandContext&);
    bool writes;
};

const std::map<int, TCommandEntry>& Commands() {
    static const std::map<int, TCommandEntry> table = {
        {cmLogin, {CmdLogin, true}},
        {cmLogout, {CmdLogout, false}},
        {cmRegister, {CmdRegister, true}},
        {cmBindAlipay, {CmdBindAlipay, true}},
        {cmRechargeRequest, {CmdRechargeRequest, true}},
        {cmWithdrawRequest, {CmdWithdrawRequest, true}},
        {cmModifyPassword, {CmdModifyPassword, true}},
        {cmGetSubUserList, {CmdGetSubUserList, false}},
        {cmGetWithdrawList, {CmdGetWithdrawList, false}},
        {cmGetRechargeList, {CmdGetRechargeList, false}},
        {cmPublishTask, {CmdPublishTask, true}},
        {cmSaveUserInfo, {CmdSaveUserInfo, true}},
        {cmGetBasicInfo, {CmdGetBasicInfo, false}},
        {cmGetTaskCenterList, {CmdGetTaskCenterList, false}},
        {cmSearchTaskCenter, {CmdSearchTaskCenter, false}},
        {cmGetHandledTaskList, {CmdGetHandledTaskList, false}},
        {cmSearchHandledTask, {CmdSearchHandledTask, false}},
        {cmGetPublishedTaskList, {CmdGetPublishedTaskList, false}},
        {cmSearchPublishedTask, {CmdSearchPublishedTask, false}},
        {cmGetOptLogList, {CmdGetOptLogList, false}},
        {cmGetTradeLogList, {CmdGetTradeLogList, false}},
        {cmHandleTask, {CmdHandleTask, true}},
        {cmCancelHandledTask, {CmdCancelHandledTask, true}},
        {cmCancelTaskNoPayOnTime, {CmdCancelTaskNoPayOnTime, true}},
        {cmDeleteTask, {CmdDeleteTask, true}},
        {cmBackTask, {CmdBackTask, true}},
        {cmConfirmHasPay, {CmdConfirmHasPay, true}},
        {cmExtendPayTime, {CmdExtendPayTime, true}},
        {cmSetDelivered, {CmdSetDelivered, true}},
        {cmConfirmShouhuoAndReply, {CmdConfirmShouhuoAndReply, true}},
        {cmConfirmReplyAndComplete, {CmdConfirmReplyAndComplete, true}},
    };
    return table;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// application/x-www-form-urlencoded: name=value pairs joined by '&', '+' for a blank, %XX escapes.
std::string formDecode(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 && hexDigit(text[i + 2]) >= 0) {
            out += char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

bool isHexText(const std::string& text) {
    for (const char c : text)
        if (hexDigit(c) < 0) return false;
    return true;
}

} // namespace

// --- context helpers -------------------------------------------------------------------------------

QString TCommandContext::text(const char* name) const {
    bool found = false;
    const QString value = ValueOfLine(data, QString::fromLatin1(name), &found);
    if (!found) throw ERefusal(QStringLiteral("请求数据缺少参数%1").arg(QString::fromLatin1(name)));
    return value;
}

int TCommandContext::integer(const char* name) const {
    bool ok = false;
    const int value = text(name).trimmed().toInt(&ok, 10);
    if (!ok) throw ERefusal(QStringLiteral("参数%1不是有效的整数").arg(QString::fromLatin1(name)));
    return value;
}

std::int64_t TCommandContext::pageOffset() const {
    bool ok = false;
    const int page = text("pageindex").trimmed().toInt(&ok, 10);
    if (!ok || page < 1) throw ERefusal(QStringLiteral("页码无效"));
    return std::int64_t(page - 1) * PageSize;
}

json Done(const QString& message) { return json{{"returncode", 1}, {"returnmsg", S(message)}}; }

json ListReply(std::int64_t total, json rows) {
    json reply = Done();
    reply["totalnum"] = total;
    reply["msgbody"] = std::move(rows);
    return reply;
}

std::int64_t BalanceOf(TDbConnection& db, int userId) {
    TStmt stmt = db.prepare("SELECT balance FROM users WHERE id = ?");
    stmt.bind(1, userId);
    if (!stmt.step()) throw ERefusal(QStringLiteral("用户不存在"));
    return stmt.int64(0);
}

void MoveBalance(TCommandContext& ctx, int userId, std::int64_t deltaCents) {
    TStmt stmt = ctx.db.prepare("UPDATE users SET balance = balance + ?1 WHERE id = ?2 AND balance + ?1 >= 0");
    stmt.bind(1, deltaCents).bind(2, userId).exec();
    if (ctx.db.changes() != 1) throw ERefusal(QStringLiteral("账户余额不足"));
}

void AddTradeLog(TCommandContext& ctx, int userId, const QString& taskid, const QString& msg, TServerMoneyType type,
                 std::int64_t inCents, std::int64_t outCents) {
    const std::int64_t current = BalanceOf(ctx.db, userId);
    TStmt stmt = ctx.db.prepare(
        "INSERT INTO tradelog(userid, taskid, msg, moneytype, inmoney, outmoney, currentmoney, addtime) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    stmt.bind(1, userId).bind(2, taskid).bind(3, msg).bind(4, int(type)).bind(5, inCents).bind(6, outCents);
    stmt.bind(7, current).bind(8, DbTime(ctx.now)).exec();
}

void AddOptLog(TCommandContext& ctx, int userId, const QString& taskid, TServerOptType type, const QString& action,
               const QString& marks) {
    TStmt stmt = ctx.db.prepare(
        "INSERT INTO optlog(userid, taskid, opttype, action, marks, addtime) VALUES (?, ?, ?, ?, ?, ?)");
    stmt.bind(1, userId).bind(2, taskid).bind(3, int(type)).bind(4, action).bind(5, marks);
    stmt.bind(6, DbTime(ctx.now)).exec();
}

// --- the endpoint ----------------------------------------------------------------------------------

json TPlatformService::refusal(const QString& reason) {
    return json{{"returncode", 0}, {"returnmsg", S(reason)}};
}

std::string TPlatformService::encipherReply(const nlohmann::json& reply) {
    const std::string text = reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return EncipherToHex(QString::fromStdString(text), ChannelKey).toStdString();
}

json TPlatformService::internalError(const std::exception& error, RequestRecord& record) {
    // A number the operator finds in the log; it tells the client nothing about the server.
    record.errorNumber = std::to_string(QRandomGenerator::system()->bounded(100000000u, 1000000000u));
    record.errorCause = error.what();
    return refusal(QStringLiteral("服务器内部错误（错误编号：%1）").arg(QString::fromStdString(record.errorNumber)));
}

namespace {
// Refusals made before any command was read still go into the record.
std::string refusalText(const QString& reason, RequestRecord* record) {
    if (record) record->returnCode = 0;
    return TPlatformService::encipherReply(TPlatformService::refusal(reason));
}
} // namespace

std::string TPlatformService::handleFormBody(const std::string& body, RequestRecord* record) {
    if (body.size() > MaxRequestBodyBytes) return refusalText(QStringLiteral("请求数据过长"), record);
    std::optional<std::string> head, data;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string::npos) end = body.size();
        const std::string pair = body.substr(start, end - start);
        const std::size_t eq = pair.find('=');
        const std::string name = formDecode(pair.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : formDecode(pair.substr(eq + 1));
        if (name == "head" && !head) head = value;
        if (name == "data" && !data) data = value;
        start = end + 1;
    }
    if (!head) return refusalText(QStringLiteral("请求缺少head参数"), record);
    return handleFields(*head, data, record);
}

std::string TPlatformService::handleFields(const std::string& headHex, const std::optional<std::string>& dataHex,
                                           RequestRecord* record) {
    auto clean = [](std::string text) {
        std::size_t b = 0, e = text.size();
        while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
        while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
        return text.substr(b, e - b);
    };
    const std::string head = clean(headHex);
    const std::string data = dataHex ? clean(*dataHex) : std::string();
    if (head.size() + data.size() > MaxRequestBodyBytes) return refusalText(QStringLiteral("请求数据过长"), record);
    if (head.empty() || !isHexText(head) || !isHexText(data))
        return refusalText(QStringLiteral("请求数据格式错误"), record);
    QStringList headLines, dataLines;
    try {
        headLines = SplitCommaText(DecipherFromHex(QString::fromLatin1(head), ChannelKey));
        dataLines = SplitCommaText(DecipherFromHex(QString::fromLatin1(data), ChannelKey));
    } catch (const std::exception&) {
        return refusalText(QStringLiteral("请求数据格式错误"), record);
    }
    RequestRecord unused;
    return replyText(headLines, dataLines, record ? *record : unused);
}

int TPlatformService::authenticate(TDbConnection& db, const QString& username, const QString& password,
                                   const std::string& address) {
    if (username.isEmpty() || password.isEmpty()) return 0;
    const QString from = QString::fromStdString(address);
    const SignInThrottle::Verdict verdict = FThrottle.check(db, username, from);
    if (verdict.waitSeconds > 0)
        throw ERefusal(QStringLiteral("密码错误次数过多，请%1秒后再试").arg(verdict.waitSeconds));
    int userId = 0;
    QString salt, hash;
    {
        TStmt stmt = db.prepare("SELECT id, passsalt, passhash FROM users WHERE username = ?");
        stmt.bind(1, username);
        if (stmt.step()) {
            userId = stmt.integer(0);
            salt = stmt.text(1);
            hash = stmt.text(2);
        }
    }
    if (!userId) {
        // An unknown name costs what a known one costs, so that the answer's time tells nothing.
        RunDummyPasswordCheck(password);
        FThrottle.recordFailure(db, username, from);
        return 0;
    }
    if (!FCredentials.isKnown(userId, password, salt, hash)) {
        if (!PasswordMatches(password, salt, hash)) {
            FThrottle.recordFailure(db, username, from);
            return 0;
        }
        if (PasswordNeedsRehash(hash)) {
            // Made with fewer iterations than today's: stored anew, unless another request changed it first.
            const TPasswordRecord upgraded = HashNewPassword(password);
            TStmt update = db.prepare("UPDATE users SET passsalt = ?, passhash = ? WHERE id = ? AND passhash = ?");
            update.bind(1, upgraded.salt).bind(2, upgraded.hash).bind(3, userId).bind(4, hash).exec();
            if (db.changes() == 1) {
                salt = upgraded.salt;
                hash = upgraded.hash;
            }
        }
        FCredentials.remember(userId, password, salt, hash);
    }
    if (verdict.hasFailures) FThrottle.clear(db, username, from);
    return userId;
}

std::string TPlatformService::replyText(const QStringList& head, const QStringList& data, RequestRecord& record) {
    // Only a well-formed hall page request is served from the cache; anything else takes the full path.
    std::optional<std::pair<int, int>> page;
    if (FHallCacheEnabled && ValueOfLine(head, QStringLiteral("head_command")).trimmed() == QString::number(cmGetTaskCenterList)) {
        bool pageOk = false, typeOk = false;
        const int index = ValueOfLine(data, QStringLiteral("pageindex")).trimmed().toInt(&pageOk, 10);
        const int type = ValueOfLine(data, QStringLiteral("taskttimetype")).trimmed().toInt(&typeOk, 10);
        if (pageOk && typeOk && index >= 1 && index <= 10000 && type >= 0 && type <= 4) page = std::make_pair(index, type);
    }
    const std::uint64_t version = FVersion.load();
    if (page) {
        std::string cached;
        {
            std::lock_guard lock(FHallMutex);
            const auto it = FHallPages.find(*page);
            if (it != FHallPages.end() && it->second.version == version) cached = it->second.text;
        }
        if (!cached.empty()) {
            // Credentials are checked once per request: a wrong password must count once.
            std::optional<json> refused;
            try {
                TConnectionLease lease = FDb.acquire();
                record.command = cmGetTaskCenterList;
                record.userId = authenticate(*lease, ValueOfLine(head, QStringLiteral("head_username")),
                                             ValueOfLine(head, QStringLiteral("head_password")), record.address);
                if (record.userId) {
                    record.returnCode = 1;
                    return cached;
                }
                refused = refusal(QStringLiteral("用户名或密码错误"));
            } catch (const ERefusal& error) {
                refused = refusal(error.reason());
            } catch (const std::exception& error) {
                refused = internalError(error, record);
            }
            record.returnCode = 0;
            return encipherReply(*refused);
        }
    }
    const json reply = handleLists(head, data, &record);
    std::string text = encipherReply(reply);
    if (page && reply.value("returncode", 0) == 1) {
        std::lock_guard lock(FHallMutex);
        if (FHallPages.size() > 1000) FHallPages.clear();
        FHallPages[*page] = TCachedPage{version, text};
    }
    return text;
}

nlohmann::json TPlatformService::handleLists(const QStringList& head, const QStringList& data, RequestRecord* record) {
    RequestRecord unused;
    RequestRecord& call = record ? *record : unused;
    json reply = run(head, data, call);
    const auto code = reply.find("returncode");
    call.returnCode = code != reply.end() && code->is_number_integer() ? code->get<int>() : -1;
    return reply;
}

nlohmann::json TPlatformService::run(const QStringList& head, const QStringList& data, RequestRecord& record) {
    for (const QStringList* lines : {&head, &data})
        for (const QString& line : *lines)
            if (line.size() > MaxFieldValueChars + 64) return refusal(QStringLiteral("请求参数过长"));

    bool found = false;
    const QString commandText = ValueOfLine(head, QStringLiteral("head_command"), &found);
    bool ok = false;
    const int code = commandText.trimmed().toInt(&ok, 10);
    if (!found || !ok) return refusal(QStringLiteral("请求缺少命令代码"));
    record.command = code;
    const auto entry = Commands().find(code);
    const TCommandSpec* spec = FindCommand(code);
    if (entry == Commands().end() || !spec) return refusal(QStringLiteral("未知的命令：%1").arg(code));

    // Every data line the command carries must be there (the catalogue names them).
    for (const TCommandField& field : spec->fields) {
        bool present = false;
        ValueOfLine(data, QString::fromLatin1(field.name), &present);
        if (!present) return refusal(QStringLiteral("请求数据缺少参数%1").arg(QString::fromLatin1(field.name)));
    }

    const QString username = ValueOfLine(head, QStringLiteral("head_username"));
    const QString password = ValueOfLine(head, QStringLiteral("head_password"));

    try {
        TConnectionLease lease = FDb.acquire();
        TDbConnection& db = *lease;
        int userId = 0;
        if (code != cmRegister) {
            userId = authenticate(db, username, password, record.address);
            if (!userId) return refusal(QStringLiteral("用户名或密码错误"));
            record.userId = userId;
        }
        TTransaction transaction(db, entry->second.writes);
        TCommandContext ctx{db, userId, username, password, data, db.now()};
        json reply = entry->second.run(ctx);
        transaction.commit();
        if (entry->second.writes) ++FVersion;
        return reply;
    } catch (const ERefusal& refused) {
        return refusal(refused.reason());
    } catch (const std::exception& error) {
        return internalError(error, record);
    }
}
