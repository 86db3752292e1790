// Pictures of the task hall (both tabs) and of the task detail dialog (both tabs) filled from the
// demo data of the real platform server, saved as PNG files under <build>/screenshots/. Runs on
// whatever platform it is started on: offscreen under ctest, a real X server under xvfb-run.
// Checks that each picture was drawn (not one flat colour) and shows the rows it should.
#include "model/uCommonVarConst.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"
#include "tests/support/WireClient.h"

#include <QDir>
#include <QImage>
#include <QSet>
#include <QTabWidget>
#include <QTest>

namespace {
const QString Password = QStringLiteral("demo123");

QString screenshotDir() {
    const QString dir = QDir(QStringLiteral(QT_TESTCASE_BUILDDIR)).absoluteFilePath(QStringLiteral("../screenshots"));
    QDir().mkpath(dir);
    return QDir::cleanPath(dir);
}

// Saves the window's picture; false when it could not be saved or is a single flat colour.
bool save(QWidget* window, const QString& name) {
    QCoreApplication::processEvents();
    const QImage image = window->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    const QString path = screenshotDir() + u'/' + name;
    return colours.size() > 8 && image.save(path);
}
} // namespace

class TestHallScreenshots : public QObject {
    Q_OBJECT
private slots:
    void hallAndDetailDialog() {
        ServerProcess server(true);
        QVERIFY2(server.start(), qPrintable(server.errorText()));
        TestServices t(server.channel());

        TUserInfo& user = CurrentUser();
        user.Clear();
        user.Fusername = QStringLiteral("demo2");
        user.Fuserpass = Password;
        const auto login = SendCommand(t.services, nullptr, cmLogin, {}, QString());
        QVERIFY(login && login->done());
        FillUserInfoFromLoginReply(user, login->object);

        TfrmTaskCenter hall(t.services);
        hall.resize(1000, 620);
        hall.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hall));
        QTRY_VERIFY(RowCount(FindList(&hall, "lv_task")) > 0);
        QVERIFY(RowCount(FindList(&hall, "lv_handledtask")) > 0);
        QVERIFY2(t.prompter.entries.empty(), qPrintable(t.prompter.lastText()));
        QVERIFY(save(&hall, QStringLiteral("hall_open.png")));
        Child<QTabWidget>(&hall, "pgc_Main")->setCurrentIndex(1);
        QVERIFY(save(&hall, QStringLiteral("hall_taken.png")));

        // A task demo2 took, as the taken-tasks screen reads it (with the progress times).
        const WireClient wire(server.port());
        const ReplyObject handled = wire.call(cmGetHandledTaskList, QStringLiteral("demo2"), Password, {1});
        TTaskInfo record;
        for (const ReplyObject* object : ReplyRecords(handled)) {
            TTaskInfo candidate;
            ReadTaskInfo(*object, trHandledPage, candidate);
            if (candidate.Fstatus == tsWaitforReply) record = candidate;
        }
        QCOMPARE(record.Fstatus, tsWaitforReply);
        TfrmViewTaskInfo dialog(t.services, record, &hall);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(save(&dialog, QStringLiteral("taskinfo_publisher.png")));
        Child<QTabWidget>(&dialog, "PageControl1")->setCurrentIndex(1);
        QVERIFY(save(&dialog, QStringLiteral("taskinfo_handler.png")));
        qInfo("screenshots in %s", qPrintable(screenshotDir()));
    }
};

QTEST_MAIN(TestHallScreenshots)
#include "test_hallscreenshots.moc"
