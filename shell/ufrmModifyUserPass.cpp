#include "shell/ufrmModifyUserPass.h"

#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

bool SameTextAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    const auto fold = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= u'A' && u <= u'Z') ? char16_t(u + (u'a' - u'A')) : u;
    };
    for (qsizetype i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

namespace {
QLineEdit* addRow(QWidget* parent, QLabel*& label, const QString& labelName, const QString& caption,
                  const QString& editName, int y) {
    label = new QLabel(caption, parent);
    label->setObjectName(labelName);
    label->setGeometry(20, y, 150, 28);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(editName);
    edit->setGeometry(176, y, 260, 28);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: #A6CAF0; }"));
    label->setBuddy(edit);
    return edit;
}
} // namespace

TfrmModifyUserPass::TfrmModifyUserPass(const Services& services, QWidget* parent)
    : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmModifyUserPass"));
    setWindowTitle(QStringLiteral("修改登录密码"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(496, 249);

    grp_Pass = new QGroupBox(QStringLiteral("修改登录密码："), this);
    grp_Pass->setObjectName(QStringLiteral("grp_Pass"));
    grp_Pass->setGeometry(10, 8, 476, 184);
    edt_olduserpass = addRow(grp_Pass, Label1, QStringLiteral("Label1"), QStringLiteral("原有密码："),
                             QStringLiteral("edt_olduserpass"), 34);
    edt_newuserpass = addRow(grp_Pass, Label2, QStringLiteral("Label2"), QStringLiteral("你想要的新密码："),
                             QStringLiteral("edt_newuserpass"), 80);
    edt_confirmnewuserpass = addRow(grp_Pass, Label3, QStringLiteral("Label3"), QStringLiteral("请再次输入新密码："),
                                    QStringLiteral("edt_confirmnewuserpass"), 126);

    btn_ModifyPass = new QPushButton(QStringLiteral("修改密码"), this);
    btn_ModifyPass->setObjectName(QStringLiteral("btn_ModifyPass"));
    btn_ModifyPass->setGeometry(376, 204, 110, 34);
    btn_ModifyPass->setDefault(true);
    connect(btn_ModifyPass, &QPushButton::clicked, this, &TfrmModifyUserPass::btn_ModifyPassClick);

    setTabOrder(edt_olduserpass, edt_newuserpass);
    setTabOrder(edt_newuserpass, edt_confirmnewuserpass);
    setTabOrder(edt_confirmnewuserpass, btn_ModifyPass);
}

void TfrmModifyUserPass::btn_ModifyPassClick() {
    RunGuarded(FServices, this, [this] { modifyPass(); });
}

void TfrmModifyUserPass::modifyPass() {
    const QString oldPass = TrimControls(edt_olduserpass->text());
    const QString newPass = TrimControls(edt_newuserpass->text());
    const QString confirm = TrimControls(edt_confirmnewuserpass->text());
    if (oldPass.isEmpty() || newPass.isEmpty() || confirm.isEmpty()) {
        ShowHint(FServices.prompter, this, QStringLiteral("请输入原登录密码！"));
        return;
    }
    if (!SameTextAsciiCase(confirm, newPass)) {
        ShowHint(FServices.prompter, this, QStringLiteral("两次输入的新密码不同，请重新输入！"));
        return;
    }
    if (!SameTextAsciiCase(oldPass, CurrentUser().Fuserpass)) {
        ShowHint(FServices.prompter, this, QStringLiteral("你输入原登录密码不正确，请重新输入！"));
        return;
    }
    const std::optional<RemoteReply> reply =
        SendCommand(FServices, this, cmModifyPassword, {newPass}, QStringLiteral("修改登陆密码失败，请稍后再试！"));
    if (!reply) return;
    if (reply->code == 1) {
        CurrentUser().Fuserpass = newPass;
        ShowHint(FServices.prompter, this, QStringLiteral("恭喜，修改登陆密码成功！"));
    } else if (reply->code == 0) {
        ShowRefusal(FServices.prompter, this, QStringLiteral("修改登陆密码失败"), RequireReturnMsg(reply->msg),
                    MessageIcon::Information);
    }
}
