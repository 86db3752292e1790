// Keyboard use of every dialog of the program: the first focus, Enter presses the dialog's default
// button, Esc closes the dialogs that may be closed, and the mnemonics "登录(&L)" and "确定(&Y)" press
// their buttons. The dialogs run offscreen against a scripted server that answers nothing useful, so
// a button that sends a command ends in a recorded box and never blocks.
#include "screens/account/ufrmBindAlipayAccount.h"
#include "screens/account/ufrmInviteInfo.h"
#include "screens/account/ufrmRechargeInfo.h"
#include "screens/account/ufrmRechargeRequest.h"
#include "screens/account/ufrmSubUserList.h"
#include "screens/account/ufrmUserCenter.h"
#include "screens/account/ufrmWithdrawInfo.h"
#include "screens/account/ufrmWithdrawRequest.h"
#include "screens/tasks/ufrmPublishTask.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "shell/ufrmAbout.h"
#include "shell/ufrmLogin.h"
#include "shell/ufrmModifyUserPass.h"
#include "shell/ufrmNotice.h"
#include "shell/ufrmUserRegister.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {

struct Fixture {
    ScriptedServer server;
    TestServices t{server.settings()};
    QTemporaryDir dir;
    TTaskInfo task;

    Fixture() {
        TUserInfo& user = CurrentUser();
        user.Clear();
        user.Fid = 7;
        user.Fusername = QStringLiteral("alice");
        user.Fuserpass = QStringLiteral("secret");
        task.Ftaskid = QStringLiteral("20160301000001");
    }
};

using Factory = std::function<std::unique_ptr<QDialog>(Fixture&)>;

struct DialogCase {
    const char* name;
    Factory make;
    QString defaultButton; // objectName of the button Enter presses; empty: none
    QString firstFocus;    // objectName of the control that has the focus when the dialog opens
    bool escapeCloses;
};

template <class T> Factory withServices() {
    return [](Fixture& f) -> std::unique_ptr<QDialog> { return std::make_unique<T>(f.t.services); };
}

const std::vector<DialogCase>& dialogCases() {
    static const std::vector<DialogCase> cases = {
        {"login",
         [](Fixture& f) -> std::unique_ptr<QDialog> {
             return std::make_unique<TfrmLogin>(f.t.services, nullptr, f.dir.filePath(QStringLiteral("client.ini")));
         },
         QStringLiteral("btn_Login"), QStringLiteral("edt_username"), false},
        {"register", withServices<TfrmUserRegister>(), QStringLiteral("btn_register"), QStringLiteral("edt_username"),
         true},
        {"modify password", withServices<TfrmModifyUserPass>(), QStringLiteral("btn_ModifyPass"),
         QStringLiteral("edt_olduserpass"), true},
        {"about", [](Fixture&) -> std::unique_ptr<QDialog> { return std::make_unique<TfrmAbout>(); },
         QStringLiteral("btn_Yes"), QStringLiteral("btn_Yes"), true},
        // The notice's text box has the focus; being read-only it leaves Enter to the dialog.
        {"notice", [](Fixture&) -> std::unique_ptr<QDialog> { return std::make_unique<TfrmNotice>(); },
         QStringLiteral("btn_OK"), QStringLiteral("RichEdit1"), true},
        {"publish task", withServices<TfrmPublishTask>(), QStringLiteral("btn_PublishTask"),
         QStringLiteral("edt_taskmoney"), true},
        {"task detail",
         [](Fixture& f) -> std::unique_ptr<QDialog> {
             return std::make_unique<TfrmViewTaskInfo>(f.t.services, f.task);
         },
         QStringLiteral("btn_Close"), QString(), true},
        {"user centre", withServices<TfrmUserCenter>(), QStringLiteral("btn_SaveUserInfo"), QStringLiteral("edt_qq"),
         true},
        {"recharge list", withServices<TfrmRechargeInfo>(), QStringLiteral("btn_Close"), QString(), true},
        {"recharge request", withServices<TfrmRechargeRequest>(), QStringLiteral("btn_Apply"),
         QStringLiteral("edt_tradeid"), true},
        {"withdraw list", withServices<TfrmWithdrawInfo>(), QStringLiteral("btn_Close"), QString(), true},
        {"withdraw request", withServices<TfrmWithdrawRequest>(), QStringLiteral("btn_Apply"),
         QStringLiteral("edt_TixianAmount"), true},
        {"bind alipay", withServices<TfrmBindAlipayAccount>(), QStringLiteral("btn_BindAlipay"),
         QStringLiteral("edt_alipayaccount"), true},
        {"invitation", withServices<TfrmInviteInfo>(), QStringLiteral("btn_Close"), QString(), true},
        {"downline", withServices<TfrmSubUserList>(), QString(), QString(), true},
    };
    return cases;
}

