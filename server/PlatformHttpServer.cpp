#include "server/PlatformHttpServer.h"

#include "server/RequestLog.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <unordered_set>
#include <vector>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Runs jobs on a fixed number of threads; shutdown() runs what is queued, then joins.
class WorkerPool {
public:
    explicit WorkerPool(int threads) {
        for (int i = 0; i < std::max(1, threads); ++i) m_threads.emplace_back([this] { work(); });
    }
    ~WorkerPool() { shutdown(); }

    void post(std::function<void()> job) {
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        }
        m_wake.notify_one();
    }

    void shutdown() {
        {
            std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& thread : m_threads)
            if (thread.joinable()) thread.join();
    }

private:
    void work() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
                if (m_jobs.empty()) return;
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
            }
            job();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

// What the event thread knows of one open connection (touched by the event thread only).
struct Connection {
    enum class Phase { Header, Busy, Idle, Closing };
    int fd;
    Phase phase;
    SteadyClock::time_point deadline;
};

// One request from its complete header to the end of its reply. The worker writes `reply` and
// `record` before it resumes the connection; the event thread reads them after.
struct Request {
    SteadyClock::time_point started = SteadyClock::now();
    std::string method, path;
    std::string body;
    bool submitted = false;
    int status = 0;
    bool reachedService = false;
    RequestRecord record;
    std::string reply;
};

std::string addressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {0};
    if (!address) return {};
    if (address->sa_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    } else if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        ::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    }
    return text;
}

bool isLoopback(const sockaddr* address) {
    if (!address) return false;
    if (address->sa_family == AF_INET)
        return (ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr) >> 24) == 127;
    if (address->sa_family == AF_INET6)
        return IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
    return false;
}

} // namespace

struct PlatformHttpServer::Impl {
    PlatformService& service;
    HttpServerOptions options;
    RequestLog* log;
    MHD_Daemon* daemon = nullptr;
    std::atomic<bool> stopping{false};
    std::unordered_set<Connection*> connections;
    std::unique_ptr<WorkerPool> workers;
    // Wakes the event thread when a worker has resumed a connection.
    int wakeFd = -1;

    Impl(PlatformService& s, const HttpServerOptions& o, RequestLog* l) : service(s), options(o), log(l) {}

