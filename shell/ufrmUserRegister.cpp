#include "shell/ufrmUserRegister.h"

#include "model/uAccountInput.h"
#include "model/uVarConst.h"
#include "widgets/ClickLabel.h"
#include "widgets/udmResource.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QString ReadInviteCookie() { return QString(); }

namespace {
QLineEdit* addRow(QWidget* parent, QLabel*& label, const QString& labelName, const QString& caption,
                  const QString& editName, int y) {
    label = new QLabel(caption, parent);
    label->setObjectName(labelName);
    label->setGeometry(20, y, 100, 26);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(editName);
    edit->setGeometry(126, y, 220, 26);
    label->setBuddy(edit);
    return edit;
}
} // namespace

TfrmUserRegister::TfrmUserRegister(const Services& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmUserRegister"));
    setWindowTitle(QStringLiteral("用户注册"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(471, 346);

    grp_UserInfo = new QGroupBox(QStringLiteral("填写注册用户信息："), this);
    grp_UserInfo->setObjectName(QStringLiteral("grp_UserInfo"));
    grp_UserInfo->setGeometry(10, 8, 451, 284);

    edt_username = addRow(grp_UserInfo, Label1, QStringLiteral("Label1"), QStringLiteral("登录用户名："),
                          QStringLiteral("edt_username"), 26);
    edt_userpass = addRow(grp_UserInfo, Label2, QStringLiteral("Label2"), QStringLiteral("登录密码："),
                          QStringLiteral("edt_userpass"), 58);
    edt_qq = addRow(grp_UserInfo, Label6, QStringLiteral("Label6"), QStringLiteral("QQ号码："),
                    QStringLiteral("edt_qq"), 90);
    edt_shopkeeperusername = addRow(grp_UserInfo, Label3, QStringLiteral("Label3"), QStringLiteral("淘宝掌柜名："),
                                    QStringLiteral("edt_shopkeeperusername"), 122);
    edt_taobaoxiaohao = addRow(grp_UserInfo, Label4, QStringLiteral("Label4"), QStringLiteral("淘宝小号："),
                               QStringLiteral("edt_taobaoxiaohao"), 154);

    Label5 = new QLabel(QStringLiteral("为保证店铺安全，请尽量使用小号接任务"), grp_UserInfo);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setGeometry(126, 182, 300, 20);
    Label5->setStyleSheet(QStringLiteral("color: #E8611A;"));

    Label8 = new QLabel(QStringLiteral("如果没有淘宝小号，可以联系客服购买"), grp_UserInfo);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setGeometry(126, 204, 230, 24);
    img_QQXiaohao = new ClickLabel(QStringLiteral("img_QQXiaohao"), grp_UserInfo);
    img_QQXiaohao->setGeometry(356, 205, 77, 22);
    img_QQXiaohao->setPixmap(QQContactPixmap());
    img_QQXiaohao->setAccessibleName(QStringLiteral("联系客服"));
    img_QQXiaohao->setToolTip(QStringLiteral("联系客服"));
    connect(img_QQXiaohao, &ClickLabel::clicked, this, [this] { OpenLink(FServices, this, SupportQQChatLink()); });

    edt_inviteuserid = addRow(grp_UserInfo, Label7, QStringLiteral("Label7"), QStringLiteral("邀请人ID："),
                              QStringLiteral("edt_inviteuserid"), 238);
    edt_inviteuserid->setPlaceholderText(QStringLiteral("如果没有邀请人ID，请留空"));

    btn_register = new QPushButton(QStringLiteral("注册账户"), this);
    btn_register->setObjectName(QStringLiteral("btn_register"));
    btn_register->setGeometry(241, 302, 105, 32);
    btn_register->setDefault(true);
    connect(btn_register, &QPushButton::clicked, this, &TfrmUserRegister::btn_registerClick);

    btn_Close = new QPushButton(QStringLiteral("关闭窗口"), this);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));
    btn_Close->setGeometry(356, 302, 105, 32);
    connect(btn_Close, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(edt_username, edt_userpass);
    setTabOrder(edt_userpass, edt_qq);
    setTabOrder(edt_qq, edt_shopkeeperusername);
    setTabOrder(edt_shopkeeperusername, edt_taobaoxiaohao);
    setTabOrder(edt_taobaoxiaohao, edt_inviteuserid);
    setTabOrder(edt_inviteuserid, btn_register);
    setTabOrder(btn_register, btn_Close);
}

void TfrmUserRegister::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmUserRegister::FormShow() {
    const QString cookie = ReadInviteCookie();
    edt_inviteuserid->setEnabled(cookie.isEmpty());
    QString inviter;
    const QString prefix = QStringLiteral("inviteuid=");
    for (const QString& line : cookie.split(u'\n')) {
        const QString entry = TrimControls(line);
        if (entry.startsWith(prefix)) {
            inviter = entry.mid(prefix.size());
            break;
        }
    }
    if (!cookie.isEmpty()) edt_inviteuserid->setText(inviter);
}

void TfrmUserRegister::btn_registerClick() {
    RunGuarded(FServices, this, [this] { signUp(); });
}

void TfrmUserRegister::signUp() {
    const QString username = TrimControls(edt_username->text());
    const QString userpass = TrimControls(edt_userpass->text());
    const QString qq = TrimControls(edt_qq->text());
    const QString shopkeeper = TrimControls(edt_shopkeeperusername->text());
    const QString xiaohao = TrimControls(edt_taobaoxiaohao->text());
    const QString inviter = TrimControls(edt_inviteuserid->text());
    const std::pair<const QString*, const char*> checks[] = {
        {&username, "请输入登录用户名！"},
        {&userpass, "请输入登录密码！"},
        {&qq, "请输入联系QQ！"},
        {&shopkeeper, "请输入淘宝掌柜名，注意：掌柜名后期可以修改！"},
        {&xiaohao, "请输入淘宝小号，注意：淘宝小号后期可以修改！"},
    };
    for (const auto& [value, message] : checks) {
        if (value->isEmpty()) {
            ShowHint(FServices.prompter, this, QString::fromUtf8(message));
            return;
        }
    }
    const std::optional<RemoteReply> reply =
        SendCommand(FServices, this, cmRegister, {username, userpass, qq, shopkeeper, xiaohao, inviter},
                    QStringLiteral("账户注册失败，请稍后再试！"));
    if (!reply) return;
    if (reply->code == 1) {
        ShowHint(FServices.prompter, this, QStringLiteral("恭喜，账户注册成功！"));
        emit registered(username, userpass);
        accept();
    } else if (reply->code == 0) {
        ShowRefusal(FServices.prompter, this, QStringLiteral("账户注册失败，原因"), RequireReturnMsg(reply->msg),
                    MessageIcon::Information);
    }
}
