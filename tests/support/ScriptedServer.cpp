#include "tests/support/ScriptedServer.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedReply ScriptedReply::json(const nlohmann::json& object) {
    return enciphered(QString::fromStdString(object.dump()), ChannelKey);
}

ScriptedReply ScriptedReply::enciphered(const QString& text, const QString& key) {
    ScriptedReply reply;
    reply.body = EncipherToHex(text, key).toLatin1();
    return reply;
}

ScriptedReply ScriptedReply::status_(int status, const QByteArray& reason) {
    ScriptedReply reply;
    reply.status = status;
    reply.reason = reason;
    reply.body = "<html>" + reason + "</html>";
    return reply;
}

ScriptedReply ScriptedReply::redirect(const QByteArray& location) {
    ScriptedReply reply;
    reply.status = 302;
    reply.reason = "Found";
    reply.headers.append({"Location", location});
    reply.body = "moved";
    return reply;
}

QString RecordedRequest::headValue(const QString& name) const { return ValueOfLine(head, name); }
QString RecordedRequest::dataValue(const QString& name) const { return ValueOfLine(data, name); }

ScriptedServer::ScriptedServer() {
    m_default = ScriptedReply::json({{"returncode", 1}, {"returnmsg", ""}});
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listen, 16) != 0)
        qFatal("ScriptedServer: cannot listen on a loopback port: %s", std::strerror(errno));
    socklen_t length = sizeof address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_stopSignal.notify_all();
    m_acceptThread.join();
    for (std::thread& connection : m_connections) connection.join();
    ::close(m_listen);
}

ChannelSettings ScriptedServer::settings(int totalTimeoutMs) const {
    ChannelSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = m_port;
    settings.connectTimeoutMs = 2000;
    settings.totalTimeoutMs = totalTimeoutMs;
    return settings;
}

void ScriptedServer::enqueue(const ScriptedReply& reply) {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(reply);
}

void ScriptedServer::setDefault(const ScriptedReply& reply) {
    std::lock_guard lock(m_mutex);
    m_default = reply;
}

std::vector<RecordedRequest> ScriptedServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t ScriptedServer::requestCount() const {
    std::lock_guard lock(m_mutex);
    return m_requests.size();
}

RecordedRequest ScriptedServer::lastRequest() const {
    std::lock_guard lock(m_mutex);
    return m_requests.empty() ? RecordedRequest{} : m_requests.back();
}

void ScriptedServer::clearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

bool ScriptedServer::waitOrStop(int delayMs) {
    std::unique_lock lock(m_mutex);
    return !m_stopSignal.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return m_stop.load(); });
}

void ScriptedServer::acceptLoop() {
    while (!m_stop) {
        pollfd descriptor{m_listen, POLLIN, 0};
        if (::poll(&descriptor, 1, 50) <= 0) continue;
        const int socket = ::accept(m_listen, nullptr, nullptr);
        if (socket < 0) continue;
        std::lock_guard lock(m_mutex);
        m_connections.emplace_back([this, socket] { serve(socket); });
    }
}

namespace {
bool readMore(int socket, QByteArray& buffer, const std::atomic<bool>& stop) {
    while (!stop) {
        pollfd descriptor{socket, POLLIN, 0};
        const int ready = ::poll(&descriptor, 1, 50);
        if (ready < 0) return false;
        if (ready == 0) continue;
        char chunk[8192];
        const ssize_t got = ::recv(socket, chunk, sizeof chunk, 0);
        if (got <= 0) return false;
        buffer.append(chunk, got);
        return true;
    }
    return false;
}

void sendAll(int socket, const QByteArray& bytes) {
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(socket, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += n;
    }
}

QStringList decipherList(const QByteArray& hex) {
    try {
        return SplitCommaText(DecipherFromHex(QString::fromLatin1(hex), ChannelKey));
    } catch (const std::exception&) {
        return {};
    }
}
} // namespace

void ScriptedServer::serve(int socket) {
    QByteArray buffer;
    qsizetype headerEnd = -1;
    while ((headerEnd = buffer.indexOf("\r\n\r\n")) < 0)
        if (!readMore(socket, buffer, m_stop)) {
            ::close(socket);
            return;
        }
    RecordedRequest request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    request.requestLine = lines.value(0).trimmed();
    const QList<QByteArray> parts = request.requestLine.split(' ');
    request.method = parts.value(0);
    request.path = parts.value(1);
    request.version = parts.value(2);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
    }
    const qsizetype length =
        request.headers.count("content-length") ? request.headers["content-length"].toLongLong() : 0;
    while (buffer.size() - headerEnd - 4 < length)
        if (!readMore(socket, buffer, m_stop)) break;
    request.body = buffer.mid(headerEnd + 4, length);
    for (const QByteArray& field : request.body.split('&')) {
        const qsizetype equals = field.indexOf('=');
        if (equals > 0) request.form[field.left(equals)] = field.mid(equals + 1);
    }
    if (request.form.count("head")) request.head = decipherList(request.form["head"]);
    request.hasData = request.form.count("data") > 0;
    if (request.hasData) request.data = decipherList(request.form["data"]);

    ScriptedReply reply;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        if (m_queue.empty())
            reply = m_default;
        else {
            reply = m_queue.front();
            m_queue.pop_front();
        }
    }
    if (reply.delayMs > 0 && !waitOrStop(reply.delayMs)) {
        ::close(socket);
        return;
    }
    if (!reply.closeWithoutReply) {
        QByteArray answer = reply.raw;
        if (answer.isEmpty()) {
            answer = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reply.reason + "\r\n";
            for (const auto& [name, value] : reply.headers) answer += name + ": " + value + "\r\n";
            answer +=
                "Content-Type: text/html; charset=utf-8\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                "\r\nConnection: close\r\n\r\n" + reply.body;
        }
        sendAll(socket, answer);
    }
    ::shutdown(socket, SHUT_RDWR);
    ::close(socket);
}
