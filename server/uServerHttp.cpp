#include "server/uServerHttp.h"

#include <httplib.h>

#include <algorithm>
#include <sys/socket.h>
#include <thread>

TPlatformHttpServer::TPlatformHttpServer(TPlatformService& service)
    : FService(service), FServer(std::make_unique<httplib::Server>()) {
    // Enough workers that every concurrent client connection is served at once; SQLite serialises
    // the writers.
    const unsigned workers = std::max(32u, std::thread::hardware_concurrency() * 4);
    FServer->new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    FServer->set_payload_max_length(MaxRequestBodyBytes);
    FServer->set_read_timeout(10, 0);
    FServer->set_write_timeout(10, 0);
    FServer->set_keep_alive_max_count(1000);
    // Replies go out as header and body writes: without this, Nagle and delayed ACKs hold the body
    // back by some 40 ms on a kept-alive connection.
    FServer->set_tcp_nodelay(true);
    // Remember the listening socket, to widen its backlog after binding (see bind()).
    FServer->set_socket_options([this](int socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        FListenSocket = socket;
    });

    FServer->Post("/rest", [this](const httplib::Request& request, httplib::Response& response) {
        std::string reply;
        const bool urlencoded =
            request.get_header_value("Content-Type").rfind("application/x-www-form-urlencoded", 0) == 0;
        if (!urlencoded || !request.has_param("head")) {
            // A body the form parser did not take apart: read it as the form text itself.
            reply = FService.handleFormBody(request.body);
        } else {
            std::optional<std::string> data;
            if (request.has_param("data")) data = request.get_param_value("data");
            reply = FService.handleFields(request.get_param_value("head"), data);
        }
        response.status = 200;
        response.set_content(reply, "text/html; charset=utf-8");
    });
    const auto notAllowed = [](const httplib::Request&, httplib::Response& response) {
        response.status = 405;
        response.set_header("Allow", "POST");
        response.set_content("method not allowed", "text/plain");
    };
    FServer->Get("/rest", notAllowed);
    FServer->Put("/rest", notAllowed);
    FServer->Delete("/rest", notAllowed);
    FServer->Patch("/rest", notAllowed);
    FServer->set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        response.status = 500;
        response.set_content("internal error", "text/plain");
    });
}

TPlatformHttpServer::~TPlatformHttpServer() = default;

int TPlatformHttpServer::bind(const QString& address, int port) {
    const std::string host = address.toStdString();
    const int bound = port == 0 ? FServer->bind_to_any_port(host) : (FServer->bind_to_port(host, port) ? port : -1);
    // The library listens with a backlog of 5: many clients connecting at once would see dropped
    // connection requests and a one-second retry. Listening again only changes the backlog.
    if (bound > 0 && FListenSocket >= 0) ::listen(FListenSocket, 256);
    return bound;
}

bool TPlatformHttpServer::listen() { return FServer->listen_after_bind(); }

void TPlatformHttpServer::stop() { FServer->stop(); }
