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

struct ScriptedReply {
    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int delayMs = 0;                // wait this long before answering (ends early when the server stops)
    bool closeWithoutReply = false; // read the request, then close the connection
    QByteArray raw;                 // when set: these bytes are the whole answer

    // A 200 reply whose body is the JSON text enciphered with the channel key.
    static ScriptedReply json(const nlohmann::json& object);
    // A 200 reply whose body is `text` enciphered with `key`.
    static ScriptedReply enciphered(const QString& text, const QString& key);
    static ScriptedReply status_(int status, const QByteArray& reason);
    static ScriptedReply redirect(const QByteArray& location);
};

struct RecordedRequest {
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

    int port() const { return m_port; }
    // Channel settings pointing at this server, with short time-outs for tests.
    ChannelSettings settings(int totalTimeoutMs = 5000) const;

    // Replies are used in the order queued; with the queue empty the default reply answers.
    void enqueue(const ScriptedReply& reply);
    void enqueueJson(const nlohmann::json& object) { enqueue(ScriptedReply::json(object)); }
    void setDefault(const ScriptedReply& reply);

    std::vector<RecordedRequest> requests() const;
    std::size_t requestCount() const;
    RecordedRequest lastRequest() const;
    void clearRequests();

private:
    void acceptLoop();
    void serve(int socket);
    bool waitOrStop(int delayMs);

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_acceptThread;
    mutable std::mutex m_mutex;
    std::condition_variable m_stopSignal;
    std::deque<ScriptedReply> m_queue;
    ScriptedReply m_default;
    std::vector<RecordedRequest> m_requests;
    std::vector<std::thread> m_connections;
};
