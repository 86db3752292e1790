// The platform server on its two storage engines, side by side in one run, run by hand:
//   bench_engines [--threads N] [--seconds S]
// Three set-ups, each with real quorvane-server processes on a fresh database with the demo data,
// 30 more open tasks (a full hall page) and N users with money of their own:
//   SQLite, one process;  PostgreSQL, one process;  PostgreSQL, two processes on one database.
// PostgreSQL is a private cluster in a temporary folder (Unix socket only) with fsync and synchronous
// commit on, as SQLite runs with synchronous=FULL. In each set-up N client threads (thread t is user
// t, sent to process t mod the number of processes, as a proxy in front would spread them) post
//   - the hall's first page (cmGetTaskCenterList, 20 rows), then
//   - publishing a task of 1.00 yuan (cmPublishTask: the money frozen, two log entries),
// as fast as they can for S seconds each, a new HTTP/1.0 connection per request as the desktop client
// does. Prints requests per second and latency percentiles, and the load average before and after
// (other work on the machine shows there).
#include "remote/uCipher.h"
#include "remote/uCommaText.h"
#include "remote/uCommandCatalogue.h"
#include "remote/uReply.h"
#include "tests/support/PostgresCluster.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/WireClient.h"

#include "LoadRun.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const QString Pass = QStringLiteral("bench123");

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

QByteArray formBody(TCommand command, const QString& user, const std::vector<CommandValue>& values) {
    return "head=" + EncipherToHex(CommaText(WireClient::headLines(command, user, Pass)), ChannelKey).toLatin1() +
           "&data=" + EncipherToHex(CommaText(BuildDataList(command, values)), ChannelKey).toLatin1();
}

bool returnsOne(const std::string& reply) {
    try {
        return ReplyReturnCode(ParseReply(QByteArray::fromStdString(reply))) == 1;
    } catch (const std::exception&) {
        return false;
    }
}

struct Setup {
    const char* name;
    std::shared_ptr<TestDatabase> database;
    int processes;
};

struct Row {
    QString setup, request;
    LoadResult load;
};

