// One page of the task hall, from the click to 20 rows drawn, run by hand (bench/figures):
//   bench_hall [samples]
// Starts the real quorvane-server with the demo data on a free loopback port, publishes 30 more open
// tasks (so the hall holds more than two pages), logs in as demo1, shows TfrmTaskCenter (offscreen
// platform unless a display is given) and then times "下一页" / "上一页" alternately: the button's
// click runs the command behind the real wait dialog and fills the two lists' models; the columns
// are fitted to the new rows (the queued call the lists post, run here as the event loop would run
// it before painting) and the lists are then painted synchronously. Prints median, 90th percentile
// and maximum in milliseconds.
#include "model/uCommonVarConst.h"
#include "model/uTaskManagerClass.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"
#include "tests/support/WireClient.h"

#include <QApplication>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {
const QString Password = QStringLiteral("demo123");

int fail(const char* what, const QString& detail = QString()) {
    std::fprintf(stderr, "bench_hall: %s %s\n", what, qPrintable(detail));
    return 1;
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;

    ServerProcess server(true);
    if (!server.start()) return fail("server did not start:", server.errorText());
    const WireClient wire(server.port());
    const int publisherId = ReplyInt(wire.call(cmLogin, QStringLiteral("demo2"), Password), "id");
    for (int i = 0; i < 30; ++i) {
        const ReplyObject published = wire.call(
            cmPublishTask, QStringLiteral("demo2"), Password,
            {publisherId, QStringLiteral("demo2_xiaohao"), QStringLiteral("demo2的小店"), QStringLiteral("10.00"),
             QStringLiteral("大厅翻页 %1").arg(i), QStringLiteral("好评"), QString(), int(it48Hour)});
        if (ReplyReturnCode(published) != 1)
            return fail("publishing failed:", ReplyReturnMsg(published).value_or(QString()));
    }

    TestServices t(server.channel());
    TUserInfo& user = CurrentUser();
    user.Clear();
    user.Fusername = QStringLiteral("demo1");
    user.Fuserpass = Password;
    const auto login = SendCommand(t.services, nullptr, cmLogin, {}, QStringLiteral("登录失败，请稍后再试！"));
    if (!login || !login->done()) return fail("login failed");
    FillUserInfoFromLoginReply(user, login->object);

    TfrmTaskCenter hall(t.services);
    hall.resize(912, 566);
    hall.show();
    hall.GetTaskListFromTaskCenter();
    if (hall.pagedList().FTotalPageCount < 2) return fail("the hall has fewer than two pages");

    QAbstractItemView* open = FindList(&hall, "lv_task");
    QAbstractItemView* taken = FindList(&hall, "lv_handledtask");
    QToolButton* next = Child<QToolButton>(&hall, "btn_Next");
    QToolButton* prev = Child<QToolButton>(&hall, "btn_Prev");
    const auto rowsShown = [&] { return RowCount(open) + RowCount(taken); };
    std::vector<double> times;
    times.reserve(std::size_t(samples));
    for (int i = 0; i < samples + 10; ++i) {
        QToolButton* button = i % 2 == 0 ? next : prev;
        const auto start = std::chrono::steady_clock::now();
        button->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        open->repaint();
        taken->repaint();
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        if (!t.prompter.entries.empty())
            return fail("a message came up:", QStringLiteral("%1 (click %2, page %3)")
                                                  .arg(t.prompter.lastText())
                                                  .arg(i)
                                                  .arg(hall.pagedList().FCurrentPageIndex));
        if (rowsShown() != 20) return fail("a page did not hold 20 rows:", QString::number(rowsShown()));
        if (i >= 10) times.push_back(elapsed.count()); // the first ones warm the caches
    }
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) { return times[std::size_t(q * double(times.size() - 1))]; };
    std::printf("task hall page (click to 20 rows drawn, wait dialog included), %d samples:\n", samples);
    std::printf("  median %.2f ms   p90 %.2f ms   max %.2f ms\n", at(0.5), at(0.9), times.back());
    return 0;
}
