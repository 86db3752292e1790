#include "remote/uReply.h"

#include "remote/uCipher.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

const ReplyObject& member(const ReplyObject& object, const char* name) {
    if (!object.is_object()) throw EReadError(QStringLiteral("返回数据不是JSON对象"));
    const auto it = object.find(name);
    if (it == object.end()) throw EReadError(QStringLiteral("返回数据缺少成员\"%1\"").arg(QString::fromUtf8(name)));
    return *it;
}

QString plainNumber(double value) {
    // Shortest text that reads back to the same double, without an exponent.
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (ec != std::errc()) return QString::number(value, 'f', 6);
    return QString::fromLatin1(buffer, end - buffer);
}

QString valueAsText(const ReplyObject& value, const char* name) {
    switch (value.type()) {
    case nlohmann::json::value_t::string: return QString::fromStdString(value.get<std::string>());
    case nlohmann::json::value_t::number_integer: return QString::number(value.get<qint64>());
    case nlohmann::json::value_t::number_unsigned: return QString::number(value.get<quint64>());
    case nlohmann::json::value_t::number_float: return plainNumber(value.get<double>());
    case nlohmann::json::value_t::null: return QStringLiteral("null");
    default: throw EReadError(QStringLiteral("返回数据成员\"%1\"不是文本").arg(QString::fromUtf8(name)));
    }
}

} // namespace

ReplyObject ParseReply(const QByteArray& holder) {
    qsizetype begin = 0, end = holder.size();
    while (begin < end && quint8(holder.at(begin)) <= 32) ++begin;
    while (end > begin && quint8(holder.at(end - 1)) <= 32) --end;
    if (begin == end) throw EReadError(QStringLiteral("服务器没有返回任何数据"));
    const QString hex = QString::fromLatin1(holder.constData() + begin, end - begin);
    const QString text = DecipherFromHex(hex, ChannelKey);
    ReplyObject reply = ReplyObject::parse(text.toStdString(), nullptr, false);
    if (reply.is_discarded()) throw EReadError(QStringLiteral("服务器返回的数据不是有效的JSON"));
    if (!reply.is_object()) throw EReadError(QStringLiteral("服务器返回的数据不是JSON对象"));
    return reply;
}

int ReplyReturnCode(const ReplyObject& reply) { return ReplyInt(reply, "returncode"); }

std::optional<QString> ReplyReturnMsg(const ReplyObject& reply) {
    if (!reply.is_object()) throw EReadError(QStringLiteral("返回数据不是JSON对象"));
    const auto it = reply.find("returnmsg");
    if (it == reply.end()) return std::nullopt;
    if (!it->is_string() && !it->is_number()) throw EReadError(QStringLiteral("返回数据成员\"returnmsg\"不是文本"));
    return valueAsText(*it, "returnmsg");
}

QString RequireReturnMsg(const std::optional<QString>& msg) {
    if (!msg) throw EReadError(QStringLiteral("返回数据缺少成员\"returnmsg\""));
    return *msg;
}

int ReplyInt(const ReplyObject& object, const char* name) {
    const ReplyObject& value = member(object, name);
    if (value.is_number_integer() || value.is_number_unsigned()) {
        if (value.is_number_unsigned()) {
            const auto u = value.get<std::uint64_t>();
            if (u <= std::uint64_t(std::numeric_limits<int>::max())) return int(u);
        } else {
            const auto i = value.get<std::int64_t>();
            if (i >= std::numeric_limits<int>::min() && i <= std::numeric_limits<int>::max()) return int(i);
        }
        throw EReadError(QStringLiteral("返回数据成员\"%1\"超出整数范围").arg(QString::fromUtf8(name)));
    }
    throw EReadError(QStringLiteral("返回数据成员\"%1\"不是整数").arg(QString::fromUtf8(name)));
}

QString ReplyText(const ReplyObject& object, const char* name) { return valueAsText(member(object, name), name); }

int ReplyIntFromText(const ReplyObject& object, const char* name) { return TextToInt(ReplyText(object, name)); }

double ReplyFloat(const ReplyObject& object, const char* name) { return TextToFloat(ReplyText(object, name)); }

Money ReplyMoney(const ReplyObject& object, const char* name) {
    const QString text = ReplyText(object, name);
    const std::optional<Money> money = Money::fromYuan(TextToFloat(text));
    if (!money) throw EReadError(QStringLiteral("\"%1\" 超出金额范围").arg(text));
    return *money;
}

QDateTime ReplyDateTime(const ReplyObject& object, const char* name) { return TextToDateTime(ReplyText(object, name)); }

std::vector<const ReplyObject*> ReplyRecords(const ReplyObject& reply) {
    const ReplyObject& body = member(reply, "msgbody");
    if (!body.is_array()) throw EReadError(QStringLiteral("返回数据成员\"msgbody\"不是数组"));
    std::vector<const ReplyObject*> records;
    for (const ReplyObject& element : body)
        if (element.is_object()) records.push_back(&element);
    return records;
}

int TextToInt(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok) throw EReadError(QStringLiteral("\"%1\" 不是有效的整数").arg(text));
    return value;
}

double TextToFloat(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) throw EReadError(QStringLiteral("\"%1\" 不是有效的数值").arg(text));
    return value;
}

QDateTime TextToDateTime(const QString& text) {
    // year-month-day, optionally followed by hour:minute[:second], one or two digits per part.
    static const QRegularExpression form(QStringLiteral(
        R"(^\s*(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.(\d{1,3}))?)?)?\s*$)"));
    const QRegularExpressionMatch m = form.match(text);
    if (m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt(),
                         m.captured(7).isEmpty() ? 0 : m.captured(7).leftJustified(3, u'0').toInt());
        if (date.isValid() && time.isValid()) return QDateTime(date, time);
    }
    throw EReadError(QStringLiteral("\"%1\" 不是有效的日期时间").arg(text));
}

QString FormatDateTime(const QDateTime& value) { return value.toString(DateTimeFormat); }
