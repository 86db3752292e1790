#include "screens/account/ufrmWelcome.h"

#include "model/uCommonFunc.h"
#include "model/uCommonVarConst.h"
#include "model/uVarConst.h"
#include "screens/account/ufrmInviteInfo.h"
#include "screens/account/ufrmRechargeRequest.h"
#include "widgets/ClickLabel.h"
#include "widgets/RequestQueue.h"
#include "widgets/udmResource.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The dashboard figures are shown in the system's menu-highlight blue.
const QString FigureStyle = QStringLiteral("color: #3399FF; font-weight: bold;");

QLabel* figureLabel(const QString& objectName, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setStyleSheet(FigureStyle);
    label->setMinimumWidth(150);
    return label;
}

QPushButton* flatButton(const QString& objectName, const QString& caption, const QString& colour, int image,
                        QWidget* parent) {
    auto* button = new QPushButton(ToolImage(image), caption, parent);
    button->setObjectName(objectName);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setIconSize(QSize(20, 20));
    button->setStyleSheet(
        QStringLiteral(
            "QPushButton { color: %1; font-weight: bold; border: none; background: transparent; padding: 4px 8px; }"
            "QPushButton:hover { text-decoration: underline; }")
            .arg(colour));
    return button;
}

QToolButton* guideButton(const QString& objectName, const QString& caption, const QString& colour, int image,
                         QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(caption);
    button->setIcon(ToolImage(image));
    button->setIconSize(QSize(48, 48));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumSize(150, 90);
    button->setStyleSheet(QStringLiteral("QToolButton { color: %1; font-weight: bold; font-size: 14px; }").arg(colour));
    return button;
}
} // namespace

