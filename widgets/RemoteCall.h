#pragma once
// The frame every screen sends its commands in: the catalogue's lists, the current user's
// credentials, the channel behind the wait dialog, the transport-failure message, and the reading of
// returncode and returnmsg. Also the guard that turns any reading failure into the general error box.
#include "remote/uCommandCatalogue.h"
#include "remote/uHttpClient.h"
#include "remote/uReply.h"
#include "widgets/Prompter.h"

#include <optional>
#include <utility>

// What a screen needs from the desktop and the network; passed in, never reached for.
struct Services {
    Prompter& prompter;
    LinkOpener& links;
    const Clock& clock;
    ChannelSettings channel;
};

// The client type every command passes.
inline constexpr int ClientType = 2;

// NOLINTNEXTLINE(bugprone-exception-escape): the implicit members only move a JSON value and a string
struct RemoteReply {
    ReplyObject object;
    int code = 0;
    std::optional<QString> msg; // returnmsg, absent when the reply has none

    bool done() const { return code == 1; }
};

// Sends `command` with `values` (in the catalogue's order) and the current user's credentials.
// A transport failure is shown as `failurePrefix` + the channel's reason and gives nullopt.
// A reply that cannot be read throws EReadError (returncode and returnmsg are read on every reply).
std::optional<RemoteReply> SendCommand(const Services& services, QWidget* owner, TCommand command,
                                       const std::vector<CommandValue>& values, const QString& failurePrefix);

// Sends `command` and ignores whatever comes back (logout).
void SendCommandIgnoringReply(const Services& services, QWidget* owner, TCommand command);

// OpenLink with the services' prompter and link opener.
inline void OpenLink(const Services& services, QWidget* parent, const QString& address) {
    OpenLink(services.prompter, services.links, parent, address);
}

// Runs a handler body; a reading failure (or any other exception) ends in the general error box and
// leaves done what was done. No exception crosses the event loop.
template <typename F> void RunGuarded(const Services& services, QWidget* parent, F&& body) {
    try {
        std::forward<F>(body)();
    } catch (const EReadError& error) {
        ShowGeneralError(services.prompter, parent, QStringLiteral("处理服务器返回的数据时出错：") + error.message());
    } catch (const std::exception& error) {
        ShowGeneralError(services.prompter, parent, QStringLiteral("程序出错：") + QString::fromUtf8(error.what()));
    }
}
