#include "shell/ufrmMain.h"

#include "model/uCommonVarConst.h"
#include "model/uVarConst.h"
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmRechargeInfo.h"
#include "screens/account/ufrmSubUserList.h"
#include "screens/account/ufrmTradeLog.h"
#include "screens/account/ufrmUserCenter.h"
#include "screens/account/ufrmWelcome.h"
#include "screens/account/ufrmWithdrawInfo.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishTask.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "shell/SingleInstance.h"
#include "shell/ufrmAbout.h"
#include "shell/ufrmLogin.h"
#include "shell/ufrmModifyUserPass.h"
#include "shell/ufrmNotice.h"
#include "widgets/CategoryPanel.h"
#include "widgets/ClickLabel.h"
#include "widgets/udmResource.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPushButton* navButton(const QString& objectName, const QString& caption, QWidget* parent, bool checkable = true) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setCheckable(checkable);
    button->setCursor(Qt::PointingHandCursor);
    button->setFixedHeight(30);
    return button;
}

QVBoxLayout* panelBody(CategoryPanel* panel) {
    auto* layout = new QVBoxLayout(panel->body());
    layout->setContentsMargins(12, 6, 12, 8);
    layout->setSpacing(5);
    return layout;
}
} // namespace

TfrmMain::TfrmMain(const Services& services, SingleInstance& instance, QWidget* parent,
                   std::function<bool()> trayAvailable)
    : QMainWindow(parent), FServices(services), FInstance(instance),
      m_trayAvailable(trayAvailable ? std::move(trayAvailable)
                                    : [] { return QSystemTrayIcon::isSystemTrayAvailable(); }) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(ProductName + QStringLiteral(" 客户端"));
    setWindowIcon(ProgramIcon());
    // 1010 x 660 with the frame is the smallest size; 1033 x 649 inside the frame at first.
    setMinimumSize(994, 621);
    resize(1033, 649);

    FLoginRunner = [this] { TfrmLogin::Run(FServices, this); };
    FQuitAction = [] { QCoreApplication::exit(0); };

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnl_Main"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar(central));

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(0);
    buildNavigator(central);
    middle->addWidget(ctgrypnlgrp_navigator);
    pnl_Content = new QWidget(central);
    pnl_Content->setObjectName(QStringLiteral("pnl_Content"));
    auto* content = new QVBoxLayout(pnl_Content);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    middle->addWidget(pnl_Content, 1);

    layout->addLayout(middle, 1);
    setCentralWidget(central);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("stat_Main"));
    status->setSizeGripEnabled(true);
    const int widths[] = {300, 200, 400};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(status);
        panel->setObjectName(QStringLiteral("stat_Main_Panel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setAlignment(Qt::AlignCenter);
        panel->setTextFormat(Qt::PlainText); // the account panel shows the user name
        status->addWidget(panel);
        FStatusPanels[size_t(i)] = panel;
    }
    setStatusBar(status);
    FStatusPanels[0]->setText(QStringLiteral("欢迎使用%1 版本号：%2").arg(ProductName, ClientVersionText()));

    buildActions();

    tmr_Notice = new QTimer(this);
    tmr_Notice->setObjectName(QStringLiteral("tmr_Notice"));
    tmr_Notice->setSingleShot(true);
    tmr_Notice->setInterval(1000);
    connect(tmr_Notice, &QTimer::timeout, this, &TfrmMain::tmr_NoticeTimer);
}

