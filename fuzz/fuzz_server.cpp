// The server's whole request handler, form body in and reply out, on a throw-away seeded database.
// Every input must give a reply the client can read: an enciphered JSON object with an integer
// returncode. First byte 'L': the rest is "head lines\ndata lines" in comma text, enciphered here so
// that the fuzzer reaches the commands; otherwise the input is the raw form body.
#include "remote/uCipher.h"
#include "remote/uReply.h"
#include "server/DemoSeed.h"
#include "server/PlatformService.h"

#include <QDir>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace {
struct Fixture {
    QString path = QDir::temp().filePath(QStringLiteral("quorvane-fuzz-server-%1.sqlite").arg(::getpid()));
    std::unique_ptr<ServerDb> db;
    std::unique_ptr<PlatformService> service;

    Fixture() {
        QFile::remove(path);
        // Every input with a new password runs a full check: the test seam keeps that cheap.
        SetPasswordIterationsForTesting(1000);
        db = std::make_unique<ServerDb>(path);
        SeedDemo(*db);
        // The sign-in throttle's clock moves two hours per look, so that wrong passwords in earlier
        // inputs never hold back the commands of later ones.
        service = std::make_unique<PlatformService>(*db, [] {
            static std::int64_t now = 0;
            return now += 7200;
        });
    }
    ~Fixture() {
        service.reset();
        db.reset();
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(path + QString::fromLatin1(suffix));
    }
};

Fixture& fixture() {
    static Fixture instance;
    return instance;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string body(reinterpret_cast<const char*>(data), size);
    if (!body.empty() && body.front() == 'L') {
        const QString text = QString::fromUtf8(body.data() + 1, qsizetype(body.size() - 1));
        const qsizetype split = text.indexOf(u'\n');
        const QString head = split < 0 ? text : text.left(split);
        body = "head=" + EncipherToHex(head, ChannelKey).toStdString();
        if (split >= 0) body += "&data=" + EncipherToHex(text.mid(split + 1), ChannelKey).toStdString();
    }
    const std::string reply = fixture().service->handleFormBody(body);
    try {
        const ReplyObject object = ParseReply(QByteArray::fromStdString(reply));
        const int code = ReplyReturnCode(object);
        if (code != 0 && code != 1) __builtin_trap();
    } catch (const EReadError&) {
        __builtin_trap(); // the server answered something the client cannot read
    }
    return 0;
}
