// Benchmark of the request channel's costs, run by hand:
//   bench_channel [samples]
// First, the payload cipher (EncipherToHex and DecipherFromHex of a typical data list)
// against the bare DES-ECB of the same bytes through OpenSSL's EVP interface, printing median and
// 90th percentile per operation in microseconds and the ratio between the two.
// Then one command through ExecRemoteProc, wait dialog included, against a bare libcurl
// POST of the same body to the same loopback server.
#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"
#include "remote/uHttpClient.h"
#include "remote/uReply.h"
#include "tests/support/ScriptedServer.h"
#include "widgets/ufrmWaitForProcessDone.h"

#include <QApplication>
#include <curl/curl.h>

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <openssl/evp.h>
#include <openssl/provider.h>
#include <stdexcept>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Operations are timed in batches so that the clock's own cost stays negligible.
constexpr int BatchSize = 10;

struct Figures {
    double median = 0;
    double p90 = 0;
};

Figures measure(int samples, const std::function<void()>& operation) {
    for (int i = 0; i < 200; ++i) operation(); // warm caches and the lazily fetched cipher
    std::vector<double> perOperation;
    perOperation.reserve(std::size_t(samples));
    for (int s = 0; s < samples; ++s) {
        const auto start = Clock::now();
        for (int i = 0; i < BatchSize; ++i) operation();
        const std::chrono::duration<double, std::micro> elapsed = Clock::now() - start;
        perOperation.push_back(elapsed.count() / BatchSize);
    }
    std::sort(perOperation.begin(), perOperation.end());
    const auto at = [&](double q) { return perOperation[std::size_t(q * double(perOperation.size() - 1))]; };
    return {at(0.5), at(0.9)};
}

// A publish-task data list as the screen builds it, mixed Chinese and ASCII, brought to exactly
// 300 characters of comma text by the length of its review text.
QString typicalDataList() {
    const auto build = [](const QString& replyMessage) {
        return CommaText(
            BuildDataList(cmPublishTask,
                          {10086, QStringLiteral("tb_小号_2016"), QStringLiteral("旗舰店店主 zhang"),
                           QStringLiteral("12.5"), QStringLiteral("2016夏季新款 红色连衣裙 女 修身显瘦"), replyMessage,
                           QStringLiteral("请先浏览店铺3分钟以上，货比三家后再下单; 收到货后按要求好评, thanks!"), 1}));
    };
    QString reply = QStringLiteral("质量很好，做工精细，颜色和图片一样，very good 五星好评！");
    while (build(reply).size() < 300) reply += QStringLiteral("好a");
    QString text = build(reply);
    while (text.size() > 300) {
        reply.chop(1);
        text = build(reply);
    }
    if (text.size() != 300) throw std::logic_error("could not build a 300-character data list");
    return text;
}

QByteArray utf16leZeroFilled(const QString& text) {
    QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the raw reference assumes a little-endian host");
    if (const qsizetype rest = bytes.size() % 8) bytes.append(8 - rest, '\0');
    return bytes;
}

// Bare DES-ECB through EVP: the cipher fetched once, one context reused, the key set per operation
// (the channel sets it per call as well), padding off.
class RawDes {
public:
    RawDes() {
        OSSL_PROVIDER_load(nullptr, "legacy");
        OSSL_PROVIDER_load(nullptr, "default");
        cipher_ = EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr);
        ctx_ = EVP_CIPHER_CTX_new();
        if (!cipher_ || !ctx_) throw std::runtime_error("DES-ECB is not available");
    }
    ~RawDes() {
        EVP_CIPHER_CTX_free(ctx_);
        EVP_CIPHER_free(cipher_);
    }
    RawDes(const RawDes&) = delete;
    RawDes& operator=(const RawDes&) = delete;

    void run(const QByteArray& in, QByteArray& out, const QByteArray& key8, bool encipher) {
        out.resize(in.size() + 8);
        int len = 0, fin = 0;
        const auto* key = reinterpret_cast<const unsigned char*>(key8.constData());
        auto* to = reinterpret_cast<unsigned char*>(out.data());
        if (EVP_CipherInit_ex2(ctx_, cipher_, key, nullptr, encipher ? 1 : 0, nullptr) != 1 ||
            EVP_CIPHER_CTX_set_padding(ctx_, 0) != 1 ||
            EVP_CipherUpdate(ctx_, to, &len, reinterpret_cast<const unsigned char*>(in.constData()), int(in.size())) !=
                1 ||
            EVP_CipherFinal_ex(ctx_, to + len, &fin) != 1)
            throw std::runtime_error("DES-ECB failed");
        out.resize(len + fin);
    }

private:
    EVP_CIPHER* cipher_ = nullptr;
    EVP_CIPHER_CTX* ctx_ = nullptr;
};

