#include "server/PasswordHash.h"

#include <QByteArray>
#include <QMessageAuthenticationCode>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <atomic>
#include <stdexcept>

namespace {

constexpr int HashBytes = 32;
const QString Scheme = QStringLiteral("pbkdf2-sha256");

std::atomic<int> g_iterations{PasswordIterations};
std::atomic<std::uint64_t> g_iterationsRun{0};

QByteArray randomBytes(int count) {
    QByteArray bytes(count, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), count) != 1)
        throw std::runtime_error("RAND_bytes failed");
    return bytes;
}

QByteArray pbkdf2(const QString& password, const QByteArray& salt, int iterations) {
    const QByteArray secret = password.toUtf8();
    QByteArray out(HashBytes, '\0');
    g_iterationsRun += std::uint64_t(iterations);
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), iterations,
                          EVP_sha256(), HashBytes, reinterpret_cast<unsigned char*>(out.data())) != 1)
        throw std::runtime_error("PBKDF2 failed");
    return out;
}

struct ParsedHash {
    int iterations = 0; // 0: not a hash this server made
    QByteArray digest;
};

ParsedHash parse(const QString& stored) {
    const QStringList parts = stored.split(u':');
    if (parts.size() == 1) return {LegacyPasswordIterations, QByteArray::fromHex(stored.toLatin1())};
    bool ok = false;
    const int iterations = parts.size() == 3 && parts.at(0) == Scheme ? parts.at(1).toInt(&ok) : 0;
    if (!ok || iterations < 1) return {};
    return {iterations, QByteArray::fromHex(parts.at(2).toLatin1())};
}

// The key that turns a password into a cache key: random per process, so that the cache holds no
// digest of a password that could be tested against guesses outside this process.
const QByteArray& cacheKey() {
    static const QByteArray key = randomBytes(32);
    return key;
}

} // namespace

void SetPasswordIterationsForTesting(int iterations) {
    if (iterations >= 1) g_iterations = iterations;
}

int CurrentPasswordIterations() { return g_iterations; }

std::uint64_t PasswordIterationsRun() { return g_iterationsRun; }

PasswordRecord HashNewPassword(const QString& password) {
    const QByteArray salt = randomBytes(16);
    const int iterations = CurrentPasswordIterations();
    return {QString::fromLatin1(salt.toHex()),
            QStringLiteral("%1:%2:%3")
                .arg(Scheme)
                .arg(iterations)
                .arg(QString::fromLatin1(pbkdf2(password, salt, iterations).toHex()))};
}

bool PasswordMatches(const QString& password, const QString& salt, const QString& hash) {
    const ParsedHash expected = parse(hash);
    if (expected.iterations == 0 || expected.digest.size() != HashBytes) {
        RunDummyPasswordCheck(password);
        return false;
    }
    const QByteArray actual = pbkdf2(password, QByteArray::fromHex(salt.toLatin1()), expected.iterations);
    return CRYPTO_memcmp(expected.digest.constData(), actual.constData(), size_t(actual.size())) == 0;
}

bool PasswordNeedsRehash(const QString& hash) { return parse(hash).iterations < CurrentPasswordIterations(); }

void RunDummyPasswordCheck(const QString& password) {
    static const QByteArray salt = randomBytes(16);
    pbkdf2(password, salt, CurrentPasswordIterations());
}

std::string CredentialCache::keyOf(int userId, const QString& password, const QString& salt) const {
    const QByteArray digest = QMessageAuthenticationCode::hash(salt.toLatin1() + '\0' + password.toUtf8(), cacheKey(),
                                                               QCryptographicHash::Sha256);
    return std::to_string(userId) + ':' + digest.toHex().toStdString();
}

bool CredentialCache::isKnown(int userId, const QString& password, const QString& salt, const QString& hash) {
    const std::string key = keyOf(userId, password, salt);
    std::lock_guard lock(m_mutex);
    const auto it = m_verified.find(key);
    return it != m_verified.end() && it->second == hash.toStdString();
}

void CredentialCache::remember(int userId, const QString& password, const QString& salt, const QString& hash) {
    const std::string key = keyOf(userId, password, salt);
    std::lock_guard lock(m_mutex);
    if (m_verified.size() > 10000) m_verified.clear();
    m_verified[key] = hash.toStdString();
}
