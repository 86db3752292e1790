#include "shell/ufrmLogin.h"

#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"
#include "model/uVarConst.h"
#include "shell/ufrmUserRegister.h"
#include "widgets/ClickLabel.h"
#include "widgets/udmResource.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cstdlib>

TfrmLogin::TfrmLogin(const Services& services, QWidget* parent, const QString& settingsPath)
    : QDialog(parent), FServices(services),
      FSettings(settingsPath.isEmpty() ? DefaultSettingsFilePath() : settingsPath), FExitAction([] { std::_Exit(0); }) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("欢迎登陆"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(381, 276);

    Image1 = new ClickLabel(QStringLiteral("Image1"), this);
    Image1->setGeometry(0, 0, 381, 70);
    Image1->setPixmap(BannerPixmap(381));
    Image1->setToolTip(QStringLiteral("点击访问官方网站"));
    Image1->setAccessibleName(QStringLiteral("点击访问官方网站"));
    connect(Image1, &ClickLabel::clicked, this, [this] { OpenLink(FServices, this, SiteAddress()); });

    grp_Login = new QGroupBox(QStringLiteral("填写您的登录信息："), this);
    grp_Login->setObjectName(QStringLiteral("grp_Login"));
    grp_Login->setGeometry(10, 78, 361, 146);

    Label1 = new QLabel(QStringLiteral("用户名："), grp_Login);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(40, 28, 64, 26);
    edt_username = new QLineEdit(grp_Login);
    edt_username->setObjectName(QStringLiteral("edt_username"));
    edt_username->setGeometry(106, 28, 200, 26);
    Label1->setBuddy(edt_username);

    Label2 = new QLabel(QStringLiteral("密  码："), grp_Login);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(40, 62, 64, 26);
    edt_password = new QLineEdit(grp_Login);
    edt_password->setObjectName(QStringLiteral("edt_password"));
    edt_password->setGeometry(106, 62, 200, 26);
    edt_password->setEchoMode(QLineEdit::Password);
    Label2->setBuddy(edt_password);

    Label4 = new QLabel(QStringLiteral("登录遇到问题？请联系在线客服："), grp_Login);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(40, 100, 190, 24);
    img_pingtaiQQ = new ClickLabel(QStringLiteral("img_pingtaiQQ"), grp_Login);
    img_pingtaiQQ->setGeometry(232, 101, 77, 22);
    img_pingtaiQQ->setPixmap(QQContactPixmap());
    img_pingtaiQQ->setAccessibleName(QStringLiteral("在线客服"));
    img_pingtaiQQ->setToolTip(QStringLiteral("在线客服"));
    connect(img_pingtaiQQ, &ClickLabel::clicked, this, [this] { OpenLink(FServices, this, SupportQQChatLink()); });

    chk_Saveconfig = new QCheckBox(QStringLiteral("保存登录信息"), this);
    chk_Saveconfig->setObjectName(QStringLiteral("chk_Saveconfig"));
    chk_Saveconfig->setGeometry(20, 236, 120, 26);
    chk_Saveconfig->setChecked(true);

    lbl_userregister = new ClickLabel(QStringLiteral("lbl_userregister"), this);
    lbl_userregister->setText(QStringLiteral("<a href=\"#\">注册账户</a>"));
    lbl_userregister->setGeometry(150, 236, 70, 26);
    lbl_userregister->setAlignment(Qt::AlignCenter);
    lbl_userregister->setAccessibleName(QStringLiteral("注册账户"));
    lbl_userregister->setTextInteractionFlags(Qt::NoTextInteraction);
    connect(lbl_userregister, &ClickLabel::clicked, this, &TfrmLogin::lbl_userregisterClick);

    btn_Login = new QPushButton(QStringLiteral("登录(&L)"), this);
    btn_Login->setObjectName(QStringLiteral("btn_Login"));
    btn_Login->setGeometry(261, 232, 110, 32);
    btn_Login->setDefault(true);
    connect(btn_Login, &QPushButton::clicked, this, &TfrmLogin::btn_LoginClick);

    setTabOrder(edt_username, edt_password);
    setTabOrder(edt_password, chk_Saveconfig);
    setTabOrder(chk_Saveconfig, btn_Login);

    const SavedLogin saved = FSettings.readLogin();
    edt_username->setText(saved.username);
    edt_password->setText(saved.userpass);
    // A login saved where the desktop keeps secrets leaves the password in the file empty: it comes
    // from the store when the store answers, unless the user has typed something by then.
    if (!saved.username.isEmpty() && saved.userpass.isEmpty()) {
        m_secrets.readPassword(saved.username, this,
                               [this, username = saved.username](std::optional<QString> password) {
                                   if (password && edt_password->text().isEmpty() && edt_username->text() == username)
                                       edt_password->setText(*password);
                               });
    }
}

void TfrmLogin::btn_LoginClick() {
    RunGuarded(FServices, this, [this] { login(); });
}

void TfrmLogin::Run(const Services& services, QWidget* parent) {
    TfrmLogin login(services, parent);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        login.move(screen->availableGeometry().center() - login.rect().center());
    login.exec();
}

void TfrmLogin::login() {
    const QString username = TrimControls(edt_username->text());
    if (username.isEmpty()) {
        ShowHint(FServices.prompter, this, QStringLiteral("登陆账户不能为空!"), MessageIcon::Error);
        edt_username->setFocus();
        return;
    }
    const QString userpass = TrimControls(edt_password->text());
    if (userpass.isEmpty()) {
        ShowHint(FServices.prompter, this, QStringLiteral("登陆密码不能为空!"), MessageIcon::Error);
        edt_password->setFocus();
        return;
    }
    TUserInfo& user = CurrentUser();
    user.Clear();
    user.Fusername = username;
    user.Fuserpass = userpass;

    const std::optional<RemoteReply> reply =
        SendCommand(FServices, this, cmLogin, {}, QStringLiteral("登陆失败，请稍后再试！"));
    if (!reply) return;
    if (!reply->done()) {
        ShowRefusal(FServices.prompter, this, QStringLiteral("登陆失败:"), RequireReturnMsg(reply->msg),
                    MessageIcon::Error);
        return;
    }
    if (chk_Saveconfig->isChecked()) {
        const QString failure = saveLogin(username, userpass);
        if (!failure.isEmpty()) {
            ShowGeneralError(FServices.prompter, this, failure);
            return;
        }
    }
    FillUserInfoFromLoginReply(user, reply->object);
    FbCloseAfterLogin = true;
    accept();
}

QString TfrmLogin::saveLogin(const QString& username, const QString& userpass) {
    const QString before = FSettings.readLogin().username;
    const bool stored = m_secrets.writePassword(username, userpass);
    const QString failure = FSettings.writeLogin({username, stored ? QString() : userpass});
    // The store keeps no password of a user the file no longer names.
    if (failure.isEmpty() && stored && !before.isEmpty() && before != username) m_secrets.deletePassword(before);
    return failure;
}

void TfrmLogin::lbl_userregisterClick() {
    TfrmUserRegister dialog(FServices, this);
    connect(&dialog, &TfrmUserRegister::registered, this, [this](const QString& username, const QString& userpass) {
        edt_username->setText(username);
        edt_password->setText(userpass);
    });
    dialog.exec();
}

void TfrmLogin::reject() {
    if (FbCloseAfterLogin) {
        QDialog::reject();
        return;
    }
    if (AskConfirm(FServices.prompter, this, QStringLiteral("确定要退出程序?"))) FExitAction();
}
