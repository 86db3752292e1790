// The publish dialog against a scripted loopback server: the confirmation first, the checks in
// their order, the trimmed lines sent, the wait ordinal, the outcome messages, and a transport
// failure that keeps the dialog and everything typed in it.
#include "model/uCommonVarConst.h"
#include "screens/tasks/ufrmPublishTask.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {
using Kind = TestPrompter::Kind;

struct Dialog {
    ScriptedServer server;
    TestServices t{server.settings()};
    TfrmPublishTask d{t.services};

    Dialog() {
        TUserInfo& user = CurrentUser();
        user.Clear();
        user.Fid = 42;
        user.Fusername = QStringLiteral("publisher");
        user.Fuserpass = QStringLiteral("pw");
        user.Fshopkeeperusername = QStringLiteral("店主甲");
        user.Ftaobaoxiaohao = QStringLiteral("buyer_x");
    }
    QLineEdit* edit(const char* name) const { return d.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QPlainTextEdit* memo() const { return d.findChild<QPlainTextEdit*>(QStringLiteral("mmo_detailrequirement")); }
    QRadioButton* radio(const QString& name) const { return d.findChild<QRadioButton*>(name); }
    void fill(const QString& price, const QString& keyword, const QString& reply = {}, const QString& detail = {}) {
        edit("edt_taskmoney")->setText(price);
        edit("edt_goodskeyword")->setText(keyword);
        edit("edt_replymsg")->setText(reply);
        memo()->setPlainText(detail);
    }
    QStringList typed() const {
        return {edit("edt_taskmoney")->text(), edit("edt_goodskeyword")->text(), edit("edt_replymsg")->text(),
                memo()->toPlainText()};
    }
    void publish(bool yes = true) {
        t.prompter.yesNoAnswers = {yes};
        d.findChild<QPushButton*>(QStringLiteral("btn_PublishTask"))->click();
    }
};

const QString Http500 = QStringLiteral("HTTP/1.1 500 Internal Server Error");
} // namespace

class TestPublishTask : public QObject {
    Q_OBJECT
private slots:
    void showingPreparesTheForm() {
        Dialog s;
        s.edit("edt_taskmoney")->setText(QStringLiteral("9"));
        s.d.show();
        QCOMPARE(s.d.windowTitle(), QStringLiteral("发布任务"));
        QCOMPARE(s.d.minimumSize(), s.d.maximumSize());
        QVERIFY(s.edit("edt_taskmoney")->text().isEmpty());
        QCOMPARE(s.edit("edt_shopkeeperusername")->text(), QStringLiteral("店主甲"));
        QVERIFY(s.edit("edt_shopkeeperusername")->isReadOnly());
        QVERIFY(s.radio(QStringLiteral("rb_2hour"))->isChecked());
        QVERIFY(s.d.findChild<QPushButton*>(QStringLiteral("btn_PublishTask"))->isDefault());
        // The price box takes digits only when typed.
        QTest::keyClicks(s.edit("edt_taskmoney"), QStringLiteral("1a2.5-"));
        QCOMPARE(s.edit("edt_taskmoney")->text(), QStringLiteral("125"));
    }

