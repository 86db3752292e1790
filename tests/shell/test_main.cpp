// The main window: first showing after login, the screens in the content area and their loads, the
// notice, the dashboard refresh hook, and the exit flow.
#include "model/uVarConst.h"
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmTradeLog.h"
#include "screens/account/ufrmWelcome.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/ufrmMain.h"
#include "shell/ufrmNotice.h"
#include "tests/shell/ShellFixtures.h"
#include "widgets/ClickLabel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

using namespace shell_fixtures;

namespace {
struct MainFixture {
    QTemporaryDir dir;
    SingleInstance instance{dir.filePath(QStringLiteral("client.lock"))};
    TestServices t;
    std::unique_ptr<LongLivedWindows> windows;
    int logins = 0;
    int quits = 0;

    explicit MainFixture(const ChannelSettings& channel) : t(channel) {
        QVERIFY(instance.acquire());
        windows = std::make_unique<LongLivedWindows>(t.services, instance);
        main().setLoginRunner([this] {
            ++logins;
            QVERIFY(!main().isVisible()); // the login comes before the window appears
            CurrentUser().Clear();
            CurrentUser().Fusername = QStringLiteral("alice");
            CurrentUser().Fuserpass = QStringLiteral("pw");
        });
        main().setQuitAction([this] { ++quits; });
    }
    TfrmMain& main() { return *windows->frmMain; }
};

std::size_t basicInfoLoads(const ScriptedServer& server) { return RequestsOf(server, cmGetBasicInfo).size(); }
} // namespace

