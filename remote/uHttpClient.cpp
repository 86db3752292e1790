#include "remote/uHttpClient.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"

#include <curl/curl.h>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <thread>

namespace {

// Everything the worker touches; the user-interface thread reads it only after joining the worker.
struct CallRecord {
    std::string hostUrl;
    std::string body;   // head=<hex>[&data=<hex>]
    std::string caFile; // empty: the system's CAs
    long connectTimeoutMs = 0;
    long totalTimeoutMs = 0;
    std::string response;
    std::string statusLine;
    bool success = false;
    QString errorText;
};

// libcurl is loaded on the first request, not with the program: it brings some twenty libraries
// of its own, and loading them (symbol binding above all) would come before the first window.
// Loaded with its symbols kept local, so that the libraries the program starts with never search it.
struct CurlLibrary {
    CURL* (*easy_init)();
    CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
    CURLcode (*easy_perform)(CURL*);
    CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
    void (*easy_cleanup)(CURL*);
    const char* (*easy_strerror)(CURLcode);
    CURLcode (*global_init)(long);
};

constexpr const char* CurlLibraryName = "libcurl.so.4";

template <class TFunction> bool resolve(void* library, const char* name, TFunction& function) {
    function = reinterpret_cast<TFunction>(dlsym(library, name));
    return function != nullptr;
}

// The library, or null with `failure` saying why; loaded and set up once per process.
const CurlLibrary* curlLibrary(QString& failure) {
    static QString loadFailure;
    static const CurlLibrary* const library = []() -> const CurlLibrary* {
        void* handle = dlopen(CurlLibraryName, RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            loadFailure = QString::fromLocal8Bit(dlerror());
            return nullptr;
        }
        static CurlLibrary curl{};
        const bool complete = resolve(handle, "curl_easy_init", curl.easy_init) &&
                              resolve(handle, "curl_easy_setopt", curl.easy_setopt) &&
                              resolve(handle, "curl_easy_perform", curl.easy_perform) &&
                              resolve(handle, "curl_easy_getinfo", curl.easy_getinfo) &&
                              resolve(handle, "curl_easy_cleanup", curl.easy_cleanup) &&
                              resolve(handle, "curl_easy_strerror", curl.easy_strerror) &&
                              resolve(handle, "curl_global_init", curl.global_init);
        if (!complete) {
            loadFailure = QString::fromLocal8Bit(dlerror());
            return nullptr;
        }
        curl.global_init(CURL_GLOBAL_DEFAULT);
        return &curl;
    }();
    if (!library)
        failure = QStringLiteral("无法加载网络库%1：%2").arg(QString::fromLatin1(CurlLibraryName), loadFailure);
    return library;
}

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    static_cast<CallRecord*>(user)->response.append(data, size * count);
    return size * count;
}

size_t writeHeader(char* data, size_t size, size_t count, void* user) {
    auto* record = static_cast<CallRecord*>(user);
    std::string line(data, size * count);
    if (line.rfind("HTTP/", 0) == 0) { // the status line (a later one replaces an interim 1xx)
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        record->statusLine = line;
    }
    return size * count;
}

QString describeFailure(const CurlLibrary& api, CURLcode code, CURL* curl, const char* detail,
                        const CallRecord& record) {
    const QString reason = QString::fromUtf8(*detail ? detail : api.easy_strerror(code));
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT: {
        curl_off_t connected = 0;
        api.easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connected);
        if (connected == 0)
            return QStringLiteral("连接服务器超时（%1 秒内未能建立连接）").arg(record.connectTimeoutMs / 1000.0);
        return QStringLiteral("服务器响应超时（%1 秒内未收到完整回复）").arg(record.totalTimeoutMs / 1000.0);
    }
    case CURLE_COULDNT_CONNECT: return QStringLiteral("无法连接到服务器（%1）").arg(reason);
    case CURLE_COULDNT_RESOLVE_HOST: return QStringLiteral("无法解析服务器地址（%1）").arg(reason);
    case CURLE_GOT_NOTHING: return QStringLiteral("服务器没有返回任何数据就关闭了连接（%1）").arg(reason);
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return QStringLiteral("与服务器的连接中断（%1）").arg(reason);
    default: return QStringLiteral("网络通讯错误（%1）").arg(reason);
    }
}

