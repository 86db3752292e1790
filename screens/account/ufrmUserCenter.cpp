#include "screens/account/ufrmUserCenter.h"

#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmUserCenter::TfrmUserCenter(const Services& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmUserCenter"));
    setWindowTitle(QStringLiteral("个人中心"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(522, 346);

    auto* pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pgc_UserCenter"));
    auto* page = new QWidget(pages);
    page->setObjectName(QStringLiteral("ts_BasicInfo"));
    pages->addTab(page, QStringLiteral("基本资料"));

    auto* group = new QGroupBox(QStringLiteral("用户资料信息："), page);
    group->setObjectName(QStringLiteral("grp_UserInfo"));
    auto* form = new QFormLayout(group);
    auto edit = [group](const char* name) {
        auto* box = new QLineEdit(group);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    edt_username = edit("edt_username");
    edt_username->setReadOnly(true);
    edt_qq = edit("edt_qq");
    edt_shopkeeperusername = edit("edt_shopkeeperusername");
    edt_taobaoxiaohao = edit("edt_taobaoxiaohao");
    form->addRow(QStringLiteral("登录用户名："), edt_username);
    form->addRow(QStringLiteral("QQ号码："), edt_qq);
    form->addRow(QStringLiteral("淘宝掌柜名："), edt_shopkeeperusername);
    form->addRow(QStringLiteral("淘宝小号："), edt_taobaoxiaohao);

    lbl_registerTime = new QLabel(page);
    lbl_registerTime->setObjectName(QStringLiteral("lbl_registerTime"));
    btn_SaveUserInfo = new QPushButton(QStringLiteral("保存资料"), page);
    btn_SaveUserInfo->setObjectName(QStringLiteral("btn_SaveUserInfo"));
    btn_SaveUserInfo->setDefault(true);
    btn_Close = new QPushButton(QStringLiteral("关闭窗口"), page);
    btn_Close->setObjectName(QStringLiteral("btn_Close"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btn_SaveUserInfo);
    buttons->addWidget(btn_Close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lbl_registerTime, 0, Qt::AlignLeft | Qt::AlignTop);
    bottom->addStretch(1);
    bottom->addLayout(buttons);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group);
    pageLayout->addLayout(bottom);
    pageLayout->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);

    setTabOrder(edt_username, edt_qq);
    setTabOrder(edt_qq, edt_shopkeeperusername);
    setTabOrder(edt_shopkeeperusername, edt_taobaoxiaohao);
    setTabOrder(edt_taobaoxiaohao, btn_SaveUserInfo);
    setTabOrder(btn_SaveUserInfo, btn_Close);

    connect(btn_SaveUserInfo, &QPushButton::clicked, this, &TfrmUserCenter::btn_SaveUserInfoClick);
    connect(btn_Close, &QPushButton::clicked, this, &TfrmUserCenter::btn_CloseClick);
}

void TfrmUserCenter::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmUserCenter::FormShow() {
    const TUserInfo& user = CurrentUser();
    edt_username->setText(user.Fusername);
    edt_qq->setText(user.Fqq);
    edt_shopkeeperusername->setText(user.Fshopkeeperusername);
    edt_taobaoxiaohao->setText(user.Ftaobaoxiaohao);
    lbl_registerTime->setText(QStringLiteral("注册时间：") + FormatDateTime(user.Fregistertime));
    edt_qq->setFocus();
}

void TfrmUserCenter::btn_SaveUserInfoClick() {
    RunGuarded(FServices, this, [this] {
        const QString username = TrimControls(edt_username->text());
        const QString qq = TrimControls(edt_qq->text());
        const QString shopkeeper = TrimControls(edt_shopkeeperusername->text());
        const QString xiaohao = TrimControls(edt_taobaoxiaohao->text());
        Prompter& prompter = FServices.prompter;
        if (qq.isEmpty()) return ShowHint(prompter, this, QStringLiteral("请输入联系QQ！"));
        if (shopkeeper.isEmpty()) return ShowHint(prompter, this, QStringLiteral("请输入淘宝掌柜名！"));
        if (xiaohao.isEmpty()) return ShowHint(prompter, this, QStringLiteral("请输入淘宝小号！"));

        const auto reply = SendCommand(FServices, this, cmSaveUserInfo, {username, qq, shopkeeper, xiaohao},
                                       QStringLiteral("修改用户资料失败，请稍后再试！"));
        if (!reply) return;
        if (reply->code == 1) {
            TUserInfo& user = CurrentUser();
            user.Fqq = qq;
            user.Fshopkeeperusername = shopkeeper;
            user.Ftaobaoxiaohao = xiaohao;
            ShowHint(prompter, this, QStringLiteral("恭喜，修改用户资料成功！"));
            accept();
        } else if (reply->code == 0) {
            ShowRefusal(prompter, this, QStringLiteral("修改用户资料失败"), RequireReturnMsg(reply->msg),
                        MessageIcon::Information);
        }
    });
}

void TfrmUserCenter::btn_CloseClick() { reject(); }
