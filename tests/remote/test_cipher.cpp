// Payload cipher: DES known answers through the stream operations, the UTF-16LE text round trip,
// key derivation, the hexadecimal form and the decipher trim.
#include "remote/uCipher.h"
#include "remote/uErrors.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTest>
#include <stdexcept>

namespace {

QByteArray hex(const char* digits) { return QByteArray::fromHex(digits); }

QByteArray encipherRaw(const QByteArray& plain, const QByteArray& key8) {
    QByteArray input = plain;
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    QByteArray output;
    QBuffer out(&output);
    out.open(QIODevice::WriteOnly);
    EncipherStreamRawKey(&in, &out, key8);
    return output;
}

QByteArray decipherRaw(const QByteArray& cipher, const QByteArray& key8) {
    QByteArray input = cipher;
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    QByteArray output;
    QBuffer out(&output);
    out.open(QIODevice::WriteOnly);
    DecipherStreamRawKey(&in, &out, key8);
    return output;
}

QString streamError(void (*operation)(QIODevice*, QIODevice*, const QString&), QIODevice* in, QIODevice* out) {
    try {
        operation(in, out, ChannelKey);
    } catch (const std::invalid_argument& e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("<no exception>");
}

} // namespace

class TestCipher : public QObject {
    Q_OBJECT

private slots:
    void knownAnswers_data();
    void knownAnswers();
    void multiBlockVectorBlockByBlock();
    void rawKeyOfWrongLengthIsRefused();

    void roundTrip_data();
    void roundTrip();
    void cipherTextIsUpperCaseAndLowerCaseIsAccepted();
    void keyDerivation();
    void keyTextsAgreeingInFirstFourCharactersGiveSameCipher();
    void textPathMatchesRawBlocks();

    void hexTextToBytes_data();
    void hexTextToBytes();
    void nonHexPairThrows_data();
    void nonHexPairThrows();

    void decipherTrimKeepsOneZeroByte_data();
    void decipherTrimKeepsOneZeroByte();
    void streamsReadFromPositionAndAppend();
    void nullStreamsThrow();
};

// Single blocks from the published DES validation material (FIPS 81 / SP 800-17 and the classic
// textbook example). The key bytes go in as given: parity bits are not adjusted.
void TestCipher::knownAnswers_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("Now is t") << hex("0123456789ABCDEF") << hex("4E6F772069732074") << hex("3FA40E8A984D4815");
    QTest::newRow("textbook 133457799BBCDFF1")
        << hex("133457799BBCDFF1") << hex("0123456789ABCDEF") << hex("85E813540F0AB405");
    QTest::newRow("zero result") << hex("0E329232EA6D0D73") << hex("8787878787878787") << hex("0000000000000000");
    QTest::newRow("variable plaintext 80..")
        << hex("0101010101010101") << hex("8000000000000000") << hex("95F8A5E5DD31D900");
    QTest::newRow("variable plaintext 40..")
        << hex("0101010101010101") << hex("4000000000000000") << hex("DD7F121CA5015619");
    QTest::newRow("variable plaintext 20..")
        << hex("0101010101010101") << hex("2000000000000000") << hex("2E8653104F3834EA");
    QTest::newRow("variable key 80..") << hex("8001010101010101") << hex("0000000000000000") << hex("95A8D72813DAA94D");
    QTest::newRow("variable key 40..") << hex("4001010101010101") << hex("0000000000000000") << hex("0EEC1487DD8C26D5");
    // Parity bits are ignored: the all-zero key acts as 0101010101010101.
    QTest::newRow("parity ignored 0101..")
        << hex("0101010101010101") << hex("0000000000000000") << hex("8CA64DE9C1B123A7");
    QTest::newRow("parity ignored 0000..")
        << hex("0000000000000000") << hex("0000000000000000") << hex("8CA64DE9C1B123A7");
}

