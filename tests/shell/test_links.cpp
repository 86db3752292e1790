// Links that no program on the desktop opens: the QQ number or the web address goes to the
// clipboard and a box says so; with a handler the link opens as before.
#include "model/uVarConst.h"
#include "shell/ufrmLogin.h"
#include "tests/shell/ShellFixtures.h"
#include "widgets/ClickLabel.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace shell_fixtures;

namespace {
const QString Untouched = QStringLiteral("(clipboard before)");
const QString QQLink = QStringLiteral("tencent://message/?uin=10001&Site=10001&Menu=yes");
const QString WebLink = QStringLiteral("http://127.0.0.1:10086/?post=5");
} // namespace

class TestLinks : public QObject {
    Q_OBJECT
private slots:
    void fallbackWhereNothingOpensTheLink_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("unhandled");
        QTest::addColumn<bool>("unknown"); // the desktop cannot tell whether a handler exists
        QTest::addColumn<bool>("openFails");
        QTest::addColumn<bool>("opened"); // handed to the desktop
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("message"); // empty: none
        QTest::newRow("QQ, handler") << QQLink << QStringList() << false << false << true << Untouched << "";
        QTest::newRow("QQ, no handler") << QQLink << QStringList{"tencent"} << false << false << false << "10001"
                                        << "未能打开QQ，已将QQ号码 10001 复制到剪贴板。";
        QTest::newRow("QQ, opening fails") << QQLink << QStringList() << false << true << true << "10001"
                                           << "未能打开QQ，已将QQ号码 10001 复制到剪贴板。";
        QTest::newRow("QQ, unknown, opens") << QQLink << QStringList() << true << false << true << Untouched << "";
        QTest::newRow("web, handler") << WebLink << QStringList{"tencent"} << false << false << true << Untouched << "";
        QTest::newRow("web, no handler") << WebLink << QStringList{"http"} << false << false << false << WebLink
                                         << "未能打开浏览器，已将网址复制到剪贴板：" + WebLink;
        QTest::newRow("web, unknown, opening fails") << WebLink << QStringList() << true << true << true << WebLink
                                                     << "未能打开浏览器，已将网址复制到剪贴板：" + WebLink;
    }
    void fallbackWhereNothingOpensTheLink() {
        QFETCH(QString, address);
        QFETCH(QStringList, unhandled);
        QFETCH(bool, unknown);
        QFETCH(bool, openFails);
        QFETCH(bool, opened);
        QFETCH(QString, clipboard);
        QFETCH(QString, message);
        TestServices t;
        t.links.unhandledSchemes = unhandled;
        t.links.handlerUnknown = unknown;
        t.links.openFails = openFails;
        QGuiApplication::clipboard()->setText(Untouched);

        OpenLink(t.services, nullptr, address);
        QCOMPARE(t.links.asked, QStringList{QUrl(address).scheme()});
        QCOMPARE(t.links.opened, opened ? QStringList{address} : QStringList());
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        if (message.isEmpty()) {
            QVERIFY(t.prompter.entries.empty());
        } else {
            QCOMPARE(int(t.prompter.entries.size()), 1);
            QCOMPARE(t.prompter.lastText(), message);
            QCOMPARE(t.prompter.last()->caption, QStringLiteral("提示"));
            QCOMPARE(t.prompter.last()->icon, MessageIcon::Information);
        }
    }

    // The contact picture of the login dialog on a desktop without QQ.
    void loginDialogContactWithoutQQ() {
        TestServices t;
        t.links.unhandledSchemes = {QStringLiteral("tencent")};
        QTemporaryDir dir;
        TfrmLogin login(t.services, nullptr, dir.filePath(QStringLiteral("c.ini")));
        login.show();
        QTest::mouseClick(login.img_pingtaiQQ, Qt::LeftButton);
        QVERIFY(t.links.opened.isEmpty());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(QUORVANE_SUPPORT_QQ));
        QCOMPARE(t.prompter.lastText(),
                 QStringLiteral("未能打开QQ，已将QQ号码 %1 复制到剪贴板。").arg(QStringLiteral(QUORVANE_SUPPORT_QQ)));
    }

    // The desktop's own answer: xdg-mime with a registration of the test's own.
    void desktopHandlerLookup() {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("config"));
        const QString data = dir.filePath(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(config));
        QVERIFY(QDir().mkpath(data + QStringLiteral("/applications")));
        QFile mimeapps(config + QStringLiteral("/mimeapps.list"));
        QVERIFY(mimeapps.open(QIODevice::WriteOnly));
        mimeapps.write("[Default Applications]\nx-scheme-handler/quorvanetest=quorvanetest.desktop\n");
        mimeapps.close();
        QFile entry(data + QStringLiteral("/applications/quorvanetest.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(
            "[Desktop Entry]\nType=Application\nName=T\nExec=true %u\nMimeType=x-scheme-handler/quorvanetest;\n");
        entry.close();
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", dir.filePath(QStringLiteral("none")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", dir.filePath(QStringLiteral("none")).toLocal8Bit());

        DesktopLinkOpener links;
        QCOMPARE(links.hasHandler(QStringLiteral("quorvanetest")), std::optional<bool>(true));
        QCOMPARE(links.hasHandler(QStringLiteral("tencent")), std::optional<bool>(false));
    }
};

QTEST_MAIN(TestLinks)
#include "test_links.moc"
