#pragma once
// The platform's one endpoint: takes the head and data fields of a POST to /rest, deciphers and
// splits them, authenticates, runs the command in one SQLite transaction and returns the reply
// (a JSON object, enciphered for the wire). Every failure becomes a refusal: returncode 0 with a
// reason in returnmsg; nothing is half done.
#include "server/uPasswordHash.h"
#include "server/uServerDb.h"

#include <QStringList>
#include <nlohmann/json.hpp>

#include <optional>
#include <string>

// Caps on what one request may carry; anything larger is refused before it is deciphered. The HTTP
// side answers a larger body with 413, the form parser of the HTTP library having the same limit.
inline constexpr std::size_t MaxRequestBodyBytes = 8192;
inline constexpr int MaxFieldValueChars = 2000;

class TPlatformService {
public:
    explicit TPlatformService(TServerDb& db) : FDb(db) {}

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
    TServerDb& FDb;
    TCredentialCache FCredentials;
};
