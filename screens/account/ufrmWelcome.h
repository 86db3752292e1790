#pragma once
// The welcome dashboard: greeting, last login, the account's task counts and balance
// (cmGetBasicInfo, fetched 100 ms after every showing anew and on "刷新信息", through the screen's
// request queue), and the entry points to a
// recharge request, the support chat, the invitation link and the two user guides.
#include "widgets/RemoteCall.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class RequestQueue;
class ClickLabel;

class TfrmWelcome : public QWidget {
    Q_OBJECT
public:
    explicit TfrmWelcome(const Services& services, QWidget* parent = nullptr);

    QWidget* pnl_Top;
    QLabel* lbl_UserName;
    QLabel* lbl_lastuptime;
    QGroupBox* grp_Info;
    QLabel* lbl_currentopttaskcount;
    QLabel* lbl_totaloptcount;
    QLabel* lbl_accountbalance;
    QPushButton* btn_refresh;
    QLabel* lbl_waitforhandletaskcount;
    QLabel* lbl_waitforpaytaskcount;
    QLabel* lbl_waitforfahuotaskcount;
    QLabel* lbl_waitforreplytaskcount;
    QGroupBox* grp1;
    QPushButton* btn_ShowRechargeForm;
    QPushButton* btn_ConnectQQ;
    ClickLabel* lbl_inviteURL;
    QGroupBox* GroupBox1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* sLabel1;
    QToolButton* btn_publisher;
    QToolButton* btn_Handler;

signals:
    // "刷新信息" was pressed: the main window rewrites its status text of the signed-in account.
    void refreshStatusRequested();

public slots:
    // Reloads the dashboard figures (cmGetBasicInfo).
    void GetBasicInfo();
    void FormShow();
    void btn_refreshClick();
    void btn_ShowRechargeFormClick();
    void lbl_inviteURLClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void fetchBasicInfo();
    void showBalance(Money balance);

    const Services& FServices;
    RequestQueue* m_requests;
};
