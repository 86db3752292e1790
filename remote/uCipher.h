#pragma once
// Payload cipher: DES-ECB under a key derived from a key text, zero-filled blocks, upper-case hex.
// Both sides of the wire use exactly this construction.
#include <QByteArray>
#include <QString>

class QIODevice;

// The channel key every request and reply is enciphered with.
inline const QString ChannelKey = QStringLiteral("zx836205971zx");

// The 8 key bytes: the key text as UTF-16LE, zero-filled to 8 bytes, first 8 bytes taken.
QByteArray DesKeyFromText(const QString& keyText);

// Stream operations: read `in` from its current position to its end, write the result to `out`.
// A null stream throws std::invalid_argument with "Error: InStream is nil." / "Error: OutStream is nil.".
void EncipherStream(QIODevice* in, QIODevice* out, const QString& keyText);
void DecipherStream(QIODevice* in, QIODevice* out, const QString& keyText);
// The same with the 8 DES key bytes given directly (known-answer tests, benchmarks); a key of
// another length throws std::invalid_argument.
void EncipherStreamRawKey(QIODevice* in, QIODevice* out, const QByteArray& key8);
void DecipherStreamRawKey(QIODevice* in, QIODevice* out, const QByteArray& key8);

QByteArray EncipherToBytes(const QString& text, const QString& keyText);
QString DecipherToText(const QByteArray& cipher, const QString& keyText);
QString BytesToHexText(const QByteArray& bytes);
// Throws EReadError on a character pair that is not hexadecimal; an odd final digit is not read.
QByteArray HexTextToBytes(const QString& hex);
QString EncipherToHex(const QString& text, const QString& keyText);
QString DecipherFromHex(const QString& hex, const QString& keyText);
