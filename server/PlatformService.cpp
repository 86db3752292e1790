#include "server/PlatformService.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"
#include "remote/uErrors.h"
#include "server/ServiceInternals.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <limits>
#include <map>

namespace {

// What a command does to the database.
enum class Access {
    Read,
    Write,
    // Writes nothing a kept reply shows (the hall's pages show tasks with their publishers' names and
    // shops): the data version, and with it the hall's cache in every process, stays.
    WriteUnshown,
};

struct CommandEntry {
    json (*run)(CommandContext&);
    Access access;
};

const std::map<int, CommandEntry>& Commands() {
    static const std::map<int, CommandEntry> table = {
        {cmLogin, {CmdLogin, Access::WriteUnshown}},
        {cmLogout, {CmdLogout, Access::Read}},
        {cmRegister, {CmdRegister, Access::WriteUnshown}},
        {cmBindAlipay, {CmdBindAlipay, Access::WriteUnshown}},
        {cmRechargeRequest, {CmdRechargeRequest, Access::WriteUnshown}},
        {cmWithdrawRequest, {CmdWithdrawRequest, Access::WriteUnshown}},
        {cmModifyPassword, {CmdModifyPassword, Access::WriteUnshown}},
        {cmGetSubUserList, {CmdGetSubUserList, Access::Read}},
        {cmGetWithdrawList, {CmdGetWithdrawList, Access::Read}},
        {cmGetRechargeList, {CmdGetRechargeList, Access::Read}},
        {cmPublishTask, {CmdPublishTask, Access::Write}},
        {cmSaveUserInfo, {CmdSaveUserInfo, Access::Write}},
        {cmGetBasicInfo, {CmdGetBasicInfo, Access::Read}},
        {cmGetTaskCenterList, {CmdGetTaskCenterList, Access::Read}},
        {cmSearchTaskCenter, {CmdSearchTaskCenter, Access::Read}},
        {cmGetHandledTaskList, {CmdGetHandledTaskList, Access::Read}},
        {cmSearchHandledTask, {CmdSearchHandledTask, Access::Read}},
        {cmGetPublishedTaskList, {CmdGetPublishedTaskList, Access::Read}},
        {cmSearchPublishedTask, {CmdSearchPublishedTask, Access::Read}},
        {cmGetOptLogList, {CmdGetOptLogList, Access::Read}},
        {cmGetTradeLogList, {CmdGetTradeLogList, Access::Read}},
        {cmHandleTask, {CmdHandleTask, Access::Write}},
        {cmCancelHandledTask, {CmdCancelHandledTask, Access::Write}},
        {cmCancelTaskNoPayOnTime, {CmdCancelTaskNoPayOnTime, Access::Write}},
        {cmDeleteTask, {CmdDeleteTask, Access::Write}},
        {cmBackTask, {CmdBackTask, Access::Write}},
        {cmConfirmHasPay, {CmdConfirmHasPay, Access::Write}},
        {cmExtendPayTime, {CmdExtendPayTime, Access::Write}},
        {cmSetDelivered, {CmdSetDelivered, Access::Write}},
        {cmConfirmShouhuoAndReply, {CmdConfirmShouhuoAndReply, Access::Write}},
        {cmConfirmReplyAndComplete, {CmdConfirmReplyAndComplete, Access::Write}},
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

// The reply's returncode, -1 when it has none.
int ReturnCodeOf(const json& reply) {
    const auto code = reply.find("returncode");
    return code != reply.end() && code->is_number_integer() ? code->get<int>() : -1;
}

bool isHexText(const std::string& text) {
    for (const char c : text)
        if (hexDigit(c) < 0) return false;
    return true;
}

} // namespace

// --- context helpers -------------------------------------------------------------------------------

QString CommandContext::text(const char* name) const {
    bool found = false;
    const QString value = ValueOfLine(data, QString::fromLatin1(name), &found);
    if (!found) throw ERefusal(QStringLiteral("请求数据缺少参数%1").arg(QString::fromLatin1(name)));
    return value;
}

int CommandContext::integer(const char* name) const {
    bool ok = false;
    const int value = text(name).trimmed().toInt(&ok, 10);
    if (!ok) throw ERefusal(QStringLiteral("参数%1不是有效的整数").arg(QString::fromLatin1(name)));
    return value;
}

std::int64_t CommandContext::pageOffset() const {
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

void MoveMoney(CommandContext& ctx, int userId, Balance balance, std::int64_t deltaCents, const QString& taskid,
               const QString& msg, const QString& shortReason) {
    std::int64_t after = 0;
    {
        Statement move = ctx.db.prepare(
            balance == Balance::Available
                ? "UPDATE users SET balance = balance + ?1 WHERE id = ?2 AND balance + ?1 >= 0 RETURNING balance"
                : "UPDATE users SET invitebalance = invitebalance + ?1 WHERE id = ?2 AND invitebalance + ?1 >= 0 "
                  "RETURNING invitebalance");
        move.bind(1, deltaCents).bind(2, userId);
        if (!move.step()) throw ERefusal(shortReason);
        after = move.int64(0);
    }
    const bool credit = deltaCents >= 0;
    Statement log = ctx.db.prepare(
        "INSERT INTO tradelog(userid, taskid, msg, moneytype, inmoney, outmoney, currentmoney, addtime, account) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    log.bind(1, userId).bind(2, taskid).bind(3, msg).bind(4, int(credit ? mtIn : mtOut));
    log.bind(5, credit ? deltaCents : 0).bind(6, credit ? 0 : -deltaCents).bind(7, after).bind(8, DbTime(ctx.now));
    log.bind(9, int(balance)).exec();
}

void AddOptLog(CommandContext& ctx, int userId, const QString& taskid, TOptType type, const QString& action,
               const QString& marks) {
    Statement stmt =
        ctx.db.prepare("INSERT INTO optlog(userid, taskid, opttype, action, marks, addtime) VALUES (?, ?, ?, ?, ?, ?)");
    stmt.bind(1, userId).bind(2, taskid).bind(3, int(type)).bind(4, action).bind(5, marks);
    stmt.bind(6, DbTime(ctx.now)).exec();
}

// --- the endpoint ----------------------------------------------------------------------------------

json PlatformService::refusal(const QString& reason) { return json{{"returncode", 0}, {"returnmsg", S(reason)}}; }

std::string PlatformService::encipherReply(const nlohmann::json& reply) {
    const std::string text = reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return EncipherToHex(QString::fromStdString(text), ChannelKey).toStdString();
}

json PlatformService::internalError(const std::exception& error, RequestRecord& record) {
    // A number the operator finds in the log; it tells the client nothing about the server.
    record.errorNumber = std::to_string(QRandomGenerator::system()->bounded(100000000u, 1000000000u));
    record.errorCause = error.what();
    return refusal(QStringLiteral("服务器内部错误（错误编号：%1）").arg(QString::fromStdString(record.errorNumber)));
}

namespace {
// Refusals made before any command was read still go into the record.
std::string refusalText(const QString& reason, RequestRecord* record) {
    if (record) record->returnCode = 0;
    return PlatformService::encipherReply(PlatformService::refusal(reason));
}
} // namespace

std::string PlatformService::handleFormBody(const std::string& body, RequestRecord* record) {
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

std::string PlatformService::handleFields(const std::string& headHex, const std::optional<std::string>& dataHex,
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

int PlatformService::authenticate(DbConnection& db, const QString& username, const QString& password,
                                  const std::string& address, std::uint64_t* dataVersion) {
    if (username.isEmpty() || password.isEmpty()) return 0;
    const QString from = QString::fromStdString(address);
    const SignInThrottle::Verdict verdict = m_throttle.check(db, username, from);
    if (verdict.waitSeconds > 0)
        throw ERefusal(QStringLiteral("密码错误次数过多，请%1秒后再试").arg(verdict.waitSeconds));
    int userId = 0;
    QString salt, hash;
    {
        Statement stmt = db.prepare(std::string("SELECT id, passsalt, passhash, (") + DataVersionSql +
                                    ") FROM users WHERE username = ?");
        stmt.bind(1, username);
        if (stmt.step()) {
            userId = stmt.integer(0);
            salt = stmt.text(1);
            hash = stmt.text(2);
            if (dataVersion) *dataVersion = std::uint64_t(stmt.int64(3));
        }
    }
    if (!userId) {
        // An unknown name costs what a known one costs, so that the answer's time tells nothing.
        RunDummyPasswordCheck(password);
        m_throttle.recordFailure(db, username, from);
        return 0;
    }
    // The stored hash is read for every request: a password changed by any process ends the old one's
    // entry in the cache at once.
    if (!m_credentials.isKnown(userId, password, salt, hash)) {
        if (!PasswordMatches(password, salt, hash)) {
            m_throttle.recordFailure(db, username, from);
            return 0;
        }
        if (PasswordNeedsRehash(hash)) {
            // Made with fewer iterations than today's: stored anew, unless another request changed it first.
            const PasswordRecord upgraded = HashNewPassword(password);
            Statement update = db.prepare("UPDATE users SET passsalt = ?, passhash = ? WHERE id = ? AND passhash = ?");
            update.bind(1, upgraded.salt).bind(2, upgraded.hash).bind(3, userId).bind(4, hash).exec();
            if (db.changes() == 1) {
                salt = upgraded.salt;
                hash = upgraded.hash;
            }
        }
        m_credentials.remember(userId, password, salt, hash);
    }
    if (verdict.hasFailures) m_throttle.clear(db, username, from);
    return userId;
}

std::string PlatformService::replyText(const QStringList& head, const QStringList& data, RequestRecord& record) {
    // Only a well-formed hall page request is served from the cache; anything else takes the full path.
    std::optional<std::pair<int, int>> page;
    if (m_hallCacheEnabled &&
        ValueOfLine(head, QStringLiteral("head_command")).trimmed() == QString::number(cmGetTaskCenterList)) {
        bool pageOk = false, typeOk = false;
        const int index = ValueOfLine(data, QStringLiteral("pageindex")).trimmed().toInt(&pageOk, 10);
        const int type = ValueOfLine(data, QStringLiteral("taskttimetype")).trimmed().toInt(&typeOk, 10);
        if (pageOk && typeOk && index >= 1 && index <= 10000 && type >= 0 && type <= 4)
            page = std::make_pair(index, type);
    }
    if (page) {
        // The credentials and the database's data version in one query: a page kept under the version
        // that is still current reflects every write of every process. Credentials are checked once per
        // request on this path (a wrong password must count once); a page that is not kept, or no longer
        // good, takes the full path.
        std::optional<json> refused;
        try {
            ConnectionLease lease = m_db.acquire();
            record.command = cmGetTaskCenterList;
            std::uint64_t version = 0;
            record.userId = authenticate(*lease, ValueOfLine(head, QStringLiteral("head_username")),
                                         ValueOfLine(head, QStringLiteral("head_password")), record.address, &version);
            if (record.userId) {
                std::lock_guard lock(m_hallMutex);
                const auto it = m_hallPages.find(*page);
                if (it != m_hallPages.end() && it->second.version == version) {
                    record.returnCode = 1;
                    return it->second.text;
                }
            } else {
                refused = refusal(QStringLiteral("用户名或密码错误"));
            }
        } catch (const ERefusal& error) {
            refused = refusal(error.reason());
        } catch (const std::exception&) {
            // the full path tries again and reports what fails
        }
        if (refused) {
            record.returnCode = 0;
            return encipherReply(*refused);
        }
    }
    std::uint64_t readVersion = 0;
    const json reply = run(head, data, record, page ? &readVersion : nullptr);
    record.returnCode = ReturnCodeOf(reply);
    std::string text = encipherReply(reply);
    if (page && reply.value("returncode", 0) == 1) {
        std::lock_guard lock(m_hallMutex);
        if (m_hallPages.size() > 1000) m_hallPages.clear();
        m_hallPages[*page] = CachedPage{readVersion, text};
    }
    return text;
}

nlohmann::json PlatformService::handleLists(const QStringList& head, const QStringList& data, RequestRecord* record) {
    RequestRecord unused;
    RequestRecord& call = record ? *record : unused;
    json reply = run(head, data, call, nullptr);
    call.returnCode = ReturnCodeOf(reply);
    return reply;
}

nlohmann::json PlatformService::run(const QStringList& head, const QStringList& data, RequestRecord& record,
                                    std::uint64_t* dataVersion) {
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
    const CommandSpec* spec = FindCommand(code);
    if (entry == Commands().end() || !spec) return refusal(QStringLiteral("未知的命令：%1").arg(code));

    // Every data line the command carries must be there (the catalogue names them).
    for (const CommandField& field : spec->fields) {
        bool present = false;
        ValueOfLine(data, QString::fromLatin1(field.name), &present);
        if (!present) return refusal(QStringLiteral("请求数据缺少参数%1").arg(QString::fromLatin1(field.name)));
    }

    const QString username = ValueOfLine(head, QStringLiteral("head_username"));
    const QString password = ValueOfLine(head, QStringLiteral("head_password"));

    // A transaction that PostgreSQL ended as a deadlock victim changed nothing: it runs again. So does
    // a request whose pooled connection turns out broken (the database server restarted since it was
    // last used) before its command began; once the command has begun, a broken connection leaves
    // unknown whether it committed, and the request is answered with the failure.
    constexpr int Attempts = 3;
    for (int attempt = 1;; ++attempt) {
        bool begun = false;
        try {
            ConnectionLease lease = m_db.acquire();
            DbConnection& db = *lease;
            int userId = 0;
            if (code != cmRegister) {
                userId = authenticate(db, username, password, record.address);
                if (!userId) return refusal(QStringLiteral("用户名或密码错误"));
                record.userId = userId;
            }
            begun = true;
            Transaction transaction(db, entry->second.access != Access::Read);
            if (entry->second.access == Access::WriteUnshown) transaction.keepDataVersion();
            // Read in the command's own transaction, so that what it reads is of this version.
            if (dataVersion) *dataVersion = db.dataVersion();
            CommandContext ctx{db, userId, username, password, data, db.now()};
            json reply = entry->second.run(ctx);
            transaction.commit();
            return reply;
        } catch (const ERefusal& refused) {
            return refusal(refused.reason());
        } catch (const EDbError& error) {
            const bool again =
                error.kind() == EDbError::Kind::Retryable || (error.kind() == EDbError::Kind::ConnectionLost && !begun);
            if (again && attempt < Attempts) continue;
            return internalError(error, record);
        } catch (const std::exception& error) {
            return internalError(error, record);
        }
    }
}
