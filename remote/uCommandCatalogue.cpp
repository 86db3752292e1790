#include "remote/uCommandCatalogue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {
constexpr auto S = TFieldFormat::Text;
constexpr auto D = TFieldFormat::Int;
constexpr auto F = TFieldFormat::Money;

// A money amount with exactly two decimals, rounded half away from zero on the amount's decimal
// digits (15 significant digits, which is what a typed amount holds) instead of on its binary
// approximation: 12.345 is sent as 12.35 although the nearest double lies just below 12.345.
QString formatMoney(double amount) {
    char buffer[32];
    // d.ddddddddddddddde±x: always 15 significant digits, independent of the C locale.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, amount, std::chars_format::scientific, 14);
    if (ec != std::errc()) throw std::logic_error("money value cannot be formatted");
    const std::string text(buffer, end);
    const bool negative = text.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t e = text.find('e');
    std::string digits = text.substr(first, 1) + text.substr(first + 2, e - first - 2);
    const int exponent = std::stoi(text.substr(e + 1));

    // `kept` holds the amount in hundredths, as decimal digits.
    const long long keep = static_cast<long long>(exponent) + 3;
    std::string kept;
    if (keep <= 0) {
        kept = keep == 0 && digits.front() >= '5' ? "1" : "0";
    } else if (keep >= static_cast<long long>(digits.size())) {
        kept = digits + std::string(static_cast<std::size_t>(keep) - digits.size(), '0');
    } else {
        const auto k = static_cast<std::size_t>(keep);
        kept = digits.substr(0, k);
        if (digits[k] >= '5') {
            std::size_t i = kept.size();
            while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
            if (i == 0) kept.insert(kept.begin(), '1');
            else ++kept[i - 1];
        }
    }
    const std::size_t nonZero = kept.find_first_not_of('0');
    kept.erase(0, std::min(nonZero, kept.size() - 1));
    if (kept.size() < 3) kept.insert(0, 3 - kept.size(), '0');
    const bool zero = nonZero == std::string::npos;
    const std::string result = (negative && !zero ? "-" : "") + kept.substr(0, kept.size() - 2) + '.' +
                               kept.substr(kept.size() - 2);
    return QString::fromLatin1(result.data(), static_cast<qsizetype>(result.size()));
}
} // namespace

const std::vector<TCommandSpec>& CommandCatalogue() {
    static const std::vector<TCommandSpec> catalogue = {
        {cmLogin, "cmLogin", {}},
        {cmLogout, "cmLogout", {}},
        {cmRegister,
         "cmRegister",
         {{"username", S}, {"userpass", S}, {"qq", S}, {"shopkeeperusername", S}, {"taobaoxiaohao", S},
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
         {{"publishuserid", D}, {"publishtaobaoxiaohao", S}, {"shopkeeperusername", S}, {"taskmoney", S},
          {"goodskeyword", S}, {"replymsg", S}, {"detailrequirement", S},
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

const TCommandSpec* FindCommand(int code) {
    const auto& catalogue = CommandCatalogue();
    const auto it = std::find_if(catalogue.begin(), catalogue.end(),
                                 [code](const TCommandSpec& spec) { return int(spec.code) == code; });
    return it == catalogue.end() ? nullptr : &*it;
}

const TCommandSpec& CommandSpec(TCommand command) {
    const TCommandSpec* spec = FindCommand(int(command));
    if (!spec) throw std::logic_error("command missing from the catalogue");
    return *spec;
}

QString ClientVersionText() { return QStringLiteral(QUORVANE_VERSION_TEXT); }

QStringList BuildHeadList(TCommand command) {
    return {QStringLiteral("%1=%2").arg(QStringLiteral("head_command")).arg(int(command))};
}

QString FormatFieldValue(TFieldFormat format, const TCommandValue& value) {
    switch (format) {
    case TFieldFormat::Text:
        if (const auto* text = std::get_if<QString>(&value)) return *text;
        break;
    case TFieldFormat::Int:
        if (const auto* number = std::get_if<int>(&value)) return QString::number(*number);
        break;
    case TFieldFormat::Money:
        if (const auto* amount = std::get_if<double>(&value)) {
            if (!std::isfinite(*amount)) throw std::logic_error("money value is not finite");
            return formatMoney(*amount);
        }
        break;
    }
    throw std::logic_error("command value of the wrong kind");
}

QStringList BuildDataList(TCommand command, const std::vector<TCommandValue>& values) {
    const TCommandSpec& spec = CommandSpec(command);
    if (spec.fields.size() != values.size()) throw std::logic_error("wrong number of command values");
    QStringList lines{QStringLiteral("clientversion=%1").arg(ClientVersionText())};
    for (std::size_t i = 0; i < values.size(); ++i)
        lines.append(QString::fromLatin1(spec.fields[i].name) + u'=' +
                     FormatFieldValue(spec.fields[i].format, values[i]));
    return lines;
}
