// The invitation link and the downline list.
#include "model/uVarConst.h"
#include "screens/account/ufrmInviteInfo.h"
#include "screens/account/ufrmSubUserList.h"
#include "tests/screens/account/AccountFixture.h"
#include "tests/support/WidgetProbe.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

class TestDownline : public QObject {
    Q_OBJECT
private slots:
    void invitationLinkCarriesTheUserId() {
        AccountFixture f;
        TfrmInviteInfo dialog(f.t.services);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("我的推广信息"));
        QCOMPARE(dialog.edt_inviteURL->text(), SiteAddress() + QStringLiteral("?uid=7"));
        QVERIFY(!dialog.edt_inviteURL->text().contains(QStringLiteral("/?uid")));
        QVERIFY(!dialog.edt_inviteURL->isReadOnly());
    }

    void listsTheDownline() {
        AccountFixture f;
        TfrmSubUserList screen(f.t.services);
        f.server.enqueueJson(ListReply(21, {{{"username", "bob"}, {"registertime", "2016-03-05 08:04:09"}},
                                            {{"username", "carol"}, {"registertime", "2016-04-01 10:00:00"}}}));
        screen.show();
        QTRY_COMPARE(f.server.requestCount(), std::size_t(1));
        QCOMPARE(f.lastCommand(), QStringLiteral("8"));
        QCOMPARE(f.lastData(), QStringList({"pageindex=1", "userid=7"}));
        const QAbstractItemView* list = FindList(&screen, "lv_user");
        QCOMPARE(RowCount(list), 2);
        QCOMPARE(RowTexts(list, 0), QStringList({"", "bob", "2016-03-05 08:04:09"}));
        QCOMPARE(CellText(list, 1, 0), QString());
        QCOMPARE(HeaderTexts(list), QStringList({"ID", "用户名", "注册时间"}));
        QCOMPARE(Child<QLineEdit>(&screen, "edt_totalpage")->text(), QStringLiteral("2"));
    }

    void refusalShowsItsOwnTextWithoutReturnMsg() {
        AccountFixture f;
        TfrmSubUserList screen(f.t.services);
        f.server.enqueueJson({{"returncode", 0}, {"returnmsg", "没有权限"}});
        screen.GetSubUserList();
        QCOMPARE(f.shown(), QStringList{"获取下线用户列表失败！"});
        QCOMPARE(f.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(f.t.prompter.last()->icon, MessageIcon::Error);
        QCOMPARE(RowCount(FindList(&screen, "lv_user")), 0);

        f.t.prompter.clear();
        f.server.enqueueJson(ListReply(0, nlohmann::json::array()));
        screen.GetSubUserList();
        QVERIFY(f.t.prompter.entries.empty());
        QCOMPARE(Child<QLabel>(&screen, "lbl_totalnum")->text(), QStringLiteral("总:0条"));
        QCOMPARE(Child<QLineEdit>(&screen, "edt_totalpage")->text(), QStringLiteral("0"));
        QCOMPARE(Child<QLineEdit>(&screen, "edt_currentpage")->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestDownline)
#include "test_downline.moc"