TfrmWelcome::TfrmWelcome(const Services& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmWelcome"));
    setWindowTitle(QStringLiteral("欢迎回来"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    pnl_Top = new QWidget(this);
    pnl_Top->setObjectName(QStringLiteral("pnl_Top"));
    pnl_Top->setFixedHeight(35);
    pnl_Top->setAttribute(Qt::WA_StyledBackground, true);
    pnl_Top->setStyleSheet(QStringLiteral("#pnl_Top { background: rgb(242,117,31); }"));
    auto* top = new QHBoxLayout(pnl_Top);
    top->setContentsMargins(12, 0, 12, 0);
    lbl_UserName = new QLabel(pnl_Top);
    lbl_UserName->setObjectName(QStringLiteral("lbl_UserName"));
    lbl_UserName->setTextFormat(Qt::PlainText); // the greeting holds the user name
    lbl_UserName->setStyleSheet(QStringLiteral("color: white; font-weight: bold; font-size: 13px;"));
    lbl_lastuptime = new QLabel(pnl_Top);
    lbl_lastuptime->setObjectName(QStringLiteral("lbl_lastuptime"));
    lbl_lastuptime->setStyleSheet(QStringLiteral("color: white; font-size: 12px;"));
    top->addWidget(lbl_UserName);
    top->addStretch(1);
    top->addWidget(lbl_lastuptime);
    layout->addWidget(pnl_Top);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(10, 0, 10, 10);
    body->setSpacing(10);
    layout->addLayout(body, 1);

    grp_Info = new QGroupBox(QStringLiteral("基本信息："), this);
    grp_Info->setObjectName(QStringLiteral("grp_Info"));
    auto* info = new QGridLayout(grp_Info);
    info->setHorizontalSpacing(24);
    info->setVerticalSpacing(12);
    lbl_currentopttaskcount =
        figureLabel(QStringLiteral("lbl_currentopttaskcount"), QStringLiteral("正在操作中的任务数：0"), grp_Info);
    lbl_totaloptcount = figureLabel(QStringLiteral("lbl_totaloptcount"), QStringLiteral("总操作次数：0"), grp_Info);
    lbl_accountbalance =
        figureLabel(QStringLiteral("lbl_accountbalance"), QStringLiteral("当前可用账户余额：0"), grp_Info);
    lbl_accountbalance->setMinimumWidth(220);
    btn_refresh = flatButton(QStringLiteral("btn_refresh"), QStringLiteral("刷新信息"), QStringLiteral("#C000C0"),
                             tiRefresh, grp_Info);
    lbl_waitforhandletaskcount =
        figureLabel(QStringLiteral("lbl_waitforhandletaskcount"), QStringLiteral("待接手任务：0"), grp_Info);
    lbl_waitforpaytaskcount =
        figureLabel(QStringLiteral("lbl_waitforpaytaskcount"), QStringLiteral("待付款任务：0"), grp_Info);
    lbl_waitforfahuotaskcount =
        figureLabel(QStringLiteral("lbl_waitforfahuotaskcount"), QStringLiteral("待发货任务：0"), grp_Info);
    lbl_waitforreplytaskcount =
        figureLabel(QStringLiteral("lbl_waitforreplytaskcount"), QStringLiteral("待评价任务：0"), grp_Info);
    info->addWidget(lbl_currentopttaskcount, 0, 0);
    info->addWidget(lbl_totaloptcount, 0, 1);
    info->addWidget(lbl_accountbalance, 0, 2);
    info->addWidget(btn_refresh, 0, 3, Qt::AlignLeft);
    info->addWidget(lbl_waitforhandletaskcount, 1, 0);
    info->addWidget(lbl_waitforpaytaskcount, 1, 1);
    info->addWidget(lbl_waitforfahuotaskcount, 1, 2);
    info->addWidget(lbl_waitforreplytaskcount, 1, 3);
    info->setColumnStretch(4, 1);
    body->addWidget(grp_Info);

    grp1 = new QGroupBox(QStringLiteral("快捷操作："), this);
    grp1->setObjectName(QStringLiteral("grp1"));
    auto* actions = new QHBoxLayout(grp1);
    actions->setSpacing(30);
    btn_ShowRechargeForm = flatButton(QStringLiteral("btn_ShowRechargeForm"), QStringLiteral("提交充值申请"),
                                      QStringLiteral("#2E9E4F"), tiRecharge, grp1);
    btn_ConnectQQ = flatButton(QStringLiteral("btn_ConnectQQ"), QStringLiteral("联系在线客服"),
                               QStringLiteral("#2E9E4F"), tiQQ, grp1);
    lbl_inviteURL = new ClickLabel(QStringLiteral("lbl_inviteURL"), grp1);
    lbl_inviteURL->setText(QStringLiteral("查看我的推广链接"));
    lbl_inviteURL->setAccessibleName(QStringLiteral("查看我的推广链接"));
    lbl_inviteURL->setStyleSheet(QStringLiteral("color: red; font-weight: bold; text-decoration: underline;"));
    actions->addWidget(btn_ShowRechargeForm);
    actions->addWidget(btn_ConnectQQ);
    actions->addWidget(lbl_inviteURL);
    actions->addStretch(1);
    body->addWidget(grp1);

    GroupBox1 = new QGroupBox(QStringLiteral("使用教程："), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* guide = new QVBoxLayout(GroupBox1);
    guide->setSpacing(8);
    Label2 = new QLabel(
        QStringLiteral(
            "软件流程完全按照淘宝交易流程定制，从搜索到下单、发货、确认发货、好评、确认好评、交易完成等，完全遵循流程"),
        GroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label3 = new QLabel(
        QStringLiteral("既可以刷宝贝的流量和信誉，同时也可以刷销量，打造爆款，具体操作说明，请参考发单人和接单人指南"),
        GroupBox1);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    sLabel1 =
        new QLabel(QStringLiteral("注意：系统会在每晚24点自动清理超过24小时未被接手任务，冻结金额自动返还账户中！！！"),
                   GroupBox1);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->setWordWrap(true);
    sLabel1->setStyleSheet(QStringLiteral("color: rgb(255,128,64); font-weight: bold;"));
    btn_publisher = guideButton(QStringLiteral("btn_publisher"), QStringLiteral("发单人操作指南"),
                                QStringLiteral("#2E9E4F"), tiGuidePublisher, GroupBox1);
    btn_Handler = guideButton(QStringLiteral("btn_Handler"), QStringLiteral("接单人操作指南"),
                              QStringLiteral("#1F5FB5"), tiGuideHandler, GroupBox1);
    guide->addWidget(Label2);
    guide->addWidget(Label3);
    guide->addWidget(sLabel1);
    auto* guides = new QHBoxLayout;
    guides->setSpacing(40);
    guides->addStretch(1);
    guides->addWidget(btn_publisher);
    guides->addWidget(btn_Handler);
    guides->addStretch(1);
    guide->addLayout(guides);
    body->addWidget(GroupBox1);
    body->addStretch(1);

    m_requests = new RequestQueue(this);
    m_requests->loadWhenShown([this] { RunGuarded(FServices, this, [this] { fetchBasicInfo(); }); });

    connect(btn_refresh, &QPushButton::clicked, this, &TfrmWelcome::btn_refreshClick);
    connect(btn_ShowRechargeForm, &QPushButton::clicked, this, &TfrmWelcome::btn_ShowRechargeFormClick);
    connect(btn_ConnectQQ, &QPushButton::clicked, this, [this] { OpenLink(FServices, this, SupportQQChatLink()); });
    connect(lbl_inviteURL, &ClickLabel::clicked, this, &TfrmWelcome::lbl_inviteURLClick);
    connect(btn_publisher, &QToolButton::clicked, this, [this] { OpenLink(FServices, this, PublisherGuideLink()); });
    connect(btn_Handler, &QToolButton::clicked, this, [this] { OpenLink(FServices, this, HandlerGuideLink()); });
}

void TfrmWelcome::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmWelcome::FormShow() {
    const TUserInfo& user = CurrentUser();
    lbl_UserName->setText(QStringLiteral("您好，%1 欢迎回来!").arg(user.Fusername));
    showBalance(user.Faccountbalance);
    lbl_lastuptime->setText(QStringLiteral("上一次登录时间：%1").arg(FormatDateTime(user.Flastuptime)));
}

void TfrmWelcome::showBalance(Money balance) {
    lbl_accountbalance->setText(QStringLiteral("当前可用账户余额：") + FormatMoney(balance));
}

void TfrmWelcome::GetBasicInfo() {
    m_requests->fetch([this] { RunGuarded(FServices, this, [this] { fetchBasicInfo(); }); });
}

void TfrmWelcome::fetchBasicInfo() {
    const std::optional<RemoteReply> reply =
        SendCommand(FServices, this, cmGetBasicInfo, {}, QStringLiteral("获取用户基本任务信息失败，请稍后再试！"));
    if (!reply || !reply->done()) return;
    for (const ReplyObject* record : ReplyRecords(reply->object)) {
        TBasicInfo info;
        ReadBasicInfo(*record, info);
        lbl_currentopttaskcount->setText(QStringLiteral("正在操作中的任务数：%1").arg(info.Fcurrentopttaskcount));
        lbl_waitforhandletaskcount->setText(QStringLiteral("待接手任务：%1").arg(info.Fwaitforhandletaskcount));
        lbl_waitforpaytaskcount->setText(QStringLiteral("待付款任务：%1").arg(info.Fwaitforpaytaskcount));
        lbl_waitforfahuotaskcount->setText(QStringLiteral("待发货任务：%1").arg(info.Fwaitforfahuotaskcount));
        lbl_waitforreplytaskcount->setText(QStringLiteral("待评价任务：%1").arg(info.Fwaitforreplytaskcount));
        lbl_totaloptcount->setText(QStringLiteral("总操作次数：%1").arg(info.Ftotaloptcount));
        CurrentUser().Faccountbalance = info.Faccountbalance;
        showBalance(info.Faccountbalance);
    }
}

void TfrmWelcome::btn_refreshClick() {
    GetBasicInfo();
    emit refreshStatusRequested();
}

void TfrmWelcome::btn_ShowRechargeFormClick() {
    TfrmRechargeRequest dialog(FServices, this);
    dialog.exec();
}

void TfrmWelcome::lbl_inviteURLClick() {
    TfrmInviteInfo dialog(FServices, this);
    dialog.exec();
}
