#pragma once
// The HTTP side of the platform server: POST /rest with the form fields head and data; everything
// else is answered 404 or 405.
#include "server/uPlatformService.h"

#include <QString>

#include <functional>
#include <memory>

namespace httplib {
class Server;
}

class TPlatformHttpServer {
public:
    explicit TPlatformHttpServer(TPlatformService& service);
    ~TPlatformHttpServer();
    TPlatformHttpServer(const TPlatformHttpServer&) = delete;
    TPlatformHttpServer& operator=(const TPlatformHttpServer&) = delete;

    // Binds (port 0: a free port); returns the bound port or -1.
    int bind(const QString& address, int port);
    // Serves until stop() is called (from another thread or a signal handler's helper thread).
    bool listen();
    void stop();

private:
    TPlatformService& FService;
    std::unique_ptr<httplib::Server> FServer;
    int FListenSocket = -1;
};
