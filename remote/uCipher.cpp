#include "remote/uCipher.h"

#include "remote/uErrors.h"

#include <QBuffer>
#include <QIODevice>
#include <QStringDecoder>
#include <mutex>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <stdexcept>

namespace {

// DES lives in OpenSSL's legacy provider. The cipher is fetched once per process: the first fetch
// loads the provider, which costs far more than enciphering a request. The provider is loaded into a
// library context of its own, with nothing else: the default provider (every other algorithm) is
// not needed for DES, and activating it would bring most of the library into memory.
const EVP_CIPHER* desEcb() {
    static const EVP_CIPHER* cipher = [] {
        OSSL_LIB_CTX* context = OSSL_LIB_CTX_new();
        if (!context || !OSSL_PROVIDER_load(context, "legacy")) return static_cast<EVP_CIPHER*>(nullptr);
        return EVP_CIPHER_fetch(context, "DES-ECB", nullptr);
    }();
    if (!cipher) throw std::runtime_error("DES-ECB is not available from OpenSSL's legacy provider");
    return cipher;
}

// Runs DES-ECB over `data` (already a multiple of 8 bytes), padding off.
QByteArray runDes(const QByteArray& data, const QByteArray& key8, bool encipher) {
    QByteArray out(data.size() + 8, '\0');
    if (data.isEmpty()) return {};
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    if (!ctx) throw std::runtime_error("EVP_CIPHER_CTX_new failed");
    int len = 0, fin = 0;
    const bool ok = EVP_CipherInit_ex2(ctx, desEcb(), reinterpret_cast<const unsigned char*>(key8.constData()), nullptr,
                                       encipher ? 1 : 0, nullptr) == 1 &&
                    EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
                    EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &len,
                                     reinterpret_cast<const unsigned char*>(data.constData()), int(data.size())) == 1 &&
                    EVP_CipherFinal_ex(ctx, reinterpret_cast<unsigned char*>(out.data()) + len, &fin) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok) throw std::runtime_error("DES-ECB failed");
    out.truncate(len + fin);
    return out;
}

QByteArray zeroFilled(QByteArray bytes) {
    const qsizetype rest = bytes.size() % 8;
    if (rest) bytes.append(8 - rest, '\0');
    return bytes;
}

void checkStreams(QIODevice* in, QIODevice* out, const QByteArray& key8) {
    if (!in) throw std::invalid_argument("Error: InStream is nil.");
    if (!out) throw std::invalid_argument("Error: OutStream is nil.");
    // OpenSSL reads exactly 8 key bytes; a shorter array would be read past its end.
    if (key8.size() != 8) throw std::invalid_argument("Error: a DES key has 8 bytes.");
}

QByteArray utf16le(const QString& text) {
    QByteArray bytes(text.size() * 2, '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        bytes[2 * i] = char(c & 0xFF);
        bytes[2 * i + 1] = char(c >> 8);
    }
    return bytes;
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    return -1;
}

} // namespace

QByteArray DesKeyFromText(const QString& keyText) {
    QByteArray key = utf16le(keyText.left(4));
    key.append(8 - key.size(), '\0');
    return key;
}

void EncipherStreamRawKey(QIODevice* in, QIODevice* out, const QByteArray& key8) {
    checkStreams(in, out, key8);
    const QByteArray plain = in->readAll();
    if (plain.isEmpty()) return;
    out->write(runDes(zeroFilled(plain), key8, true));
}

void DecipherStreamRawKey(QIODevice* in, QIODevice* out, const QByteArray& key8) {
    checkStreams(in, out, key8);
    const QByteArray cipher = in->readAll();
    if (cipher.isEmpty()) return;
    QByteArray plain = runDes(zeroFilled(cipher), key8, false);
    // Keep exactly one of the trailing zero bytes: it is either the high byte of the last UTF-16
    // character or an odd byte that decoding ignores.
    qsizetype end = plain.size();
    while (end > 0 && plain.at(end - 1) == '\0') --end;
    if (end < plain.size()) plain.truncate(end + 1);
    out->write(plain);
}

void EncipherStream(QIODevice* in, QIODevice* out, const QString& keyText) {
    EncipherStreamRawKey(in, out, DesKeyFromText(keyText));
}

void DecipherStream(QIODevice* in, QIODevice* out, const QString& keyText) {
    DecipherStreamRawKey(in, out, DesKeyFromText(keyText));
}

QByteArray EncipherToBytes(const QString& text, const QString& keyText) {
    QByteArray plain = utf16le(text);
    QBuffer in(&plain);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    EncipherStream(&in, &out, keyText);
    return result;
}

QString DecipherToText(const QByteArray& cipher, const QString& keyText) {
    QByteArray input = cipher;
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    QByteArray plain;
    QBuffer out(&plain);
    out.open(QIODevice::WriteOnly);
    DecipherStream(&in, &out, keyText);
    out.close();
    plain.truncate(plain.size() - plain.size() % 2); // an odd final byte is ignored
    QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(plain);
    if (decoder.hasError()) return {};
    return text;
}

QString BytesToHexText(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

QByteArray HexTextToBytes(const QString& hex) {
    const qsizetype length = hex.size();
    QByteArray bytes((length + 1) / 2, '\0');
    for (qsizetype i = 0; 2 * i + 1 < length; ++i) {
        const int high = hexValue(hex.at(2 * i));
        const int low = hexValue(hex.at(2 * i + 1));
        if (high < 0 || low < 0) throw EReadError(QStringLiteral("\"%1\" 不是有效的十六进制数").arg(hex.mid(2 * i, 2)));
        bytes[i] = char(high * 16 + low);
    }
    return bytes;
}

QString EncipherToHex(const QString& text, const QString& keyText) {
    return BytesToHexText(EncipherToBytes(text, keyText));
}

QString DecipherFromHex(const QString& hex, const QString& keyText) {
    return DecipherToText(HexTextToBytes(hex), keyText);
}
