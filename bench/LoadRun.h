#pragma once
// The load loop of the server benchmarks: N client threads, each posting its own form body to its own
// URL as fast as it can, until a time or a total count of requests is reached; each request's latency
// is kept. Each thread keeps its libcurl handle; with `newConnection` every request opens a new
// HTTP/1.0 connection, as the desktop client does, otherwise the connection is kept alive.
#include <QByteArray>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <curl/curl.h>
#include <functional>
#include <string>
#include <thread>
#include <vector>

struct LoadTarget {
    std::string url;
    QByteArray body;
};

struct LoadResult {
    long requests = 0;
    long failures = 0;
    double seconds = 0;
    std::vector<double> latencies; // ms, sorted

    double perSecond() const { return seconds > 0 ? double(requests) / seconds : 0; }
    double percentile(double q) const {
        return latencies.empty() ? 0 : latencies[std::size_t(q * double(latencies.size() - 1))];
    }
};

inline LoadResult RunLoad(int threads, double seconds, long maxRequests, bool newConnection,
                          const std::function<LoadTarget(int)>& target,
                          const std::function<bool(const std::string&)>& served) {
    using Clock = std::chrono::steady_clock;
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::atomic<long> issued{0}, failures{0};
    std::vector<std::vector<double>> latencies{std::size_t(threads)};
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<std::thread> clients;
    clients.reserve(std::size_t(threads));
    for (int t = 0; t < threads; ++t)
        clients.emplace_back([&, t] {
            const LoadTarget mine = target(t);
            CURL* curl = curl_easy_init();
            std::string reply;
            curl_easy_setopt(curl, CURLOPT_URL, mine.url.c_str());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, mine.body.constData());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(mine.body.size()));
            curl_easy_setopt(
                curl, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t count, void* out) {
                    static_cast<std::string*>(out)->append(data, size * count);
                    return size * count;
                });
            curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
            curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
            curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 30000L);
            if (newConnection) {
                curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
                curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
            }
            auto& own = latencies[std::size_t(t)];
            while (Clock::now() < deadline && issued.fetch_add(1) < maxRequests) {
                reply.clear();
                const auto begin = Clock::now();
                const CURLcode rc = curl_easy_perform(curl);
                const std::chrono::duration<double, std::milli> took = Clock::now() - begin;
                long status = 0;
                curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
                if (rc != CURLE_OK || status != 200 || !served(reply)) failures++;
                own.push_back(took.count());
            }
            curl_easy_cleanup(curl);
        });
    for (auto& c : clients) c.join();
    LoadResult result;
    result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& l : latencies) result.latencies.insert(result.latencies.end(), l.begin(), l.end());
    std::sort(result.latencies.begin(), result.latencies.end());
    result.requests = long(result.latencies.size());
    result.failures = failures.load();
    return result;
}
