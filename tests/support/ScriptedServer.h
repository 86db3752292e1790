#pragma once
// A loopback HTTP server for tests that records every request and answers from a script: normal
// enciphered replies, error statuses, redirects, garbage, a stall, or a connection closed unanswered.
#include "remote/uHttpClient.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

struct TScriptedReply {
    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int delayMs = 0;                // wait this long before answering (ends early when the server stops)
    bool closeWithoutReply = false; // read the request, then close the connection
    QByteArray raw;                 // when set: these bytes are the whole answer

    // A 200 reply whose body is the JSON text enciphered with the channel key.
    static TScriptedReply json(const nlohmann::json& object);
    // A 200 reply whose body is `text` enciphered with `key`.
    static TScriptedReply enciphered(const QString& text, const QString& key);
    static TScriptedReply status_(int status, const QByteArray& reason);
    static TScriptedReply redirect(const QByteArray& location);
};

struct TRecordedRequest {
    QByteArray requestLine; // "POST /rest HTTP/1.0"
    QByteArray method, path, version;
    std::map<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
    std::map<QByteArray, QByteArray> form; // the body's fields, undecoded
    QStringList head;                      // deciphered and split, empty when absent
    QStringList data;
    bool hasData = false;

    QString headValue(const QString& name) const;
    QString dataValue(const QString& name) const;
};

class ScriptedServer {
public:
    ScriptedServer();
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int port() const { return FPort; }
    // Channel settings pointing at this server, with short time-outs for tests.
    TChannelSettings settings(int totalTimeoutMs = 5000) const;

    // Replies are used in the order queued; with the queue empty the default reply answers.
    void enqueue(const TScriptedReply& reply);
    void enqueueJson(const nlohmann::json& object) { enqueue(TScriptedReply::json(object)); }
    void setDefault(const TScriptedReply& reply);

    std::vector<TRecordedRequest> requests() const;
    std::size_t requestCount() const;
    TRecordedRequest lastRequest() const;
    void clearRequests();

private:
    void acceptLoop();
    void serve(int socket);
    bool waitOrStop(int delayMs);

    int FListen = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::thread FAcceptThread;
    mutable std::mutex FMutex;
    std::condition_variable FStopSignal;
    std::deque<TScriptedReply> FQueue;
    TScriptedReply FDefault;
    std::vector<TRecordedRequest> FRequests;
    std::vector<std::thread> FConnections;
};
