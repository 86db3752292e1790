#pragma once
// Reply envelope: the enciphered JSON object every command answers with, and the member readers.
// Every reader throws EReadError when it cannot do its work; nothing here shows a message.
#include "remote/Money.h"
#include "remote/uErrors.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

using ReplyObject = nlohmann::json;

// The reply holder's bytes: trimmed of characters of code 32 or below, deciphered with the channel
// key, parsed as JSON. The top-level value must be an object.
ReplyObject ParseReply(const QByteArray& holder);

int ReplyReturnCode(const ReplyObject& reply);
// Absent: nullopt. Present: must be a string or a number.
std::optional<QString> ReplyReturnMsg(const ReplyObject& reply);
// For a screen that shows a refusal: the text, or a reading failure when the member was absent.
QString RequireReturnMsg(const std::optional<QString>& msg);

int ReplyInt(const ReplyObject& object, const char* name);
QString ReplyText(const ReplyObject& object, const char* name);
int ReplyIntFromText(const ReplyObject& object, const char* name);
double ReplyFloat(const ReplyObject& object, const char* name);
// A decimal member read as an amount of money: the nearest whole fen (Money::fromYuan).
Money ReplyMoney(const ReplyObject& object, const char* name);
QDateTime ReplyDateTime(const ReplyObject& object, const char* name);
// The objects of "msgbody" in order; elements that are not objects are skipped.
std::vector<const ReplyObject*> ReplyRecords(const ReplyObject& reply);

// Conversions the readers use, also for typed text: each throws EReadError naming the text.
int TextToInt(const QString& text);
double TextToFloat(const QString& text);
QDateTime TextToDateTime(const QString& text);

// The process-wide date-time form: "yyyy-mm-dd hh:nn:ss".
QString FormatDateTime(const QDateTime& value);
inline const QString DateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
