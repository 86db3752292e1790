#include "server/RequestLog.h"

#include "server/PlatformService.h"

#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// Text from a request may hold anything: control characters and quotes are escaped, so that a
// line stays one line and a field ends where it seems to.
std::string printable(const std::string& text, std::size_t limit = 200) {
    std::string out;
    for (const char c : text.substr(0, limit)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    if (text.size() > limit) out += "...";
    return out.empty() ? std::string("-") : out;
}

} // namespace

RequestLog::RequestLog() : m_fd(STDERR_FILENO), m_ownsFd(false) {}

RequestLog::RequestLog(const QString& path) : m_ownsFd(true) {
    const QByteArray file = path.toLocal8Bit();
    m_fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0640);
    if (m_fd < 0) throw std::runtime_error("cannot open log " + file.toStdString() + ": " + std::strerror(errno));
}

RequestLog::~RequestLog() {
    if (m_ownsFd) ::close(m_fd);
}

std::string RequestLog::format(const Entry& entry) {
    std::string line = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
    line += ' ' + printable(entry.address, 64) + ' ' + printable(entry.method, 16) + ' ' + printable(entry.path, 100);
    line += ' ' + (entry.httpStatus ? std::to_string(entry.httpStatus) : std::string("-"));
    const RequestRecord* record = entry.record;
    if (record) {
        line += " command=" + (record->command >= 0 ? std::to_string(record->command) : std::string("-"));
        line += " user=" + std::to_string(record->userId);
        line += " returncode=" + (record->returnCode >= 0 ? std::to_string(record->returnCode) : std::string("-"));
    }
    char duration[32];
    std::snprintf(duration, sizeof duration, " %.2fms", entry.milliseconds);
    line += duration;
    if (record && !record->errorNumber.empty())
        line += " error=" + record->errorNumber + " cause=\"" + printable(record->errorCause, 500) + '"';
    return line + '\n';
}

void RequestLog::write(const Entry& entry) {
    const std::string line = format(entry);
    std::size_t written = 0;
    while (written < line.size()) {
        const ssize_t n = ::write(m_fd, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // a full disk must not stop the server
        written += std::size_t(n);
    }
}
