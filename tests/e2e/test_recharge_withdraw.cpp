// Recharge and withdrawal requests against the real platform server: a request filed through the
// client's dialogs shows as pending in its list, the administrator's review on the server turns it
// into a success, and the balances the server reports afterwards carry the money.
#include "model/uCommonVarConst.h"
#include "screens/account/ufrmRechargeInfo.h"
#include "screens/account/ufrmRechargeRequest.h"
#include "screens/account/ufrmWithdrawInfo.h"
#include "screens/account/ufrmWithdrawRequest.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

namespace {
const QString Password = QStringLiteral("demo123");

// The available balance in fen the dashboard command reports for the current user; -1 when it fails.
qint64 basicBalance(const Services& services) {
    const auto reply =
        SendCommand(services, nullptr, cmGetBasicInfo, {}, QStringLiteral("获取基本信息失败，请稍后再试！"));
    if (!reply || !reply->done()) return -1;
    const auto records = ReplyRecords(reply->object);
    if (records.empty()) return -1;
    TBasicInfo info;
    ReadBasicInfo(*records.front(), info);
    return info.Faccountbalance.fen();
}

// The id of the newest request of `kind` ("recharge" or "withdraw") of `user`, from the admin listing.
QString newestRequestId(const ServerProcess& server, const QString& kind, const QString& user) {
    QString listing;
    if (server.admin({QStringLiteral("list-requests")}, &listing) != 0) return {};
    const QRegularExpression line(
        QStringLiteral(R"(^%1 (\d+) \w+ user=%2 )").arg(kind, QRegularExpression::escape(user)),
        QRegularExpression::MultilineOption);
    QString id;
    for (auto it = line.globalMatch(listing); it.hasNext();) id = it.next().captured(1);
    return id;
}

QStringList firstRow(const QAbstractItemView* list) { return RowTexts(list, 0); }
} // namespace