    void checksRunInOrderAndSendNothing_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty price, empty keyword") << ""
                                                    << ""
                                                    << "请输入任务价格！";
        QTest::newRow("blank price") << " \t "
                                     << "裙"
                                     << "请输入任务价格！";
        QTest::newRow("not a number") << "abc"
                                      << ""
                                      << "请输入准确的任务价格！";
        QTest::newRow("zero") << "0"
                              << "裙"
                              << "请输入准确的任务价格！";
        QTest::newRow("zero with decimals") << "0.00"
                                            << "裙"
                                            << "请输入准确的任务价格！";
        QTest::newRow("negative") << "-3"
                                  << "裙"
                                  << "请输入准确的任务价格！";
        QTest::newRow("infinite") << "inf"
                                  << "裙"
                                  << "请输入准确的任务价格！";
        QTest::newRow("blank keyword") << "15"
                                       << "  "
                                       << "请输入搜索关键词！";
    }
    void checksRunInOrderAndSendNothing() {
        QFETCH(QString, price);
        QFETCH(QString, keyword);
        QFETCH(QString, message);
        Dialog s;
        s.d.show();
        s.fill(price, keyword, QStringLiteral("好"), QStringLiteral("细节"));
        const QStringList before = s.typed();
        s.publish();
        QCOMPARE(s.server.requestCount(), std::size_t(0));
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(2));
        QCOMPARE(s.t.prompter.entries[0].text, QStringLiteral("确定要发布此任务吗?"));
        QCOMPARE(s.t.prompter.lastText(), message);
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);
        QVERIFY(s.d.isVisible());
        QCOMPARE(s.typed(), before);
    }

    void answeringNoKeepsEverything() {
        Dialog s;
        s.d.show();
        s.fill(QStringLiteral("15"), QStringLiteral("裙"));
        s.publish(false);
        QCOMPARE(s.server.requestCount(), std::size_t(0));
        QCOMPARE(s.t.prompter.entries.size(), std::size_t(1));
        QCOMPARE(s.t.prompter.last()->kind, Kind::Question);
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("提示"));
        QVERIFY(s.d.isVisible());
        QCOMPARE(s.typed(), QStringList({"15", "裙", "", ""}));
    }

    void publishedSendsTrimmedLinesAndTheWait_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<int>("ordinal");
        QTest::newRow("2 hours") << "rb_2hour" << 0;
        QTest::newRow("48 hours") << "rb_48Hour" << 1;
        QTest::newRow("72 hours") << "rb_72hour" << 2;
        QTest::newRow("96 hours") << "rb_96hour" << 3;
    }
    void publishedSendsTrimmedLinesAndTheWait() {
        QFETCH(QString, radio);
        QFETCH(int, ordinal);
        Dialog s;
        s.d.show();
        s.fill(QStringLiteral(" 15 "), QStringLiteral(" 红色 连衣裙\t"), QStringLiteral("  好评 "),
               QStringLiteral("\n 第一行\n第二行 \n"));
        s.radio(radio)->setChecked(true);
        s.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        s.publish();
        QCOMPARE(s.server.requestCount(), std::size_t(1));
        const RecordedRequest sent = s.server.lastRequest();
        QCOMPARE(sent.headValue(QStringLiteral("head_command")), QStringLiteral("11"));
        QCOMPARE(sent.headValue(QStringLiteral("head_username")), QStringLiteral("publisher"));
        QCOMPARE(sent.data, QStringList({"clientversion=1.0.0.0", "publishuserid=42", "publishtaobaoxiaohao=buyer_x",
                                         "shopkeeperusername=店主甲", "taskmoney=15", "goodskeyword=红色 连衣裙",
                                         "replymsg=好评", "detailrequirement=第一行\n第二行",
                                         QStringLiteral("shouhuoandreplyintervalafterfahuo=%1").arg(ordinal)}));
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("恭喜，任务发布成功！"));
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);
        QVERIFY(!s.d.isVisible());
        QCOMPARE(s.d.result(), int(QDialog::Accepted));
    }

    void refusalClosesWithTheServersReason() {
        Dialog s;
        s.d.show();
        s.fill(QStringLiteral("15"), QStringLiteral("裙"));
        s.server.enqueueJson({{"returncode", 0}, {"returnmsg", "余额不足"}});
        s.publish();
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("任务发布失败！原因： 余额不足"));
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("提示"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Information);
        QVERIFY(!s.d.isVisible());
        QCOMPARE(s.d.result(), int(QDialog::Rejected));
    }

    void transportFailureKeepsTheTaskForAnotherTry() {
        Dialog s;
        s.d.show();
        s.fill(QStringLiteral("20"), QStringLiteral("裙"), QStringLiteral("好"), QStringLiteral("第一行\n第二行"));
        s.radio(QStringLiteral("rb_96hour"))->setChecked(true);
        s.server.enqueue(ScriptedReply::status_(500, "Internal Server Error"));
        s.publish();
        QCOMPARE(s.t.prompter.lastText(), QStringLiteral("任务发布失败，请稍后再试！") + Http500);
        QCOMPARE(s.t.prompter.last()->caption, QStringLiteral("错误"));
        QCOMPARE(s.t.prompter.last()->icon, MessageIcon::Error);
        QVERIFY(s.d.isVisible());
        QCOMPARE(s.typed(), QStringList({"20", "裙", "好", "第一行\n第二行"}));
        QVERIFY(s.radio(QStringLiteral("rb_96hour"))->isChecked());

        const QStringList firstTry = s.server.lastRequest().data;
        s.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        s.publish();
        QCOMPARE(s.server.requestCount(), std::size_t(2));
        QCOMPARE(s.server.lastRequest().data, firstTry);
        QVERIFY(!s.d.isVisible());
    }

    void modalRunEndsWithTheOutcome() {
        Dialog s;
        s.server.enqueueJson({{"returncode", 1}, {"returnmsg", ""}});
        QTimer::singleShot(0, &s.d, [&s] {
            s.fill(QStringLiteral("15"), QStringLiteral("裙"));
            s.publish();
        });
        QCOMPARE(s.d.exec(), int(QDialog::Accepted));
        QCOMPARE(s.server.requestCount(), std::size_t(1));

        Dialog closing;
        QTimer::singleShot(0, &closing.d, [&closing] {
            closing.fill(QStringLiteral("15"), QStringLiteral("裙"));
            closing.d.findChild<QPushButton*>(QStringLiteral("btn_resetform"))->click();
        });
        QCOMPARE(closing.d.exec(), int(QDialog::Rejected));
        QCOMPARE(closing.server.requestCount(), std::size_t(0));
        QVERIFY(closing.t.prompter.entries.empty());

        Dialog escaping;
        QTimer::singleShot(0, &escaping.d, [&escaping] {
            escaping.fill(QStringLiteral("15"), QStringLiteral("裙"));
            QTest::keyClick(&escaping.d, Qt::Key_Escape);
        });
        QCOMPARE(escaping.d.exec(), int(QDialog::Rejected));
        QCOMPARE(escaping.server.requestCount(), std::size_t(0));
    }
};

QTEST_MAIN(TestPublishTask)
#include "test_publishtask.moc"