QWidget* TfrmMain::buildTopBar(QWidget* parent) {
    auto* top = new QWidget(parent);
    top->setObjectName(QStringLiteral("pnl_Top"));
    top->setFixedHeight(71);
    top->setAttribute(Qt::WA_StyledBackground, true);
    auto* layout = new QHBoxLayout(top);
    layout->setContentsMargins(8, 5, 14, 5);

    img_Logo = new ClickLabel(QStringLiteral("img_Logo"), top);
    img_Logo->setFixedSize(184, 60);
    img_Logo->setPixmap(LogoPixmap());
    img_Logo->setToolTip(QStringLiteral("点击访问官方网站"));
    img_Logo->setAccessibleName(QStringLiteral("点击访问官方网站"));
    connect(img_Logo, &ClickLabel::clicked, this, [this] { OpenLink(FServices, this, SiteAddress()); });
    layout->addWidget(img_Logo);
    layout->addStretch(1);

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    auto* qqRow = new QHBoxLayout;
    qqRow->addStretch(1);
    Label1 = new QLabel(QStringLiteral("在线客服："), top);
    Label1->setObjectName(QStringLiteral("Label1"));
    img_pingtaiQQ = new ClickLabel(QStringLiteral("img_pingtaiQQ"), top);
    img_pingtaiQQ->setPixmap(QQContactPixmap());
    img_pingtaiQQ->setFixedSize(77, 22);
    img_pingtaiQQ->setToolTip(QStringLiteral("在线客服"));
    img_pingtaiQQ->setAccessibleName(QStringLiteral("在线客服"));
    connect(img_pingtaiQQ, &ClickLabel::clicked, this, [this] { OpenLink(FServices, this, SupportQQChatLink()); });
    qqRow->addWidget(Label1);
    qqRow->addWidget(img_pingtaiQQ);
    lbl_Info = new QLabel(top);
    lbl_Info->setObjectName(QStringLiteral("lbl_Info"));
    lbl_Info->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_Info->setTextFormat(Qt::PlainText); // the greeting holds the user name
    right->addLayout(qqRow);
    right->addWidget(lbl_Info);
    layout->addLayout(right);
    return top;
}