void TestCipher::knownAnswers() {
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QCOMPARE(encipherRaw(plain, key).toHex().toUpper(), cipher.toHex().toUpper());
    // Deciphering trims the trailing zero bytes down to one, so compare with the trimmed plaintext.
    QByteArray trimmed = plain;
    while (trimmed.size() > 1 && trimmed.endsWith('\0') && trimmed.at(trimmed.size() - 2) == '\0') trimmed.chop(1);
    QCOMPARE(decipherRaw(cipher, key).toHex().toUpper(), trimmed.toHex().toUpper());
}

// ECB: the three blocks of "Now is the time for all " encipher independently of each other.
void TestCipher::multiBlockVectorBlockByBlock() {
    const QByteArray key = hex("0123456789ABCDEF");
    const QByteArray plain("Now is the time for all ");
    const QByteArray expected = hex("3FA40E8A984D4815"
                                    "6A271787AB8883F9"
                                    "893D51EC4B563B53");
    QCOMPARE(encipherRaw(plain, key).toHex().toUpper(), expected.toHex().toUpper());
    for (int block = 0; block < 3; ++block)
        QCOMPARE(encipherRaw(plain.mid(8 * block, 8), key), expected.mid(8 * block, 8));
    QCOMPARE(decipherRaw(expected, key), plain);
    // A partial last block is completed with zero bytes: the first 20 bytes give the first two blocks
    // unchanged and a third block that is the cipher of "for " followed by four zero bytes.
    const QByteArray partial = encipherRaw(plain.left(20), key);
    QCOMPARE(partial.size(), 24);
    QCOMPARE(partial.left(16), expected.left(16));
    QCOMPARE(partial.mid(16), encipherRaw(plain.mid(16, 4) + QByteArray(4, '\0'), key));
}

void TestCipher::rawKeyOfWrongLengthIsRefused() {
    for (const QByteArray& key : {QByteArray(), hex("01234567"), hex("0123456789ABCDEF01")}) {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, encipherRaw("abcdefgh", key));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, decipherRaw(hex("3FA40E8A984D4815"), key));
    }
}

void TestCipher::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("one ASCII") << QStringLiteral("a");
    QTest::newRow("4 characters, 8 bytes") << QStringLiteral("abcd");
    QTest::newRow("5 characters") << QStringLiteral("abcde");
    QTest::newRow("8 characters ending in ASCII") << QStringLiteral("12345678");
    QTest::newRow("ends in Chinese") << QStringLiteral("红色连衣裙");
    QTest::newRow("4 Chinese, 8 bytes") << QStringLiteral("任务大厅");
    QTest::newRow("U+4E00 alone") << QStringLiteral("\u4E00");
    QTest::newRow("ends in U+4E00, 8 bytes") << QStringLiteral("abc\u4E00");
    QTest::newRow("ends in U+4E00, 10 bytes") << QStringLiteral("abcd\u4E00");
    QTest::newRow("ends in U+0100") << QStringLiteral("xy\u0100");
    QTest::newRow("ends in ideographic space") << QStringLiteral("中\u3000");
    QTest::newRow("ends in Latin-1") << QStringLiteral("caf\u00E9");
    QTest::newRow("ends in space") << QStringLiteral("a ");
    QTest::newRow("inner U+0000") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    QTest::newRow("surrogate pair at end") << QStringLiteral("ok\U0001F600");
    QTest::newRow("comma text") << QStringLiteral("clientversion=1.0.0.0,\"goodskeyword=red dress\",taskid=任务一");
    QTest::newRow("JSON") << QStringLiteral(R"({"returncode":1,"returnmsg":"成功"})");
}

void TestCipher::roundTrip() {
    QFETCH(QString, text);
    const QString cipher = EncipherToHex(text, ChannelKey);
    QCOMPARE(cipher.size(), 16 * ((text.size() + 3) / 4));
    QCOMPARE(DecipherFromHex(cipher, ChannelKey), text);
    QCOMPARE(DecipherToText(EncipherToBytes(text, ChannelKey), ChannelKey), text);
}

