#pragma once
// The HTTP side of the platform server: POST /rest with the form fields head and data; other paths
// are answered 404, other methods on /rest 405 (Allow: POST), a body over 8 KiB 413.
//
// One event thread owns every connection (epoll): a connection that trickles its header or sits
// idle costs a socket and a little memory, never a thread. A complete request goes to a small pool
// of workers, which run the command; the connection waits suspended meanwhile and its reply is sent
// by the event thread. A connection must bring a whole request header within the header time-out
// (counted from its opening), and the next one within the idle time-out after a reply; each client
// address may hold only so many connections at once.
#include "server/PlatformService.h"

#include <QString>

#include <memory>

class RequestLog;

struct HttpServerOptions {
    int headerTimeoutSeconds = 5;
    int idleTimeoutSeconds = 15;
    int maxConnectionsPerAddress = 32; // 0: no cap (a proxy in front counts for its clients)
    int maxConnections = 4000;
    int workerThreads = 8;
    // Behind a proxy on this machine: the client's address is the X-Real-IP header of a request that
    // came from a loopback address.
    bool trustProxyHeader = false;
};

class PlatformHttpServer {
public:
    PlatformHttpServer(PlatformService& service, const HttpServerOptions& options = {}, RequestLog* log = nullptr);
    ~PlatformHttpServer();
    PlatformHttpServer(const PlatformHttpServer&) = delete;
    PlatformHttpServer& operator=(const PlatformHttpServer&) = delete;

    // Binds and listens (port 0: a free port); returns the bound port or -1. Connections wait in the
    // backlog until listen() runs.
    int bind(const QString& address, int port);
    // Serves until stop() is called from another thread; the requests being run are finished first.
    bool listen();
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
