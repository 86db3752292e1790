#pragma once
// Task objects and list replies as the platform sends them, and a reading of a context menu, for the
// task screen tests.
#include "remote/uReply.h"
#include "screens/tasks/ufrmViewTaskInfo.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"
#include "tests/support/WidgetProbe.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMenu>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

// The clock of the task screen tests: 2016-05-01 10:00:00.
inline QDateTime T0() { return QDateTime(QDate(2016, 5, 1), QTime(10, 0, 0)); }
inline std::string WireTime(const QDateTime& at) { return FormatDateTime(at).toStdString(); }

struct TaskFixture {
    QString taskid = QStringLiteral("T100");
    int status = 1;
    QDateTime shouldpay = T0().addSecs(15 * 60);
    QDateTime shouldreview = T0().addSecs(2 * 3600);
    double money = 15;
    std::string buyer = "pub_buyer"; // publishtaobaoxiaohao, the account the hall masks
};

// A screen made by `make` against a scripted loopback server, with recording services, the clock at
// T0 and a signed-in user (id 7).
struct ScriptedScreen {
    ScriptedServer server;
    TestServices t{server.settings()};
    std::unique_ptr<QWidget> screen;

    explicit ScriptedScreen(const std::function<std::unique_ptr<QWidget>(const Services&)>& make)
        : screen(make(t.services)) {
        TUserInfo& user = CurrentUser();
        user.Fid = 7;
        user.Fusername = QStringLiteral("alice");
        user.Fuserpass = QStringLiteral("secret");
        t.clock.set(T0());
    }
};

// A task object carrying every member any of the six readers reads.
inline nlohmann::json TaskJson(const TaskFixture& f) {
    return {{"id", 7},
            {"taskid", f.taskid.toStdString()},
            {"publishtime", WireTime(T0().addDays(-1))},
            {"publishuserid", 3},
            {"publishtaobaoxiaohao", f.buyer},
            {"taskmoney", f.money},
            {"shopkeeperusername", "店主甲"},
            {"goodskeyword", "红色 连衣裙"},
            {"replymsg", "很好"},
            {"detailrequirement", "无"},
            {"status", f.status},
            {"marks", ""},
            {"handleuserid", 9},
            {"handletime", WireTime(T0().addSecs(-60))},
            {"shouldpaytime", WireTime(f.shouldpay)},
            {"paytime", WireTime(T0())},
            {"fahuotime", WireTime(T0())},
            {"shouldshouhuoandreplytime", WireTime(f.shouldreview)},
            {"shouhuoandreplytime", WireTime(T0())},
            {"handlerusername", "接手人乙"},
            {"handlershopkeeperusername", "乙店"},
            {"handlertaobaoxiaohao", "hdl_buyer"},
            {"handlerqq", "67890"},
            {"publisherusername", "发布人甲"},
            {"publishershopkeeperusername", "甲店"},
            {"publishertaobaoxiaohao", "pub_buyer"},
            {"publisherqq", "12345"}};
}

inline nlohmann::json ListReply(const std::vector<TaskFixture>& tasks, int total = -1) {
    nlohmann::json body = nlohmann::json::array();
    for (const TaskFixture& task : tasks) body.push_back(TaskJson(task));
    return {{"returncode", 1}, {"totalnum", total < 0 ? int(tasks.size()) : total}, {"msgbody", body}};
}

// The visible entries of a menu in order: object names, "-" for a separator.
inline QString VisibleItems(const QMenu* menu) {
    QStringList names;
    for (const QAction* action : menu->actions())
        if (action->isVisible()) names.append(action->isSeparator() ? QStringLiteral("-") : action->objectName());
    return names.join(u',');
}

// Runs `open` and reports the "任务ID：..." line of the task detail dialog it showed modally (the
// dialog is closed again), or an empty text when no detail dialog came up.
template <typename F> QString DetailDialogTaskLine(F&& open) {
    QString line;
    QTimer::singleShot(0, [&line] {
        if (auto* dialog = qobject_cast<TfrmViewTaskInfo*>(QApplication::activeModalWidget())) {
            line = Child<QLabel>(dialog, "lbl_taskid")->text();
            dialog->reject();
        }
    });
    open();
    return line;
}