void TestCipher::cipherTextIsUpperCaseAndLowerCaseIsAccepted() {
    const QString text = QStringLiteral("taskid=12345,商品=连衣裙");
    const QString cipher = EncipherToHex(text, ChannelKey);
    static const QRegularExpression upperHex(QStringLiteral("^[0-9A-F]+$"));
    QVERIFY(upperHex.match(cipher).hasMatch());
    QVERIFY(cipher != cipher.toLower()); // it does hold letters, so the case check means something
    QCOMPARE(DecipherFromHex(cipher.toLower(), ChannelKey), text);
    QCOMPARE(BytesToHexText(hex("00ab10ff")), QStringLiteral("00AB10FF"));
    QCOMPARE(EncipherToHex(QString(), ChannelKey), QString());
    QCOMPARE(DecipherFromHex(QString(), ChannelKey), QString());
}

void TestCipher::keyDerivation() {
    QCOMPARE(DesKeyFromText(ChannelKey), hex("7A00780038003300"));
    QCOMPARE(DesKeyFromText(QStringLiteral("ab")), hex("6100620000000000"));
    QCOMPARE(DesKeyFromText(QString()), hex("0000000000000000"));
    QCOMPARE(DesKeyFromText(QStringLiteral("密钥")), hex("C65BA59400000000"));
}

void TestCipher::keyTextsAgreeingInFirstFourCharactersGiveSameCipher() {
    const QString text = QStringLiteral("head_command=16,head_clienttype=2");
    QCOMPARE(EncipherToHex(text, QStringLiteral("zx83")), EncipherToHex(text, ChannelKey));
    QCOMPARE(EncipherToHex(text, QStringLiteral("zx83anything")), EncipherToHex(text, ChannelKey));
    QVERIFY(EncipherToHex(text, QStringLiteral("zx84")) != EncipherToHex(text, ChannelKey));
    // A short key text is zero-filled: "ab" is the same key as "ab" followed by two U+0000.
    QCOMPARE(EncipherToHex(text, QStringLiteral("ab")),
             EncipherToHex(text, QStringLiteral("ab") + QChar(0) + QChar(0)));
    QCOMPARE(DecipherFromHex(EncipherToHex(text, QStringLiteral("ab")), QStringLiteral("ab")), text);
}

// The text operations are the raw block cipher over UTF-16LE bytes, zero-filled to whole blocks.
void TestCipher::textPathMatchesRawBlocks() {
    const QByteArray channelKey = hex("7A00780038003300");
    QCOMPARE(EncipherToBytes(QStringLiteral("AB"), ChannelKey), encipherRaw(hex("4100420000000000"), channelKey));
    QCOMPARE(EncipherToBytes(QStringLiteral("一二三四五"), ChannelKey),
             encipherRaw(hex("004E8C4E094EDB56944E000000000000"), channelKey));
}

void TestCipher::hexTextToBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("upper") << QStringLiteral("00AB7F") << hex("00AB7F");
    QTest::newRow("lower and mixed") << QStringLiteral("abCdEf") << hex("ABCDEF");
    // Odd length: one more byte, left zero; the lone last digit is not read at all.
    QTest::newRow("odd length") << QStringLiteral("ABC") << hex("AB00");
    QTest::newRow("odd length, lone non-hex digit") << QStringLiteral("ABZ") << hex("AB00");
    QTest::newRow("one digit") << QStringLiteral("F") << hex("00");
}

void TestCipher::hexTextToBytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(HexTextToBytes(text), bytes);
}

void TestCipher::nonHexPairThrows_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << QStringLiteral("GG");
    QTest::newRow("second pair") << QStringLiteral("00zz");
    QTest::newRow("prefix") << QStringLiteral("0x12");
    QTest::newRow("blank") << QStringLiteral("1 ");
    QTest::newRow("sign") << QStringLiteral("-1");
    QTest::newRow("Chinese") << QStringLiteral("中文");
    QTest::newRow("full-width digits") << QStringLiteral("\uFF11\uFF12");
}

