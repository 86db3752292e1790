#include "server/uPasswordHash.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <stdexcept>

namespace {

constexpr int Iterations = 20000;
constexpr int HashBytes = 32;

QByteArray pbkdf2(const QString& password, const QByteArray& salt) {
    const QByteArray secret = password.toUtf8();
    QByteArray out(HashBytes, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                          reinterpret_cast<const unsigned char*>(salt.constData()), int(salt.size()), Iterations,
                          EVP_sha256(), HashBytes, reinterpret_cast<unsigned char*>(out.data())) != 1)
        throw std::runtime_error("PBKDF2 failed");
    return out;
}

} // namespace

TPasswordRecord HashNewPassword(const QString& password) {
    QByteArray salt(16, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), int(salt.size())) != 1)
        throw std::runtime_error("RAND_bytes failed");
    return {QString::fromLatin1(salt.toHex()), QString::fromLatin1(pbkdf2(password, salt).toHex())};
}

bool PasswordMatches(const QString& password, const QString& salt, const QString& hash) {
    const QByteArray expected = QByteArray::fromHex(hash.toLatin1());
    const QByteArray actual = pbkdf2(password, QByteArray::fromHex(salt.toLatin1()));
    return expected.size() == actual.size() &&
           CRYPTO_memcmp(expected.constData(), actual.constData(), size_t(actual.size())) == 0;
}

bool TCredentialCache::check(int userId, const QString& password, const QString& salt, const QString& hash) {
    const QByteArray digest = QCryptographicHash::hash(salt.toLatin1() + password.toUtf8(), QCryptographicHash::Sha256);
    const std::string key = std::to_string(userId) + ':' + digest.toHex().toStdString();
    const std::string stored = hash.toStdString();
    {
        std::lock_guard lock(FMutex);
        const auto it = FVerified.find(key);
        if (it != FVerified.end() && it->second == stored) return true;
    }
    if (!PasswordMatches(password, salt, hash)) return false;
    std::lock_guard lock(FMutex);
    if (FVerified.size() > 10000) FVerified.clear();
    FVerified[key] = stored;
    return true;
}