// Users bench0..bench<n-1>, each with 1,000,000.00 yuan from an approved recharge; their ids.
std::vector<int> fundUsers(const ServerProcess& server, const WireClient& client, int count) {
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("bench%1").arg(i);
        client.call(cmRegister, QString(), QString(),
                    {name, Pass, QStringLiteral("1000%1").arg(i), name + QStringLiteral("的店"),
                     name + QStringLiteral("_xh"), QString()});
        client.call(cmRechargeRequest, name, Pass,
                    {Money::fromFen(100000000), QStringLiteral("支付宝"), QStringLiteral("B-%1").arg(i)});
        QString listing;
        server.admin({QStringLiteral("list-requests")}, &listing);
        const QRegularExpression pending(QStringLiteral(R"(^recharge (\d+) pending user=%1 )").arg(name),
                                         QRegularExpression::MultilineOption);
        server.admin(
            {QStringLiteral("review-recharge"), pending.match(listing).captured(1), QStringLiteral("approve")});
        ids.push_back(ReplyInt(client.call(cmLogin, name, Pass), "id"));
    }
    return ids;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int threads = 16;
    double seconds = 5;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--threads") && more)
            threads = std::clamp(std::atoi(argv[++i]), 1, 64);
        else if (!std::strcmp(argv[i], "--seconds") && more)
            seconds = std::clamp(std::atof(argv[++i]), 0.5, 120.0);
        else {
            std::fprintf(stderr, "usage: bench_engines [--threads N] [--seconds S]\n");
            return 2;
        }
    }
    const QString loadBefore = loadAverage();

    PostgresCluster cluster(PostgresCluster::Options{true});
    if (!cluster.start()) {
        std::fprintf(stderr, "PostgreSQL: %s\n", qPrintable(cluster.errorText()));
        return 1;
    }
    const auto postgres = std::make_shared<TestDatabase>(cluster);
    const Setup setups[] = {{"SQLite, 1 process", std::make_shared<TestDatabase>(DbEngine::Sqlite), 1},
                            {"PostgreSQL, 1 process", std::make_shared<TestDatabase>(cluster), 1},
                            {"PostgreSQL, 2 processes", postgres, 2}};

    std::vector<Row> rows;
    for (const Setup& setup : setups) {
        std::vector<std::unique_ptr<ServerProcess>> servers;
        for (int p = 0; p < setup.processes; ++p) {
            servers.push_back(std::make_unique<ServerProcess>(setup.database, p == 0));
            if (!servers.back()->start()) {
                std::fprintf(stderr, "%s: %s\n", setup.name, qPrintable(servers.back()->errorText()));
                return 1;
            }
        }
        const WireClient client(servers.front()->port());
        const std::vector<int> ids = fundUsers(*servers.front(), client, threads);
        const int demo1 = ReplyInt(client.call(cmLogin, QStringLiteral("demo1"), QStringLiteral("demo123")), "id");
        for (int i = 0; i < 30; ++i)
            client.callLines(
                WireClient::headLines(cmPublishTask, QStringLiteral("demo1"), QStringLiteral("demo123")),
                BuildDataList(cmPublishTask, {demo1, QString(), QString(), QStringLiteral("9.9"),
                                              QStringLiteral("夏季新款连衣裙 雪纺"), QStringLiteral("五星好评"),
                                              QStringLiteral("浏览详情页2分钟以上"), 1}));

        auto url = [&](int thread) {
            return "http://127.0.0.1:" + std::to_string(servers[std::size_t(thread % setup.processes)]->port()) +
                   "/rest";
        };
        auto user = [](int thread) { return QStringLiteral("bench%1").arg(thread); };
        rows.push_back({QString::fromLatin1(setup.name), QStringLiteral("hall page"),
                        RunLoad(
                            threads, seconds, 10000000, true,
                            [&](int t) {
                                return LoadTarget{url(t), formBody(cmGetTaskCenterList, user(t), {1, 0})};
                            },
                            [](const std::string& reply) { return reply.size() >= 1000; })});
        rows.push_back({QString::fromLatin1(setup.name), QStringLiteral("publish"),
                        RunLoad(
                            threads, seconds, 10000000, true,
                            [&](int t) {
                                return LoadTarget{url(t), formBody(cmPublishTask, user(t),
                                                                   {ids[std::size_t(t)], QString(), QString(),
                                                                    QStringLiteral("1.00"), QStringLiteral("保温杯"),
                                                                    QStringLiteral("好评"), QStringLiteral("无"), 0})};
                            },
                            returnsOne)});
        const Row& hall = rows[rows.size() - 2];
        const Row& publish = rows.back();
        std::printf("%s: hall %.0f req/s, publish %.0f req/s\n", setup.name, hall.load.perSecond(),
                    publish.load.perSecond());
        std::fflush(stdout);
    }

    std::printf("\n%d clients, %.0f s each, new HTTP/1.0 connection per request; load average %s before, %s after\n\n",
                threads, seconds, qPrintable(loadBefore), qPrintable(loadAverage()));
    std::printf("| set-up | request | requests/s | p50 | p90 | p99 | failed |\n|---|---|---|---|---|---|---|\n");
    bool failed = false;
    for (const Row& row : rows) {
        std::printf("| %s | %s | %.0f | %.2f ms | %.2f ms | %.2f ms | %ld of %ld |\n", qPrintable(row.setup),
                    qPrintable(row.request), row.load.perSecond(), row.load.percentile(0.5), row.load.percentile(0.9),
                    row.load.percentile(0.99), row.load.failures, row.load.requests);
        failed = failed || row.load.failures > 0 || row.load.requests == 0;
    }
    return failed ? 1 : 0;
}
