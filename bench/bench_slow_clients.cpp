// Login latency while slow clients hold connections, run by hand:
//   bench_slow_clients [--server PATH] [--slow N] [--samples N] [-- server options...]
// Starts a quorvane-server binary (this build's by default; any earlier build works too, since only
// --address, --port, --db and --seed-demo are passed) with the demo data on a free loopback port,
// logs in once as demo1 (so that what follows is the per-request cost, not the key stretching),
// then measures N logins, each on a new HTTP/1.0 connection as the desktop client makes them:
// first with no other connection open, then while N slow connections are held open from
// 127.0.0.2, 127.0.0.3, ... (25 per address): half of them trickle a request header a byte per
// second, half sit idle after a complete reply. A slow connection the server closes is opened
// again at once, so that N stay open throughout. Bounded: each login gives up after 30 s, each
// phase after 60 s.
#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

QByteArray loginBody() {
    QStringList head = BuildHeadList(cmLogin);
    head << QStringLiteral("head_clienttype=2") << QStringLiteral("head_username=demo1")
         << QStringLiteral("head_password=demo123");
    return "head=" + EncipherToHex(CommaText(head), ChannelKey).toLatin1() +
           "&data=" + EncipherToHex(CommaText(BuildDataList(cmLogin, {})), ChannelKey).toLatin1();
}

size_t discard(char*, size_t size, size_t count, void*) { return size * count; }

