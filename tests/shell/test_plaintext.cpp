// Text that comes from users or the server is shown as the characters it holds: a user name or a
// server message with markup in it shows the markup, it is not rendered.
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmWelcome.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "shell/ufrmMain.h"
#include "tests/screens/account/AccountFixture.h"
#include "tests/shell/ShellFixtures.h"
#include "widgets/PagedList.h"
#include "widgets/Prompter.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace shell_fixtures;

namespace {
// What QLabel and QMessageBox themselves decide: automatic format renders a text that looks like markup.
bool rendersMarkup(Qt::TextFormat format, const QString& text) {
    return format == Qt::RichText || format == Qt::MarkdownText ||
           (format == Qt::AutoText && Qt::mightBeRichText(text));
}

// Every label of `window` and its children that shows `text` shows it as plain text. Returns the
// names of those that do not.
QStringList labelsRenderingMarkup(const QWidget* window, const QString& text) {
    QStringList rendering;
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->text().contains(text) && rendersMarkup(label->textFormat(), label->text()))
            rendering.append(label->objectName());
    return rendering;
}
} // namespace

class TestPlainText : public QObject {
    Q_OBJECT
private slots:
    void userAndServerTextIsShownAsTyped_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("heading") << "<h1>BIG</h1>";
        QTest::newRow("bold") << "<b>bold</b>";
        QTest::newRow("entity") << "Tom &amp; Jerry";
        QTest::newRow("picture") << "<img src=\"file:///etc/passwd\">";
        QTest::newRow("link") << "<a href=\"http://example.com\">点我</a>";
    }

    // The greeting and the account's status panel of the main window, the welcome screen's greeting.
    void userAndServerTextIsShownAsTyped() {
        QFETCH(QString, text);
        ScriptedServer server;
        TestServices t(server.settings());
        QTemporaryDir dir;
        SingleInstance instance(dir.filePath(QStringLiteral("client.lock")));
        QVERIFY(instance.acquire());
        LongLivedWindows windows(t.services, instance);
        TfrmMain& main = *windows.frmMain;
        main.setLoginRunner([&text] {
            CurrentUser().Clear();
            CurrentUser().Fusername = text;
            CurrentUser().Fuserpass = QStringLiteral("pw");
        });
        main.FormShow();

        QCOMPARE(main.lbl_Info->text(), text + QStringLiteral("您好，欢迎您来到Quorvane!"));
        QVERIFY(!rendersMarkup(main.lbl_Info->textFormat(), main.lbl_Info->text()));
        QCOMPARE(main.statusText(2), QStringLiteral("当前登录账户：") + text);
        QCOMPARE(labelsRenderingMarkup(&main, text), QStringList());
        QCOMPARE(labelsRenderingMarkup(windows.frmWelcome.get(), text), QStringList());
        const auto* greeting = windows.frmWelcome->findChild<QLabel*>(QStringLiteral("lbl_UserName"));
        QVERIFY(greeting);
        QVERIFY(greeting->text().contains(text));
    }

    // The task detail: the task id and the handler's names, QQ number and shop as the server sent them.
    void taskDetailShowsServerTextAsTyped() {
        const QString text = QStringLiteral("<h1>BIG</h1><img src=x>");
        TestServices t;
        TTaskInfo task;
        task.Ftaskid = text;
        task.Fstatus = tsWaitforPay;
        task.Fhandlerusername = text;
        task.Fhandlershopkeeperusername = text;
        task.Fhandlertaobaoxiaohao = text;
        task.Fhandlerqq = text;
        TfrmViewTaskInfo dialog(t.services, task);
        dialog.show();
        QCOMPARE(labelsRenderingMarkup(&dialog, text), QStringList());
        const auto* handler = dialog.findChild<QLabel*>(QStringLiteral("lbl_Handlerusername"));
        QVERIFY(handler);
        QCOMPARE(handler->text(), QStringLiteral("接单人：") + text);
    }

    void listCellShowsServerTextAsTyped() {
        AccountFixture f;
        TfrmOptLog screen(f.t.services);
        const std::string taskid = "<b>T1</b>&amp;";
        f.server.enqueueJson(ListReply(1, nlohmann::json::array({{{"id", 1},
                                                                  {"userid", "7"},
                                                                  {"taskid", taskid},
                                                                  {"opttype", 4},
                                                                  {"action", "<h1>确认</h1>"},
                                                                  {"marks", "<img src=x>"},
                                                                  {"addtime", "2016-03-05 08:04:09"}}})));
        screen.GetOptLogList();
        const auto* view = screen.findChild<QAbstractItemView*>(QStringLiteral("lv_OptLog"));
        QVERIFY(view);
        QCOMPARE(view->model()->index(0, 1).data().toString(), QString::fromStdString(taskid));
        QCOMPARE(view->model()->index(0, 4).data().toString(), QStringLiteral("<img src=x>"));
        QVERIFY(!view->model()->index(0, 1).data(Qt::ToolTipRole).isValid());
    }

    // The real message box: a refusal carrying markup in returnmsg shows the markup.
    void messageBoxShowsTheTextAsTyped() {
        const QString text = QStringLiteral("登陆失败:<h1>BIG</h1><img src=x>");
        QtPrompter prompter;
        QString shown;
        bool plain = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            shown = box->text();
            plain = !rendersMarkup(box->textFormat(), box->text());
            box->accept();
        });
        prompter.showMessage(nullptr, text, QStringLiteral("提示"), MessageIcon::Error);
        QCOMPARE(shown, text);
        QVERIFY(plain);
    }
};

QTEST_MAIN(TestPlainText)
#include "test_plaintext.moc"