    static Connection* connectionOf(MHD_Connection* connection) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        return info ? static_cast<Connection*>(info->socket_context) : nullptr;
    }

    std::string clientAddress(MHD_Connection* connection) const {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        const sockaddr* peer = info ? info->client_addr : nullptr;
        if (options.trustProxyHeader && isLoopback(peer)) {
            const char* forwarded = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, "X-Real-IP");
            if (forwarded && *forwarded && std::strlen(forwarded) < 64) return forwarded;
        }
        return addressText(peer);
    }

    static MHD_Result respond(MHD_Connection* connection, Request& request, unsigned status, const std::string& body,
                              const char* contentType) {
        MHD_Response* response =
            MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (!response) return MHD_NO;
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType);
        if (status == MHD_HTTP_METHOD_NOT_ALLOWED) MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "POST");
        const MHD_Result queued = MHD_queue_response(connection, status, response);
        MHD_destroy_response(response);
        if (queued == MHD_YES) request.status = int(status);
        return queued;
    }

    MHD_Result onRequest(MHD_Connection* connection, const char* url, const char* method, const char* uploadData,
                         size_t* uploadSize, void** context) {
        auto* request = static_cast<Request*>(*context);
        if (!request) {
            // The header is complete: from here on the request is the workers' business, not a time-out's.
            request = new Request;
            *context = request;
            request->method = method;
            request->path = url;
            request->record.address = clientAddress(connection);
            if (Connection* state = connectionOf(connection)) state->phase = Connection::Phase::Busy;
            if (request->path != "/rest")
                return respond(connection, *request, MHD_HTTP_NOT_FOUND, "not found", "text/plain");
            if (request->method != MHD_HTTP_METHOD_POST)
                return respond(connection, *request, MHD_HTTP_METHOD_NOT_ALLOWED, "method not allowed", "text/plain");
            const char* length =
                MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
            if (length && std::strtoull(length, nullptr, 10) > MaxRequestBodyBytes)
                return respond(connection, *request, MHD_HTTP_CONTENT_TOO_LARGE, "request body too large",
                               "text/plain");
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            // A body without a length that grows past the limit: the connection is closed.
            if (request->body.size() + *uploadSize > MaxRequestBodyBytes) return MHD_NO;
            request->body.append(uploadData, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        if (!request->submitted) {
            request->submitted = true;
            request->reachedService = true;
            MHD_suspend_connection(connection);
            workers->post([this, connection, request] {
                try {
                    request->reply = service.handleFormBody(request->body, &request->record);
                } catch (const std::exception& error) {
                    // The handler answers every failure itself; this is for what it cannot (no memory).
                    request->record.errorNumber = "-";
                    request->record.errorCause = error.what();
                    request->reply.clear();
                }
                MHD_resume_connection(connection);
                const std::uint64_t one = 1;
                [[maybe_unused]] const ssize_t written = ::write(wakeFd, &one, sizeof one);
            });
            return MHD_YES;
        }
        if (request->reply.empty())
            return respond(connection, *request, MHD_HTTP_INTERNAL_SERVER_ERROR, "internal error", "text/plain");
        return respond(connection, *request, MHD_HTTP_OK, request->reply, "text/html; charset=utf-8");
    }

    void onCompleted(MHD_Connection* connection, void** context) {
        auto* request = static_cast<Request*>(*context);
        *context = nullptr;
        if (Connection* state = connectionOf(connection)) {
            state->phase = Connection::Phase::Idle;
            state->deadline = SteadyClock::now() + std::chrono::seconds(options.idleTimeoutSeconds);
        }
        if (!request) return;
        if (log) {
            RequestLog::Entry entry;
            entry.address = request->record.address;
            entry.method = request->method;
            entry.path = request->path;
            entry.httpStatus = request->status;
            entry.record = request->reachedService ? &request->record : nullptr;
            entry.milliseconds =
                std::chrono::duration<double, std::milli>(SteadyClock::now() - request->started).count();
            log->write(entry);
        }
        delete request;
    }

    void onConnection(MHD_Connection* connection, void** socketContext, MHD_ConnectionNotificationCode code) {
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            auto* state = new Connection{info ? info->connect_fd : -1, Connection::Phase::Header,
                                         SteadyClock::now() + std::chrono::seconds(options.headerTimeoutSeconds)};
            connections.insert(state);
            *socketContext = state;
        } else if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
            auto* state = static_cast<Connection*>(*socketContext);
            connections.erase(state);
            delete state;
            *socketContext = nullptr;
        }
    }

    static MHD_Result accessHandler(void* cls, MHD_Connection* connection, const char* url, const char* method,
                                    const char*, const char* uploadData, size_t* uploadSize, void** context) {
        return static_cast<Impl*>(cls)->onRequest(connection, url, method, uploadData, uploadSize, context);
    }
    static void completedHandler(void* cls, MHD_Connection* connection, void** context, MHD_RequestTerminationCode) {
        static_cast<Impl*>(cls)->onCompleted(connection, context);
    }
    static void connectionHandler(void* cls, MHD_Connection* connection, void** socketContext,
                                  MHD_ConnectionNotificationCode code) {
        static_cast<Impl*>(cls)->onConnection(connection, socketContext, code);
    }

    // Cuts the connections whose header or idle time is up. Runs on the event thread, as every
    // callback above does, so no connection can be closed (and its descriptor reused) meanwhile.
    void closeExpired() {
        const SteadyClock::time_point now = SteadyClock::now();
        for (Connection* state : connections) {
            const bool waiting = state->phase == Connection::Phase::Header || state->phase == Connection::Phase::Idle;
            if (waiting && state->deadline <= now && state->fd >= 0) {
                ::shutdown(state->fd, SHUT_RDWR);
                state->phase = Connection::Phase::Closing;
            }
        }
    }
};

PlatformHttpServer::PlatformHttpServer(PlatformService& service, const HttpServerOptions& options, RequestLog* log)
    : d(std::make_unique<Impl>(service, options, log)) {}

