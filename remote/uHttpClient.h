#pragma once
// The request channel: one command to the platform server, on a worker thread while the caller waits.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Where and how the channel talks to the server. The defaults are the build constants; tests pass
// the port of their own server and may shorten the time-outs. With the scheme "https" the server's
// certificate is checked against the CA file, or against the system's CAs when none is named.
struct ChannelSettings {
    QString scheme = QStringLiteral(QUORVANE_REST_SCHEME);
    QString caFile = QStringLiteral(QUORVANE_REST_CA_FILE);
    QString host = QStringLiteral(QUORVANE_REST_HOST);
    int port = QUORVANE_REST_PORT;
    int connectTimeoutMs = 10'000;
    int totalTimeoutMs = 60'000;
};

// The exact User-Agent every request carries.
inline constexpr const char* ChannelUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/40.0.2214.111 "
    "Safari/537.36";

// "http://host:port/" (or "https://..."), the base the path "rest" is appended to.
QString HostUrl(const ChannelSettings& settings);

// How a call keeps its caller waiting while its worker runs. The wait is handed `start`, calls it once
// (or never, when it cannot wait), and returns after the worker has called the `finished` it was given;
// the worker does so from its own thread as its last act. The desktop's wait is ShowWaitDialog
// (widgets/ufrmWaitForProcessDone.h).
using ChannelWait =
    std::function<void(QWidget* owner, const std::function<void(std::function<void()> finished)>& start)>;

// Appends head_clienttype, head_username and head_password to `head`, enciphers head and data,
// posts them (HTTP/1.0) to <host>/rest on a worker thread while `wait` waits (no wait: the call
// blocks), and returns whether a reply body arrived in `response`. On false `errorText` says why. The
// call never returns while its worker runs. A missing input returns false at once with its own text.
bool ExecRemoteProc(QWidget* owner, QStringList* head, const QStringList* data, QByteArray* response,
                    QString& errorText, int clientType, const QString& userName, const QString& password,
                    const ChannelWait& wait = {}, const ChannelSettings& settings = ChannelSettings());
