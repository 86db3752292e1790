// Load benchmark of the local platform server, run by hand:
//   bench_server [--threads N] [--seconds S] [--max-requests M] [--new-connection] [--no-cache]
// Starts the server in this process on a free loopback port with a fresh demo database (plus extra
// open tasks so that the hall's first page holds 20 rows), then N client threads post the task hall's
// first page (cmGetTaskCenterList, 20 rows) as fast as they can for S seconds or M requests in all,
// whichever ends first. Prints requests per second and latency percentiles. By default each thread
// keeps its connection open; --new-connection opens one per request over HTTP/1.0, as the desktop
// client does; --no-cache turns the server's cache of hall pages off, so every request reads the
// database and enciphers its reply.
#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"
#include "remote/uReply.h"
#include "server/DemoSeed.h"
#include "server/PlatformHttpServer.h"
#include "server/PlatformService.h"

#include "LoadRun.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <curl/curl.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

size_t collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

QByteArray formBody(TCommand command, const std::vector<CommandValue>& values) {
    QStringList head = BuildHeadList(command);
    head << QStringLiteral("head_clienttype=2") << QStringLiteral("head_username=demo1")
         << QStringLiteral("head_password=demo123");
    return "head=" + EncipherToHex(CommaText(head), ChannelKey).toLatin1() +
           "&data=" + EncipherToHex(CommaText(BuildDataList(command, values)), ChannelKey).toLatin1();
}

} // namespace

int main(int argc, char** argv) {
    int threads = 16;
    double seconds = 5;
    long maxRequests = 200000;
    bool newConnection = false;
    bool hallCache = true;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--threads") && more)
            threads = std::clamp(std::atoi(argv[++i]), 1, 256);
        else if (!std::strcmp(argv[i], "--seconds") && more)
            seconds = std::clamp(std::atof(argv[++i]), 0.5, 120.0);
        else if (!std::strcmp(argv[i], "--max-requests") && more)
            maxRequests = std::clamp(std::atol(argv[++i]), 1L, 10000000L);
        else if (!std::strcmp(argv[i], "--new-connection"))
            newConnection = true;
        else if (!std::strcmp(argv[i], "--no-cache"))
            hallCache = false;
        else {
            std::fprintf(
                stderr,
                "usage: bench_server [--threads N] [--seconds S] [--max-requests M] [--new-connection] [--no-cache]\n");
            return 2;
        }
    }

    QTemporaryDir dir;
    ServerDb db(QDir(dir.path()).filePath(QStringLiteral("bench.sqlite")));
    SeedDemo(db);
    PlatformService service(db);
    // More open tasks by demo1, so the first page is full whatever the demo holds.
    const QByteArray publish =
        formBody(cmPublishTask, {1, QStringLiteral("demo1_xiaohao"), QStringLiteral("demo1的小店"),
                                 QStringLiteral("9.9"), QStringLiteral("夏季新款连衣裙 雪纺"),
                                 QStringLiteral("宝贝很好，五星好评！"), QStringLiteral("浏览详情页2分钟以上"), 1});
    for (int i = 0; i < 30; ++i) service.handleFormBody(publish.toStdString());

    // The handler alone, in this thread, without HTTP: what one page costs the server.
    const QByteArray hallBody = formBody(cmGetTaskCenterList, {1, 0});
    for (const bool cached : {false, true}) {
        service.setHallCacheEnabled(cached);
        const int rounds = 300;
        const auto begin = Clock::now();
        for (int i = 0; i < rounds; ++i) service.handleFormBody(hallBody.toStdString());
        const std::chrono::duration<double, std::milli> took = Clock::now() - begin;
        std::printf("handler alone, hall cache %s: %.3f ms per hall page (%d rounds, one thread)\n",
                    cached ? "on " : "off", took.count() / rounds, rounds);
    }
    service.setHallCacheEnabled(hallCache);

    PlatformHttpServer http(service);
    const int port = http.bind(QStringLiteral("127.0.0.1"), 0);
    if (port <= 0) {
        std::fprintf(stderr, "cannot bind\n");
        return 1;
    }
    std::thread serverThread([&] { http.listen(); });

    const QByteArray& body = hallBody;
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/rest";

    // The first reply is read in full, to be sure what is measured is a 20-row page.
    {
        CURL* curl = curl_easy_init();
        std::string reply;
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
        curl_easy_perform(curl);
        curl_easy_cleanup(curl);
        const ReplyObject object = ParseReply(QByteArray::fromStdString(reply));
        std::printf("page: returncode %d, %zu rows, totalnum %d, reply %zu bytes\n", ReplyReturnCode(object),
                    ReplyRecords(object).size(), ReplyInt(object, "totalnum"), reply.size());
        if (ReplyReturnCode(object) != 1 || ReplyRecords(object).size() != 20) return 1;
    }

    const LoadResult load = RunLoad(
        threads, seconds, maxRequests, newConnection,
        [&](int) {
            return LoadTarget{url, body};
        },
        [](const std::string& reply) { return reply.size() >= 1000; });
    http.stop();
    serverThread.join();

    if (load.latencies.empty()) return 1;
    std::printf("%d clients, %s, hall cache %s: %ld requests in %.2f s, %ld failed\n", threads,
                newConnection ? "new HTTP/1.0 connection per request" : "kept-alive connections",
                hallCache ? "on" : "off", load.requests, load.seconds, load.failures);
    std::printf("throughput %.0f req/s; latency ms: p50 %.2f  p90 %.2f  p99 %.2f  max %.2f\n", load.perSecond(),
                load.percentile(0.5), load.percentile(0.9), load.percentile(0.99), load.latencies.back());
    return load.failures == 0 ? 0 : 1;
}
