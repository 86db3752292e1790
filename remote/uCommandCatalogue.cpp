#include "remote/uCommandCatalogue.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr auto S = FieldFormat::Text;
constexpr auto D = FieldFormat::Int;
constexpr auto F = FieldFormat::Money;
} // namespace

const std::vector<CommandSpec>& CommandCatalogue() {
    static const std::vector<CommandSpec> catalogue = {
        {cmLogin, "cmLogin", {}},
        {cmLogout, "cmLogout", {}},
        {cmRegister,
         "cmRegister",
         {{"username", S},
          {"userpass", S},
          {"qq", S},
          {"shopkeeperusername", S},
          {"taobaoxiaohao", S},
          {"inviteuserid", S}}},
        {cmBindAlipay, "cmBindAlipay", {{"alipayaccount", S}, {"alipayusername", S}}},
        {cmRechargeRequest, "cmRechargeRequest", {{"rechargeamount", F}, {"tradetype", S}, {"tradeid", S}}},
        {cmWithdrawRequest, "cmWithdrawRequest", {{"tixianamount", F}}},
        {cmModifyPassword, "cmModifyPassword", {{"newpass", S}}},
        {cmGetSubUserList, "cmGetSubUserList", {{"pageindex", D}, {"userid", D}}},
        {cmGetWithdrawList, "cmGetWithdrawList", {{"pageindex", D}}},
        {cmGetRechargeList, "cmGetRechargeList", {{"pageindex", D}}},
        {cmPublishTask,
         "cmPublishTask",
         {{"publishuserid", D},
          {"publishtaobaoxiaohao", S},
          {"shopkeeperusername", S},
          {"taskmoney", S},
          {"goodskeyword", S},
          {"replymsg", S},
          {"detailrequirement", S},
          {"shouhuoandreplyintervalafterfahuo", D}}},
        {cmSaveUserInfo,
         "cmSaveUserInfo",
         {{"username", S}, {"qq", S}, {"shopkeeperusername", S}, {"taobaoxiaohao", S}}},
        {cmGetBasicInfo, "cmGetBasicInfo", {}},
        {cmGetTaskCenterList, "cmGetTaskCenterList", {{"pageindex", D}, {"taskttimetype", D}}},
        {cmSearchTaskCenter, "cmSearchTaskCenter", {{"taskid", S}}},
        {cmGetHandledTaskList, "cmGetHandledTaskList", {{"pageindex", D}}},
        {cmSearchHandledTask, "cmSearchHandledTask", {{"taskid", S}}},
        {cmGetPublishedTaskList, "cmGetPublishedTaskList", {{"pageindex", D}}},
        {cmSearchPublishedTask, "cmSearchPublishedTask", {{"taskid", S}}},
        {cmGetOptLogList, "cmGetOptLogList", {{"pageindex", D}}},
        {cmGetTradeLogList, "cmGetTradeLogList", {{"pageindex", D}}},
        {cmHandleTask, "cmHandleTask", {{"taskid", S}, {"handleuserid", D}}},
        {cmCancelHandledTask, "cmCancelHandledTask", {{"taskid", S}}},
        {cmCancelTaskNoPayOnTime, "cmCancelTaskNoPayOnTime", {{"taskid", S}}},
        {cmDeleteTask, "cmDeleteTask", {{"taskid", S}}},
        {cmBackTask, "cmBackTask", {{"taskid", S}, {"status", D}}},
        {cmConfirmHasPay, "cmConfirmHasPay", {{"taskid", S}, {"status", D}}},
        {cmExtendPayTime, "cmExtendPayTime", {{"taskid", S}, {"extendpaytime", S}}},
        {cmSetDelivered, "cmSetDelivered", {{"taskid", S}, {"status", D}}},
        {cmConfirmShouhuoAndReply, "cmConfirmShouhuoAndReply", {{"taskid", S}, {"status", D}}},
        {cmConfirmReplyAndComplete, "cmConfirmReplyAndComplete", {{"taskid", S}, {"status", D}}},
    };
    return catalogue;
}

const CommandSpec* FindCommand(int code) {
    const auto& catalogue = CommandCatalogue();
    const auto it = std::find_if(catalogue.begin(), catalogue.end(),
                                 [code](const CommandSpec& spec) { return int(spec.code) == code; });
    return it == catalogue.end() ? nullptr : &*it;
}

const CommandSpec& CommandSpecOf(TCommand command) {
    const CommandSpec* spec = FindCommand(int(command));
    if (!spec) throw std::logic_error("command missing from the catalogue");
    return *spec;
}

QString ClientVersionText() { return QStringLiteral(QUORVANE_VERSION_TEXT); }

QStringList BuildHeadList(TCommand command) {
    return {QStringLiteral("%1=%2").arg(QStringLiteral("head_command")).arg(int(command))};
}

QString FormatFieldValue(FieldFormat format, const CommandValue& value) {
    switch (format) {
    case FieldFormat::Text:
        if (const auto* text = std::get_if<QString>(&value)) return *text;
        break;
    case FieldFormat::Int:
        if (const auto* number = std::get_if<int>(&value)) return QString::number(*number);
        break;
    case FieldFormat::Money:
        if (const auto* amount = std::get_if<Money>(&value)) return amount->fixedText();
        break;
    }
    throw std::logic_error("command value of the wrong kind");
}

QStringList BuildDataList(TCommand command, const std::vector<CommandValue>& values) {
    const CommandSpec& spec = CommandSpecOf(command);
    if (spec.fields.size() != values.size()) throw std::logic_error("wrong number of command values");
    QStringList lines{QStringLiteral("clientversion=%1").arg(ClientVersionText())};
    for (std::size_t i = 0; i < values.size(); ++i)
        lines.append(QString::fromLatin1(spec.fields[i].name) + u'=' +
                     FormatFieldValue(spec.fields[i].format, values[i]));
    return lines;
}