// The worker's whole exchange: one new easy handle, nothing shared with other calls.
void runExchange(const CurlLibrary& api, CallRecord& record) {
    CURL* curl = api.easy_init();
    if (!curl) {
        record.errorText = QStringLiteral("无法创建网络连接");
        return;
    }
    char detail[CURL_ERROR_SIZE] = {0};
    const std::string url = record.hostUrl + "rest";
    api.easy_setopt(curl, CURLOPT_URL, url.c_str());
    api.easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    api.easy_setopt(curl, CURLOPT_USERAGENT, ChannelUserAgent);
    api.easy_setopt(curl, CURLOPT_COOKIEFILE, ""); // cookie engine on, for this call only
    api.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    api.easy_setopt(curl, CURLOPT_PROXY, "");
    api.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api.easy_setopt(curl, CURLOPT_POST, 1L);
    api.easy_setopt(curl, CURLOPT_POSTFIELDS, record.body.c_str());
    api.easy_setopt(curl, CURLOPT_POSTFIELDSIZE, long(record.body.size()));
    if (!record.caFile.empty()) api.easy_setopt(curl, CURLOPT_CAINFO, record.caFile.c_str());
    api.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, record.connectTimeoutMs);
    api.easy_setopt(curl, CURLOPT_TIMEOUT_MS, record.totalTimeoutMs);
    api.easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    api.easy_setopt(curl, CURLOPT_WRITEDATA, &record);
    api.easy_setopt(curl, CURLOPT_HEADERFUNCTION, writeHeader);
    api.easy_setopt(curl, CURLOPT_HEADERDATA, &record);
    api.easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);

    const CURLcode code = api.easy_perform(curl);
    if (code != CURLE_OK) {
        record.response.clear();
        record.errorText = describeFailure(api, code, curl, detail, record);
    } else {
        long status = 0;
        api.easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        char* location = nullptr;
        api.easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
        if (status >= 200 && status <= 299) {
            record.success = true;
        } else if (status >= 300 && status <= 399 && location && *location) {
            record.response.clear(); // the redirect is not followed: the holder stays empty
            record.success = true;
        } else {
            record.response.clear();
            record.errorText = QString::fromLatin1(record.statusLine.c_str());
            if (record.errorText.isEmpty()) record.errorText = QStringLiteral("HTTP %1").arg(status);
        }
    }
    api.easy_cleanup(curl);
}

} // namespace

QString HostUrl(const ChannelSettings& settings) {
    return QStringLiteral("%1://%2:%3/").arg(settings.scheme, settings.host).arg(settings.port);
}

bool ExecRemoteProc(QWidget* owner, QStringList* head, const QStringList* data, QByteArray* response,
                    QString& errorText, int clientType, const QString& userName, const QString& password,
                    const ChannelWait& wait, const ChannelSettings& settings) {
    errorText.clear();
    if (!head) {
        errorText = QStringLiteral("请求头部参数未指定！");
        return false;
    }
    if (!data) {
        errorText = QStringLiteral("请求数据参数未指定！");
        return false;
    }
    if (!response) {
        errorText = QStringLiteral("返回值未指定");
        return false;
    }
    const CurlLibrary* curl = curlLibrary(errorText);
    if (!curl) return false;

    head->append(QStringLiteral("%1=%2").arg(QStringLiteral("head_clienttype")).arg(clientType));
    head->append(QStringLiteral("head_username=") + userName);
    head->append(QStringLiteral("head_password=") + password);

    auto record = std::make_shared<CallRecord>();
    record->body = "head=" + EncipherToHex(CommaText(*head), ChannelKey).toStdString();
    if (!data->isEmpty()) record->body += "&data=" + EncipherToHex(CommaText(*data), ChannelKey).toStdString();
    record->hostUrl = HostUrl(settings).toStdString();
    record->caFile = settings.caFile.toStdString();
    record->connectTimeoutMs = settings.connectTimeoutMs;
    record->totalTimeoutMs = settings.totalTimeoutMs;
    record->success = false;

    std::thread worker;
    if (wait) {
        wait(owner, [&worker, curl, record](std::function<void()> finished) {
            if (worker.joinable()) return; // one worker per call
            worker = std::thread([curl, record, finished = std::move(finished)] {
                runExchange(*curl, *record);
                finished();
            });
        });
        if (worker.joinable())
            worker.join();
        else
            record->errorText = QStringLiteral("命令没有执行");
    } else {
        worker = std::thread([curl, record] { runExchange(*curl, *record); });
        worker.join();
    }

    response->append(QByteArray::fromStdString(record->response));
    errorText = record->errorText;
    return record->success;
}