void addCaseRows() {
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < dialogCases().size(); ++i) QTest::newRow(dialogCases()[i].name) << int(i);
}

// Shows the dialog as the active window, as a user would meet it.
void showActive(QDialog& dialog) {
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void enterPressesTheDefaultButton_data() { addCaseRows(); }
    void enterPressesTheDefaultButton() {
        QFETCH(int, index);
        const DialogCase& c = dialogCases()[std::size_t(index)];
        Fixture f;
        const std::unique_ptr<QDialog> dialog = c.make(f);
        showActive(*dialog);
        if (!c.firstFocus.isEmpty()) {
            QVERIFY(dialog->focusWidget());
            QCOMPARE(dialog->focusWidget()->objectName(), c.firstFocus);
        }
        QList<QPushButton*> defaults;
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->isDefault()) defaults.append(button);
        if (c.defaultButton.isEmpty()) {
            QVERIFY(defaults.isEmpty());
            return;
        }
        QCOMPARE(defaults.size(), 1);
        QCOMPARE(defaults.front()->objectName(), c.defaultButton);
        QSignalSpy clicked(defaults.front(), &QAbstractButton::clicked);
        QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog.get();
        QTest::keyClick(target, Qt::Key_Return);
        QCOMPARE(clicked.count(), 1);
    }

    void escapeClosesTheDialog_data() { addCaseRows(); }
    void escapeClosesTheDialog() {
        QFETCH(int, index);
        const DialogCase& c = dialogCases()[std::size_t(index)];
        if (!c.escapeCloses) QSKIP("closing the login dialog asks whether to end the program (test_login)");
        Fixture f;
        const std::unique_ptr<QDialog> dialog = c.make(f);
        showActive(*dialog);
        QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog.get();
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }

    void mnemonicsPressTheirButtons_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::newRow("登录(&L)") << 0 << QStringLiteral("btn_Login") << int(Qt::Key_L);
        QTest::newRow("about 确定(&Y)") << 3 << QStringLiteral("btn_Yes") << int(Qt::Key_Y);
        QTest::newRow("notice 确定(&Y)") << 4 << QStringLiteral("btn_OK") << int(Qt::Key_Y);
    }
    void mnemonicsPressTheirButtons() {
        QFETCH(int, index);
        QFETCH(QString, button);
        QFETCH(int, key);
        Fixture f;
        const std::unique_ptr<QDialog> dialog = dialogCases()[std::size_t(index)].make(f);
        showActive(*dialog);
        auto* target = dialog->findChild<QPushButton*>(button);
        QVERIFY(target);
        QSignalSpy clicked(target, &QAbstractButton::clicked);
        // Through the window, as the platform delivers keys, so that the shortcut map sees them.
        QTest::keyClick(dialog->windowHandle(), Qt::Key(key), Qt::AltModifier);
        QTRY_COMPARE(clicked.count(), 1); // a mnemonic presses its button with a short animation
    }

    // The recharge request and the Alipay binding go through their boxes in the order the user fills
    // them in (the method box, read-only, after the trade number).
    void tabOrder_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("recharge request") << 9
                                          << QStringList{QStringLiteral("edt_tradeid"), QStringLiteral("edt_tradetype"),
                                                         QStringLiteral("edt_money"), QStringLiteral("btn_Apply")};
        QTest::newRow("bind alipay") << 12
                                     << QStringList{QStringLiteral("edt_alipayaccount"),
                                                    QStringLiteral("edt_alipayusername"),
                                                    QStringLiteral("btn_BindAlipay")};
        QTest::newRow("modify password") << 2
                                         << QStringList{QStringLiteral("edt_olduserpass"),
                                                        QStringLiteral("edt_newuserpass"),
                                                        QStringLiteral("edt_confirmnewuserpass"),
                                                        QStringLiteral("btn_ModifyPass")};
    }
    void tabOrder() {
        QFETCH(int, index);
        QFETCH(QStringList, order);
        Fixture f;
        const std::unique_ptr<QDialog> dialog = dialogCases()[std::size_t(index)].make(f);
        showActive(*dialog);
        QStringList visited;
        for (int i = 0; i < order.size(); ++i) {
            QVERIFY(dialog->focusWidget());
            visited.append(dialog->focusWidget()->objectName());
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, order);
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
