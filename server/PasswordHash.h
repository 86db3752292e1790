#pragma once
// Stored passwords: PBKDF2-HMAC-SHA256 over a random per-user salt, stored as
// "pbkdf2-sha256:<iterations>:<hex>" (a bare hex hash is an older record made with 20,000
// iterations). Checking a password costs a deliberate amount of work, so verified credentials are
// remembered in memory, keyed by user and by the stored hash read from the database on each request:
// a password changed by any process changes that hash, and the old password is never accepted again.
#include <QString>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

// Today's guidance for PBKDF2-HMAC-SHA256.
inline constexpr int PasswordIterations = 600'000;
// Hashes stored without an iteration count were made with this many.
inline constexpr int LegacyPasswordIterations = 20'000;

struct PasswordRecord {
    QString salt; // hex
    QString hash; // "pbkdf2-sha256:<iterations>:<hex>", or bare hex (legacy)
};

// Test seam: the iteration count of new hashes and of the dummy check (PasswordIterations unless
// a test lowers it, so that sign-ups and seeded logins stay fast). Values below 1 are ignored.
void SetPasswordIterationsForTesting(int iterations);
int CurrentPasswordIterations();
// The PBKDF2 iterations run by this process so far (tests compare the cost of two checks).
std::uint64_t PasswordIterationsRun();

PasswordRecord HashNewPassword(const QString& password);
bool PasswordMatches(const QString& password, const QString& salt, const QString& hash);
// True when the stored hash was made with fewer iterations than new hashes get.
bool PasswordNeedsRehash(const QString& hash);
// Costs what checking a password against a stored hash of today's strength costs, and matches
// nothing: run for a user name that does not exist, so that its answer comes no sooner.
void RunDummyPasswordCheck(const QString& password);

class CredentialCache {
public:
    // True when `password` was verified before for `userId` while the stored hash was `hash`.
    bool isKnown(int userId, const QString& password, const QString& salt, const QString& hash);
    // Remembers a verified password for the stored hash it matched.
    void remember(int userId, const QString& password, const QString& salt, const QString& hash);

private:
    std::string keyOf(int userId, const QString& password, const QString& salt) const;

    std::mutex m_mutex;
    std::unordered_map<std::string, std::string> m_verified; // user + keyed password digest -> stored hash
};
