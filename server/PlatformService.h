#pragma once
// The platform's one endpoint: takes the head and data fields of a POST to /rest, deciphers and
// splits them, authenticates, runs the command in one database transaction and returns the reply
// (a JSON object, enciphered for the wire). Every failure becomes a refusal: returncode 0 with a
// reason in returnmsg; nothing is half done. A failure of the server itself (the database, a bug)
// tells the client only "服务器内部错误" and an error number; the request's record holds the number
// beside the real cause, for the log.
#include "server/PasswordHash.h"
#include "server/ServerDb.h"
#include "server/SignInThrottle.h"

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

// One request as the log tells it: the address comes in, the rest is filled in while it is handled.
struct RequestRecord {
    std::string address;     // the client's address; wrong passwords are counted per address too
    int command = -1;        // the command code, -1 while none was read
    int userId = 0;          // the authenticated user, 0 for none
    int returnCode = -1;     // the reply's returncode, -1 when no reply object was made
    std::string errorNumber; // set for an internal error ...
    std::string errorCause;  // ... with what really happened
};

class PlatformService {
public:
    explicit PlatformService(ServerDb& db, SignInThrottle::Clock throttleClock = {})
        : m_db(db), m_throttle(std::move(throttleClock)) {}

    // The task hall's pages are the same for every user and the busiest request of all: their
    // enciphered replies are kept until the next write to the database, by this process or any other
    // (on by default).
    void setHallCacheEnabled(bool enabled) { m_hallCacheEnabled = enabled; }

    // The form body of POST /rest (application/x-www-form-urlencoded): the enciphered reply body.
    std::string handleFormBody(const std::string& body, RequestRecord* record = nullptr);
    // The two form fields as sent (hex text); data may be absent. The enciphered reply body.
    std::string handleFields(const std::string& headHex, const std::optional<std::string>& dataHex,
                             RequestRecord* record = nullptr);
    // The deciphered lists: the reply object in clear.
    nlohmann::json handleLists(const QStringList& head, const QStringList& data, RequestRecord* record = nullptr);

    // The reply object in clear as the wire carries it (hex of the DES cipher text).
    static std::string encipherReply(const nlohmann::json& reply);
    static nlohmann::json refusal(const QString& reason);

private:
    // The user's id for good credentials, 0 otherwise; refuses while the name or the address must
    // wait after wrong passwords. With the database's data version, read in the same query, when asked.
    int authenticate(DbConnection& db, const QString& username, const QString& password, const std::string& address,
                     std::uint64_t* dataVersion = nullptr);
    std::string replyText(const QStringList& head, const QStringList& data, RequestRecord& record);
    // `dataVersion`, when given, gets the data version the command read under.
    nlohmann::json run(const QStringList& head, const QStringList& data, RequestRecord& record,
                       std::uint64_t* dataVersion);
    static nlohmann::json internalError(const std::exception& error, RequestRecord& record);

    struct CachedPage {
        std::uint64_t version;
        std::string text;
    };

    ServerDb& m_db;
    CredentialCache m_credentials;
    SignInThrottle m_throttle;
    bool m_hallCacheEnabled = true;
    // Pages by (page, category), each with the data version it was read under: served only while
    // that version is still the database's (every write transaction of any process bumps it).
    std::mutex m_hallMutex;
    std::map<std::pair<int, int>, CachedPage> m_hallPages;
};
