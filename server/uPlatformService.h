#pragma once
// The platform's one endpoint: takes the head and data fields of a POST to /rest, deciphers and
// splits them, authenticates, runs the command in one database transaction and returns the reply
// (a JSON object, enciphered for the wire). Every failure becomes a refusal: returncode 0 with a
// reason in returnmsg; nothing is half done.
#include "server/uPasswordHash.h"
#include "server/uServerDb.h"

#include <QStringList>
#include <nlohmann/json.hpp>

#include <map>
#include <mutex>
#include <optional>
#include <string>

// Caps on what one request may carry; anything larger is refused before it is deciphered. The HTTP
// side answers a larger body with 413, the form parser of the HTTP library having the same limit.
inline constexpr std::size_t MaxRequestBodyBytes = 8192;
inline constexpr int MaxFieldValueChars = 2000;

class TPlatformService {
public:
    explicit TPlatformService(TServerDb& db) : FDb(db) {}

    // The task hall's pages are the same for every user and the busiest request of all: their
    // enciphered replies are kept until the next write to the database, by this process or any other
    // (on by default).
    void setHallCacheEnabled(bool enabled) { FHallCacheEnabled = enabled; }

    // The form body of POST /rest (application/x-www-form-urlencoded): the enciphered reply body.
    std::string handleFormBody(const std::string& body);
    // The two form fields as sent (hex text); data may be absent. The enciphered reply body.
    std::string handleFields(const std::string& headHex, const std::optional<std::string>& dataHex);
    // The deciphered lists: the reply object in clear.
    nlohmann::json handleLists(const QStringList& head, const QStringList& data);

    // The reply object in clear as the wire carries it (hex of the DES cipher text).
    static std::string encipherReply(const nlohmann::json& reply);
    static nlohmann::json refusal(const QString& reason);

private:
    // The user's id for good credentials, 0 otherwise; with the database's data version when asked.
    int authenticate(TDbConnection& db, const QString& username, const QString& password,
                     std::uint64_t* dataVersion = nullptr);
    // The reply; `dataVersion`, when given, gets the data version the command read under.
    nlohmann::json handleLists(const QStringList& head, const QStringList& data, std::uint64_t* dataVersion);
    std::string replyText(const QStringList& head, const QStringList& data);

    struct TCachedPage {
        std::uint64_t version;
        std::string text;
    };

    TServerDb& FDb;
    TCredentialCache FCredentials;
    bool FHallCacheEnabled = true;
    // Pages by (page, category), each with the data version it was read under: served only while
    // that version is still the database's (every write transaction of any process bumps it).
    std::mutex FHallMutex;
    std::map<std::pair<int, int>, TCachedPage> FHallPages;
};