void TestCipher::nonHexPairThrows() {
    QFETCH(QString, text);
    QVERIFY_THROWS_EXCEPTION(EReadError, HexTextToBytes(text));
    QVERIFY_THROWS_EXCEPTION(EReadError, DecipherFromHex(text, ChannelKey));
}

// Deciphering keeps exactly one of the trailing zero bytes of what it wrote.
void TestCipher::decipherTrimKeepsOneZeroByte_data() {
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("deciphered");
    QTest::newRow("no trailing zero") << hex("4142434445464748") << hex("4142434445464748");
    QTest::newRow("one trailing zero") << hex("41424344454647") + QByteArray(1, '\0')
                                       << hex("41424344454647") + QByteArray(1, '\0');
    QTest::newRow("ASCII text, padded") << hex("4100") << hex("4100");
    QTest::newRow("odd bytes, padded") << hex("4142") << hex("414200");
    QTest::newRow("all zero block") << QByteArray(8, '\0') << QByteArray(1, '\0');
    QTest::newRow("zeros inside stay") << hex("0000410000000000"
                                              "0042")
                                       << hex("0000410000000000"
                                              "004200");
}

void TestCipher::decipherTrimKeepsOneZeroByte() {
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, deciphered);
    const QByteArray key = DesKeyFromText(ChannelKey);
    QCOMPARE(decipherRaw(encipherRaw(plain, key), key).toHex(), deciphered.toHex());
}

// The input is read from its current position; the output is written at its position, and the trim
// never reaches into what the output held before.
void TestCipher::streamsReadFromPositionAndAppend() {
    const QByteArray key = DesKeyFromText(ChannelKey);
    QByteArray source = QByteArray("skipthis") + hex("4100420043004400");
    QBuffer in(&source);
    in.open(QIODevice::ReadOnly);
    in.seek(8);
    QByteArray cipher;
    QBuffer cipherOut(&cipher);
    cipherOut.open(QIODevice::WriteOnly);
    EncipherStream(&in, &cipherOut, ChannelKey);
    QCOMPARE(cipher, encipherRaw(hex("4100420043004400"), key));

    // Empty input writes nothing.
    QByteArray nothing;
    QBuffer emptyIn(&nothing);
    emptyIn.open(QIODevice::ReadOnly);
    QByteArray untouched("keep");
    QBuffer keepOut(&untouched);
    keepOut.open(QIODevice::ReadWrite | QIODevice::Append);
    EncipherStream(&emptyIn, &keepOut, ChannelKey);
    DecipherStream(&emptyIn, &keepOut, ChannelKey);
    QCOMPARE(untouched, QByteArray("keep"));

    // Deciphering an all-zero block after three zero bytes already in the output: one zero is added.
    QByteArray zeroCipher = encipherRaw(QByteArray(8, '\0'), key);
    QBuffer zeroIn(&zeroCipher);
    zeroIn.open(QIODevice::ReadOnly);
    QByteArray target(3, '\0');
    QBuffer targetOut(&target);
    targetOut.open(QIODevice::ReadWrite | QIODevice::Append);
    DecipherStream(&zeroIn, &targetOut, ChannelKey);
    QCOMPARE(target, QByteArray(4, '\0'));
}

void TestCipher::nullStreamsThrow() {
    QByteArray bytes("abcdefgh");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    const QString inNil = QStringLiteral("Error: InStream is nil.");
    const QString outNil = QStringLiteral("Error: OutStream is nil.");
    QCOMPARE(streamError(EncipherStream, nullptr, &buffer), inNil);
    QCOMPARE(streamError(EncipherStream, &buffer, nullptr), outNil);
    QCOMPARE(streamError(EncipherStream, nullptr, nullptr), inNil);
    QCOMPARE(streamError(DecipherStream, nullptr, &buffer), inNil);
    QCOMPARE(streamError(DecipherStream, &buffer, nullptr), outNil);
    QCOMPARE(bytes, QByteArray("abcdefgh"));
}

QTEST_GUILESS_MAIN(TestCipher)
#include "test_cipher.moc"