PlatformHttpServer::~PlatformHttpServer() {
    stop();
    if (d->workers) d->workers->shutdown();
    if (d->daemon) MHD_stop_daemon(d->daemon);
    if (d->wakeFd >= 0) ::close(d->wakeFd);
}

int PlatformHttpServer::bind(const QString& address, int port) {
    if (d->daemon) return -1;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const std::string host = address.toStdString();
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) return -1;
    sockaddr_storage bound{};
    std::memcpy(&bound, found->ai_addr, std::min<std::size_t>(found->ai_addrlen, sizeof bound));
    const bool v6 = found->ai_family == AF_INET6;
    ::freeaddrinfo(found);

    const HttpServerOptions& o = d->options;
    const unsigned flags = MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME | (v6 ? MHD_USE_IPv6 : 0);
    // MHD's own inactivity time-out backs up the deadlines above; it also ends a reply that the
    // client never reads.
    const unsigned inactivity = unsigned(std::max({o.headerTimeoutSeconds, o.idleTimeoutSeconds, 10}));
    d->daemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &Impl::accessHandler, d.get(), MHD_OPTION_SOCK_ADDR,
                                 reinterpret_cast<sockaddr*>(&bound), MHD_OPTION_LISTEN_BACKLOG_SIZE, 511u,
                                 MHD_OPTION_CONNECTION_LIMIT, unsigned(std::max(1, o.maxConnections)),
                                 MHD_OPTION_PER_IP_CONNECTION_LIMIT, unsigned(std::max(0, o.maxConnectionsPerAddress)),
                                 MHD_OPTION_CONNECTION_TIMEOUT, inactivity, MHD_OPTION_NOTIFY_COMPLETED,
                                 &Impl::completedHandler, d.get(), MHD_OPTION_NOTIFY_CONNECTION,
                                 &Impl::connectionHandler, d.get(), MHD_OPTION_END);
    if (!d->daemon) return -1;
    const MHD_DaemonInfo* info = MHD_get_daemon_info(d->daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info ? int(info->port) : -1;
}

bool PlatformHttpServer::listen() {
    if (!d->daemon) return false;
    const MHD_DaemonInfo* info = MHD_get_daemon_info(d->daemon, MHD_DAEMON_INFO_EPOLL_FD);
    const int events = ::epoll_create1(EPOLL_CLOEXEC);
    d->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event watch{};
    watch.events = EPOLLIN;
    if (!info || events < 0 || d->wakeFd < 0 || ::epoll_ctl(events, EPOLL_CTL_ADD, info->epoll_fd, &watch) != 0 ||
        ::epoll_ctl(events, EPOLL_CTL_ADD, d->wakeFd, &watch) != 0) {
        if (events >= 0) ::close(events);
        return false;
    }
    d->workers = std::make_unique<WorkerPool>(d->options.workerThreads);
    // Woken by network events (the library's own epoll set), by a worker that resumed a connection,
    // and at least every 100 ms, to cut connections whose time is up and to notice stop().
    while (!d->stopping) {
        int waitMs = 100;
        MHD_UNSIGNED_LONG_LONG libraryMs = 0;
        if (MHD_get_timeout(d->daemon, &libraryMs) == MHD_YES)
            waitMs = int(std::min<MHD_UNSIGNED_LONG_LONG>(libraryMs, 100));
        epoll_event ready[2];
        ::epoll_wait(events, ready, 2, waitMs);
        std::uint64_t woken = 0;
        [[maybe_unused]] const ssize_t read = ::read(d->wakeFd, &woken, sizeof woken);
        // A pass may leave work ready for the next one (a resumed connection, a reply not yet
        // written): run until the library has nothing more to do at once.
        bool failed = false;
        for (int pass = 0; pass < 16; ++pass) {
            if (MHD_run(d->daemon) != MHD_YES) {
                failed = true;
                break;
            }
            MHD_UNSIGNED_LONG_LONG next = 0;
            if (MHD_get_timeout(d->daemon, &next) != MHD_YES || next > 0) break;
        }
        if (failed) break;
        d->closeExpired();
    }
    // Finish the requests the workers hold; their connections are resumed before the daemon stops.
    d->workers->shutdown();
    ::close(events);
    return true;
}

void PlatformHttpServer::stop() { d->stopping = true; }
