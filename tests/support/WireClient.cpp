#include "tests/support/WireClient.h"

#include "remote/uCipher.h"
#include "remote/uCommaText.h"

#include <curl/curl.h>
#include <mutex>

namespace {

void initCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t collect(char* data, size_t size, size_t count, void* target) {
    const size_t bytes = size * count;
    static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(bytes));
    return bytes;
}

} // namespace

WireClient::WireClient(int port, QString host) : m_host(std::move(host)), m_port(port) { initCurl(); }

QStringList WireClient::headLines(int command, const QString& username, const QString& password) {
    return {QStringLiteral("head_command=%1").arg(command), QStringLiteral("head_clienttype=2"),
            QStringLiteral("head_username=") + username, QStringLiteral("head_password=") + password};
}

ReplyObject WireClient::call(TCommand command, const QString& username, const QString& password,
                             const std::vector<CommandValue>& values) const {
    return callLines(headLines(command, username, password), BuildDataList(command, values));
}

ReplyObject WireClient::callLines(const QStringList& head, const QStringList& data) const {
    QByteArray body = "head=" + EncipherToHex(CommaText(head), ChannelKey).toLatin1();
    if (!data.isEmpty()) body += "&data=" + EncipherToHex(CommaText(data), ChannelKey).toLatin1();
    const RawReply reply = postRaw(body);
    if (!reply.transportError.isEmpty()) throw std::runtime_error(reply.transportError.toStdString());
    if (reply.status != 200) throw std::runtime_error("HTTP status " + std::to_string(reply.status));
    return ParseReply(reply.body);
}

WireClient::RawReply WireClient::postRaw(const QByteArray& body, const QByteArray& contentType,
                                         const QByteArray& method, const QByteArray& path) const {
    RawReply reply;
    CURL* curl = curl_easy_init();
    if (!curl) {
        reply.transportError = QStringLiteral("curl_easy_init failed");
        return reply;
    }
    const QByteArray url = QStringLiteral("http://%1:%2").arg(m_host).arg(m_port).toLatin1() + path;
    const QByteArray typeHeader = "Content-Type: " + contentType;
    curl_slist* headers = curl_slist_append(nullptr, typeHeader.constData());
    char errorBuffer[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 5000L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 30000L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (method == "POST") {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
    } else if (method != "GET") {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.constData());
        if (!body.isEmpty()) {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
            curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        }
    }
    const CURLcode rc = curl_easy_perform(curl);
    if (rc == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    } else {
        reply.transportError = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc));
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}