class TestMain : public QObject {
    Q_OBJECT
private slots:
    void firstShowingLogsInThenShowsTheWelcomeScreen() {
        ScriptedServer server;
        MainFixture f(server.settings());
        TfrmMain& main = f.main();
        QCOMPARE(main.statusText(0), QStringLiteral("欢迎使用Quorvane 版本号：1.0.0.0"));
        main.FormShow();
        QCOMPARE(f.logins, 1);
        QVERIFY(main.isVisible());
        QVERIFY(main.isMaximized());
        QCOMPARE(main.FCurrentForm, static_cast<QWidget*>(f.windows->frmWelcome.get()));
        QVERIFY(f.windows->frmWelcome->isVisible());
        QCOMPARE(f.windows->frmWelcome->parentWidget(), main.pnl_Content);
        QVERIFY(main.btn_Index->isChecked());
        QCOMPARE(main.statusText(1), QStringLiteral("管理对象：任务首页管理"));
        QCOMPARE(main.statusText(2), QStringLiteral("当前登录账户：alice"));
        QCOMPARE(main.lbl_Info->text(), QStringLiteral("alice您好，欢迎您来到Quorvane!"));
        QTRY_COMPARE(basicInfoLoads(server), std::size_t(1));

        // About a second later the notice comes up on top, without blocking.
        TfrmNotice* notice = f.windows->frmNotice.get();
        QVERIFY(main.tmr_Notice->isActive());
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), 3000);
        QVERIFY(!notice->isModal());
        QVERIFY(notice->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(notice->RichEdit1->toPlainText().split(u'\n'), TfrmNotice::NoticeLines());
        QCOMPARE(TfrmNotice::NoticeLines().size(), 13);
        notice->btn_OK->click();
        QVERIFY(!notice->isVisible());

        // Later showings skip the login.
        main.FormShow();
        QCOMPARE(f.logins, 1);
    }

    void navigationLoadsAScreenOnlyWhenItIsShownAnew() {
        ScriptedServer server;
        MainFixture f(server.settings());
        TfrmMain& main = f.main();
        main.FormShow();
        QTRY_COMPARE(basicInfoLoads(server), std::size_t(1));

        main.btn_Index->click(); // the screen on show: nothing is reloaded
        QTest::qWait(300);
        QCOMPARE(basicInfoLoads(server), std::size_t(1));

        const struct {
            QPushButton* button;
            QWidget* screen;
            const char* status;
        } screens[] = {
            {main.btn_HandledTask, static_cast<QWidget*>(f.windows->frmHandledTaskManager.get()),
             "管理对象：已接手任务管理"},
            {main.btn_PublishedTask, static_cast<QWidget*>(f.windows->frmPublishedTaskManager.get()),
             "管理对象：已发布任务管理"},
            {main.btn_TaskCenter, static_cast<QWidget*>(f.windows->frmTaskCenter.get()), "管理对象：任务大厅"},
            {main.btn_OptLog, static_cast<QWidget*>(f.windows->frmOptLog.get()), "管理对象：操作记录管理"},
            {main.btn_TradeLog, static_cast<QWidget*>(f.windows->frmTradeLog.get()), "管理对象：交易记录管理"},
        };
        for (const auto& s : screens) {
            s.button->click();
            QCOMPARE(main.FCurrentForm, s.screen);
            QVERIFY(s.screen->isVisible());
            QVERIFY(!f.windows->frmWelcome->isVisible());
            QVERIFY(s.button->isChecked());
            QVERIFY(!main.btn_Index->isChecked());
            QCOMPARE(main.statusText(1), QString::fromUtf8(s.status));
        }
        // Back to the welcome screen: its figures are loaded again.
        main.btn_Index->click();
        QTRY_COMPARE(basicInfoLoads(server), std::size_t(2));
        QCOMPARE(main.statusText(1), QStringLiteral("管理对象：任务首页管理"));

        // A deletion on the published-tasks screen reloads the dashboard figures.
        emit f.windows->frmPublishedTaskManager->requestDashboardRefresh();
        QCOMPARE(basicInfoLoads(server), std::size_t(3));

        // The dashboard's refresh rewrites the signed-in account's status text.
        CurrentUser().Fusername = QStringLiteral("bob");
        f.windows->frmWelcome->btn_refresh->click();
        QCOMPARE(main.statusText(2), QStringLiteral("当前登录账户：bob"));
    }

    // Passing through screens faster than their 100 ms load: only the screen that stays is loaded,
    // and a screen left before its load has no timer running; shown again, it loads.
    void leavingAScreenBeforeItsLoadFetchesNothingForIt() {
        ScriptedServer server;
        MainFixture f(server.settings());
        TfrmMain& main = f.main();
        main.FormShow();
        QTRY_COMPARE(basicInfoLoads(server), std::size_t(1));
        server.clearRequests();

        const struct {
            QPushButton* button;
            QWidget* screen;
            int command;
        } screens[] = {
            {main.btn_TaskCenter, f.windows->frmTaskCenter.get(), cmGetTaskCenterList},
            {main.btn_HandledTask, f.windows->frmHandledTaskManager.get(), cmGetHandledTaskList},
            {main.btn_PublishedTask, f.windows->frmPublishedTaskManager.get(), cmGetPublishedTaskList},
            {main.btn_OptLog, f.windows->frmOptLog.get(), cmGetOptLogList},
            {main.btn_TradeLog, f.windows->frmTradeLog.get(), cmGetTradeLogList},
            {main.btn_Index, f.windows->frmWelcome.get(), cmGetBasicInfo},
        };
        for (const auto& s : screens) s.button->click(); // no event runs in between
        for (const auto& s : screens) {
            const auto* timer = s.screen->findChild<QTimer*>(QStringLiteral("Timer1"));
            QVERIFY2(timer, s.screen->objectName().toLatin1());
            QCOMPARE(timer->isActive(), s.screen == f.windows->frmWelcome.get());
        }
        QTRY_COMPARE(basicInfoLoads(server), std::size_t(1));
        QTest::qWait(250);
        QCOMPARE(server.requestCount(), std::size_t(1));

        main.btn_TradeLog->click();
        QTRY_COMPARE(RequestsOf(server, cmGetTradeLogList).size(), std::size_t(1));
        QTest::qWait(250);
        QCOMPARE(server.requestCount(), std::size_t(2));
    }

    // A second exit request that arrives while the question is up (a real box runs the event loop)
    // is ignored: one question, one answer.
    void secondExitRequestWhileAskingIsIgnored() {
        MainFixture f(UnreachableChannel());
        TfrmMain& main = f.main();
        main.FormShow();
        f.t.prompter.clear();
        f.t.prompter.yesNoAnswers = {false};
        f.t.prompter.onShow = [](const TestPrompter::Entry& entry) {
            if (entry.kind == TestPrompter::Kind::Question) QCoreApplication::processEvents();
        };
        main.act_exitapp->trigger();
        main.close();
        QTRY_COMPARE(int(f.t.prompter.entries.size()), 1);
        QTest::qWait(50);
        f.t.prompter.onShow = nullptr;
        QCOMPARE(int(f.t.prompter.entries.size()), 1);
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("确定要退出程序吗?"));
        QCOMPARE(f.t.prompter.unanswered, 0);
        QCOMPARE(f.quits, 0);

        // Asked again later, the question comes up again.
        f.t.prompter.yesNoAnswers = {false};
        main.act_exitapp->trigger();
        QTRY_COMPARE(int(f.t.prompter.entries.size()), 2);
        QCOMPARE(f.quits, 0);
    }

    void categoryPanelsFoldOnDoubleClick() {
        MainFixture f(ChannelSettings{});
        TfrmMain& main = f.main();
        main.setLoginRunner([] {});
        main.show();
        QWidget* header = main.findChild<QWidget*>(QStringLiteral("ctgrypnl_LogManager_header"));
        QVERIFY(header);
        QCOMPARE(header->accessibleName(), QStringLiteral("日志记录"));
        QCOMPARE(header->toolTip(), QStringLiteral("双击收起或展开项"));
        QVERIFY(main.btn_OptLog->isVisible());
        QTest::mouseDClick(header, Qt::LeftButton);
        QVERIFY(!main.btn_OptLog->isVisible());
        QTest::mouseDClick(header, Qt::LeftButton);
        QVERIFY(main.btn_OptLog->isVisible());
    }

    void navigatorAndMenusOpenTheirWindows() {
        ScriptedServer server;
        MainFixture f(server.settings());
        TfrmMain& main = f.main();
        main.FormShow();
        const struct {
            std::function<void()> trigger;
            const char* className;
        } cases[] = {
            {[&] { main.btn_publishtask->click(); }, "TfrmPublishTask"},
            {[&] { main.btn_UserCenter->click(); }, "TfrmUserCenter"},
            {[&] { main.btn_ModifyPass->click(); }, "TfrmModifyUserPass"},
            {[&] { main.btn_Recharge->click(); }, "TfrmRechargeInfo"},
            {[&] { main.btn_Withdraw->click(); }, "TfrmWithdrawInfo"},
            {[&] { main.btn_SubUser->click(); }, "TfrmSubUserList"},
            {[&] { main.act_About->trigger(); }, "TfrmAbout"},
            {[&] { main.act_Notice->trigger(); }, "TfrmNotice"},
        };
        for (const auto& c : cases) {
            QString opened;
            QWidget* owner = nullptr;
            const auto found = OnNextModal<QDialog>([&](QDialog* dialog) {
                opened = QString::fromLatin1(dialog->metaObject()->className());
                owner = dialog->parentWidget();
            });
            c.trigger();
            QVERIFY2(*found, c.className);
            QCOMPARE(opened, QString::fromLatin1(c.className));
            QCOMPARE(owner, static_cast<QWidget*>(&main));
        }
        QCOMPARE(main.FCurrentForm, static_cast<QWidget*>(f.windows->frmWelcome.get())); // dialogs are not screens

        QTest::mouseClick(main.img_Logo, Qt::LeftButton);
        QTest::mouseClick(main.img_pingtaiQQ, Qt::LeftButton);
        main.act_HomePage->trigger();
        main.act_OnlineQQ->trigger();
        QCOMPARE(f.t.links.opened,
                 QStringList({SiteAddress(), SupportQQChatLink(), SiteAddress(), SupportQQChatLink()}));
    }

    // Whether the desktop has a tray is asked when the window is to go out of sight, not only at
    // start-up: a tray that came later gets the icon and the window; without one the window is
    // minimised, so it can always be reached again.
    void trayDecidedWhenHiding_data() {
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<bool>("atQuestion");
        QTest::newRow("tray came after the start") << false << true;
        QTest::newRow("tray went away") << true << false;
        QTest::newRow("tray all along") << true << true;
        QTest::newRow("never a tray") << false << false;
    }
    void trayDecidedWhenHiding() {
        QFETCH(bool, atStart);
        QFETCH(bool, atQuestion);
        QTemporaryDir dir;
        SingleInstance instance(dir.filePath(QStringLiteral("client.lock")));
        QVERIFY(instance.acquire());
        TestServices t;
        bool tray = atStart;
        TfrmMain main(t.services, instance, nullptr, [&tray] { return tray; });
        QCOMPARE(main.TrayIcon1->isVisible(), atStart);
        main.setLoginRunner([] {});
        main.FormShow();
        QVERIFY(main.isVisible());

        tray = atQuestion;
        t.prompter.yesNoAnswers = {false};
        main.close();
        QTRY_COMPARE(int(t.prompter.entries.size()), 1);
        QCOMPARE(t.prompter.lastText(), QStringLiteral("确定要退出程序吗?"));
        if (atQuestion) {
            QVERIFY(main.TrayIcon1->isVisible());
            QVERIFY(!main.isVisible());
        } else {
            QVERIFY(main.isVisible());
            QVERIFY(main.isMinimized());
        }
        // Either way the tray's or the taskbar's way back shows it again.
        main.act_showmainform->trigger();
        QTRY_VERIFY(main.isVisible() && !main.isMinimized());
    }

    void exitFlow_data() {
        QTest::addColumn<bool>("reachable"); // false: nothing listens; true: the server answers 500
        QTest::newRow("server answers an error") << true;
        QTest::newRow("server unreachable") << false;
    }
    void exitFlow() {
        QFETCH(bool, reachable);
        ScriptedServer server;
        server.setDefault(ScriptedReply::status_(500, "Internal Server Error"));
        MainFixture f(reachable ? server.settings() : UnreachableChannel());
        TfrmMain& main = f.main();
        main.FormShow();
        f.t.prompter.clear();

        // No: the program stays reachable (in the tray, or minimised where there is no tray).
        f.t.prompter.yesNoAnswers = {false};
        main.close();
        QTRY_COMPARE(int(f.t.prompter.entries.size()), 1);
        QCOMPARE(f.t.prompter.lastText(), QStringLiteral("确定要退出程序吗?"));
        QCOMPARE(f.t.prompter.last()->kind, TestPrompter::Kind::Question);
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            QVERIFY(!main.isVisible());
        } else {
            QVERIFY(main.isVisible());
            QVERIFY(main.isMinimized());
        }
        QCOMPARE(f.quits, 0);
        QVERIFY(f.instance.held());

        // The tray's "显示主窗口" brings it back without a new login.
        main.act_showmainform->trigger();
        QTRY_VERIFY(main.isVisible() && !main.isMinimized());
        QCOMPARE(f.logins, 1);

        // Yes: logout attempted, no message whatever the outcome, lock released, loop ended.
        server.clearRequests();
        f.t.prompter.yesNoAnswers = {true};
        main.act_exitapp->trigger();
        QTRY_COMPARE(f.quits, 1);
        QCOMPARE(int(f.t.prompter.entries.size()), 2); // the two questions only
        QVERIFY(!f.instance.held());
        if (reachable) {
            QCOMPARE(RequestsOf(server, cmLogout).size(), std::size_t(1));
            QCOMPARE(RequestsOf(server, cmLogout).front().headValue(QStringLiteral("head_username")),
                     QStringLiteral("alice"));
        }
        SingleInstance next(f.instance.path());
        QVERIFY(next.acquire());
    }
};

QTEST_MAIN(TestMain)
#include "test_main.moc"
