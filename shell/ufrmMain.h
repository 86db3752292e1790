#pragma once
// The main window: the top bar, the navigator of three category panels, the content area that
// shows one screen at a time, the menus, the status bar, the tray icon, the notice after login and
// the exit flow (logout, release of the single-instance lock, end of the loop).
#include "widgets/RemoteCall.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTimer;
class CategoryPanel;
class ClickLabel;
class SingleInstance;
class TfrmAbout;
class TfrmHandledTaskManager;
class TfrmNotice;
class TfrmOptLog;
class TfrmPublishedTaskManager;
class TfrmTaskCenter;
class TfrmTradeLog;
class TfrmWelcome;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `trayAvailable` tells whether the desktop has a tray at the moment it is asked (default:
    // QSystemTrayIcon::isSystemTrayAvailable); a tray may come or go while the program runs.
    TfrmMain(const Services& services, SingleInstance& instance, QWidget* parent = nullptr,
             std::function<bool()> trayAvailable = {});

    // The long-lived windows created at start-up after the main window; the main window embeds the
    // screens and shows the two dialogs but does not own them.
    struct TScreens {
        TfrmHandledTaskManager* handled = nullptr;
        TfrmPublishedTaskManager* published = nullptr;
        TfrmNotice* notice = nullptr;
        TfrmOptLog* optLog = nullptr;
        TfrmTradeLog* tradeLog = nullptr;
        TfrmTaskCenter* taskCenter = nullptr;
        TfrmWelcome* welcome = nullptr;
        TfrmAbout* about = nullptr;
    };
    void setScreens(const TScreens& screens);

    // How the first showing logs in. Default: the login dialog, modal, owned by this window.
    void setLoginRunner(std::function<void()> runner) { FLoginRunner = std::move(runner); }
    // How a confirmed exit ends the message loop. Default: QCoreApplication::exit(0).
    void setQuitAction(std::function<void()> quit) { FQuitAction = std::move(quit); }

    // The text of status panel 0, 1 or 2.
    QString statusText(int panel) const;

    QWidget* FCurrentForm = nullptr;
    // True until the first showing has run the login.
    bool FFirstShow = true;

    ClickLabel* img_Logo;
    QLabel* Label1;
    ClickLabel* img_pingtaiQQ;
    QLabel* lbl_Info;
    QWidget* ctgrypnlgrp_navigator;
    CategoryPanel* ctgrypnl_taskManager;
    CategoryPanel* ctgrypnl_LogManager;
    CategoryPanel* ctgrypnl_UserCenter;
    QPushButton* btn_Index;
    QPushButton* btn_HandledTask;
    QPushButton* btn_PublishedTask;
    QPushButton* btn_TaskCenter;
    QPushButton* btn_publishtask;
    QPushButton* btn_OptLog;
    QPushButton* btn_TradeLog;
    QPushButton* btn_UserCenter;
    QPushButton* btn_ModifyPass;
    QPushButton* btn_Recharge;
    QPushButton* btn_Withdraw;
    QPushButton* btn_SubUser;
    QButtonGroup* FShowButtons;
    QWidget* pnl_Content;
    QAction* act_exitapp;
    QAction* act_showmainform;
    QAction* act_HomePage;
    QAction* act_OnlineQQ;
    QAction* act_About;
    QAction* act_Notice;
    QMenu* pm_Tray;
    QSystemTrayIcon* TrayIcon1;
    QTimer* tmr_Notice;

public slots:
    // The first showing: login, then the window maximised with the welcome screen.
    void FormShow();
    void OnWM_ShowMainForm();
    void OnWM_ExitApp();
    void tmr_NoticeTimer();
    void btn_IndexClick();
    void btn_HandledTaskClick();
    void btn_PublishedTaskClick();
    void btn_TaskCenterClick();
    void btn_OptLogClick();
    void btn_TradeLogClick();
    void btn_publishtaskClick();
    void btn_UserCenterClick();
    void btn_ModifyPassClick();
    void btn_RechargeClick();
    void btn_WithdrawClick();
    void btn_SubUserClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildTopBar(QWidget* parent);
    void buildNavigator(QWidget* parent);
    void buildActions();
    void showScreen(QWidget* screen, const QString& statusText);
    void postExitApp();
    // After a No to the exit question: into the tray when the desktop has one now, minimised otherwise.
    void keepRunningOutOfSight();
    void setLoginStatus();
    template <class TDialog> void openDialog();

    const Services& FServices;
    SingleInstance& FInstance;
    TScreens FScreens;
    std::array<QLabel*, 3> FStatusPanels{};
    std::function<void()> FLoginRunner;
    std::function<void()> FQuitAction;
    bool FExiting = false;
    bool m_askingToExit = false; // the "退出程序" question is up
    std::function<bool()> m_trayAvailable;
};
