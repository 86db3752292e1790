// Every control a click works on works the same through its accessible action (what a screen reader
// or a voice-control program invokes), and is named by its caption.
#include "model/uVarConst.h"
#include "screens/account/ufrmInviteInfo.h"
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmTradeLog.h"
#include "screens/account/ufrmWelcome.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/ufrmLogin.h"
#include "shell/ufrmMain.h"
#include "shell/ufrmUserRegister.h"
#include "tests/shell/ShellFixtures.h"
#include "widgets/CategoryPanel.h"
#include "widgets/ClickLabel.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace shell_fixtures;

namespace {
QAccessibleActionInterface* actionsOf(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->actionInterface() : nullptr;
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

// Invokes the control's first action, the one an assistive program offers for "activate". False
// when the control offers no such action.
bool activate(QWidget* widget) {
    QAccessibleActionInterface* actions = actionsOf(widget);
    if (!actions) return false;
    for (const QString& name : actions->actionNames()) {
        if (name == QAccessibleActionInterface::pressAction() || name == QAccessibleActionInterface::toggleAction()) {
            actions->doAction(name);
            return true;
        }
    }
    return false;
}

struct MainFixture {
    QTemporaryDir dir;
    SingleInstance instance{dir.filePath(QStringLiteral("client.lock"))};
    ScriptedServer server;
    TestServices t{server.settings()};
    std::unique_ptr<LongLivedWindows> windows;

    MainFixture() {
        QVERIFY(instance.acquire());
        windows = std::make_unique<LongLivedWindows>(t.services, instance);
        main().setLoginRunner([] {
            CurrentUser().Clear();
            CurrentUser().Fusername = QStringLiteral("alice");
            CurrentUser().Fuserpass = QStringLiteral("pw");
        });
        main().FormShow();
        QTRY_COMPARE(RequestsOf(server, cmGetBasicInfo).size(), std::size_t(1));
    }
    TfrmMain& main() { return *windows->frmMain; }
};

// The command codes of the requests sent from `first` on.
QStringList commandsFrom(const ScriptedServer& server, std::size_t first) {
    QStringList commands;
    const auto requests = server.requests();
    for (std::size_t i = first; i < requests.size(); ++i)
        commands.append(requests[i].headValue(QStringLiteral("head_command")));
    return commands;
}
} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    // Each navigator button that shows a screen: a click and the accessible action show the same
    // screen, mark the same button and send the same load.
    void navigatorButtonsShowTheirScreens() {
        MainFixture f;
        TfrmMain& main = f.main();
        const struct {
            QPushButton* button;
            QWidget* screen;
            const char* caption;
            int command;
        } screens[] = {
            {main.btn_HandledTask, f.windows->frmHandledTaskManager.get(), "已接手任务", cmGetHandledTaskList},
            {main.btn_PublishedTask, f.windows->frmPublishedTaskManager.get(), "已发布任务", cmGetPublishedTaskList},
            {main.btn_TaskCenter, f.windows->frmTaskCenter.get(), "任务大厅", cmGetTaskCenterList},
            {main.btn_OptLog, f.windows->frmOptLog.get(), "操作记录", cmGetOptLogList},
            {main.btn_TradeLog, f.windows->frmTradeLog.get(), "交易记录", cmGetTradeLogList},
            {main.btn_Index, f.windows->frmWelcome.get(), "任务首页", cmGetBasicInfo},
        };
        for (const bool byAction : {false, true}) {
            for (const auto& s : screens) {
                const QString status = main.statusText(1);
                const std::size_t sent = f.server.requestCount();
                if (byAction) {
                    QCOMPARE(accessibleName(s.button), QString::fromUtf8(s.caption));
                    QVERIFY2(activate(s.button), s.caption);
                } else {
                    s.button->click();
                }
                QCOMPARE(main.FCurrentForm, s.screen);
                QVERIFY(s.screen->isVisible());
                QVERIFY(s.button->isChecked());
                QVERIFY(status != main.statusText(1));
                QTRY_COMPARE(commandsFrom(f.server, sent), QStringList{QString::number(s.command)});
                // Invoking it again on the screen it shows changes nothing.
                if (byAction) QVERIFY(activate(s.button));
                QCOMPARE(main.FCurrentForm, s.screen);
                QVERIFY(s.button->isChecked());
            }
        }
    }

