#pragma once
// The command catalogue: every command the client sends, its code and the data lines it carries.
// Head and data lists of every command are built from this one table.
#include "remote/Money.h"

#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

enum TCommand {
    cmLogin = 1,
    cmLogout = 2,
    cmRegister = 3,
    cmBindAlipay = 4,
    cmRechargeRequest = 5,
    cmWithdrawRequest = 6,
    cmModifyPassword = 7,
    cmGetSubUserList = 8,
    cmGetWithdrawList = 9,
    cmGetRechargeList = 10,
    cmPublishTask = 11,
    cmSaveUserInfo = 14,
    cmGetBasicInfo = 15,
    cmGetTaskCenterList = 16,
    cmSearchTaskCenter = 17,
    cmGetHandledTaskList = 18,
    cmSearchHandledTask = 19,
    cmGetPublishedTaskList = 20,
    cmSearchPublishedTask = 21,
    cmGetOptLogList = 22,
    cmGetTradeLogList = 23,
    cmHandleTask = 24,
    cmCancelHandledTask = 26,
    cmCancelTaskNoPayOnTime = 27,
    cmDeleteTask = 28,
    cmBackTask = 29,
    cmConfirmHasPay = 30,
    cmExtendPayTime = 31,
    cmSetDelivered = 32,
    cmConfirmShouhuoAndReply = 33,
    cmConfirmReplyAndComplete = 34,
};

// "%s": text unchanged; "%d": decimal integer; "%f": a Money with two decimals (Money::fixedText),
// '.' separator, no grouping.
enum class FieldFormat { Text, Int, Money };

struct CommandField {
    const char* name;
    FieldFormat format;
};

struct CommandSpec {
    TCommand code;
    const char* name; // the member's name, "cmLogin"
    std::vector<CommandField> fields;
};

using CommandValue = std::variant<QString, int, Money>;

// All 31 commands, in code order.
const std::vector<CommandSpec>& CommandCatalogue();
// nullptr for a code the client never sends.
const CommandSpec* FindCommand(int code);
const CommandSpec& CommandSpecOf(TCommand command);

// The client version text, "1.0.0.0".
QString ClientVersionText();

// "head_command=<code>".
QStringList BuildHeadList(TCommand command);
// "clientversion=<version>" followed by the command's own lines, in the catalogue's order.
// The values must match the fields in number and kind (a programming error otherwise: std::logic_error).
QStringList BuildDataList(TCommand command, const std::vector<CommandValue>& values = {});

// One value written in a field's format.
QString FormatFieldValue(FieldFormat format, const CommandValue& value);