void TfrmMain::buildNavigator(QWidget* parent) {
    ctgrypnlgrp_navigator = new QWidget(parent);
    ctgrypnlgrp_navigator->setObjectName(QStringLiteral("ctgrypnlgrp_navigator"));
    ctgrypnlgrp_navigator->setFixedWidth(185);
    ctgrypnlgrp_navigator->setAttribute(Qt::WA_StyledBackground, true);
    auto* layout = new QVBoxLayout(ctgrypnlgrp_navigator);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ctgrypnl_taskManager = new CategoryPanel(QStringLiteral("ctgrypnl_taskManager"), QStringLiteral("任务管理"),
                                             CategoryPixmap(0), ctgrypnlgrp_navigator);
    QVBoxLayout* tasks = panelBody(ctgrypnl_taskManager);
    btn_Index = navButton(QStringLiteral("btn_Index"), QStringLiteral("任务首页"), ctgrypnl_taskManager->body());
    btn_HandledTask =
        navButton(QStringLiteral("btn_HandledTask"), QStringLiteral("已接手任务"), ctgrypnl_taskManager->body());
    btn_PublishedTask =
        navButton(QStringLiteral("btn_PublishedTask"), QStringLiteral("已发布任务"), ctgrypnl_taskManager->body());
    btn_TaskCenter =
        navButton(QStringLiteral("btn_TaskCenter"), QStringLiteral("任务大厅"), ctgrypnl_taskManager->body());
    btn_publishtask =
        navButton(QStringLiteral("btn_publishtask"), QStringLiteral("发布任务"), ctgrypnl_taskManager->body(), false);
    btn_publishtask->setStyleSheet(QStringLiteral("color: red;"));
    for (QPushButton* button : {btn_Index, btn_HandledTask, btn_PublishedTask, btn_TaskCenter, btn_publishtask})
        tasks->addWidget(button);

    ctgrypnl_LogManager = new CategoryPanel(QStringLiteral("ctgrypnl_LogManager"), QStringLiteral("日志记录"),
                                            CategoryPixmap(1), ctgrypnlgrp_navigator);
    QVBoxLayout* logs = panelBody(ctgrypnl_LogManager);
    btn_OptLog = navButton(QStringLiteral("btn_OptLog"), QStringLiteral("操作记录"), ctgrypnl_LogManager->body());
    btn_TradeLog = navButton(QStringLiteral("btn_TradeLog"), QStringLiteral("交易记录"), ctgrypnl_LogManager->body());
    logs->addWidget(btn_OptLog);
    logs->addWidget(btn_TradeLog);

    ctgrypnl_UserCenter = new CategoryPanel(QStringLiteral("ctgrypnl_UserCenter"), QStringLiteral("个人中心"),
                                            CategoryPixmap(2), ctgrypnlgrp_navigator);
    QVBoxLayout* personal = panelBody(ctgrypnl_UserCenter);
    btn_UserCenter =
        navButton(QStringLiteral("btn_UserCenter"), QStringLiteral("个人资料"), ctgrypnl_UserCenter->body(), false);
    btn_ModifyPass =
        navButton(QStringLiteral("btn_ModifyPass"), QStringLiteral("修改密码"), ctgrypnl_UserCenter->body(), false);
    btn_ModifyPass->setStyleSheet(QStringLiteral("color: red;"));
    btn_Recharge =
        navButton(QStringLiteral("btn_Recharge"), QStringLiteral("充值申请"), ctgrypnl_UserCenter->body(), false);
    btn_Withdraw =
        navButton(QStringLiteral("btn_Withdraw"), QStringLiteral("提现申请"), ctgrypnl_UserCenter->body(), false);
    btn_SubUser =
        navButton(QStringLiteral("btn_SubUser"), QStringLiteral("我的下线"), ctgrypnl_UserCenter->body(), false);
    personal->addWidget(btn_UserCenter);
    personal->addWidget(btn_ModifyPass);
    personal->addWidget(btn_Recharge);
    auto* halves = new QHBoxLayout;
    halves->setSpacing(5);
    halves->addWidget(btn_Withdraw);
    halves->addWidget(btn_SubUser);
    personal->addLayout(halves);

    layout->addWidget(ctgrypnl_taskManager);
    layout->addWidget(ctgrypnl_LogManager);
    layout->addWidget(ctgrypnl_UserCenter);
    layout->addStretch(1);

    FShowButtons = new QButtonGroup(this);
    FShowButtons->setExclusive(true);
    for (QPushButton* button :
         {btn_Index, btn_HandledTask, btn_PublishedTask, btn_TaskCenter, btn_OptLog, btn_TradeLog})
        FShowButtons->addButton(button);

    // A screen's button shows its screen when it becomes the checked one: by a click, the keyboard,
    // or the Toggle action that assistive technology offers for a checkable button.
    const auto onChecked = [this](QPushButton* button, void (TfrmMain::*handler)()) {
        connect(button, &QPushButton::toggled, this, [this, handler](bool checked) {
            if (checked) (this->*handler)();
        });
    };
    onChecked(btn_Index, &TfrmMain::btn_IndexClick);
    onChecked(btn_HandledTask, &TfrmMain::btn_HandledTaskClick);
    onChecked(btn_PublishedTask, &TfrmMain::btn_PublishedTaskClick);
    onChecked(btn_TaskCenter, &TfrmMain::btn_TaskCenterClick);
    onChecked(btn_OptLog, &TfrmMain::btn_OptLogClick);
    onChecked(btn_TradeLog, &TfrmMain::btn_TradeLogClick);
    connect(btn_publishtask, &QPushButton::clicked, this, &TfrmMain::btn_publishtaskClick);
    connect(btn_UserCenter, &QPushButton::clicked, this, &TfrmMain::btn_UserCenterClick);
    connect(btn_ModifyPass, &QPushButton::clicked, this, &TfrmMain::btn_ModifyPassClick);
    connect(btn_Recharge, &QPushButton::clicked, this, &TfrmMain::btn_RechargeClick);
    connect(btn_Withdraw, &QPushButton::clicked, this, &TfrmMain::btn_WithdrawClick);
    connect(btn_SubUser, &QPushButton::clicked, this, &TfrmMain::btn_SubUserClick);
}

