// The user centre: the boxes filled from the profile, the checks, the save and the profile update.
#include "screens/account/ufrmUserCenter.h"
#include "tests/screens/account/AccountFixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
void profile() {
    TUserInfo& user = CurrentUser();
    user.Fqq = QStringLiteral("10001");
    user.Fshopkeeperusername = QStringLiteral("掌柜");
    user.Ftaobaoxiaohao = QStringLiteral("小号");
    user.Fregistertime = QDateTime(QDate(2016, 3, 5), QTime(8, 4, 9));
}
} // namespace

class TestUserCenter : public QObject {
    Q_OBJECT
private slots:
    void showsTheProfile() {
        AccountFixture f;
        profile();
        TfrmUserCenter dialog(f.t.services);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("个人中心"));
        QCOMPARE(dialog.size(), QSize(522, 346));
        QCOMPARE(dialog.edt_username->text(), QStringLiteral("alice"));
        QVERIFY(dialog.edt_username->isReadOnly());
        QCOMPARE(dialog.edt_qq->text(), QStringLiteral("10001"));
        QCOMPARE(dialog.edt_shopkeeperusername->text(), QStringLiteral("掌柜"));
        QCOMPARE(dialog.edt_taobaoxiaohao->text(), QStringLiteral("小号"));
        QCOMPARE(dialog.lbl_registerTime->text(), QStringLiteral("注册时间：2016-03-05 08:04:09"));
    }

    void checksInOrder_data() {
        QTest::addColumn<QString>("qq");
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("xiaohao");
        QTest::addColumn<QString>("message");
        QTest::newRow("all empty") << ""
                                   << ""
                                   << ""
                                   << "请输入联系QQ！";
        QTest::newRow("qq blanks") << "  \t"
                                   << "s"
                                   << "x"
                                   << "请输入联系QQ！";
        QTest::newRow("shop empty") << "1"
                                    << " "
                                    << ""
                                    << "请输入淘宝掌柜名！";
        QTest::newRow("buyer empty") << "1"
                                     << "s"
                                     << "\n"
                                     << "请输入淘宝小号！";
    }
    void checksInOrder() {
        QFETCH(QString, qq);
        QFETCH(QString, shop);
        QFETCH(QString, xiaohao);
        QFETCH(QString, message);
        AccountFixture f;
        TfrmUserCenter dialog(f.t.services);
        dialog.edt_qq->setText(qq);
        dialog.edt_shopkeeperusername->setText(shop);
        dialog.edt_taobaoxiaohao->setText(xiaohao);
        dialog.btn_SaveUserInfo->click();
        QCOMPARE(f.shown(), QStringList{message});
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Information);
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }

    void saveSendsTrimmedValuesAndUpdatesTheProfile() {
        AccountFixture f;
        profile();
        TfrmUserCenter dialog(f.t.services);
        dialog.show();
        dialog.edt_qq->setText(QStringLiteral("  20002 "));
        dialog.edt_shopkeeperusername->setText(QStringLiteral("新掌柜"));
        f.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        dialog.btn_SaveUserInfo->click();
        QCOMPARE(f.lastCommand(), QStringLiteral("14"));
        QCOMPARE(f.lastData(),
                 QStringList({"username=alice", "qq=20002", "shopkeeperusername=新掌柜", "taobaoxiaohao=小号"}));
        QCOMPARE(f.shown(), QStringList{"恭喜，修改用户资料成功！"});
        QCOMPARE(CurrentUser().Fqq, QStringLiteral("20002"));
        QCOMPARE(CurrentUser().Fshopkeeperusername, QStringLiteral("新掌柜"));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());

        TfrmUserCenter again(f.t.services);
        again.show();
        QCOMPARE(again.edt_qq->text(), QStringLiteral("20002"));
    }

    void refusalOtherCodeAndFailureLeaveTheProfile() {
        AccountFixture f;
        profile();
        TfrmUserCenter dialog(f.t.services);
        dialog.show();
        dialog.edt_qq->setText(QStringLiteral("30003"));

        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "QQ号码已被使用"}});
        dialog.btn_SaveUserInfo->click();
        QCOMPARE(f.shown(), QStringList{"修改用户资料失败QQ号码已被使用"});
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("提示"));

        f.t.prompter.clear();
        f.server.enqueueJson({{"returncode", 2}, {"returnmsg", "?"}});
        dialog.btn_SaveUserInfo->click();
        QVERIFY(f.t.prompter.entries.empty());

        f.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        dialog.btn_SaveUserInfo->click();
        QVERIFY(f.t.prompter.lastText().startsWith(QStringLiteral("修改用户资料失败，请稍后再试！")));
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);

        QCOMPARE(f.server.requestCount(), std::size_t(3));
        QCOMPARE(CurrentUser().Fqq, QStringLiteral("10001"));
        QVERIFY(dialog.isVisible());

        // Closing without saving drops the edits.
        dialog.btn_Close->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(CurrentUser().Fqq, QStringLiteral("10001"));
    }

    void enterSavesAndEscapeCloses() {
        AccountFixture f;
        TfrmUserCenter dialog(f.t.services);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.edt_qq->clear();
        QTest::keyClick(dialog.edt_qq, Qt::Key_Return);
        QCOMPARE(f.shown(), QStringList{"请输入联系QQ！"});
        QTest::keyClick(dialog.edt_qq, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.server.requestCount(), std::size_t(0));
    }
};

QTEST_MAIN(TestUserCenter)
#include "test_usercenter.moc"