// One login on a new HTTP/1.0 connection: its time in ms, or -1 when it failed or took over 30 s.
double timedLogin(const std::string& url, const QByteArray& body) {
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 30000L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    const auto begin = Clock::now();
    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    if (code != CURLE_OK || status != 200) return -1;
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

struct Summary {
    std::vector<double> ms;
    int failed = 0;
    double seconds = 0;
};

Summary measure(const std::string& url, const QByteArray& body, int samples) {
    Summary summary;
    const auto begin = Clock::now();
    for (int i = 0; i < samples && Clock::now() - begin < std::chrono::seconds(60); ++i) {
        const double ms = timedLogin(url, body);
        if (ms < 0)
            ++summary.failed;
        else
            summary.ms.push_back(ms);
    }
    summary.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    std::sort(summary.ms.begin(), summary.ms.end());
    return summary;
}

void print(const char* title, const Summary& s) {
    auto at = [&](double q) {
        return s.ms.empty() ? 0.0 : s.ms[std::min(s.ms.size() - 1, size_t(q * double(s.ms.size())))];
    };
    std::printf(
        "%-34s %4zu logins (%d failed) in %5.1f s   p50 %8.2f ms   p90 %8.2f ms   p99 %8.2f ms   max %8.2f ms\n", title,
        s.ms.size(), s.failed, s.seconds, at(0.5), at(0.9), at(0.99), s.ms.empty() ? 0.0 : s.ms.back());
}

// Slow connections held open by one thread until stopped.
class SlowClients {
public:
    SlowClients(int port, int count, const QByteArray& request)
        : m_port(port), m_request(request), m_slots(size_t(count)) {
        for (size_t i = 0; i < m_slots.size(); ++i) open(i);
        m_thread = std::thread([this] { run(); });
    }
    ~SlowClients() {
        m_stop = true;
        m_thread.join();
        for (Slot& slot : m_slots)
            if (slot.fd >= 0) ::close(slot.fd);
    }
    int reopened() const { return m_reopened; }
    int open() const { return m_open; }

private:
    struct Slot {
        int fd = -1;
        std::size_t sent = 0; // trickling: bytes of the header sent so far
    };
    bool trickles(std::size_t i) const { return i % 2 == 0; }

    void open(std::size_t i) {
        Slot& slot = m_slots[i];
        if (slot.fd >= 0) ::close(slot.fd);
        slot = Slot{};
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(0x7f000002u + std::uint32_t(i / 25));
        sockaddr_in remote{};
        remote.sin_family = AF_INET;
        remote.sin_port = htons(std::uint16_t(m_port));
        remote.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
            ::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
            if (fd >= 0) ::close(fd);
            return;
        }
        slot.fd = fd;
        if (trickles(i)) {
            slot.sent = 20;
            ::send(fd, "POST /rest HTTP/1.1\r\n", slot.sent, MSG_NOSIGNAL);
        } else {
            // A whole kept-alive request; the reply is read and dropped as it comes.
            ::send(fd, m_request.constData(), size_t(m_request.size()), MSG_NOSIGNAL);
        }
    }

    void run() {
        static const char header[] =
            "Host: 127.0.0.1\r\nUser-Agent: a-very-slow-client/1.0\r\nX-Padding: "
            "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n";
        auto lastByte = Clock::now();
        std::vector<pollfd> polled(m_slots.size());
        char buffer[65536];
        while (!m_stop) {
            for (std::size_t i = 0; i < m_slots.size(); ++i) polled[i] = pollfd{m_slots[i].fd, POLLIN, 0};
            ::poll(polled.data(), polled.size(), 100);
            for (std::size_t i = 0; i < m_slots.size(); ++i) {
                if (m_slots[i].fd < 0) {
                    open(i);
                    continue;
                }
                if (!(polled[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                const ssize_t n = ::recv(m_slots[i].fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                    open(i); // closed by the server: opened again
                    ++m_reopened;
                }
            }
            if (Clock::now() - lastByte >= std::chrono::seconds(1)) {
                lastByte = Clock::now();
                for (std::size_t i = 0; i < m_slots.size(); i += 2) {
                    Slot& slot = m_slots[i];
                    if (slot.fd < 0) continue;
                    const std::size_t at = (slot.sent - 20) % (sizeof header - 1);
                    ::send(slot.fd, header + at, 1, MSG_NOSIGNAL);
                    ++slot.sent;
                }
            }
            int open = 0;
            for (const Slot& slot : m_slots) open += slot.fd >= 0 ? 1 : 0;
            m_open = open;
        }
    }

    int m_port;
    QByteArray m_request;
    std::vector<Slot> m_slots;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_reopened{0};
    std::atomic<int> m_open{0};
    std::thread m_thread;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString server = QStringLiteral(QUORVANE_SERVER_BIN);
    int slow = 500;
    int samples = 200;
    QStringList extra;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--server") && more)
            server = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--slow") && more)
            slow = std::clamp(std::atoi(argv[++i]), 0, 2000);
        else if (!std::strcmp(argv[i], "--samples") && more)
            samples = std::clamp(std::atoi(argv[++i]), 1, 10000);
        else if (!std::strcmp(argv[i], "--")) {
            for (++i; i < argc; ++i) extra << QString::fromLocal8Bit(argv[i]);
        } else {
            std::fprintf(stderr,
                         "usage: bench_slow_clients [--server PATH] [--slow N] [--samples N] [-- server options]\n");
            return 2;
        }
    }
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }

    QTemporaryDir dir;
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(server, QStringList{QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                                      QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"),
                                      dir.filePath(QStringLiteral("bench.sqlite")), QStringLiteral("--seed-demo")} +
                              extra);
    int port = 0;
    QByteArray seen;
    static const QRegularExpression listening(QStringLiteral(R"(listening on [^\s:]+:(\d+))"));
    while (port == 0 && process.waitForReadyRead(30000)) {
        seen += process.readAllStandardOutput();
        const auto m = listening.match(QString::fromUtf8(seen));
        if (m.hasMatch()) port = m.captured(1).toInt();
    }
    if (port == 0) {
        std::fprintf(stderr, "the server did not start: %s\n", seen.constData());
        return 1;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/rest";
    const QByteArray body = loginBody();
    if (timedLogin(url, body) < 0) {
        std::fprintf(stderr, "the first login failed\n");
        return 1;
    }
    std::printf("server %s, port %d\n", qPrintable(server), port);
    print("no other connection open:", measure(url, body, samples));
    {
        const QByteArray request =
            "POST /rest HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            "Content-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body;
        SlowClients clients(port, slow, request);
        std::this_thread::sleep_for(std::chrono::seconds(2)); // every slow connection has sent something
        const int reopenedBefore = clients.reopened();
        const Summary loaded = measure(url, body, samples);
        char title[64];
        std::snprintf(title, sizeof title, "with %d slow connections open:", slow);
        print(title, loaded);
        std::printf("    slow connections open at the end: %d; closed by the server and opened again meanwhile: %d\n",
                    clients.open(), clients.reopened() - reopenedBefore);
    }
    process.terminate();
    process.waitForFinished(10000);
    return 0;
}