void print(const char* name, const Figures& f) {
    std::printf("  %-34s median %8.2f us   p90 %8.2f us\n", name, f.median, f.p90);
}

void measureCipher(int samples) {
    const QString text = typicalDataList();
    const QString hex = EncipherToHex(text, ChannelKey);
    if (DecipherFromHex(hex, ChannelKey) != text) throw std::logic_error("cipher round trip failed");

    const QByteArray key8 = DesKeyFromText(ChannelKey);
    const QByteArray plain = utf16leZeroFilled(text);
    RawDes raw;
    QByteArray rawCipher;
    raw.run(plain, rawCipher, key8, true);
    if (BytesToHexText(rawCipher) != hex) throw std::logic_error("raw DES and the payload cipher disagree");

    std::printf("Payload cipher, %lld characters (%lld bytes, %lld blocks), %d samples of %d operations\n",
                static_cast<long long>(text.size()), static_cast<long long>(plain.size()),
                static_cast<long long>(plain.size() / 8), samples, BatchSize);

    volatile qsizetype sink = 0;
    const Figures encipher = measure(samples, [&] { sink = sink + EncipherToHex(text, ChannelKey).size(); });
    const Figures decipher = measure(samples, [&] { sink = sink + DecipherFromHex(hex, ChannelKey).size(); });
    QByteArray out;
    const Figures rawEncipher = measure(samples, [&] {
        raw.run(plain, out, key8, true);
        sink = sink + out.size();
    });
    const Figures rawDecipher = measure(samples, [&] {
        raw.run(rawCipher, out, key8, false);
        sink = sink + out.size();
    });

    print("EncipherToHex", encipher);
    print("DecipherFromHex", decipher);
    print("raw DES-ECB encipher (EVP)", rawEncipher);
    print("raw DES-ECB decipher (EVP)", rawDecipher);
    std::printf("  ratio to raw DES (median): encipher %.2fx, decipher %.2fx, both %.2fx\n",
                encipher.median / rawEncipher.median, decipher.median / rawDecipher.median,
                (encipher.median + decipher.median) / (rawEncipher.median + rawDecipher.median));
}

// One command through ExecRemoteProc (head and data lists enciphered, POST on a worker thread,
// wait dialog shown and closed, offscreen) against a bare libcurl POST of the same body to the same
// loopback server, which answers every request at once with the same enciphered reply.
size_t discardBody(char*, size_t size, size_t count, void*) { return size * count; }

void measureChannelRoundTrip(int samples) {
    samples = std::clamp(samples / 10, 20, 200); // each sample is a batch of round trips
    ScriptedServer server;
    server.setDefault(ScriptedReply::json(
        {{"returncode", 1}, {"returnmsg", "ok"}, {"totalnum", 0}, {"msgbody", nlohmann::json::array()}}));
    const ChannelSettings settings = server.settings(60000);
    const QStringList data = BuildDataList(cmGetTaskCenterList, {1, 0});

    QStringList sampleHead = BuildHeadList(cmGetTaskCenterList);
    sampleHead << QStringLiteral("head_clienttype=2") << QStringLiteral("head_username=demo1")
               << QStringLiteral("head_password=demo123");
    const std::string body = "head=" + EncipherToHex(CommaText(sampleHead), ChannelKey).toStdString() +
                             "&data=" + EncipherToHex(CommaText(data), ChannelKey).toStdString();
    const std::string url = HostUrl(settings).toStdString() + "rest";

    const Figures bare = measure(samples, [&] {
        CURL* curl = curl_easy_init();
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discardBody);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        if (curl_easy_perform(curl) != CURLE_OK) throw std::runtime_error("bare POST failed");
        curl_easy_cleanup(curl);
    });
    const Figures channel = measure(samples, [&] {
        QStringList head = BuildHeadList(cmGetTaskCenterList);
        QByteArray reply;
        QString error;
        if (!ExecRemoteProc(nullptr, &head, &data, &reply, error, 2, QStringLiteral("demo1"), QStringLiteral("demo123"),
                            ShowWaitDialog, settings))
            throw std::runtime_error(error.toStdString());
        ParseReply(reply);
    });
    std::printf("Channel round trip on loopback (%d batches of %d calls):\n", samples, BatchSize);
    print("bare libcurl POST", bare);
    print("ExecRemoteProc + ParseReply (wait dialog)", channel);
    std::printf("  difference of the medians: %.0f us\n", channel.median - bare.median);
}

} // namespace

int main(int argc, char** argv) {
    const int samples = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (samples < 10) {
        std::fprintf(stderr, "usage: bench_channel [samples >= 10]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        measureCipher(samples);
        measureChannelRoundTrip(samples);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_channel: %s\n", e.what());
        return 1;
    }
    return 0;
}
