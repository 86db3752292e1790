#pragma once
// Shared helpers of the account screen tests: a scripted server with recording services, the
// signed-in profile, list replies, the modal dialog that is up, and the messages shown.
#include "model/uCommonVarConst.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <functional>

struct AccountFixture {
    ScriptedServer server;
    TestServices t{server.settings()};

    AccountFixture() {
        TUserInfo& user = CurrentUser();
        user.Clear();
        user.Fid = 7;
        user.Fusername = QStringLiteral("alice");
        user.Fuserpass = QStringLiteral("secret");
    }

    // The data lines after "clientversion=" of the last request.
    QStringList lastData() const {
        QStringList data = server.lastRequest().data;
        if (!data.isEmpty() && data.front().startsWith(QStringLiteral("clientversion="))) data.removeFirst();
        return data;
    }
    QString lastCommand() const { return server.lastRequest().headValue(QStringLiteral("head_command")); }

    // The text of every box shown, questions included, in order.
    QStringList shown() const {
        QStringList out;
        for (const auto& entry : t.prompter.entries) out.append(entry.text);
        return out;
    }
};

// A list reply with returncode 1.
inline nlohmann::json ListReply(int total, const nlohmann::json& records) {
    return {{"returncode", 1}, {"returnmsg", ""}, {"totalnum", total}, {"msgbody", records}};
}

// Runs `action` on the modal dialog of type T once it is up (the call that opens it comes next).
template <class T> void WhenModal(std::function<void(T*)> action) {
    QTimer::singleShot(0, [action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) qFatal("expected modal dialog is not up");
        action(dialog);
    });
}
