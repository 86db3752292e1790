#pragma once
// A small raw client of the platform's wire format for tests: builds the head and data lists with the
// command catalogue, enciphers them with the real codec, posts them with libcurl to
// http://127.0.0.1:PORT/rest and reads the reply with the real reply reader. Each call uses its own
// curl handle, so one client may be used from many threads at once.
#include "remote/uCommandCatalogue.h"
#include "remote/uReply.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <vector>

class WireClient {
public:
    struct RawReply {
        long status = 0; // HTTP status; 0 when the exchange failed
        QByteArray body;
        QString transportError; // empty when the exchange completed
    };

    explicit WireClient(int port, QString host = QStringLiteral("127.0.0.1"));

    // One command with the credentials in the head; the data lines after the version line come from
    // `values` in the catalogue's order. Throws std::runtime_error on a transport failure or an
    // HTTP status other than 200, EReadError on a reply the client could not read.
    ReplyObject call(TCommand command, const QString& username, const QString& password,
                     const std::vector<CommandValue>& values = {}) const;
    // The lists as given (nothing added), enciphered and posted; the reply read as above.
    ReplyObject callLines(const QStringList& head, const QStringList& data) const;
    // The head list a command sends: head_command, head_clienttype=2, head_username, head_password.
    static QStringList headLines(int command, const QString& username, const QString& password);

    // Anything at all: the exact body, content type and method, to the path given.
    RawReply postRaw(const QByteArray& body, const QByteArray& contentType = "application/x-www-form-urlencoded",
                     const QByteArray& method = "POST", const QByteArray& path = "/rest") const;

    int port() const { return m_port; }

private:
    QString m_host;
    int m_port;
};
