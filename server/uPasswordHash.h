#pragma once
// Stored passwords: PBKDF2-HMAC-SHA256 over a random per-user salt. Checking a password costs a
// deliberate amount of work, so verified credentials are remembered in memory (only a SHA-256 of the
// password, keyed by user and stored hash) and every later command of the session checks in
// microseconds.
#include <QString>

#include <mutex>
#include <string>
#include <unordered_map>

struct TPasswordRecord {
    QString salt; // hex
    QString hash; // hex
};

TPasswordRecord HashNewPassword(const QString& password);
bool PasswordMatches(const QString& password, const QString& salt, const QString& hash);

class TCredentialCache {
public:
    // True when `password` is the password behind (salt, hash) for `userId`; the slow check runs
    // only the first time a given password is seen for the current stored hash.
    bool check(int userId, const QString& password, const QString& salt, const QString& hash);

private:
    std::mutex FMutex;
    std::unordered_map<std::string, std::string> FVerified; // user + password digest -> stored hash
};
