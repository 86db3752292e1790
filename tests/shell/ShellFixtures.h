#pragma once
// Small fixtures shared by the shell's screen tests.
#include "model/uCommonVarConst.h"
#include "tests/support/LoopbackPort.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QTimer>
#include <functional>

namespace shell_fixtures {

// A successful login reply for `username` / `userpass`.
inline nlohmann::json LoginReply(const std::string& username, const std::string& userpass) {
    return {{"returncode", 1},
            {"returnmsg", ""},
            {"id", 42},
            {"username", username},
            {"userpass", userpass},
            {"regstertime", "2016-04-01 10:00:00"},
            {"qq", "12345"},
            {"shopkeeperusername", "掌柜"},
            {"taobaoxiaohao", "小号"},
            {"accountbalance", "88.5"},
            {"alipayusername", ""},
            {"alipayaccount", ""},
            {"inviteuserid", 0},
            {"inviteaccountbalance", 0},
            {"lastuptime", "2016-05-01 08:30:00"},
            {"marks", ""}};
}

inline ChannelSettings UnreachableChannel() {
    ChannelSettings settings;
    settings.port = UnusedLoopbackPort();
    settings.connectTimeoutMs = 2000;
    settings.totalTimeoutMs = 3000;
    return settings;
}

// Runs `action` on the modal dialog of type T that the next call opens (through the event loop),
// then closes it if the action left it open. Returns a flag set when the dialog was found.
template <class T> std::shared_ptr<bool> OnNextModal(std::function<void(T*)> action) {
    auto found = std::make_shared<bool>(false);
    QTimer::singleShot(0, [found, action] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) return;
        *found = true;
        if (action) action(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    return found;
}

// The requests of one command.
inline std::vector<RecordedRequest> RequestsOf(const ScriptedServer& server, int command) {
    std::vector<RecordedRequest> matching;
    for (const RecordedRequest& request : server.requests())
        if (request.headValue(QStringLiteral("head_command")) == QString::number(command)) matching.push_back(request);
    return matching;
}

} // namespace shell_fixtures