    // The buttons that open dialogs, and the category headers that fold.
    void navigatorDialogButtonsAndHeaders() {
        MainFixture f;
        TfrmMain& main = f.main();
        const struct {
            QPushButton* button;
            const char* className;
        } dialogs[] = {{main.btn_publishtask, "TfrmPublishTask"},   {main.btn_UserCenter, "TfrmUserCenter"},
                       {main.btn_ModifyPass, "TfrmModifyUserPass"}, {main.btn_Recharge, "TfrmRechargeInfo"},
                       {main.btn_Withdraw, "TfrmWithdrawInfo"},     {main.btn_SubUser, "TfrmSubUserList"}};
        for (const auto& d : dialogs) {
            QVERIFY(!accessibleName(d.button).isEmpty());
            QCOMPARE(accessibleName(d.button), d.button->text());
            // The press lands after the button's own short delay and opens the dialog modally:
            // a timer notes which dialog came up and closes it.
            QString opened;
            QWidget* owner = nullptr;
            QTimer closer;
            closer.setInterval(10);
            connect(&closer, &QTimer::timeout, this, [&] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                if (!dialog) return;
                opened = QString::fromLatin1(dialog->metaObject()->className());
                owner = dialog->parentWidget();
                dialog->reject();
            });
            closer.start();
            QVERIFY(activate(d.button));
            QTRY_VERIFY(!opened.isEmpty());
            closer.stop();
            QCOMPARE(opened, QString::fromLatin1(d.className));
            QCOMPARE(owner, static_cast<QWidget*>(&main));
        }

        CategoryPanel* logs = main.ctgrypnl_LogManager;
        QCOMPARE(accessibleName(logs->header()), QStringLiteral("日志记录"));
        QVERIFY(activate(logs->header()));
        QVERIFY(logs->collapsed());
        QVERIFY(!main.btn_OptLog->isVisible());
        QVERIFY(activate(logs->header()));
        QVERIFY(!logs->collapsed());
        QVERIFY(main.btn_OptLog->isVisible());
    }

    // Link labels and picture links: the same link opened, the same dialog shown as by a click.
    void linkLabelsOpenWhatAClickOpens() {
        MainFixture f;
        TfrmMain& main = f.main();
        for (ClickLabel* label : {main.img_Logo, main.img_pingtaiQQ}) {
            QVERIFY(!accessibleName(label).isEmpty());
            QVERIFY(activate(label));
        }
        QCOMPARE(f.t.links.opened, QStringList({SiteAddress(), SupportQQChatLink()}));

        TfrmWelcome& welcome = *f.windows->frmWelcome;
        QCOMPARE(accessibleName(welcome.lbl_inviteURL), QStringLiteral("查看我的推广链接"));
        const auto invitation = OnNextModal<TfrmInviteInfo>({});
        QVERIFY(activate(welcome.lbl_inviteURL));
        QVERIFY(*invitation);
    }

    void loginDialogLinks() {
        TestServices t;
        QTemporaryDir dir;
        TfrmLogin login(t.services, nullptr, dir.filePath(QStringLiteral("c.ini")));
        login.show();
        QCOMPARE(accessibleName(login.lbl_userregister), QStringLiteral("注册账户"));
        QCOMPARE(QAccessible::queryAccessibleInterface(login.lbl_userregister)->role(), QAccessible::Link);
        const auto signUp = OnNextModal<TfrmUserRegister>({});
        QVERIFY(activate(login.lbl_userregister));
        QVERIFY(*signUp);
        QCOMPARE(accessibleName(login.img_pingtaiQQ), QStringLiteral("在线客服"));
        QVERIFY(activate(login.img_pingtaiQQ));
        QVERIFY(activate(login.Image1));
        QCOMPARE(t.links.opened, QStringList({SupportQQChatLink(), SiteAddress()}));
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
