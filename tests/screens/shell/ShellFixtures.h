#pragma once
// Small fixtures shared by the shell's screen tests.
#include "model/uCommonVarConst.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestServices.h"

#include <QApplication>
#include <QTimer>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// A loopback port nobody listens on.
inline int UnusedPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(s);
    return ntohs(address.sin_port);
}

inline TChannelSettings UnreachableChannel() {
    TChannelSettings settings;
    settings.port = UnusedPort();
    settings.connectTimeoutMs = 2000;
    settings.totalTimeoutMs = 3000;
    return settings;
}

// Runs `action` on the modal dialog of type T that the next call opens (through the event loop),
// then closes it if the action left it open. Returns a flag set when the dialog was found.
template <class T>
std::shared_ptr<bool> OnNextModal(std::function<void(T*)> action) {
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
inline std::vector<TRecordedRequest> RequestsOf(const ScriptedServer& server, int command) {
    std::vector<TRecordedRequest> matching;
    for (const TRecordedRequest& request : server.requests())
        if (request.headValue(QStringLiteral("head_command")) == QString::number(command)) matching.push_back(request);
    return matching;
}

} // namespace shell_fixtures