void TfrmMain::buildActions() {
    const auto makeAction = [this](const QString& objectName, const QString& caption, int image) {
        auto* action = new QAction(caption, this);
        action->setObjectName(objectName);
        action->setToolTip(caption);
        action->setStatusTip(caption);
        if (image >= 0) action->setIcon(ToolImage(image));
        return action;
    };
    act_exitapp = makeAction(QStringLiteral("act_exitapp"), QStringLiteral("退出程序"), tiExitApp);
    act_showmainform = makeAction(QStringLiteral("act_showmainform"), QStringLiteral("显示主窗口"), tiShowMainForm);
    act_HomePage = makeAction(QStringLiteral("act_HomePage"), QStringLiteral("官方网站"), tiHomePage);
    act_OnlineQQ = makeAction(QStringLiteral("act_OnlineQQ"), QStringLiteral("在线客服"), tiQQ);
    act_About = makeAction(QStringLiteral("act_About"), QStringLiteral("关于程序"), -1);
    act_Notice = makeAction(QStringLiteral("act_Notice"), QStringLiteral("注意事项"), -1);

    connect(act_exitapp, &QAction::triggered, this, &TfrmMain::postExitApp);
    connect(act_showmainform, &QAction::triggered, this,
            [this] { QMetaObject::invokeMethod(this, &TfrmMain::OnWM_ShowMainForm, Qt::QueuedConnection); });
    connect(act_HomePage, &QAction::triggered, this, [this] { OpenLink(FServices, this, SiteAddress()); });
    connect(act_OnlineQQ, &QAction::triggered, this, [this] { OpenLink(FServices, this, SupportQQChatLink()); });
    connect(act_About, &QAction::triggered, this, [this] {
        if (FScreens.about) FScreens.about->exec();
    });
    connect(act_Notice, &QAction::triggered, this, [this] {
        if (!FScreens.notice) return;
        FScreens.notice->hide(); // shown without blocking after login: now modal
        FScreens.notice->exec();
    });

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mm_Main"));
    QMenu* file = bar->addMenu(QStringLiteral("文件(&F)"));
    file->setObjectName(QStringLiteral("N_File"));
    file->addAction(act_exitapp);
    QMenu* settings = bar->addMenu(QStringLiteral("设置(&S)"));
    settings->setObjectName(QStringLiteral("N_Settings"));
    settings->addAction(act_Notice);
    QMenu* help = bar->addMenu(QStringLiteral("帮助(&H)"));
    help->setObjectName(QStringLiteral("N_Help"));
    help->addAction(act_HomePage);
    help->addAction(act_OnlineQQ);
    help->addSeparator();
    help->addAction(act_About);

    pm_Tray = new QMenu(this);
    pm_Tray->setObjectName(QStringLiteral("pm_Tray"));
    pm_Tray->addAction(act_showmainform);
    pm_Tray->addAction(act_HomePage);
    pm_Tray->addSeparator();
    pm_Tray->addAction(act_exitapp);

    TrayIcon1 = new QSystemTrayIcon(ProgramIcon(), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(ProductName);
    TrayIcon1->setContextMenu(pm_Tray);
    connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) act_showmainform->trigger();
    });
    if (m_trayAvailable()) TrayIcon1->show();
}

void TfrmMain::setScreens(const TScreens& screens) {
    FScreens = screens;
    if (FScreens.published && FScreens.welcome)
        connect(FScreens.published, &TfrmPublishedTaskManager::requestDashboardRefresh, FScreens.welcome,
                &TfrmWelcome::GetBasicInfo);
    if (FScreens.welcome)
        connect(FScreens.welcome, &TfrmWelcome::refreshStatusRequested, this, &TfrmMain::setLoginStatus);
}

QString TfrmMain::statusText(int panel) const { return FStatusPanels.at(size_t(panel))->text(); }

void TfrmMain::setLoginStatus() {
    FStatusPanels[2]->setText(QStringLiteral("当前登录账户：") + CurrentUser().Fusername);
}

void TfrmMain::FormShow() {
    if (!FFirstShow) return;
    FLoginRunner();
    FFirstShow = false;
    FCurrentForm = nullptr;
    lbl_Info->setText(QStringLiteral("%1您好，欢迎您来到%2!").arg(CurrentUser().Fusername, ProductName));
    setLoginStatus();
    tmr_Notice->start();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    showMaximized();
    btn_Index->click();
}