class TestRechargeWithdraw : public QObject {
    Q_OBJECT
private slots:
    void rechargeIsReviewedAndCredited() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());
        QVERIFY(LogInAs(t.services, QStringLiteral("demo2"), Password));
        const qint64 before = basicBalance(t.services);
        QVERIFY(before >= 0);

        TfrmRechargeRequest request(t.services);
        request.edt_money->setText(QStringLiteral("88.5"));
        request.edt_tradeid->setText(QStringLiteral("2016040121001004550000000099"));
        t.prompter.yesNoAnswers = {true};
        request.btn_Apply->click();
        QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，充值申请提交成功，请等待管理员审核！"));

        // The same trade number again is refused by the server, with its reason appended.
        t.prompter.yesNoAnswers = {true};
        request.btn_Apply->click();
        QVERIFY(t.prompter.lastText().startsWith(QStringLiteral("充值申请提交失败")));
        QVERIFY(t.prompter.lastText().size() > QStringLiteral("充值申请提交失败").size());

        TfrmRechargeInfo list(t.services);
        Child<QAbstractButton>(&list, "btn_refreshrecharge")->click();
        QStringList row = firstRow(FindList(&list, "lv_recharge"));
        QCOMPARE(row.at(0), QStringLiteral("1"));
        QCOMPARE(row.at(1), QStringLiteral("88.50"));
        QCOMPARE(row.at(3), QStringLiteral("2016040121001004550000000099"));
        QCOMPARE(row.at(5), QStringLiteral("-"));
        QCOMPARE(row.at(6), QStringLiteral("未处理"));
        QCOMPARE(basicBalance(t.services), before);

        const QString id = newestRequestId(server, QStringLiteral("recharge"), QStringLiteral("demo2"));
        QVERIFY(!id.isEmpty());
        QCOMPARE(server.admin({QStringLiteral("review-recharge"), id, QStringLiteral("approve")}), 0);

        Child<QAbstractButton>(&list, "btn_refreshrecharge")->click();
        row = firstRow(FindList(&list, "lv_recharge"));
        QCOMPARE(row.at(6), QStringLiteral("充值成功"));
        QVERIFY(row.at(5) != QStringLiteral("-"));
        QCOMPARE(basicBalance(t.services), before + 8850);
    }

    void commissionWithdrawalIsReviewedAndPaid() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());
        // demo1 invited demo3 and has an Alipay account bound.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        const Money before = CurrentUser().Finviteaccountbalance;
        QVERIFY(before >= Money::fromFen(450));

        TfrmWithdrawRequest request(t.services);
        request.edt_TixianAmount->setText(QStringLiteral("4.5"));
        request.btn_Apply->click();
        QCOMPARE(t.prompter.lastText(), QStringLiteral("恭喜，提现申请提交成功，请等待管理员审核！"));
        QCOMPARE(CurrentUser().Finviteaccountbalance.fen(), before.fen() - 450);

        // More than what is left is stopped by the client before anything is sent.
        request.edt_TixianAmount->setText(before.fixedText());
        request.btn_Apply->click();
        QCOMPARE(t.prompter.lastText(), QStringLiteral("你的可提现推广提成不足，无法提现！"));

        TfrmWithdrawInfo list(t.services);
        Child<QAbstractButton>(&list, "btn_refreshwithdraw")->click();
        QStringList row = firstRow(FindList(&list, "lv_withdraw"));
        QCOMPARE(row.at(0), QStringLiteral("1"));
        QCOMPARE(row.at(1), QStringLiteral("  4.50 元"));
        QCOMPARE(row.at(3), QStringLiteral("-"));
        QCOMPARE(row.at(4), QStringLiteral("未处理"));

        const QString id = newestRequestId(server, QStringLiteral("withdraw"), QStringLiteral("demo1"));
        QVERIFY(!id.isEmpty());
        QCOMPARE(server.admin({QStringLiteral("review-withdraw"), id, QStringLiteral("approve")}), 0);

        Child<QAbstractButton>(&list, "btn_refreshwithdraw")->click();
        row = firstRow(FindList(&list, "lv_withdraw"));
        QCOMPARE(row.at(4), QStringLiteral("提现成功"));
        QVERIFY(row.at(3) != QStringLiteral("-"));

        // A new login reads the commission balance the server now holds.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        QCOMPARE(CurrentUser().Finviteaccountbalance.fen(), before.fen() - 450);
    }

    // The commission is counted in whole fen: of 13.00, 12.99 leaves exactly 0.01, which can then be
    // withdrawn too, and the server agrees that nothing is left.
    void withdrawalsLeaveExactlyWhatTheServerHolds() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));

        TfrmWithdrawRequest request(t.services);
        QCOMPARE(request.edt_inviteaccountbalance->text(), QStringLiteral("13"));
        const struct {
            const char* amount;
            const char* message;
            const char* left;
        } steps[] = {
            {"12.99", "恭喜，提现申请提交成功，请等待管理员审核！", "0.01"},
            {"0.01", "恭喜，提现申请提交成功，请等待管理员审核！", "0"},
            {"0.01", "你的可提现推广提成为0，无法提现！", "0"},
        };
        for (const auto& step : steps) {
            request.edt_TixianAmount->setText(QString::fromUtf8(step.amount));
            request.btn_Apply->click();
            QCOMPARE(t.prompter.lastText(), QString::fromUtf8(step.message));
            QCOMPARE(request.edt_inviteaccountbalance->text(), QString::fromUtf8(step.left));
        }

        TfrmWithdrawInfo list(t.services);
        auto* refresh = list.findChild<QAbstractButton*>(QStringLiteral("btn_refreshwithdraw"));
        QVERIFY(refresh);
        refresh->click();
        const auto* view = list.findChild<QAbstractItemView*>(QStringLiteral("lv_withdraw"));
        QVERIFY(view);
        const QAbstractItemModel* rows = view->model();
        QCOMPARE(rows->index(0, 1).data().toString(), QStringLiteral("  0.01 元"));
        QCOMPARE(rows->index(1, 1).data().toString(), QStringLiteral(" 12.99 元"));

        // A new login reads the commission the server holds: none.
        QVERIFY(LogInAs(t.services, QStringLiteral("demo1"), Password));
        TfrmWithdrawRequest again(t.services);
        QCOMPARE(again.edt_inviteaccountbalance->text(), QStringLiteral("0"));
    }
};

QTEST_MAIN(TestRechargeWithdraw)
#include "test_recharge_withdraw.moc"
