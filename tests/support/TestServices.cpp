#include "tests/support/TestServices.h"

#include "model/uCommonVarConst.h"

void TestPrompter::showMessage(QWidget*, const QString& text, const QString& caption, MessageIcon icon) {
    entries.push_back({Kind::Message, text, caption, icon});
    if (onShow) onShow(entries.back());
}

bool TestPrompter::askYesNo(QWidget*, const QString& text, const QString& caption) {
    entries.push_back({Kind::Question, text, caption, MessageIcon::Question});
    if (onShow) onShow(entries.back());
    if (yesNoAnswers.empty()) {
        ++unanswered;
        return false;
    }
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::optional<QString> TestPrompter::askText(QWidget*, const QString& caption, const QString& prompt,
                                             const QString& initial) {
    entries.push_back({Kind::Input, prompt, caption, MessageIcon::None});
    inputInitials.append(initial);
    if (onShow) onShow(entries.back());
    if (inputAnswers.empty()) {
        ++unanswered;
        return std::nullopt;
    }
    const bool given = inputAnswers.front().has_value();
    const QString text = given ? *inputAnswers.front() : QString();
    inputAnswers.pop_front();
    if (!given) return std::nullopt;
    return text;
}

bool LogInAs(const Services& services, const QString& name, const QString& password) {
    TUserInfo& user = CurrentUser();
    user.Clear();
    user.Fusername = name;
    user.Fuserpass = password;
    const auto reply = SendCommand(services, nullptr, cmLogin, {}, QStringLiteral("登陆失败，请稍后再试！"));
    if (!reply || !reply->done()) return false;
    FillUserInfoFromLoginReply(user, reply->object);
    return user.Fusername == name && user.Fid > 0;
}