void TfrmMain::showScreen(QWidget* screen, const QString& statusText) {
    if (!screen || screen == FCurrentForm) return;
    if (FCurrentForm) FCurrentForm->hide();
    if (screen->parentWidget() != pnl_Content) {
        screen->setParent(pnl_Content, Qt::Widget);
        pnl_Content->layout()->addWidget(screen);
    }
    screen->show();
    screen->raise();
    FCurrentForm = screen;
    FStatusPanels[1]->setText(statusText);
}

void TfrmMain::btn_IndexClick() { showScreen(FScreens.welcome, QStringLiteral("管理对象：任务首页管理")); }
void TfrmMain::btn_HandledTaskClick() { showScreen(FScreens.handled, QStringLiteral("管理对象：已接手任务管理")); }
void TfrmMain::btn_PublishedTaskClick() { showScreen(FScreens.published, QStringLiteral("管理对象：已发布任务管理")); }
void TfrmMain::btn_TaskCenterClick() { showScreen(FScreens.taskCenter, QStringLiteral("管理对象：任务大厅")); }
void TfrmMain::btn_OptLogClick() { showScreen(FScreens.optLog, QStringLiteral("管理对象：操作记录管理")); }
void TfrmMain::btn_TradeLogClick() { showScreen(FScreens.tradeLog, QStringLiteral("管理对象：交易记录管理")); }

template <class TDialog> void TfrmMain::openDialog() {
    TDialog dialog(FServices, this);
    dialog.exec();
}

void TfrmMain::btn_publishtaskClick() { openDialog<TfrmPublishTask>(); }
void TfrmMain::btn_UserCenterClick() { openDialog<TfrmUserCenter>(); }
void TfrmMain::btn_ModifyPassClick() { openDialog<TfrmModifyUserPass>(); }
void TfrmMain::btn_RechargeClick() { openDialog<TfrmRechargeInfo>(); }
void TfrmMain::btn_WithdrawClick() { openDialog<TfrmWithdrawInfo>(); }
void TfrmMain::btn_SubUserClick() { openDialog<TfrmSubUserList>(); }

void TfrmMain::tmr_NoticeTimer() {
    tmr_Notice->stop();
    TfrmNotice* notice = FScreens.notice;
    if (!notice) return;
    notice->move(geometry().center() - notice->rect().center());
    notice->show();
    notice->raise();
    notice->activateWindow();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (FExiting) {
        event->accept();
        return;
    }
    event->ignore();
    postExitApp();
}

void TfrmMain::postExitApp() { QMetaObject::invokeMethod(this, &TfrmMain::OnWM_ExitApp, Qt::QueuedConnection); }

void TfrmMain::OnWM_ExitApp() {
    // The question's box runs the event loop: a second request that arrives meanwhile (the close
    // button, the tray's "退出程序") is answered by the question already up.
    if (FExiting || m_askingToExit) return;
    m_askingToExit = true;
    const bool exit = AskConfirm(FServices.prompter, this, QStringLiteral("确定要退出程序吗?"));
    m_askingToExit = false;
    if (!exit) {
        keepRunningOutOfSight();
        return;
    }
    FExiting = true;
    SendCommandIgnoringReply(FServices, this, cmLogout);
    FInstance.release();
    FQuitAction();
}

void TfrmMain::keepRunningOutOfSight() {
    // Decided now, not at start-up: a tray that has appeared since gets the icon, and a window is
    // hidden only while its icon is there to bring it back.
    if (m_trayAvailable()) {
        if (!TrayIcon1->isVisible()) TrayIcon1->show();
        if (TrayIcon1->isVisible()) {
            hide();
            TrayIcon1->showMessage(ProductName, ProductName, ProgramIcon());
            return;
        }
    }
    // Without a tray the hidden window could not be reached again: minimised instead.
    showMinimized();
}

void TfrmMain::OnWM_ShowMainForm() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}
